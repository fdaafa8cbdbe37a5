// "vantrel-cli --help" as a terminal shows it: every summary starts in one column and keeps
// within 80 characters a line, whatever the length of the calls.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/support/CliRunner.h"

namespace vantrel {
namespace {

TEST(CliHelp, SummariesStartInOneColumnWithinEightyCharacters) {
    const test::CliResult help = test::RunShell(test::CliPath() + " --help");
    ASSERT_EQ(help.status, 0);
    const std::size_t commands = help.output.find("commands:\n");
    ASSERT_NE(commands, std::string::npos) << help.output;
    std::istringstream lines(help.output.substr(commands + 10));
    std::size_t column = 0;  // where the summaries start, from the first line that has one
    std::string line;
    int summaryLines = 0;
    while (std::getline(lines, line)) {
        ASSERT_TRUE(line.starts_with("  ")) << line;
        std::size_t start = line.find_first_not_of(' ');
        if (start > 2) {
            ++summaryLines;  // a summary's next line, or one below a long call
        } else {
            const std::size_t gap = line.find("  ", start);
            if (gap == std::string::npos) continue;  // a call too long to hold its summary beside it
            start = line.find_first_not_of(' ', gap);
        }
        if (column == 0) column = start;
        EXPECT_LE(line.size(), 80u) << line;
        EXPECT_EQ(start, column) << "summary out of the column: " << line;
    }
    EXPECT_GT(column, 0u);
    EXPECT_GT(summaryLines, 0) << "no summary goes on below its call";
}

}  // namespace
}  // namespace vantrel
