#pragma once
// The about dialog: the product line, the version, the rights notice, a link to the service's
// web site and the credits with their links, under a cream banner.

#include <QDialog>
#include <functional>

#include "core/app/TVersionInfo.h"

class QLabel;

namespace vantrel::gui {

class AppContext;

class TAbout_Dlog : public QDialog {
    Q_OBJECT
public:
    // Texts from the language file of `window`; the web-site link is the service's website_url,
    // or the Website_URL text when the service gave none.
    explicit TAbout_Dlog(AppContext& context);

    // Opens a clicked address in the user's browser; tests replace it.
    std::function<void(const QString& address)> OpenLink;

    const TVersionInfo& VersionInfo() const { return versionInfo_; }

    QLabel* Banner_Img;
    QLabel* About_Lbl;
    QLabel* Version_Lbl;
    QLabel* Copyright_Lbl;
    QLabel* VantrelURL_Lbl;
    QLabel* Engin_Lbl;
    QLabel* Librairies_Lbl;
    QLabel* Credits_Line1;
    QLabel* Credits_Line2;
    QLabel* Credits_Line3;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* MakeLinkLabel(const char* name, const QString& line, QWidget* parent);

    TVersionInfo versionInfo_;
};

}  // namespace vantrel::gui
