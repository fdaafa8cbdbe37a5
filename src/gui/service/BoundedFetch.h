#pragma once
// One GET of a page or picture from outside, bounded in every way a hostile or broken server
// could stretch it: the body may not exceed a byte cap (the reply is aborted as soon as more
// arrives, and nothing past the cap is ever held), the connection has the time-outs of every
// request (connecting, then inactivity) and the whole fetch a deadline. Only http and https are
// fetched, redirects only to http or https, and only a 2xx answer counts.

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace vantrel::gui {

class BoundedFetch : public QObject {
    Q_OBJECT
public:
    // Starts the GET at once through `manager` (its proxy applies). Emits ended() once, never
    // from within this constructor, unless Abort() comes first.
    BoundedFetch(QNetworkAccessManager& manager, const QUrl& url, qint64 byteCap, std::chrono::milliseconds deadline,
                 QObject* parent = nullptr);
    ~BoundedFetch() override;

    // Ends the fetch without ended(); the body is dropped.
    void Abort();

    // After ended(): whether the whole body arrived within the bounds, with a 2xx status.
    bool Succeeded() const { return succeeded_; }
    // What arrived so far (all of it after a success); never more than the cap.
    const QByteArray& Body() const { return body_; }
    // The address the body came from, after redirects.
    const QUrl& FinalUrl() const { return finalUrl_; }

signals:
    void ended();

private:
    void TakeAvailable();
    void CheckAnnouncedLength();
    void Finish();
    void GiveUp();

    QNetworkReply* reply_ = nullptr;
    QTimer* connectTimer_;
    QTimer* deadlineTimer_;
    qint64 byteCap_;
    QByteArray body_;
    QUrl finalUrl_;
    bool failed_ = false;
    bool aborted_ = false;
    bool succeeded_ = false;
};

// True for an http or https address with a host: the only kind fetched from outside.
bool IsFetchableUrl(const QUrl& url);

}  // namespace vantrel::gui
