#pragma once
// What the window tests share: photos made on the spot, a catcher that answers message boxes,
// drops of files, and a main window opened in a temporary home.

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "core/TempFolder.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/service/TransferController.h"
#include "gui/service/TransferPage.h"

namespace vantrel::test {

// Answers every message box that opens with `answer` (or its default button), remembering its text.
class MessageCatcher {
public:
    MessageCatcher() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                icons << box->icon();
                QAbstractButton* button = box->button(QMessageBox::StandardButton(answer));
                if (!button) button = box->defaultButton();
                if (button) button->click();
                else box->reject();
            } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog && onDialog) {
                onDialog(dialog);
                dialog->accept();
            }
        });
        timer_.start();
    }
    QStringList texts;
    QList<QMessageBox::Icon> icons;  // of the same boxes, in the same order
    // When set, other modal dialogs are handed to it, then accepted.
    std::function<void(QDialog*)> onDialog;
    int answer = QMessageBox::Yes;

private:
    QTimer timer_;
};

// A JPEG of width x height; `noisy` pictures compress badly, so their files are large.
inline QString MakePhoto(const TempFolder& folder, const QString& name, int width, int height, bool noisy = false) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    if (noisy)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) image.setPixel(x, y, QRandomGenerator::global()->generate());
    const QString path = QString::fromStdString(folder.Path()) + name;
    image.save(path, "JPEG", 95);
    return path;
}

// Waits until the window's loops over photos (a drop, an add, a turn), which run one photo per
// turn of the event loop, have ended.
// `busyBefore`: the busy count that the window had before (a test may hold it busy itself).
inline bool WaitUntilIdle(gui::TMain_Dlog& window, int busyBefore = 0, int timeoutMs = 20000) {
    return QTest::qWaitFor([&] { return window.Context().BusyCount() <= busyBefore; }, timeoutMs);
}

// Waits until the window has taken the service's settings that its start downloads beside it.
inline bool WaitForServiceSettings(gui::TMain_Dlog& window, int timeoutMs = 20000) {
    return QTest::qWaitFor([&window] { return !window.Engine().RemoteSettingsPending(); }, timeoutMs);
}

// Drops `data` on `target` as the file manager would, and waits until the dropped files are in.
inline void Drop(QWidget* target, QMimeData* data) {
    auto* window = qobject_cast<gui::TMain_Dlog*>(target->window());
    const int busyBefore = window ? window->Context().BusyCount() : 0;
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    if (window) WaitUntilIdle(*window, busyBefore);
}

inline std::unique_ptr<QMimeData> FilesData(const QStringList& files) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data->setUrls(urls);
    return data;
}

// The main window with its work folder in `home`, shown, activated and past its first activation.
inline std::unique_ptr<gui::TMain_Dlog> OpenWindow(const TempFolder& home, const LocaleInfo& locale = {}) {
    gui::MainWindowPaths paths{home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini",
                               VANTREL_PROGRAM_FOLDER, {}};
    auto window = std::make_unique<gui::TMain_Dlog>(paths, locale);
    window->show();
    window->activateWindow();
    // An offscreen window may never be reported active; the tests go on either way.
    static_cast<void>(QTest::qWaitForWindowActive(window.get()));
    window->FirstActivation();
    WaitForServiceSettings(*window);
    return window;
}

// The widget named `name` inside `parent`: pages keep their widgets to themselves, the tests
// find them as a user does, by what they are.
template <class Widget>
Widget* Child(const QObject* parent, const char* name) {
    auto* widget = parent->findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) qFatal("no widget named %s", name);
    return widget;
}

// Starts a run as the Start button does and lets the window's events go on until it has ended
// (the run goes on a thread of its own). False when it did not end within two minutes.
inline bool RunTransferToEnd(gui::TMain_Dlog& window) {
    Child<QPushButton>(window.Transfer(), "Start_Btn")->click();
    return QTest::qWaitFor([&] { return !window.Transfers()->Running(); }, 120000);
}

}  // namespace vantrel::test
