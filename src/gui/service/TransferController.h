#pragma once
// The transfer page at work: Start checks the login fields, runs the transfer on a thread of its
// own with the transfer panel shown, and reports the outcome; Stop ends the pending request and
// the run at once, the photo under way staying queued. The run itself is core's; this is its window.

#include <QObject>
#include <memory>
#include <string>

#include "core/service/TransferRun.h"
#include "core/service/TransferSession.h"
#include "gui/service/SleepInhibitor.h"
#include "gui/service/TransferWorker.h"

namespace vantrel::gui {

class AppContext;
class TransferPage;
class TransferPanel;
class RunNotifier;

class TransferController : public QObject {
    Q_OBJECT
public:
    TransferController(AppContext& context, TransferPage& page, TransferPanel& panel, QObject* parent = nullptr);
    ~TransferController() override;

    bool Running() const { return running_; }
    TTransferOutcome LastOutcome() const { return outcome_; }
    const std::string& SessionCode() const { return sessionCode_; }

    // The login fields show the remembered login; the remember box sets whether it is kept.
    void ShowRememberedLogin();
    // What the login fields hold goes into the settings (the file keeps it only when remembered).
    void CollectLogin();
    // The captions of the transfer page and panel in the user's language.
    void ApplyLanguage();
    // The photos waiting and their size on the transfer page; Start only when there are some.
    void ShowSummary();

    // Starts a run on a thread of its own; the window goes on meanwhile.
    void Start_BtnClick();
    void Stop_BtnClick();
    // The panel's upload limit changed: the run under way and the preference follow it.
    void ApplyUploadLimit(int kilobytesPerSecond);
    // Asks whether a running transfer should stop so that the window can close; true when the
    // window may close now (no run, or the run was told to stop and the close will follow it).
    bool ConfirmCloseDuringRun();
    // The same without asking (a termination signal): stops a running transfer and closes the
    // window once it has ended. False when no transfer runs.
    bool StopAndCloseAfterRun();

signals:
    // A run has begun (true) or ended (false).
    void runStateChanged(bool running);
    // The run took an album or let go of a photo: what may change the albums follows it.
    void heldAlbumsChanged();
    // The run has ended and the window asked to close meanwhile.
    void closeAfterRun();
    // A run that reached its end: the settings file is saved (the login the user may keep).
    void settingsToSave();

private:
    // Photos too small for a good 10x15 print are named before a run: false when the user would
    // rather not send them now. The question's box can stop it from being asked again.
    bool SmallPhotosAccepted();
    void StartWorker();
    // What the run tells, on the window's thread.
    void ShowConnected(const QString& advertUrl);
    void ShowPhoto(const QString& fileName, int tile);
    void ShowPhotosLeft(int left);
    void ShowEstimate(int kind, double minutes);
    void ShowConnectionWait(int secondsLeft);
    // A photo whose four files were verified leaves the queue.
    void TakeSentPhotoOff(const QString& workPath);
    void ShowReport(const TransferReport& report);
    // The run's thread has ended: how it went is shown.
    void RunEnded();
    void RestoreCursor();

    void ShowError(const QString& text);
    void ShowWarning(const QString& text);
    // A warning that holds nothing up (the run goes on behind it).
    void ShowWarningAside(const QString& text);
    std::string Text(std::string_view key) const;
    void ShowPanel(bool shown);
    // The service's page in the panel, fetched without waiting; it never holds up the run.
    void ShowAdvert(std::string address);
    void OpenWebSite();
    // "All N photos sent" after a run that emptied the list.
    std::string AllSentText() const;
    // When the window is not the active one, the desktop is told how the run ended.
    void NotifyRunEnded(int left);

    AppContext& context_;
    TransferPage& page_;
    TransferPanel& panel_;
    std::unique_ptr<TransferWorker> worker_;  // during a run
    TTransferOutcome outcome_ = TTransferOutcome::toNone;
    std::string sessionCode_;
    bool running_ = false;
    bool busyCursor_ = false;  // while the server is contacted
    bool stopRequested_ = false;  // Stop pressed (or the window asked to close) during this run
    bool closeRequested_ = false;
    int photosSent_ = 0;  // by the last run
    SleepInhibitor sleepInhibitor_;  // held while a run goes on
    RunNotifier* notifier_;
};

}  // namespace vantrel::gui
