#include "gui/service/TransferController.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>
#include <optional>
#include <utility>

#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TransferQueue.h"
#include "core/app/FormatPattern.h"
#include "core/app/ProxySetting.h"
#include "core/imaging/PrintSizeAdvice.h"
#include "core/service/FileWriteError.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/WebLink.h"
#include "core/service/XmlRpcResponse.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/BringToFront.h"
#include "gui/kit/Utf8Text.h"
#include "gui/kit/WebLinkOpener.h"
#include "gui/service/AdvertView.h"
#include "gui/service/RunNotifier.h"
#include "gui/service/TReport_Dlog.h"
#include "gui/service/TransferPage.h"
#include "gui/service/TransferPanel.h"

namespace vantrel::gui {

namespace {
void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

int PerMille(std::int64_t position, std::int64_t range) {
    if (range <= 0) return 0;
    return static_cast<int>(std::clamp<std::int64_t>(position * 1000 / range, 0, 1000));
}
}  // namespace

TransferController::TransferController(AppContext& context, TransferPage& page, TransferPanel& panel, QObject* parent)
    : QObject(parent), context_(context), page_(page), panel_(panel) {
    // Clicking the notification of a finished run brings the window to the front.
    notifier_ = new RunNotifier(
        [this] { BringToFront(*context_.DialogParent()); },
        this);
    connect(&page_, &TransferPage::startRequested, this, &TransferController::Start_BtnClick);
    connect(&panel_, &TransferPanel::stopRequested, this, &TransferController::Stop_BtnClick);
    connect(&panel_, &TransferPanel::uploadLimitChanged, this, &TransferController::ApplyUploadLimit);
    connect(&page_, &TransferPage::webSiteRequested, this, &TransferController::OpenWebSite);
    connect(&page_, &TransferPage::lostLoginHelpRequested, this, [this] { context_.ShowHelpTopic("H_Coordonnees"); });
    connect(&page_, &TransferPage::rememberChanged, this, [this](bool on) { context_.Settings().IsSaved = on; });
}

TransferController::~TransferController() = default;  // a run still going on is stopped and waited for

void TransferController::ShowError(const QString& text) {
    QMessageBox::critical(context_.DialogParent(), context_.Title(), text);
}

void TransferController::ShowWarning(const QString& text) {
    QMessageBox::warning(context_.DialogParent(), context_.Title(), text);
}

void TransferController::ShowWarningAside(const QString& text) {
    if (text.isEmpty()) return;
    auto* box = new QMessageBox(QMessageBox::Warning, context_.Title(), text, QMessageBox::Ok, context_.DialogParent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

std::string TransferController::Text(std::string_view key) const {
    return context_.Language().Translate(std::string(key));
}

void TransferController::Start_BtnClick() {
    if (running_) return;
    if (page_.Login().isEmpty()) {
        ShowError(context_.Translate("MailAddrErr"));
        return;
    }
    if (page_.Password().isEmpty()) {
        ShowError(context_.Translate("PasswordErr"));
        return;
    }
    if (!SmallPhotosAccepted()) return;
    page_.ShowStatus(context_.Translate("ContactServer"), true);
    // Busy while the server is contacted; once the run is under way the window is the user's again.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    busyCursor_ = true;
    outcome_ = TTransferOutcome::toNone;
    stopRequested_ = false;
    photosSent_ = 0;

    running_ = true;
    emit runStateChanged(true);
    sleepInhibitor_.Take(QStringLiteral("Sending photos to the service"));
    StartWorker();
}

bool TransferController::SmallPhotosAccepted() {
    UserSettings& settings = context_.Settings();
    if (!settings.AskSmall) return true;
    const TAlbumList& albums = context_.Queue().Albums();
    std::int64_t small = 0;
    for (int a = 0; a < albums.Count(); ++a) {
        const TJobList& photos = albums.Items(a).Jobs();
        for (int j = 0; j < photos.Count(); ++j)
            small += AdvisePrintSize(photos.Items(j).Width, photos.Items(j).Height).small ? 1 : 0;
    }
    if (small == 0) return true;
    const std::string question = FormatPattern(Text(small > 1 ? "SmallPhotosMany" : "SmallPhotosOne"), {small});
    QMessageBox box(QMessageBox::Question, context_.Title(), Q(question), QMessageBox::Yes | QMessageBox::No,
                    context_.DialogParent());
    box.setDefaultButton(QMessageBox::Yes);
    auto* stopAsking = new QCheckBox(context_.Translate("DontAskAgain"), &box);
    box.setCheckBox(stopAsking);
    const bool send = box.exec() == QMessageBox::Yes;
    if (stopAsking->isChecked()) {
        settings.AskSmall = false;
        emit settingsToSave();
    }
    return send;
}

void TransferController::StartWorker() {
    TransferWorker::Setup setup{{context_.WorkFolder(), context_.Locale().country,
                                 page_.Login().toStdString(), page_.Password().toStdString(),
                                 ProxyChoiceOf(context_.Settings()), context_.RemoteLoaded()},
                                context_.Remote(),
                                context_.Settings().LimitKBps,
                                context_.Settings().Connections};
    panel_.ShowUploadLimit(context_.Settings().LimitKBps);
    worker_ = std::make_unique<TransferWorker>(context_.Queue(), std::move(setup));
    TransferWorker& worker = *worker_;
    // A problem that does not end the run is shown without holding anything up.
    worker.OnSettingsProblem = [this](const RemoteSettingsResult& problem) {
        ShowWarningAside(Q(problem.Message([this](std::string_view key) { return Text(key); })));
    };
    worker.OnUnreadableResponse = [this](const RpcError& problem) {
        ShowWarningAside(Q(problem.Message([this](std::string_view key) { return Text(key); })));
    };
    connect(&worker, &TransferWorker::connected, this, &TransferController::ShowConnected);
    connect(&worker, &TransferWorker::albumShown, &panel_, &TransferPanel::ShowAlbum);
    connect(&worker, &TransferWorker::photoShown, this, &TransferController::ShowPhoto);
    connect(&worker, &TransferWorker::photoSent, this, &TransferController::TakeSentPhotoOff);
    // The run took or let go of an album: what may change the albums follows.
    connect(&worker, &TransferWorker::albumShown, this, &TransferController::heldAlbumsChanged);
    connect(&worker, &TransferWorker::photoEnded, this, &TransferController::heldAlbumsChanged);
    connect(&worker, &TransferWorker::photosLeftShown, this, &TransferController::ShowPhotosLeft);
    connect(&worker, &TransferWorker::photoProgress, this,
            [this](qint64 position, qint64 range) { panel_.ShowPhotoProgress(PerMille(position, range)); });
    connect(&worker, &TransferWorker::runProgress, this,
            [this](qint64 position, qint64 range) { panel_.ShowRunProgress(PerMille(position, range)); });
    connect(&worker, &TransferWorker::estimateShown, this, &TransferController::ShowEstimate);
    connect(&worker, &TransferWorker::connectionWait, this, &TransferController::ShowConnectionWait);
    connect(&worker, &TransferWorker::finished, this, &TransferController::RunEnded);
    // Stop may have been pressed before the run existed.
    if (stopRequested_) worker.Stop();
    worker.Start();
}

void TransferController::ShowConnected(const QString& advertUrl) {
    RestoreCursor();
    page_.ShowStatus(context_.Translate("ServerConnected"));
    panel_.Reset(!stopRequested_);
    ShowPanel(true);
    sessionCode_.clear();
    ShowAdvert(advertUrl.toStdString());
}

void TransferController::TakeSentPhotoOff(const QString& workPath) {
    // The run has deleted the working copy already; the queue writes the list at once.
    TAlbumList& albums = context_.Queue().Albums();
    const std::string path = workPath.toStdString();
    for (int i = 0; i < albums.Count(); ++i) {
        TAlbum& album = albums.Items(i);
        for (int j = 0; j < album.Jobs().Count(); ++j)
            if (album.Jobs().Items(j).WorkPath == path) return album.RemoveJob(j, true);
    }
}

void TransferController::RunEnded() {
    const std::unique_ptr<TransferWorker> worker = std::move(worker_);
    worker->Wait();
    RestoreCursor();
    const TransferSessionResult& result = worker->Result();
    // The run may have read the service's settings anew.
    context_.Remote() = worker->Remote();
    panel_.Advert().Clear();  // a page still on its way is given up with the run
    if (worker->LoginRefused()) ShowError(context_.Translate("BadLoginErr"));
    if (worker->Report()) ShowReport(*worker->Report());
    outcome_ = result.outcome;
    photosSent_ = result.photosSent;
    sessionCode_ = result.sessionCode;
    running_ = false;
    context_.Queue().Claims().Reset();
    sleepInhibitor_.Release();
    emit runStateChanged(false);
    ShowPanel(false);
    page_.ShowStatus(context_.Translate("DisconnectServer"));
    const int left = context_.Queue().QueuedCount();
    // Before any message box: the user away from the window learns of the end at once.
    if (!closeRequested_) NotifyRunEnded(left);
    switch (result.end) {
    case SessionEnd::Ran: break;
    case SessionEnd::ConnectionLost:
        // The cause (a status, a certificate's problem, an answer that could not be read) beneath.
        ShowError(result.error.empty() ? context_.Translate("BadConnect")
                                       : context_.Translate("BadConnect") + "\n\n(" + Q(result.error) + ")");
        break;
    case SessionEnd::NoCopySizes: ShowError(context_.Translate("NoCopySizes")); break;
    case SessionEnd::WriteFailed:
        ShowError(Q(WriteFailureMessage(result.writeFailure, [this](std::string_view key) { return Text(key); })));
        break;
    }
    page_.ShowStatus({});

    if (outcome_ == TTransferOutcome::toCompleted || outcome_ == TTransferOutcome::toReported) {
        emit settingsToSave();
        if (left > 0 && outcome_ == TTransferOutcome::toCompleted) ShowWarning(context_.Translate("RemainFiles"));
        else if (left == 0 && photosSent_ > 0 && !closeRequested_)
            QMessageBox::information(context_.DialogParent(), context_.Title(), Q(AllSentText()));
    } else if (outcome_ == TTransferOutcome::toStopped && !closeRequested_ && result.end != SessionEnd::WriteFailed) {
        ShowWarning(context_.Translate("TransferAbort"));
    }
    context_.Queue().Save();
    if (closeRequested_) emit closeAfterRun();
}

void TransferController::RestoreCursor() {
    if (std::exchange(busyCursor_, false)) QApplication::restoreOverrideCursor();
}

void TransferController::ShowRememberedLogin() {
    const UserSettings& settings = context_.Settings();
    page_.ShowLogin(Q(settings.Mail), Q(settings.Pass), settings.IsSaved);
}

void TransferController::CollectLogin() {
    UserSettings& settings = context_.Settings();
    settings.Mail = page_.Login().toStdString();
    settings.Pass = page_.Password().toStdString();
}

void TransferController::ApplyLanguage() {
    page_.SetCaptions([this](const char* key) { return context_.Translate(key); });
    panel_.SetCaptions([this](const char* key) { return context_.Translate(key); });
}

void TransferController::ShowSummary() {
    const TransferQueue& queue = context_.Queue();
    const std::int64_t photos = queue.QueuedCount();
    if (photos == 0) {
        page_.ShowSummary(context_.Translate("NoImgToTransfer"), {}, false);
        return;
    }
    const std::string word = Text(photos > 1 ? "Img_Plur" : "Img_Sing");
    page_.ShowSummary(
        Q(FormatPattern(Text("ImgWaiting"), {photos, word}, context_.Locale().decimalSeparator)),
        Q(Text("SizeToTransfer") + " " + FormatFileSize(static_cast<std::uint64_t>(queue.QueuedBytes()), context_.SizeStyle())),
        true);
}

void TransferController::ShowPanel(bool shown) { context_.ShowTransferPanel(shown); }

void TransferController::ApplyUploadLimit(int kilobytesPerSecond) {
    // The panel's limit is the preference too: the next run keeps it.
    context_.Settings().LimitKBps = kilobytesPerSecond;
    if (worker_) worker_->SetUploadLimit(kilobytesPerSecond);
}

void TransferController::Stop_BtnClick() {
    panel_.SetStopEnabled(false);
    stopRequested_ = true;
    if (worker_) worker_->Stop();
    outcome_ = TTransferOutcome::toStopped;
}

bool TransferController::ConfirmCloseDuringRun() {
    if (!running_) return true;
    if (QMessageBox::question(context_.DialogParent(), context_.Title(), context_.Translate("AskStopTransfer")) !=
        QMessageBox::Yes)
        return false;
    StopAndCloseAfterRun();
    return false;  // the window closes when the run has ended
}

bool TransferController::StopAndCloseAfterRun() {
    if (!running_) return false;
    closeRequested_ = true;
    if (!stopRequested_) Stop_BtnClick();
    return true;
}

void TransferController::ShowAdvert(std::string address) {
    panel_.Advert().Clear();
    if (address.empty()) return;
    ReplaceAll(address, "[email]", page_.Login().toStdString());
    if (!IsWebLink(address)) return;
    panel_.Advert().Load(QUrl(Q(address)), ProxyChoiceOf(context_.Settings()).ForUrl(address));
}

void TransferController::OpenWebSite() {
    std::string address = context_.Remote().autologin_url;
    if (address.empty()) return;
    ReplaceAll(address, "[id_session]", sessionCode_);
    OpenWebLink(Q(address));
}

void TransferController::ShowEstimate(int kind, double minutes) {
    const LanguageFile& language = context_.Language();
    std::string text;
    switch (static_cast<EstimateKind>(kind)) {
    case EstimateKind::Minutes:
        text = FormatPattern(language.Translate("EstimTime"), {minutes}, context_.Locale().decimalSeparator);
        break;
    case EstimateKind::AboutMinutes: text = language.Translate("EstimTimeMin"); break;
    case EstimateKind::LessThanAMinute: text = language.Translate("EstimTimeLMin"); break;
    }
    panel_.ShowTimeLeft(Q(text));
}

void TransferController::ShowPhoto(const QString& fileName, int tile) {
    panel_.ShowPhoto(fileName, context_.QueueTiles().At(tile));
}

void TransferController::ShowPhotosLeft(int left) {
    const std::string word = context_.Language().Translate(left > 1 ? "Img_Plur" : "Img_Sing");
    panel_.ShowPhotosLeft(Q(FormatPattern(context_.Language().Translate("ToTransfer"), {std::int64_t{left}, word})));
}

void TransferController::ShowReport(const TransferReport& report) {
    const LanguageFile& language = context_.Language();
    const std::string names = FormatTransferReport(
        report, ReportTextsOf([&](const char* key) { return language.Translate(key); }, context_.SizeStyle()));
    TReport_Dlog dialog(context_.Translate("TransferReport"), context_.Translate("BadFileTransfer"), Q(names),
                        context_.DialogParent());
    dialog.exec();
}

}  // namespace vantrel::gui

namespace vantrel::gui {

void TransferController::ShowConnectionWait(int secondsLeft) {
    // The wait takes the place of "Please wait..." and gives it back when the attempt starts.
    if (secondsLeft > 0)
        panel_.ShowWait(Q(FormatPattern(context_.Language().Translate("ConnectionWait"),
                                                 {std::int64_t{secondsLeft}})));
    else
        panel_.ShowWait(context_.Translate("Wait_Lbl"));
}

std::string TransferController::AllSentText() const {
    const LanguageFile& language = context_.Language();
    const std::string word = language.Translate(photosSent_ > 1 ? "Img_Plur" : "Img_Sing");
    return FormatPattern(language.Translate("AllPhotosSent"), {std::int64_t{photosSent_}, word});
}

}  // namespace vantrel::gui

namespace vantrel::gui {

void TransferController::NotifyRunEnded(int left) {
    if (context_.DialogParent()->isActiveWindow()) return;
    const std::string body =
        FormatPattern(context_.Language().Translate("NotifyRunEnded"), {std::int64_t{photosSent_}, std::int64_t{left}});
    notifier_->Notify(context_.Title(), Q(body));
}

}  // namespace vantrel::gui
