#include "gui/app/HelpWindow.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vantrel::gui {

HelpWindow::HelpWindow(QWidget* owner) : QDialog(owner, Qt::Window) {
    setObjectName("HelpWindow");
    // 640 x 560, or less on a small screen, leaving room for the window's frame.
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    resize(QSize(640, 560).boundedTo(screen->availableGeometry().size() - QSize(20, 60)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(browser_->documentTitle()); });
}

void HelpWindow::ShowPage(QWidget* owner, const QString& page) {
    static QPointer<HelpWindow> window;
    // While a modal dialog is open (the retouch dialog has a help command) every other window is
    // blocked: the help then belongs to that dialog, so that it can be read and scrolled.
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : owner;
    if (window && window->parentWidget() != parent) window->setParent(parent, window->windowFlags());
    if (!window) window = new HelpWindow(parent);
    window->browser_->setSource(QUrl::fromLocalFile(page));
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace vantrel::gui
