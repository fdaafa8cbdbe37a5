#pragma once
// The transfer panel of vantrel-cli send.

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "core/albums/TAlbum.h"
#include "core/albums/TImageJob.h"
#include "core/albums/TransferQueue.h"
#include "core/app/FormatPattern.h"
#include "core/service/TransferSession.h"
#include "tools/TerminalTexts.h"

namespace vantrel::cli {

// The transfer panel on the terminal: one line per photo once its fate is known, the messages
// on standard error, Ctrl-C as the Stop button.
class ConsoleObserver : public TTransferObserver {
public:
    // `interrupted` tells when Ctrl-C or a termination signal came: the run is stopped then.
    ConsoleObserver(const Texts& texts, const TransferQueue& queue, std::function<bool()> interrupted)
        : texts_(texts), queue_(queue), interrupted_(std::move(interrupted)) {}
    void Attach(TransferSession* session) { session_ = session; }

    int sent = 0, refused = 0, failed = 0;

    void ProcessMessages() override {
        if (interrupted_() && session_ && !session_->StopPressed()) {
            std::fprintf(stderr, "stopping\n");
            session_->Stop();
        }
    }
    void SetTimerRunning(bool) override {}
    void ShowAlbum(const TAlbum& album) override { album_ = &album; }
    void ShowPhoto(const TImageJob& job) override {
        Finish();
        const TTransferReport& report = session_->Report();
        pending_ = Pending{album_ ? album_->AlbumName() : std::string(), job.FileName, job.ImageIndex,
                           report.refusedForSize.size(), report.refusedForWarnings.size()};
    }
    void ShowPhotosLeft(int) override {}
    void ShowPhotoProgress(std::int64_t, std::int64_t) override {}
    void ShowRunProgress(std::int64_t, std::int64_t) override {}
    void ShowLoginRefused() override { std::fprintf(stderr, "%s\n", ForTerminal(texts_("BadLoginErr")).c_str()); }
    void ShowReport(const TTransferReport& report) override {
        Finish();
        std::printf("%s\n%s%s\n", ForTerminal(texts_("TransferReport")).c_str(),
                    ForTerminal(texts_("BadFileTransfer")).c_str(),
                    ForTerminal(FormatTransferReport(report, texts_("BecauseSize"), texts_("BecauseWarning"),
                                                     texts_("BecauseNotVerified"), texts_("BecauseEndedEarly"),
                                                     texts_("BecauseCopyNotMade")))
                        .c_str());
    }
    // Each wait is announced once, with its length.
    void ShowConnectionWait(int secondsLeft) override {
        if (secondsLeft > 0 && !waiting_)
            std::fprintf(stderr, "%s\n",
                         ForTerminal(FormatPattern(texts_("ConnectionWait"), {std::int64_t{secondsLeft}})).c_str());
        waiting_ = secondsLeft > 0;
    }

    // Prints the line of the photo shown last, now that the run has dealt with it.
    void Finish() {
        if (!pending_ || !session_) return;
        const TTransferReport& report = session_->Report();
        const char* fate = "sent";
        if (report.refusedForSize.size() > pending_->sizeRefusals) {
            fate = "refused (size)", ++refused;
        } else if (report.refusedForWarnings.size() > pending_->warningRefusals) {
            fate = "refused (damaged)", ++refused;
        } else if (queue_.Holds(pending_->imageIndex)) {
            fate = "not sent", ++failed;
        } else {
            ++sent;
        }
        std::printf("%s\t%s\t%s\n", pending_->album.c_str(), pending_->name.c_str(), fate);
        std::fflush(stdout);
        pending_.reset();
    }

private:
    struct Pending {
        std::string album, name;
        int imageIndex;
        std::size_t sizeRefusals, warningRefusals;
    };
    const Texts& texts_;
    const TransferQueue& queue_;
    std::function<bool()> interrupted_;
    TransferSession* session_ = nullptr;
    const TAlbum* album_ = nullptr;
    std::optional<Pending> pending_;
    bool waiting_ = false;
};

}  // namespace vantrel::cli
