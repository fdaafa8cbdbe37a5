#include "gui/service/AdvertView.h"

#include <QBuffer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QScrollBar>
#include <QTimer>
#include <optional>

#include "gui/service/AdvertPageCheck.h"
#include "gui/service/BoundedFetch.h"

namespace vantrel::gui {

namespace {
// No proxy at all when none is given. Nothing for a kind Qt cannot speak: the page is then not
// fetched, rather than fetched around the proxy.
std::optional<QNetworkProxy> ProxyOf(const std::optional<ProxyServer>& server) {
    if (!server) return QNetworkProxy(QNetworkProxy::NoProxy);
    QNetworkProxy::ProxyType type = QNetworkProxy::HttpProxy;
    if (server->scheme == "socks5" || server->scheme == "socks5h") type = QNetworkProxy::Socks5Proxy;
    else if (server->scheme != "http") return std::nullopt;
    QNetworkProxy proxy(type, QString::fromStdString(server->host), static_cast<quint16>(server->port));
    if (!server->userInfo.empty()) {
        const QString userInfo = QString::fromStdString(server->userInfo);
        const qsizetype colon = userInfo.indexOf(':');
        proxy.setUser(QUrl::fromPercentEncoding(userInfo.left(colon).toUtf8()));
        if (colon >= 0) proxy.setPassword(QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8()));
    }
    return proxy;
}
}  // namespace

AdvertView::AdvertView(QWidget* parent) : QTextBrowser(parent) {
    web_ = new QNetworkAccessManager(this);
    renderTimer_ = new QTimer(this);
    renderTimer_->setSingleShot(true);
    renderTimer_->setInterval(250);
    connect(renderTimer_, &QTimer::timeout, this, &AdvertView::Render);
}

AdvertView::~AdvertView() { Clear(); }

void AdvertView::Load(const QUrl& url, const std::string& proxy) {
    if (proxy.empty()) return Load(url, std::optional<ProxyServer>());
    // "host:port" as the options give it: nothing is fetched when it cannot be read.
    std::optional<ProxyServer> server = ParseProxyServer("http://" + proxy);
    if (!server || proxy.find("://") != std::string::npos) {
        Clear();
        return;
    }
    Load(url, server);
}

void AdvertView::Load(const QUrl& url, const std::optional<ProxyServer>& proxy) {
    Clear();
    const std::optional<QNetworkProxy> through = ProxyOf(proxy);
    if (!through) return;
    web_->setProxy(*through);
    pageUrl_ = url;
    page_ = new BoundedFetch(*web_, url, limits_.pageBytes, limits_.deadline, this);
    connect(page_, &BoundedFetch::ended, this, &AdvertView::PageEnded);
}

void AdvertView::Clear() {
    renderTimer_->stop();
    if (page_) {
        page_->Abort();
        page_->deleteLater();
        page_ = nullptr;
    }
    for (Picture& picture : pictures_) {
        if (!picture.fetch) continue;
        picture.fetch->Abort();
        picture.fetch->deleteLater();
    }
    pictures_.clear();
    decodedPixels_ = 0;
    html_.clear();
    html_.squeeze();
    pageUrl_.clear();
    clear();
}

bool AdvertView::Busy() const {
    if (page_) return true;
    for (const Picture& picture : pictures_)
        if (picture.fetch) return true;
    return false;
}

qint64 AdvertView::HeldBytes() const {
    qint64 bytes = html_.size() * qint64{sizeof(QChar)};
    if (page_) bytes += page_->Body().size();
    for (const Picture& picture : pictures_)
        bytes += picture.fetch ? picture.fetch->Body().size()
                               : qint64{picture.pixmap.width()} * picture.pixmap.height() * picture.pixmap.depth() / 8;
    return bytes;
}

void AdvertView::PageEnded() {
    BoundedFetch* fetch = page_;
    page_ = nullptr;
    fetch->deleteLater();
    // Failed, too large, too slow, or too costly to lay out: the pane stays empty.
    if (!fetch->Succeeded() || !PageShapeFits(fetch->Body())) return;
    pageUrl_ = fetch->FinalUrl();
    html_ = QString::fromUtf8(fetch->Body());
    Render();
}

void AdvertView::Render() {
    if (html_.isEmpty()) return;
    // Drawn again when pictures arrive: the reader's place on the page is kept.
    const int scrolled = verticalScrollBar()->value();
    setHtml(html_);
    verticalScrollBar()->setValue(scrolled);
}

QVariant AdvertView::loadResource(int type, const QUrl& name) {
    // Never a null answer: the document would then look for the resource itself, and its
    // picture handler loads any picture it is not given from the name as a file path.
    if (type != QTextDocument::ImageResource) return QByteArray();
    QImage blank(1, 1, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    if (html_.isEmpty()) return blank;
    QUrl url = name.isRelative() ? pageUrl_.resolved(name) : name;
    url.setFragment({});
    if (!IsFetchableUrl(url)) return blank;
    if (const auto known = pictures_.constFind(url); known != pictures_.cend())
        return known->pixmap.isNull() ? QVariant(blank) : QVariant(known->pixmap);
    if (pictures_.size() >= limits_.images) return blank;
    Picture& picture = pictures_[url];
    picture.fetch = new BoundedFetch(*web_, url, limits_.imageBytes, limits_.deadline, this);
    connect(picture.fetch, &BoundedFetch::ended, this, [this, url] { PictureEnded(url); });
    return blank;
}

void AdvertView::PictureEnded(const QUrl& url) {
    const auto found = pictures_.find(url);
    if (found == pictures_.end() || !found->fetch) return;
    BoundedFetch* fetch = found->fetch;
    found->fetch = nullptr;
    fetch->deleteLater();
    if (!fetch->Succeeded()) return;
    found->pixmap = QPixmap::fromImage(Decode(fetch->Body()));
    if (!found->pixmap.isNull() && !renderTimer_->isActive()) renderTimer_->start();
}

QImage AdvertView::Decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Plain picture formats only: the size is known before any pixel is decoded.
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "jpg" && format != "gif") return {};
    const QSize size = reader.size();
    const qint64 pixels = qint64{size.width()} * size.height();
    if (size.isEmpty() || pixels > limits_.imagePixels || decodedPixels_ + pixels > limits_.totalPixels) return {};
    QImage image = reader.read();
    if (image.isNull() || image.size() != size) return {};
    decodedPixels_ += pixels;
    return image;
}

}  // namespace vantrel::gui
