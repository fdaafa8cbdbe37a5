#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/DataFolder.h"
#include "core/TempFolder.h"

using namespace vantrel;

// The texts are found beside the program (build tree) or in the data folder of the prefix it is
// installed in; with neither, the program's own folder is named.
TEST(DataFolder, BesideTheProgramOrInTheInstalledDataFolder) {
    test::TempFolder root;
    const std::string bin = root.Path() + "usr/bin/";
    std::filesystem::create_directories(bin);
    EXPECT_EQ(DataFolderFor(bin), bin);
    std::filesystem::create_directories(root.Path() + "usr/share/vantrel/Language");
    const std::string installed = DataFolderFor(root.Path() + "usr/bin");  // no trailing "/" given
    EXPECT_TRUE(std::filesystem::equivalent(installed, root.Path() + "usr/share/vantrel/"));
    EXPECT_EQ(installed.back(), '/');
    std::filesystem::create_directories(bin + "Language");
    EXPECT_EQ(DataFolderFor(bin), bin);  // a build tree beside wins
}

TEST(DataFolder, RunningProgramFolderHoldsThisTest) {
    const std::string folder = RunningProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "core_tests"));
}
