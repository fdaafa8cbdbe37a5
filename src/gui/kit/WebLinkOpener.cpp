#include "gui/kit/WebLinkOpener.h"

#include <QDesktopServices>

#include "core/service/WebLink.h"

namespace vantrel::gui {

bool OpenWebLink(const QUrl& url) {
    // Both the text and Qt's reading of it must agree that this is a web address.
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) return false;
    if (!IsWebLink(url.toString(QUrl::FullyEncoded).toStdString())) return false;
    return QDesktopServices::openUrl(url);
}

bool OpenWebLink(const QString& address) {
    if (!IsWebLink(address.toStdString())) return false;
    return OpenWebLink(QUrl(address, QUrl::StrictMode));
}

}  // namespace vantrel::gui
