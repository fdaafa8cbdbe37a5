// Whole runs on two FTP sessions side by side, read from the stand-in's log of FTP commands.
#include <chrono>
#include <regex>

#include "core/service/TransferEndToEndFixture.h"

namespace vantrel::endtoend {

class TransferSessions : public TransferEndToEnd {
protected:
    // The FTP commands of the sessions that entered `folder`, by session, in their order.
    static std::map<int, std::vector<std::string>> CommandsIn(const std::string& folder) {
        const std::string log = service_->Get("/control/commands").body;
        static const std::regex entry(R"re(\{"session": (\d+), "line": "([^"]*)")re");
        std::map<int, std::vector<std::string>> all;
        for (auto it = std::sregex_iterator(log.begin(), log.end(), entry); it != std::sregex_iterator(); ++it)
            all[std::stoi((*it)[1])].push_back((*it)[2]);
        std::map<int, std::vector<std::string>> entered;
        for (auto& [session, lines] : all)
            if (std::find(lines.begin(), lines.end(), "CWD " + folder) != lines.end())
                entered[session] = lines;
        return entered;
    }

    // The stores and checksums of a session, the other commands left out.
    static std::vector<std::string> StoresAndChecks(const std::vector<std::string>& lines) {
        std::vector<std::string> kept;
        for (const auto& line : lines)
            if (line.starts_with("STOR ") || line.starts_with("site CHECKSUM "))
                kept.push_back(line);
        return kept;
    }

    // The photo number of a store or checksum line ("STOR 3.s.jpg" -> 3).
    static int NumberOf(const std::string& line) { return std::stoi(line.substr(line.rfind(' ') + 1)); }
};

// Each package keeps its four files in their order on one session, each verified before the
// next, the sidecar last; the numbers follow the queue; both sessions carry packages.
TEST_F(TransferSessions, TwoSessionsSendEachPackageWholeOnOneOfThem) {
    std::vector<std::string> walk;  // the photos in the order the run takes them: the last first
    for (int i = 0; i < 6; ++i) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        QueueInto("Summer", NoisyPhoto(name, 640 + 16 * i, 480));
        walk.insert(walk.begin(), name);
    }
    // At 1 MB/s a package takes long enough for the second session to log in beside the first.
    UploadRateLimit limit;
    limit.SetBytesPerSecond(1'000'000);
    rateLimit_ = &limit;
    sessions_ = 2;
    const auto before = UploadFolders();
    RecordingObserver observer;
    EXPECT_EQ(Run(observer), TTransferOutcome::toCompleted);
    EXPECT_TRUE(QueuedNames().empty());
    EXPECT_FALSE(observer.report.has_value());
    // The run's bar adds up both sessions' bytes: it never goes back, and ends full.
    EXPECT_TRUE(std::is_sorted(observer.runPositions.begin(), observer.runPositions.end()));

    const std::string folder = NewFolder(before);
    const auto sessions = CommandsIn(folder);
    std::set<int> carriers;
    std::set<int> numbers;
    for (const auto& [session, lines] : sessions) {
        const auto stores = StoresAndChecks(lines);
        // One package at a time: its eight lines in a row, then the next package's.
        ASSERT_EQ(stores.size() % 8, 0u) << session;
        for (std::size_t at = 0; at < stores.size(); at += 8) {
            const std::string n = std::to_string(NumberOf(stores[at]));
            std::vector<std::string> expected;
            for (const char* suffix : {".jpg", ".s.jpg", ".t.jpg", ".inf"})
                expected.insert(expected.end(), {"STOR " + n + suffix, "site CHECKSUM " + n + suffix});
            EXPECT_EQ(std::vector<std::string>(stores.begin() + static_cast<long>(at),
                                               stores.begin() + static_cast<long>(at) + 8),
                      expected);
            EXPECT_TRUE(numbers.insert(std::stoi(n)).second) << n << " sent twice";
            carriers.insert(session);
        }
    }
    EXPECT_EQ(numbers, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(carriers.size(), 2u);
    // Number n is the n-th photo of the queue's walk, whichever session sent it.
    const std::string remote = service_->ftpFolder() + "/" + folder + "/";
    for (std::size_t n = 0; n < walk.size(); ++n)
        EXPECT_NE(ReadAll(remote + std::to_string(n) + ".inf").find("name " + walk[n] + "\r\n"), std::string::npos)
            << n;
}

// A server that takes one session per user refuses the second with 421: the run sends
// everything on the first, and says nothing about it.
TEST_F(TransferSessions, ASecondSessionTheServerRefusesIsLeftAside) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        QueueInto("Summer", NoisyPhoto(name, 640, 480));
    ASSERT_TRUE(service_->SetFault("one-ftp-session", true));
    sessions_ = 2;
    const auto before = UploadFolders();
    RecordingObserver observer;
    const TTransferOutcome outcome = Run(observer);
    ASSERT_TRUE(service_->SetFault("one-ftp-session", false));
    EXPECT_EQ(outcome, TTransferOutcome::toCompleted);
    EXPECT_TRUE(QueuedNames().empty());
    EXPECT_FALSE(observer.report.has_value());
    EXPECT_TRUE(messages_.empty());
    const auto sessions = CommandsIn(NewFolder(before));
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(StoresAndChecks(sessions.begin()->second).size(), 3u * 8);
}

// Stop while both sessions are storing ends both at once: the photos under way stay queued,
// and neither package reached its sidecar.
TEST_F(TransferSessions, StopEndsBothSessionsAndKeepsTheirPhotosQueued) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        QueueInto("Summer", NoisyPhoto(name, 900, 700));
    UploadRateLimit limit;
    limit.SetBytesPerSecond(200'000);
    rateLimit_ = &limit;
    sessions_ = 2;
    const auto before = UploadFolders();
    RecordingObserver observer;
    TransferRun* running = nullptr;
    std::chrono::steady_clock::time_point stoppedAt;
    // Stop once the second photo's bytes are on their way beside the first's.
    observer.onPhotoProgress = [&](std::int64_t position) {
        if (observer.photosShown.size() >= 2 && position > 0 && running && !running->StopPressed()) {
            stoppedAt = std::chrono::steady_clock::now();
            running->Stop();
        }
    };
    EXPECT_EQ(Run(observer, kPassword, [&](TransferRun& run) { running = &run; }), TTransferOutcome::toStopped);
    const auto ended = std::chrono::steady_clock::now();
    ASSERT_TRUE(running != nullptr);
    EXPECT_LT(ended - stoppedAt, std::chrono::seconds(1));

    EXPECT_EQ(QueuedNames(),
              (std::vector<std::string>{"Summer/a.jpg", "Summer/b.jpg", "Summer/c.jpg", "Summer/d.jpg"}));
    EXPECT_EQ(RestoredNames(), QueuedNames());
    ExpectWorkingCopies();
    const std::string folder = NewFolder(before);
    const auto sessions = CommandsIn(folder);
    EXPECT_EQ(sessions.size(), 2u);
    for (const auto& [session, lines] : sessions)
        EXPECT_FALSE(StoresAndChecks(lines).empty()) << session;
    for (const auto& name : Entries(service_->ftpFolder() + "/" + folder))
        EXPECT_FALSE(name.ends_with(".inf")) << name;
}

}  // namespace vantrel::endtoend
