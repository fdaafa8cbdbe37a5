#include "gui/app/HeldKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace vantrel::gui {

namespace {
QPointer<HeldKeys>& Instance() {
    static QPointer<HeldKeys> instance;
    return instance;
}
}  // namespace

void HeldKeys::Install() {
    if (Instance() || !qApp) return;
    Instance() = new HeldKeys(qApp);
    qApp->installEventFilter(Instance());
}

bool HeldKeys::IsHeld(int key) { return Instance() && Instance()->held_.contains(key); }

bool HeldKeys::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) break;
        if (event->type() == QEvent::KeyPress) held_.insert(key->key());
        else held_.remove(key->key());
        break;
    }
    case QEvent::ApplicationDeactivate:
        held_.clear();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantrel::gui
