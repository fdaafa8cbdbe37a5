// Files that lie or misbehave: tiny files declaring giant pictures, pipes, sockets and devices
// named like photos, photos shortened by another program while they are read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>

#include "JpegFixtures.h"
#include "core/imaging/BrowserThumb.h"
#include "core/imaging/TimgData.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegMemoryBudget.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

long PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Runs `work` and fails the test when it has not returned within ten seconds; `release` then
// unblocks it so that the test can end.
void ExpectPrompt(const std::function<void()>& work, const std::function<void()>& release) {
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "blocked";
        release();
    }
    done.get();
}

}  // namespace

TEST(ImagingHostile, DecodeBudgetLeavesTheCodecWhatThePictureDoesNot) {
    EXPECT_GT(DecodeMemoryBudget(), std::uint64_t(64) << 20);
    EXPECT_LE(DecodeMemoryBudget(), std::uint64_t(1) << 30);
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {{0, 1000}, {999, 1}, {1000, 0}, {5000, 0}};
    for (const auto& [picture, left] : cases) EXPECT_EQ(CodecMemoryLimit(1000, picture), left) << picture;
}

// A few hundred bytes declaring 65500 x 65500: the decoders refuse the picture without taking
// the memory it claims (a progressive one would need 13 GB of coefficients, then the bitmap).
TEST(ImagingHostile, TinyFileDeclaringAGiantPictureIsUndecodable) {
    TempFolder dir;
    ImageWorkspace ws;
    const long peakBefore = PeakResidentMegabytes();
    for (const bool progressive : {true, false}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const std::string bytes =
            DeclareSize(MakeSolidJpeg(16, 16, 0x3060A0, Options(FixtureColour::YCbCr, progressive)), 65500, 65500);
        ASSERT_LT(bytes.size(), 1000u);
        const std::string path = dir.Write(progressive ? "p.jpg" : "b.jpg", bytes);

        ASSERT_TRUE(ReadImageHeader(ws, path));
        EXPECT_EQ(ws.params.width, 65500);
        EXPECT_EQ(ws.params.height, 65500);
        EXPECT_EQ(LoadImage(ws, path).outcome, DecodeOutcome::Failed);
        EXPECT_TRUE(IsRejectedImage(ws, path, "").value_or(false));
        EXPECT_TRUE(SaveScaledJpeg(ws, path, dir.File("scaled.jpg"), 100));  // the placeholder, scaled
        EXPECT_EQ(ws.workBitmap.Width(), 100);
    }
    // A progressive file's tile needs the whole coefficient store even at 1/8 scale.
    EXPECT_EQ(MakeBrowserThumb(ws, dir.File("p.jpg")), BrowserThumbResult::Placeholder);
    EXPECT_LT(PeakResidentMegabytes() - peakBefore, 256);
}

// A pipe, a socket, a device or a folder named like a photo is unreadable at once: no reader
// waits on it, and each says so the way it says it of a missing file.
TEST(ImagingHostile, OnlyRegularFilesAreOpenedAsPhotos) {
    TempFolder dir;
    const std::string pipe = dir.File("pipe.jpg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string socketPath = dir.File("socket.jpg");
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.jpg"));
    std::filesystem::create_directory(dir.File("folder.jpg"));

    for (const char* name : {"pipe.jpg", "socket.jpg", "zero.jpg", "folder.jpg"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.File(name);
        ExpectPrompt(
            [&] {
                ImageWorkspace ws;
                EXPECT_EQ(MakeBrowserThumb(ws, path), BrowserThumbResult::BadPicture);
                EXPECT_EQ(ws.params.colourModel, ColourModel::Unknown);
                EXPECT_FALSE(ReadImageHeader(ws, path));
                const DecodeResult loaded = LoadImage(ws, path);
                ASSERT_EQ(loaded.outcome, DecodeOutcome::Unreadable);
                EXPECT_EQ(loaded.error.kind, ImageFileError::Kind::FileError);
                EXPECT_EQ(DigestToHex(DigestFile(path)), "d41d8cd98f00b204e9800998ecf8427e");
                EXPECT_FALSE(CopyFileBytes(path, dir.File("copy")));
                TimgData scan;
                EXPECT_FALSE(scan.ScanFile(path));
                EXPECT_EQ(scan.ErrorText(), "Illegal Exif construction");
            },
            [&] { close(open(pipe.c_str(), O_WRONLY | O_NONBLOCK)); });
    }
    close(listener);
}

// Another program shortens the photo while it is being decoded (here from the progress report):
// the read ends early, the program lives on.
TEST(ImagingHostile, PhotoShortenedWhileDecoded) {
    TempFolder dir;
    const std::string bytes = MakeJpeg(
        600, 400, [](int x, int y) { return static_cast<std::uint32_t>(x * 7919 + y * 104729) & 0xFFFFFF; },
        Options(FixtureColour::CMYK));  // four components: the browser tile decodes in full
    for (const bool tile : {true, false}) {
        SCOPED_TRACE(tile ? "tile" : "load");
        const std::string path = dir.Write("shrinking.jpg", bytes);
        ImageWorkspace ws;
        bool shortened = false;
        ws.progress = [&](int) {
            if (!shortened) shortened = truncate(path.c_str(), 0) == 0;
        };
        if (tile) EXPECT_NE(MakeBrowserThumb(ws, path), BrowserThumbResult::BadPicture);
        else EXPECT_NE(LoadImage(ws, path).outcome, DecodeOutcome::Unreadable);
        EXPECT_TRUE(shortened);
    }
}
