// "vantrel-cli turn" run as a user runs it: the photo turned in place, the message saying
// whether the turn was lossless, and wrong calls refused without touching the file.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/TempFolder.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegFixtures.h"
#include "core/support/CliRunner.h"

namespace vantrel {
namespace {

TEST(TurnCommand, TurnsInPlaceAndSaysHow) {
    const std::string cli = test::CliPath();
    ASSERT_TRUE(std::filesystem::exists(cli)) << cli;
    test::TempFolder dir;
    const std::string aligned = test::MakeJpeg(64, 32, test::Noisy(2));
    const std::string uneven = test::MakeJpeg(50, 30, test::Noisy(2));
    struct Case {
        std::string photo, direction;
        int status;
        std::string message;  // standard output and error
        int width, height;    // afterwards; 0: the file is unchanged
    };
    const Case cases[] = {
        {aligned, "right", 0, "turned losslessly\n", 32, 64},
        {aligned, "left", 0, "turned losslessly\n", 32, 64},
        {uneven, "left", 0, "turned by re-encoding at quality 95: the size is not a multiple of the 16x16 blocks\n", 30, 50},
        {aligned, "up", 2, "usage: vantrel-cli turn FILE left|right\n", 0, 0},
        {"not a photo", "right", 1, "cannot decode", 0, 0},
        {"", "right", 1, "vantrel-cli turn: ", 0, 0},  // no such file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction + " " + std::to_string(c.status));
        const std::string path = c.photo.empty() ? dir.File("missing.jpg") : dir.Write("p.jpg", c.photo);
        const auto result = test::RunShell("'" + cli + "' turn '" + path + "' " + c.direction + " 2>&1");
        EXPECT_EQ(result.status, c.status) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        if (c.width == 0) {
            if (!c.photo.empty()) {
                EXPECT_EQ(test::ReadFile(path), c.photo);
            }
            continue;
        }
        ImageWorkspace ws;
        ASSERT_TRUE(ReadImageHeader(ws, path));
        EXPECT_EQ(ws.params.width, c.width);
        EXPECT_EQ(ws.params.height, c.height);
    }
}

}  // namespace
}  // namespace vantrel
