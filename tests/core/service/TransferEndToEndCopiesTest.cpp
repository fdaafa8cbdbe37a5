// Whole runs whose copies cannot be made: nothing empty is ever sent as a copy.
#include "core/service/TransferEndToEndFixture.h"

namespace vantrel::endtoend {

// No file of the upload folder is empty.
void ExpectNoEmptyFile(const std::string& folder) {
    for (const auto& name : Entries(folder)) EXPECT_GT(fs::file_size(folder + "/" + name), 0u) << name;
}

// A copy that cannot be made fails its photo's package: the photo stays queued with its working
// copy and is named in the report with the reason, and the run goes on with the others.
TEST_F(TransferEndToEnd, ACopyThatCannotBeMadeKeepsItsPhotoQueuedAndNamed) {
    QueueInto("Summer", NoisyPhoto("one.jpg", 300, 200));
    QueueInto("Summer", NoisyPhoto("two.jpg", 320, 240));
    // The thumbnail size of one photo as a hostile settings document gives it, past every check.
    adjustImaging_ = [](UploadImaging& imaging) {
        imaging.prepare = [real = imaging.prepare](ImageWorkspace& ws, const PhotoRequest& request) {
            PhotoRequest hostile = request;
            if (fs::path(request.workPath).filename() == "one.jpg") hostile.thumbSize = 2147483647;
            return real(ws, hostile);
        };
    };
    const auto before = UploadFolders();
    RecordingObserver observer;
    EXPECT_EQ(Run(observer), TTransferOutcome::toReported);
    ASSERT_TRUE(observer.report.has_value());
    EXPECT_EQ(observer.report->copiesNotMade,
              (std::vector<PhotoFailure>{{"one.jpg", "thumbnail: the copy size 2147483647 is outside 1..10000 pixels"}}));
    EXPECT_TRUE(observer.report->notVerified.empty());
    EXPECT_EQ(QueuedNames(), std::vector<std::string>{"Summer/one.jpg"});
    EXPECT_EQ(RestoredNames(), QueuedNames());
    ExpectWorkingCopies();
    const std::string folder = service_->ftpFolder() + "/" + NewFolder(before);
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"0.jpg", "0.s.jpg", "0.t.jpg", "0.inf"}));
    ExpectNoEmptyFile(folder);
}

// Copy sizes outside 1..10000 in the settings end the run before anything is made or sent.
TEST_F(TransferEndToEnd, CopySizesOutOfRangeAreRefusedBeforeAnythingIsSent) {
    QueueInto("Summer", NoisyPhoto("one.jpg", 300, 200));
    for (const auto& [key, value] : {std::pair{"size_scaled", "10001"}, std::pair{"size_thumbnail", "2147483647"},
                                     std::pair{"size_scaled", "1000000"}}) {
        SCOPED_TRACE(std::string(key) + "=" + value);
        ASSERT_TRUE(service_->SetValue(key, value));
        const auto before = UploadFolders();
        RecordingObserver observer;
        EXPECT_THROW(Run(observer), CopySizesMissingError);
        EXPECT_EQ(UploadFolders(), before);
        EXPECT_EQ(QueuedNames(), std::vector<std::string>{"Summer/one.jpg"});
        ExpectWorkingCopies();
        ASSERT_TRUE(service_->SetValue("size_scaled", "200"));
        ASSERT_TRUE(service_->SetValue("size_thumbnail", "48"));
    }
}

}  // namespace vantrel::endtoend
