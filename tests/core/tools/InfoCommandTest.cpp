// "vantrel-cli info" tells what a photo is good for on paper, in the language of the locale.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/TempFolder.h"
#include "core/imaging/JpegFixtures.h"
#include "core/support/CliRunner.h"

namespace vantrel {
namespace {

TEST(InfoCommand, PrintsThePrintSizeAdvice) {
    const std::string cli = test::CliPath();
    ASSERT_TRUE(std::filesystem::exists(cli)) << cli;
    test::TempFolder dir;
    const std::string small = dir.Write("small.jpg", test::MakeSolidJpeg(640, 480, 0x3366CC));
    const std::string good = dir.Write("good.jpg", test::MakeSolidJpeg(1200, 1800, 0x3366CC));
    struct Case {
        const char* lang;
        std::string photo;
        const char* line;
    };
    for (const Case& c : {Case{"en_GB.UTF-8", small, "  prints: Too small for a good 10x15 print: 108 dpi\n"},
                          Case{"en_GB.UTF-8", good, "  prints: Good for prints up to 15x20 cm\n"},
                          Case{"fr_FR.UTF-8", good, "  prints: Convient à des tirages jusqu'au format 15x20 cm\n"},
                          // No file for Belgium: the language chooses.
                          Case{"fr_BE.UTF-8", good, "  prints: Convient à des tirages jusqu'au format 15x20 cm\n"},
                          Case{"C.UTF-8", good, "  prints: Good for prints up to 15x20 cm\n"}}) {
        SCOPED_TRACE(c.photo + " " + c.lang);
        const test::CliResult result =
            test::RunShell(std::string("LC_ALL= LC_MESSAGES= LANG=") + c.lang + " '" + cli + "' info '" + c.photo + "'");
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.output.find(c.line), std::string::npos) << result.output;
    }
}

}  // namespace
}  // namespace vantrel
