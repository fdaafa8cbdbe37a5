#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/albums/AlbumTestSupport.h"
#include "core/albums/TAlbumList.h"

namespace vantrel {
namespace {

using albumtest::RecordingList;
using albumtest::ScratchFolder;
using albumtest::WriteFile;

// Adds a photo whose working copy is a real file in `folder`.
int AddPhoto(TAlbum& album, const ScratchFolder& folder, const std::string& name, int imageIndex) {
    std::string work = folder / name;
    WriteFile(work, "x");
    return album.AddJob("/home/u/" + name, work, imageIndex, 3000, 30, 40, name, name + " caption");
}

TEST(TAlbumList, SortsDateAlbumsNewestFirstThenNamesIgnoringCase) {
    RecordingList r;
    for (const char* name : {"27 avril 2005", "Vacances", "03 mai 2006", "anniversaire", "9 décembre 2007",
                             "31 février 2006"})
        r.list.AddAlbum(name);
    EXPECT_EQ(r.Names(), (std::vector<std::string>{"03 mai 2006", "27 avril 2005", "31 février 2006",
                                                   "9 décembre 2007", "anniversaire", "Vacances"}));
}

TEST(TAlbumList, AddAlbumRefusesExactDuplicatesAndCleansNames) {
    RecordingList r;
    EXPECT_EQ(r.list.AddAlbum("noël"), 0);
    EXPECT_GE(r.list.AddAlbum("Noël"), 0);  // case matters
    EXPECT_EQ(r.list.AddAlbum("noël"), -1);
    EXPECT_EQ(r.list.AddAlbum("axb"), 0);
    EXPECT_GE(r.list.AddAlbum("a/b"), 0);  // tested before cleaning: a second "axb"
    EXPECT_EQ(r.Names(), (std::vector<std::string>{"axb", "axb", "noël", "Noël"}));
    EXPECT_EQ(r.messages, (std::vector<UserMessage>{{"BadAlbumName", {}}, {"BadAlbumChars", {"/.<>\"|*:\\^?"}}}));
    EXPECT_EQ(r.list.CurrentIndex(), -1);  // a new album does not become current
}

TEST(TAlbumList, CurrentAlbumFillsTheContentListAndFollowsSorting) {
    ScratchFolder folder;
    RecordingList r;
    r.list.AddAlbum("Vacances");
    r.list.AddAlbum("anniversaire");
    AddPhoto(r.list.Items(1), folder, "a.jpg", 7);
    AddPhoto(r.list.Items(1), folder, "b.jpg", 3);
    r.list.SelectAlbum(1);
    EXPECT_EQ(r.ViewImages(), (std::vector<int>{7, 3}));
    EXPECT_EQ(r.view.Items()[0].caption, "a.jpg caption");
    EXPECT_TRUE(r.list.Items(1).IsCurrent());

    r.list.AddAlbum("27 avril 2005");  // sorts in front of the current album
    EXPECT_EQ(r.list.CurrentIndex(), 2);
    EXPECT_EQ(r.list.CurrentAlbum()->AlbumName(), "Vacances");

    r.list.SelectAlbum(9);  // outside: no album current, the content list is kept
    EXPECT_EQ(r.list.CurrentIndex(), -1);
    EXPECT_EQ(r.list.CurrentAlbum(), nullptr);
    EXPECT_EQ(r.view.ItemCount(), 2);
}

TEST(TAlbumList, RemovingPhotosDeletesWorkingCopiesAndKeepsTheAlbum) {
    ScratchFolder folder;
    RecordingList r;
    r.list.AddAlbum("Vacances");
    r.list.SelectAlbum(0);
    TAlbum& album = r.list.Items(0);
    for (int i = 0; i < 3; ++i) AddPhoto(album, folder, "p" + std::to_string(i) + ".jpg", 10 + i);
    r.view.SetSelected(0, true);
    r.view.SetSelected(2, true);
    r.events.clear();
    album.RemoveSelectedJobs();
    EXPECT_EQ(r.ViewImages(), (std::vector<int>{11}));
    EXPECT_FALSE(std::filesystem::exists(folder / "p0.jpg"));
    EXPECT_TRUE(std::filesystem::exists(folder / "p1.jpg"));
    EXPECT_FALSE(std::filesystem::exists(folder / "p2.jpg"));
    EXPECT_EQ(r.events, (std::vector<std::string>{"content:Vacances", "content:Vacances", "content:Vacances"}));

    album.SelectJobItem(0);  // how a sent photo is removed
    album.RemoveSelectedJobs();
    EXPECT_EQ(album.Jobs().Count(), 0);
    EXPECT_EQ(r.list.Count(), 1);
    album.RemoveJob(5, true);  // outside: nothing
}

TEST(TAlbumList, MovingPhotosKeepsWorkingCopyTileAndFields) {
    ScratchFolder folder;
    RecordingList r;
    r.list.AddAlbum("A");
    r.list.AddAlbum("B");
    r.list.SelectAlbum(0);
    AddPhoto(r.list.Items(0), folder, "p0.jpg", 4);
    AddPhoto(r.list.Items(0), folder, "p1.jpg", 5);
    AddPhoto(r.list.Items(0), folder, "p2.jpg", 6);
    r.view.SetSelected(0, true);
    r.view.SetSelected(1, true);

    r.list.MoveSelectedJobs(r.list.Items(0));  // onto the current album itself: refused
    EXPECT_EQ(r.list.Items(0).Jobs().Count(), 3);
    r.list.MoveSelectedJobs(r.list.Items(1));
    EXPECT_EQ(r.ViewImages(), (std::vector<int>{6}));
    const TJobList& moved = r.list.Items(1).Jobs();
    ASSERT_EQ(moved.Count(), 2);
    EXPECT_EQ(moved.Items(0).ImageIndex, 5);  // walked from the last item to the first
    EXPECT_EQ(moved.Items(1).ImageIndex, 4);
    EXPECT_EQ(moved.Items(1).WorkPath, folder / "p0.jpg");
    EXPECT_EQ(moved.Items(1).PackageSize, 3000 + 100 + 5 + 250);
    EXPECT_TRUE(std::filesystem::exists(folder / "p0.jpg"));
    EXPECT_TRUE(std::filesystem::exists(folder / "p1.jpg"));
}

TEST(TAlbumList, DeletingAlbumsDeletesTheirWorkingCopies) {
    ScratchFolder folder;
    RecordingList r;
    r.list.AddAlbum("A");
    r.list.AddAlbum("B");
    r.list.SelectAlbum(1);
    AddPhoto(r.list.Items(1), folder, "b.jpg", 1);
    AddPhoto(r.list.Items(0), folder, "a.jpg", 2);
    r.events.clear();
    r.list.DeleteCurrentAlbum();
    EXPECT_FALSE(std::filesystem::exists(folder / "b.jpg"));
    EXPECT_EQ(r.Names(), std::vector<std::string>{"A"});
    EXPECT_EQ(r.list.CurrentIndex(), 0);  // the first remaining album becomes current
    EXPECT_EQ(r.ViewImages(), std::vector<int>{2});
    EXPECT_EQ(r.events, (std::vector<std::string>{"content:B", "albums", "albums", "content:-"}));

    r.list.DefaultAlbumIndex = 0;
    r.list.DeleteCurrentAlbum();
    EXPECT_EQ(r.list.Count(), 0);
    EXPECT_EQ(r.list.CurrentIndex(), -1);
    EXPECT_EQ(r.list.DefaultAlbumIndex, -1);
    EXPECT_EQ(r.view.ItemCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "a.jpg"));
}

TEST(TAlbumList, EndNameEdit) {
    struct Case {
        const char* text;
        NameEditOutcome outcome;
        std::string name;
        const char* message;  // "" for none
        bool told;            // listeners of album changes hear of it
    };
    const std::string long70(70, 'n');
    const Case cases[] = {
        {"Zoo", NameEditOutcome::Accepted, "Zoo", "", true},
        {"Été", NameEditOutcome::Duplicate, "Bal", "BadAlbumName", false},  // the refused name is not taken
        {"a:b", NameEditOutcome::Accepted, "axb", "BadAlbumChars", true},
        {"", NameEditOutcome::Accepted, "", "", true},
        {long70.c_str(), NameEditOutcome::TooLong, std::string(64, 'n'), "AlbumNameTooLong", true},
    };
    for (const Case& c : cases) {
        RecordingList r;
        r.list.AddAlbum("Été");
        r.list.AddAlbum("Bal");
        TAlbum& album = r.list.Items(0);  // "Bal"
        r.messages.clear();
        r.events.clear();
        EXPECT_EQ(r.list.EndNameEdit(album, c.text), c.outcome) << c.text;
        EXPECT_EQ(album.AlbumName(), c.name) << c.text;
        EXPECT_EQ(r.messages.empty() ? std::string() : r.messages.back().key, c.message) << c.text;
        EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "albums"), c.told ? 1 : 0) << c.text;
    }
    RecordingList r;
    r.list.AddAlbum("Bal");
    r.list.AddAlbum("Mer");
    r.list.EndNameEdit(r.list.Items(0), "Zoo");  // an accepted name is sorted into place
    EXPECT_EQ(r.Names(), (std::vector<std::string>{"Mer", "Zoo"}));
}

TEST(TAlbumList, AddAlbumFromUserChecksLengthAndMakesTheOnlyAlbumCurrent) {
    RecordingList r;
    EXPECT_EQ(r.list.AddAlbumFromUser(""), -1);
    std::string accented;
    for (int i = 0; i < 65; ++i) accented += "é";
    EXPECT_EQ(r.list.AddAlbumFromUser(accented), -1);
    EXPECT_EQ(r.messages.back().key, "AlbumNameTooLong");
    EXPECT_EQ(r.list.AddAlbumFromUser(accented.substr(2)), 0);  // 64 characters pass
    EXPECT_EQ(r.list.CurrentIndex(), 0);
    EXPECT_EQ(r.list.DefaultAlbumIndex, 0);
    EXPECT_EQ(r.list.AddAlbumFromUser("Mer"), 0);  // sorts before the accented name
    EXPECT_EQ(r.list.CurrentIndex(), 1);         // a second album leaves the current one as it was
}

TEST(TAlbumList, HighlightIsExclusive) {
    RecordingList r;
    r.list.AddAlbum("A");
    r.list.AddAlbum("B");
    r.list.Highlight(&r.list.Items(0));
    r.list.Highlight(&r.list.Items(1));
    EXPECT_FALSE(r.list.Items(0).IsHighlighted());
    EXPECT_TRUE(r.list.Items(1).IsHighlighted());
    r.list.RemoveHighlight(r.list.Items(1));
    EXPECT_FALSE(r.list.Items(1).IsHighlighted());
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Records what the panels are told, as "event:album name".
struct PanelRecorder : AlbumListView {
    std::vector<std::string> calls;
    void AlbumCreated(TAlbum& a) override { calls.push_back("created:" + a.AlbumName()); }
    void AlbumDestroying(TAlbum& a) override { calls.push_back("destroying:" + a.AlbumName()); }
    void AlbumsRestacked(TAlbumList& list) override {
        std::string order;
        for (int i = 0; i < list.Count(); ++i) order += (i ? "," : "") + list.Items(i).AlbumName();
        calls.push_back("restacked:" + order);
    }
    void AlbumCurrentChanged(TAlbum& a) override { calls.push_back((a.IsCurrent() ? "current:" : "not current:") + a.AlbumName()); }
    void AlbumCountChanged(TAlbum& a) override { calls.push_back("count:" + a.AlbumName() + "=" + std::to_string(a.Jobs().Count())); }
    void AlbumNameChanged(TAlbum& a) override { calls.push_back("name:" + a.AlbumName()); }
};

TEST(TAlbumList, PanelsAreToldEveryChange) {
    albumtest::RecordingList r;
    PanelRecorder panels;
    r.list.AlbumView = &panels;
    r.list.AddAlbum("B");
    r.list.AddAlbum("A");
    r.list.SelectAlbum(1);
    r.list.Items(1).AddJob("/s", "/nonexistent/w", 0, 1, 1, 1, "w", "c");
    r.list.SelectAlbum(0);
    r.list.EndNameEdit(r.list.Items(0), "C?");
    r.list.DeleteAlbum(1);
    EXPECT_EQ(panels.calls, (std::vector<std::string>{
                                "created:B", "restacked:B", "created:A", "restacked:A,B", "current:B", "count:B=1",
                                "not current:B", "current:A", "name:Cx", "restacked:B,Cx", "destroying:Cx",
                                "current:B"}));
    r.list.AlbumView = nullptr;
}

}  // namespace
}  // namespace vantrel
