#pragma once
// The upload's scaled copy of a photo as one plain full decode makes it, to compare the bytes the
// upload sends against.

#include <gtest/gtest.h>

#include <string>

#include "core/imaging/ExifOrientation.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegEncoder.h"
#include "core/imaging/Tiles.h"

namespace vantrel::test {

// The copy as a full decode makes it: the whole picture decoded, turned upright (a photo that
// does not decode gives the placeholder tile), point-sampled to `size`, encoded at quality 90.
inline std::string ReferenceCopy(const std::string& photo, int size) {
    ImageWorkspace ws;
    const DecodeResult loaded = LoadImage(ws, photo);
    EXPECT_NE(loaded.outcome, DecodeOutcome::Unreadable);
    if (!loaded.HasPicture()) DrawBadImageTile(ws, ws.workBitmap);
    else OrientUpright(ws.workBitmap, ws.scratch, ExifOrientation(ws.params.metadata));
    ScaleToFit(ws.workBitmap, ws.scratch, size);
    if (ws.workBitmap.Empty()) return {};
    auto encoded = EncodeBaselineJpeg(ws.workBitmap, kDerivedCopyQuality);
    EXPECT_TRUE(encoded.has_value());
    return encoded ? std::string(encoded->Bytes()) : std::string();
}

}  // namespace vantrel::test
