#pragma once
// The service's page shown under the transfer panel. The page comes from outside, so nothing in
// it may cost the run anything: it is fetched without waiting (BoundedFetch: 1 MB, the time-outs
// of every request, a 2-minute deadline, the proxy of the options) and shown only once it has
// arrived whole within those bounds and is small enough in shape to lay out at once
// (AdvertPageCheck); otherwise the pane simply stays empty. Its pictures are fetched the same
// way (http and https only, 1 MB each, at most 32, decoded within a pixel budget) and the page
// is drawn again as they arrive; nothing is ever read from this machine (no file:, qrc:, data:
// or local path), and style sheets and other resources are not loaded.

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBrowser>
#include <QUrl>
#include <chrono>
#include <optional>
#include <string>

#include "core/app/EnvironmentProxy.h"

class QNetworkAccessManager;
class QTimer;

namespace vantrel::gui {

class BoundedFetch;

struct AdvertLimits {
    qint64 pageBytes = 1 << 20;
    qint64 imageBytes = 1 << 20;  // each picture as sent
    int images = 32;              // distinct pictures fetched for one page
    qint64 imagePixels = 2048 * 2048;  // one picture, decoded
    qint64 totalPixels = 8 << 20;      // all pictures of the page, decoded
    std::chrono::milliseconds deadline{120000};  // whole fetch of the page or of one picture
};

class AdvertView : public QTextBrowser {
    Q_OBJECT
public:
    explicit AdvertView(QWidget* parent = nullptr);
    ~AdvertView() override;

    void SetLimits(const AdvertLimits& limits) { limits_ = limits; }
    // Empties the pane and fetches `url` (http or https) through `proxy` ("host:port" of an HTTP
    // proxy; empty for a direct connection whatever the environment's proxy variables say;
    // nothing is fetched when the address cannot be used).
    void Load(const QUrl& url, const std::string& proxy);
    // The same through `proxy` (an HTTP or SOCKS 5 one; nothing is fetched through another kind),
    // or directly when there is none.
    void Load(const QUrl& url, const std::optional<ProxyServer>& proxy);
    // Aborts every fetch and empties the pane.
    void Clear();

    // True while the page or one of its pictures is being fetched.
    bool Busy() const;
    // Bytes held for the page and its pictures: received so far, kept as text, decoded.
    qint64 HeldBytes() const;

    // Only pictures that were fetched from the web and decoded; an empty answer for anything
    // else, so that the document never falls back to reading a file itself.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    struct Picture {
        BoundedFetch* fetch = nullptr;  // while it is fetched
        QPixmap pixmap;  // as the document draws it; null when it failed or was refused
    };

    void PageEnded();
    void PictureEnded(const QUrl& url);
    void Render();
    QImage Decode(const QByteArray& bytes);

    AdvertLimits limits_;
    QNetworkAccessManager* web_;
    QTimer* renderTimer_;  // gathers the pictures arriving within a moment into one drawing
    BoundedFetch* page_ = nullptr;
    QUrl pageUrl_;
    QString html_;
    QHash<QUrl, Picture> pictures_;
    qint64 decodedPixels_ = 0;
};

}  // namespace vantrel::gui
