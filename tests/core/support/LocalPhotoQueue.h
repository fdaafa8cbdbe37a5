#pragma once
// The user's side of a transfer as the service tests build it: a work folder, a folder of photos,
// the albums and the intake that queues photos into them (working copies made as the window makes
// them, tiles counted but not drawn), with "today" fixed at 14 July 2008.

#include <gtest/gtest.h>

#include <chrono>
#include <expected>
#include <functional>
#include <random>
#include <string>

#include "core/TempFolder.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/JpegPhotoImaging.h"
#include "core/albums/MemoryContentView.h"
#include "core/albums/PhotoIntake.h"
#include "core/imaging/Bitmap32.h"
#include "core/imaging/ImageFileOps.h"

namespace vantrel::test {

struct LocalPhotoQueue {
    LocalPhotoQueue() {
        intake_.Hooks.Today = [] { return std::chrono::year{2008} / 7 / 14; };
    }

    // A noisy photo in the user's folder, so that it does not compress below the minimum size.
    std::string NoisyPhoto(const std::string& name, int width, int height) {
        Bitmap32 picture(width, height);
        std::mt19937 random(static_cast<unsigned>(std::hash<std::string>{}(name)));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
        const std::string path = photos_.File(name);
        EXPECT_TRUE(SaveEditedJpeg(ws_, picture, path, 90).has_value());
        return path;
    }

    // Queues a photo into the named album (made when missing); the album's index.
    int QueueInto(const std::string& album, const std::string& path) {
        int index = albums_.IndexOfName(album);
        if (index < 0) index = albums_.AddAlbum(album);
        EXPECT_TRUE(intake_.AddPhotoToAlbum(index, path)) << path;
        return index;
    }

    TempFolder work_;
    TempFolder photos_;
    ImageWorkspace ws_;
    MemoryContentView view_;
    TAlbumList albums_{view_, MonthNames{}};
    int tiles_ = 0;
    JpegPhotoImaging imaging_{ws_, [] { return 90; },
                               [this](const RgbBitmap&) -> std::expected<int, std::string> { return tiles_++; }};
    PhotoIntake intake_{albums_, imaging_, work_.Path(), MonthNames{}};
};

}  // namespace vantrel::test
