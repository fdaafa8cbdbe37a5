#pragma once
// The one way the window opens an address in the desktop's browser: web links only (see
// core/service/WebLink.h); anything else is dropped without a word.

#include <QString>
#include <QUrl>

namespace vantrel::gui {

// Opens `url` with the desktop's opener when it is an http or https address with a host;
// returns whether it was handed over.
bool OpenWebLink(const QUrl& url);
bool OpenWebLink(const QString& address);

}  // namespace vantrel::gui
