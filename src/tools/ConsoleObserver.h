#pragma once
// The transfer panel of vantrel-cli send.

#include <chrono>
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
class ConsoleObserver : public TransferObserver {
public:
    // `interrupted` tells when Ctrl-C or a termination signal came: the run is stopped then.
    ConsoleObserver(const Texts& texts, std::function<bool()> interrupted)
        : texts_(texts), interrupted_(std::move(interrupted)) {}
    void Attach(TransferSession* session) { session_ = session; }
    // Prints a progress line to standard error every second while the photos go.
    void ShowProgressLines() { progressLines_ = true; }

    int sent = 0, refused = 0, failed = 0;

    void ProcessMessages() override {
        if (interrupted_() && session_ && !session_->StopPressed()) {
            std::fprintf(stderr, "stopping\n");
            session_->Stop();
        }
        if (progressLines_ && timerRunning_) PrintProgressWhenDue();
    }
    void SetTimerRunning(bool running) override { timerRunning_ = running; }
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
    void ShowRunProgress(std::int64_t position, std::int64_t range) override { runPosition_ = position, runRange_ = range; }
    void ShowLoginRefused() override { std::fprintf(stderr, "%s\n", ForTerminal(texts_("BadLoginErr")).c_str()); }
    void ShowReport(const TransferReport& report) override {
        std::printf("%s\n%s%s\n", ForTerminal(texts_("TransferReport")).c_str(),
                    ForTerminal(texts_("BadFileTransfer")).c_str(),
                    ForTerminal(FormatTransferReport(
                                    report, ReportTextsOf(texts_, SizeTextStyle{texts_("Panel_Mb"), texts_("Panel_Kb")})))
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
    // "sent 12.3 of 28.8 MB, 9.4 s left" (the time once the run can tell it).
    void PrintProgressWhenDue() {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastProgressLine_ < std::chrono::seconds(1)) return;
        lastProgressLine_ = now;
        const TransferRun* run = session_ ? session_->CurrentRun() : nullptr;
        const auto left = run ? run->SecondsLeft() : std::nullopt;
        std::fprintf(stderr, "sent %.1f of %.1f MB", static_cast<double>(runPosition_) / 1e6,
                     static_cast<double>(runRange_) / 1e6);
        if (left) std::fprintf(stderr, ", %.1f s left", *left);
        std::fprintf(stderr, "\n");
    }

    const Texts& texts_;
    std::function<bool()> interrupted_;
    TransferSession* session_ = nullptr;
    bool progressLines_ = false;
    bool timerRunning_ = false;
    std::int64_t runPosition_ = 0, runRange_ = 0;
    std::chrono::steady_clock::time_point lastProgressLine_{};
    bool waiting_ = false;
};

}  // namespace vantrel::cli
