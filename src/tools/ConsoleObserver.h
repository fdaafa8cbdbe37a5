#pragma once
// The transfer panel of vantrel-cli send.

#include <cstdio>
#include <functional>
#include <string>

#include "core/albums/TAlbum.h"
#include "core/albums/TImageJob.h"
#include "core/app/FormatPattern.h"
#include "core/service/TransferSession.h"
#include "tools/TerminalTexts.h"

namespace vantrel::cli {

// The transfer panel on the terminal: one line per photo once its fate is known, the messages
// on standard error, Ctrl-C as the Stop button.
class ConsoleObserver : public TTransferObserver {
public:
    // `interrupted` tells when Ctrl-C or a termination signal came: the run is stopped then.
    ConsoleObserver(const Texts& texts, std::function<bool()> interrupted)
        : texts_(texts), interrupted_(std::move(interrupted)) {}
    void Attach(TransferSession* session) { session_ = session; }

    int sent = 0, refused = 0, failed = 0;

    void ProcessMessages() override {
        if (interrupted_() && session_ && !session_->StopPressed()) {
            std::fprintf(stderr, "stopping\n");
            session_->Stop();
        }
    }
    void SetTimerRunning(bool) override {}
    void ShowAlbum(const TAlbum&) override {}
    void ShowPhoto(const TImageJob&) override {}
    // One line per photo once the run is done with it, in the order the photos end.
    void ShowPhotoEnded(const TAlbum& album, const TImageJob& job, PhotoEnd end) override {
        const char* fate = "sent";
        switch (end) {
        case PhotoEnd::Sent: ++sent; break;
        case PhotoEnd::RefusedForSize: fate = "refused (size)", ++refused; break;
        case PhotoEnd::RefusedDamaged: fate = "refused (damaged)", ++refused; break;
        case PhotoEnd::LeftQueued: fate = "not sent", ++failed; break;
        }
        std::printf("%s\t%s\t%s\n", album.AlbumName().c_str(), job.FileName.c_str(), fate);
        std::fflush(stdout);
    }
    void ShowPhotosLeft(int) override {}
    void ShowPhotoProgress(std::int64_t, std::int64_t) override {}
    void ShowRunProgress(std::int64_t, std::int64_t) override {}
    void ShowLoginRefused() override { std::fprintf(stderr, "%s\n", ForTerminal(texts_("BadLoginErr")).c_str()); }
    void ShowReport(const TTransferReport& report) override {
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

private:
    const Texts& texts_;
    std::function<bool()> interrupted_;
    TransferSession* session_ = nullptr;
    bool waiting_ = false;
};

}  // namespace vantrel::cli
