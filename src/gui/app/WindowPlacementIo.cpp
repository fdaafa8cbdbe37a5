#include "gui/app/WindowPlacementIo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace vantrel::gui {

void ApplyWindowPlacement(QWidget& window, const WindowPlacement& p, bool firstRun) {
    if (firstRun) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize first = (screen.size() * 0.8).expandedTo(window.minimumSize());
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, first, screen));
    } else {
        window.move(p.Left, p.Top);
        window.resize(std::max(p.Right, window.minimumWidth()), std::max(p.Bottom, window.minimumHeight()));
    }
    if (p.State == WindowState::Maximised) window.setWindowState(Qt::WindowMaximized);
    else if (p.State == WindowState::Minimised) window.setWindowState(Qt::WindowMinimized);
}

WindowPlacement CurrentWindowPlacement(const QWidget& window) {
    WindowPlacement p;
    const QRect frame = window.frameGeometry();
    p.Left = frame.left();
    p.Top = frame.top();
    p.Right = window.width();
    p.Bottom = window.height();
    p.State = window.isMinimized()   ? WindowState::Minimised
              : window.isMaximized() ? WindowState::Maximised
                                     : WindowState::Normal;
    if (p.State == WindowState::Minimised) {
        const QRect normal = window.normalGeometry();
        p.Left = normal.left();
        p.Top = normal.top();
        p.Right = normal.width();
        p.Bottom = normal.height();
    }
    return p;
}

}  // namespace vantrel::gui
