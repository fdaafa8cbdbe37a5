#include <gtest/gtest.h>

#include "core/albums/DuplicateContent.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/MemoryContentView.h"
#include "core/TempFolder.h"

using namespace vantrel;

// Same bytes under any name count as queued; the same size with other bytes does not.
TEST(DuplicateContent, SameBytesUnderAnyName) {
    test::TempFolder folder;
    MemoryContentView view;
    TAlbumList albums(view, {});
    const int first = albums.AddAlbum("One", 0);
    albums.AddAlbum("Two", 0);
    const std::string queued = folder.Write("queued.jpg", "0123456789");
    albums.Items(1).AddJob(folder.File("source.jpg"), queued, 0, 10, 1, 1, "queued.jpg", "queued.jpg");
    struct Case { std::string content; bool expected; };
    const Case cases[] = {{"0123456789", true}, {"0123456780", false}, {"012345678", false}, {"", false}};
    for (const Case& c : cases) EXPECT_EQ(IsQueuedContent(albums, folder.Write("new.jpg", c.content)), c.expected) << c.content;
    EXPECT_FALSE(IsQueuedContent(albums, folder.File("missing.jpg")));
    EXPECT_EQ(albums.Items(first).Jobs().Count(), 0);  // the match was the second album's photo
}
