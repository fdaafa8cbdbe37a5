#include "gui/service/BoundedFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include "core/service/NetworkTimeouts.h"

namespace vantrel::gui {

namespace {
// What the network layer may hold for us before we read it: the cap is checked on what we read,
// so its own buffer must stay small too.
constexpr qint64 kReadBuffer = 64 * 1024;
constexpr int kRedirects = 5;
}  // namespace

bool IsFetchableUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == "http" || scheme == "https") && !url.host().isEmpty();
}

BoundedFetch::BoundedFetch(QNetworkAccessManager& manager, const QUrl& url, qint64 byteCap,
                           std::chrono::milliseconds deadline, QObject* parent)
    : QObject(parent), byteCap_(byteCap), finalUrl_(url) {
    const NetworkTimeouts timeouts = DefaultNetworkTimeouts();
    connectTimer_ = new QTimer(this);
    connectTimer_->setSingleShot(true);
    connectTimer_->setInterval(timeouts.connect);
    connect(connectTimer_, &QTimer::timeout, this, &BoundedFetch::GiveUp);
    deadlineTimer_ = new QTimer(this);
    deadlineTimer_->setSingleShot(true);
    deadlineTimer_->setInterval(deadline);
    connect(deadlineTimer_, &QTimer::timeout, this, &BoundedFetch::GiveUp);
    if (!IsFetchableUrl(url)) {
        // Ended, but as a reply would: later, from the event loop.
        failed_ = true;
        QTimer::singleShot(0, this, [this] {
            if (!aborted_) emit ended();
        });
        return;
    }

    QNetworkRequest request(url);
    // The inactivity time-out of every request; it also covers name resolution and the wait
    // for the first answer.
    request.setTransferTimeout(static_cast<int>(timeouts.inactivity.count()));
    // https to http is refused; no other scheme is ever followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kRedirects);
    reply_ = manager.get(request);
    reply_->setReadBufferSize(kReadBuffer);
    connect(reply_, &QNetworkReply::socketStartedConnecting, connectTimer_, qOverload<>(&QTimer::start));
    connect(reply_, &QNetworkReply::requestSent, connectTimer_, &QTimer::stop);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &BoundedFetch::CheckAnnouncedLength);
    connect(reply_, &QNetworkReply::redirected, this, [this](const QUrl& target) {
        if (!IsFetchableUrl(target)) GiveUp();
    });
    connect(reply_, &QNetworkReply::readyRead, this, &BoundedFetch::TakeAvailable);
    connect(reply_, &QNetworkReply::finished, this, &BoundedFetch::Finish);
    deadlineTimer_->start();
}

BoundedFetch::~BoundedFetch() { Abort(); }

void BoundedFetch::Abort() {
    aborted_ = true;
    connectTimer_->stop();
    deadlineTimer_->stop();
    if (!reply_) return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    body_.clear();
    body_.squeeze();
}

void BoundedFetch::CheckAnnouncedLength() {
    if (!reply_) return;
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > byteCap_) GiveUp();
}

void BoundedFetch::TakeAvailable() {
    if (!reply_) return;
    connectTimer_->stop();
    // Checked before reading: bytes past the cap are never copied here.
    if (body_.size() + reply_->bytesAvailable() > byteCap_) {
        GiveUp();
        return;
    }
    body_ += reply_->readAll();
}

void BoundedFetch::GiveUp() {
    if (!reply_) return;
    failed_ = true;
    Abort();  // finished() of the aborted reply no longer reaches us
    aborted_ = false;
    emit ended();
}

void BoundedFetch::Finish() {
    if (!reply_) return;
    if (reply_->isReadable()) TakeAvailable();
    if (!reply_) return;  // over the cap: already ended
    connectTimer_->stop();
    deadlineTimer_->stop();
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    finalUrl_ = reply_->url();
    succeeded_ = !failed_ && reply_->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                 IsFetchableUrl(finalUrl_);
    reply_->disconnect(this);
    reply_->deleteLater();
    reply_ = nullptr;
    if (!succeeded_) {
        body_.clear();
        body_.squeeze();
    }
    emit ended();
}

}  // namespace vantrel::gui
