#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/TempFolder.h"
#include "core/browse/FolderListing.h"
#include "core/imaging/JpegNamePattern.h"

using namespace vantrel;

TEST(FolderListing, PatternMatchesJpegNamesWithoutRegardToCase) {
    const std::pair<const char*, bool> cases[] = {
        {"a.jpg", true},     {"b.JPEG", true},  {"c.JpG", true},    {".jpg", true},     {"x.jpxg", true},
        {"old.jpg.jpeg", true}, {"a.jpe", false}, {"a.jpgx", false}, {"jpg", false},     {"a.png", false},
        {"a.jp", false},     {"a.jpG", true},   {"photo", false},   {"a_jpg", false},   {"", false}};
    for (auto [name, expected] : cases) EXPECT_EQ(MatchesJpegPattern(name), expected) << name;
}

// Dropped files are taken by their last extension alone, a stricter rule than the listing's.
TEST(FolderListing, DroppedNamesCountAsPhotosByTheirLastExtension) {
    const std::pair<const char*, bool> cases[] = {
        {"a.jpg", true},   {"b.JPEG", true},     {"c.JpG", true},  {".jpg", true},      {"x.y.jpeg", true},
        {"a.jpe", false},  {"x.jpxg", false},    {"a.jpg.png", false}, {"jpg", false}, {"a.jpgx", false},
        {"", false},       {"a.", false}};
    for (auto [name, expected] : cases) EXPECT_EQ(HasJpegExtension(name), expected) << name;
}

TEST(FolderListing, RoomDoublesPastTheFirst256Names) {
    FileNames names;
    EXPECT_EQ(names.Room(), 256u);
    for (int i = 0; i < 300; ++i) names.Add("p" + std::to_string(i) + ".jpg");
    EXPECT_EQ(names.Count(), 300u);
    EXPECT_EQ(names.Room(), 512u);
    EXPECT_EQ(names[0], "p0.jpg");
    EXPECT_EQ(names[299], "p299.jpg");
}

TEST(FolderListing, ListsMatchingFilesAndFoldersAndStopsWhenAsked) {
    test::TempFolder folder;
    folder.Write("one.jpg", "x");
    folder.Write("two.JPEG", "x");
    folder.Write("notes.txt", "x");
    std::filesystem::create_directory(folder.File("old.jpg"));
    std::filesystem::create_directory(folder.File("holiday"));
    FileNames names;
    ASSERT_TRUE(ListPhotoFolder(folder.Path(), names, [] { return true; }));
    std::set<std::string> found;
    for (std::size_t i = 0; i < names.Count(); ++i) found.insert(names[i]);
    EXPECT_EQ(found, (std::set<std::string>{"one.jpg", "two.JPEG", "old.jpg"}));

    int asked = 0;
    ASSERT_TRUE(ListPhotoFolder(folder.Path(), names, [&] { return ++asked <= 1; }));
    EXPECT_LE(names.Count(), 1u);

    EXPECT_FALSE(ListPhotoFolder(folder.File("missing"), names, [] { return true; }));
    EXPECT_EQ(names.Count(), 0u);
}
