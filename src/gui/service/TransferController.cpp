#include "gui/service/TransferController.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/app/FormatPattern.h"
#include "core/app/ProxySetting.h"
#include "core/service/FileWriteError.h"
#include "core/service/FtpClient.h"
#include "core/service/TXmlRpcService.h"
#include "core/service/TransferPreparation.h"
#include "core/service/WebLink.h"
#include "core/service/XmlRpcTransferService.h"
#include "gui/albums/AlbumsController.h"
#include "gui/app/MainWindow.h"
#include "gui/service/RunNotifier.h"
#include "gui/service/TReport_Dlog.h"
#include "gui/service/TransferPage.h"
#include "gui/service/TransferPanel.h"
#include "gui/service/WebLinkOpener.h"

namespace vantrel::gui {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

int PerMille(std::int64_t position, std::int64_t range) {
    if (range <= 0) return 0;
    return static_cast<int>(std::clamp<std::int64_t>(position * 1000 / range, 0, 1000));
}
}  // namespace

TransferController::TransferController(TMain_Dlog& window, TransferPage& page, TransferPanel& panel)
    : QObject(&window), window_(window), page_(page), panel_(panel) {
    // Clicking the notification of a finished run brings the window to the front.
    notifier_ = new RunNotifier(
        [this] {
            window_.show();
            window_.raise();
            window_.activateWindow();
        },
        this);
    Info_Timer = new QTimer(this);
    Info_Timer->setObjectName("Info_Timer");
    Info_Timer->setInterval(500);
    connect(Info_Timer, &QTimer::timeout, this, &TransferController::Info_TimerTimer);
    connect(page_.Start_Btn, &QPushButton::clicked, this, &TransferController::Start_BtnClick);
    connect(panel_.Stop_Btn, &QPushButton::clicked, this, &TransferController::Stop_BtnClick);
    connect(page_.WebSite_Lbl, &QLabel::linkActivated, this, &TransferController::OpenWebSite);
    connect(page_.LostClic_Lbl, &QLabel::linkActivated, this, [this] { window_.ShowHelpTopic("H_Coordonnees"); });
    page_.Info_Lbl->hide();
}

TransferController::~TransferController() = default;

void TransferController::Start_BtnClick() {
    if (running_) return;
    if (page_.Login_Edit->text().isEmpty()) {
        QMessageBox::critical(&window_, window_.windowTitle(), window_.Translate("MailAddrErr"));
        return;
    }
    if (page_.Pass_Edit->text().isEmpty()) {
        QMessageBox::critical(&window_, window_.windowTitle(), window_.Translate("PasswordErr"));
        return;
    }
    page_.Info_Lbl->setText(window_.Translate("ContactServer"));
    page_.Info_Lbl->show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    outcome_ = TTransferOutcome::toNone;
    stopRequested_ = false;
    photosSent_ = 0;
    page_.Animate1->show();
    ProcessMessages();

    running_ = true;
    window_.UpdateActions();
    sleepInhibitor_.Take(QStringLiteral("Sending photos to the service"));
    bool failed = false;
    bool noCopySizes = false;
    std::optional<TWriteFailure> writeFailure;
    try {
        outcome_ = Run();
    } catch (const TCopySizesMissing&) {
        noCopySizes = true;
    } catch (const TFileWriteError& error) {
        writeFailure = error.Failure();  // a full disk is no connection failure: say which file and why
    } catch (const std::exception&) {
        failed = true;  // the error's own text is not shown: one message says it all
    }
    running_ = false;
    sleepInhibitor_.Release();
    window_.UpdateActions();
    ShowPanel(false);
    page_.Info_Lbl->setText(window_.Translate("DisconnectServer"));
    window_.UpdateTransferSummary();
    if (!closeRequested_) {
        // Before any message box: the user away from the window learns of the end at once.
        const TAlbumList& albums = window_.Albums()->Albums();
        int left = 0;
        for (int i = 0; i < albums.Count(); ++i) left += albums.Items(i).Jobs().Count();
        NotifyRunEnded(left);
    }
    if (failed) QMessageBox::critical(&window_, window_.windowTitle(), window_.Translate("BadConnect"));
    if (noCopySizes) QMessageBox::critical(&window_, window_.windowTitle(), window_.Translate("NoCopySizes"));
    if (writeFailure) {
        const std::string text = WriteFailureMessage(
            *writeFailure, [this](std::string_view key) { return window_.Language().Translate(std::string(key)); });
        QMessageBox::critical(&window_, window_.windowTitle(), Q(text));
    }
    QApplication::restoreOverrideCursor();
    page_.Animate1->hide();
    page_.Info_Lbl->hide();

    if (outcome_ == TTransferOutcome::toCompleted || outcome_ == TTransferOutcome::toReported) {
        window_.SaveSettingsNow();
        const TAlbumList& albums = window_.Albums()->Albums();
        int left = 0;
        for (int i = 0; i < albums.Count(); ++i) left += albums.Items(i).Jobs().Count();
        if (left > 0 && outcome_ == TTransferOutcome::toCompleted)
            QMessageBox::warning(&window_, window_.windowTitle(), window_.Translate("RemainFiles"));
        else if (left == 0 && photosSent_ > 0 && !closeRequested_)
            QMessageBox::information(&window_, window_.windowTitle(), Q(AllSentText()));
    } else if (outcome_ == TTransferOutcome::toStopped && !closeRequested_ && !writeFailure) {
        QMessageBox::warning(&window_, window_.windowTitle(), window_.Translate("TransferAbort"));
    }
    window_.Albums()->SaveTransferList();
    if (closeRequested_) emit closeAfterRun();
}

TTransferOutcome TransferController::Run() {
    TRemoteSettings& remote = window_.RemoteSettings();
    const std::string workFolder = window_.WorkFolder();
    // The service's parameters are made sure of before the FTP client is configured from them,
    // so that a run after a failed start-up download uses what it downloads now.
    // Stop, a close of the window and a termination signal end every wait of the run.
    const auto stopped = [this] { return stopRequested_; };
    const std::string proxy = ProxyAddressOf(window_.Settings());
    HttpClient settingsHttp([this] { ProcessMessages(); });
    settingsHttp.SetStopCheck(stopped);
    settingsHttp.SetProxy(proxy);
    PrepareTransfer(settingsHttp, workFolder, window_.Locale().country, window_.RemoteSettingsLoaded(), remote,
                    [this](const RemoteSettingsResult& problem) {
                        const std::string text =
                            problem.Message([this](std::string_view key) { return window_.Language().Translate(std::string(key)); });
                        if (!text.empty()) QMessageBox::warning(&window_, window_.windowTitle(), Q(text));
                    });
    TFtpSettings ftpSettings = FtpSettingsFor(remote);
    ftpSettings.proxy = proxy;
    TFtpClient ftp(ftpSettings, [this] { ProcessMessages(); });
    ftp_ = &ftp;

    page_.Animate1->hide();
    page_.Info_Lbl->setText(window_.Translate("ServerConnected"));
    panel_.PBar1->setValue(0);
    panel_.PBar2->setValue(0);
    panel_.Stop_Btn->setEnabled(!stopRequested_);
    panel_.Image_Img->clear();
    panel_.ImgName_Lbl->clear();
    panel_.Album_Lbl->clear();
    panel_.ImgLeft_Lbl->clear();
    panel_.TimeLeft_Lbl->clear();
    ShowPanel(true);
    sessionCode_.clear();
    ProcessMessages();
    ShowAdvert();

    HttpClient rpcHttp([this] { ProcessMessages(); });
    rpcHttp.SetStopCheck(stopped);
    rpcHttp.SetProxy(proxy);
    TXmlRpcService rpc(rpcHttp, remote.script_url, workFolder);
    TXmlRpcTransferService service(rpc);
    service.OnUnreadableResponse = [this](const RpcProblem& problem) {
        const std::string text =
            problem.Message([this](std::string_view key) { return window_.Language().Translate(std::string(key)); });
        if (!text.empty()) QMessageBox::warning(&window_, window_.windowTitle(), Q(text));
    };
    TTransferConfig config{remote, workFolder, page_.Login_Edit->text().toStdString(),
                           page_.Pass_Edit->text().toStdString(), UploadImagingFor(window_.Workspace()), {}};
    config.reconnect = ReconnectScheduleFromEnvironment();
    TTransferRun run(window_.Albums()->Albums(), service, *this, config);
    run_ = &run;
    // Stop may have been pressed while the panel came up, before the run existed.
    if (stopRequested_) run.Stop();
    struct Reset {
        TransferController* self;
        ~Reset() {
            self->photosSent_ = self->run_->PhotosSent();
            self->run_ = nullptr;
            self->ftp_ = nullptr;
            self->Info_Timer->stop();
        }
    } reset{this};
    return run.RunTransfer(ftp, sessionCode_);
}

void TransferController::ShowPanel(bool shown) { window_.ShowTransferPanel(shown); }

void TransferController::Stop_BtnClick() {
    panel_.Stop_Btn->setEnabled(false);
    stopRequested_ = true;
    if (run_) run_->Stop();
    outcome_ = TTransferOutcome::toStopped;
}

bool TransferController::ConfirmCloseDuringRun() {
    if (!running_) return true;
    if (QMessageBox::question(&window_, window_.windowTitle(), window_.Translate("AskStopTransfer")) !=
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

void TransferController::ShowAdvert() {
    panel_.WB->clear();
    std::string address = window_.RemoteSettings().advert_url;
    if (address.empty()) return;
    ReplaceAll(address, "[email]", page_.Login_Edit->text().toStdString());
    const QUrl url(Q(address));
    if (!IsWebLink(address) || (url.scheme() != "http" && url.scheme() != "https")) return;
    // Fetched without waiting: the run never waits for the page.
    if (!web_) web_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setTransferTimeout(60000);  // a silent web server must not hold the reply for ever
    QNetworkReply* reply = web_->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply->error() == QNetworkReply::NoError) panel_.WB->setHtml(QString::fromUtf8(reply->readAll()));
    });
}

void TransferController::OpenWebSite() {
    std::string address = window_.RemoteSettings().autologin_url;
    if (address.empty()) return;
    ReplaceAll(address, "[id_session]", sessionCode_);
    OpenWebLink(Q(address));
}

void TransferController::Info_TimerTimer() {
    if (!run_) return;
    TTimeEstimate estimate;
    if (!run_->EstimateTime(estimate)) return;
    const LanguageFile& language = window_.Language();
    std::string text;
    switch (estimate.kind) {
    case TEstimateKind::Minutes:
        text = FormatPattern(language.Translate("EstimTime"), {estimate.minutes}, window_.Locale().decimalSeparator);
        break;
    case TEstimateKind::AboutMinutes: text = language.Translate("EstimTimeMin"); break;
    case TEstimateKind::LessThanAMinute: text = language.Translate("EstimTimeLMin"); break;
    }
    panel_.TimeLeft_Lbl->setText(Q(text));
}

void TransferController::ProcessMessages() { QApplication::processEvents(); }

void TransferController::SetTimerRunning(bool running) {
    if (running) Info_Timer->start();
    else Info_Timer->stop();
}

void TransferController::ShowAlbum(const TAlbum& album) { panel_.Album_Lbl->setText(Q(album.AlbumName())); }

void TransferController::ShowPhoto(const TImageJob& job) {
    panel_.ImgName_Lbl->setText(Q(job.FileName));
    panel_.Image_Img->setPixmap(window_.Albums()->ContentImages().At(job.ImageIndex));
    panel_.Image_Img->repaint();
}

void TransferController::ShowPhotosLeft(int left) {
    const std::string word = window_.Language().Translate(left > 1 ? "Img_Plur" : "Img_Sing");
    panel_.ImgLeft_Lbl->setText(Q(FormatPattern(window_.Language().Translate("ToTransfer"), {std::int64_t{left}, word})));
}

void TransferController::ShowPhotoProgress(std::int64_t position, std::int64_t range) {
    panel_.PBar1->setValue(PerMille(position, range));
}

void TransferController::ShowRunProgress(std::int64_t position, std::int64_t range) {
    panel_.PBar2->setValue(PerMille(position, range));
}

void TransferController::ShowLoginRefused() {
    QMessageBox::critical(&window_, window_.windowTitle(), window_.Translate("BadLoginErr"));
}

void TransferController::ShowReport(const TTransferReport& report) {
    const LanguageFile& language = window_.Language();
    const std::string names =
        FormatTransferReport(report, language.Translate("BecauseSize"), language.Translate("BecauseWarning"),
                             language.Translate("BecauseNotVerified"), language.Translate("BecauseEndedEarly"));
    TReport_Dlog dialog(window_.Translate("TransferReport"), window_.Translate("BadFileTransfer"), Q(names), &window_);
    dialog.exec();
}

}  // namespace vantrel::gui

namespace vantrel::gui {

void TransferController::ShowConnectionWait(int secondsLeft) {
    // The wait takes the place of "Please wait..." and gives it back when the attempt starts.
    if (secondsLeft > 0)
        panel_.Wait_Lbl->setText(Q(FormatPattern(window_.Language().Translate("ConnectionWait"),
                                                 {std::int64_t{secondsLeft}})));
    else
        panel_.Wait_Lbl->setText(window_.Translate("Wait_Lbl"));
}

std::string TransferController::AllSentText() const {
    const LanguageFile& language = window_.Language();
    const std::string word = language.Translate(photosSent_ > 1 ? "Img_Plur" : "Img_Sing");
    return FormatPattern(language.Translate("AllPhotosSent"), {std::int64_t{photosSent_}, word});
}

}  // namespace vantrel::gui

namespace vantrel::gui {

void TransferController::NotifyRunEnded(int left) {
    if (window_.isActiveWindow()) return;
    const std::string body =
        FormatPattern(window_.Language().Translate("NotifyRunEnded"), {std::int64_t{photosSent_}, std::int64_t{left}});
    notifier_->Notify(window_.windowTitle(), Q(body));
}

}  // namespace vantrel::gui
