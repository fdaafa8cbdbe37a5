#include "gui/app/WindowPlacementIo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "core/app/WindowFit.h"

namespace vantrel::gui {

namespace {

// The decoration the window manager puts around the window; before the window is first shown
// it is not known yet, and the style's title bar and borders stand for it.
FrameExtent FrameOf(const QWidget& window) {
    const QSize extra = window.frameGeometry().size() - window.geometry().size();
    if (!extra.isEmpty()) return {extra.width(), extra.height()};
    const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return {2 * border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border};
}

ScreenArea AreaOf(const QScreen& screen) {
    const QRect area = screen.availableGeometry();
    return {area.left(), area.top(), area.width(), area.height()};
}

// The screen a kept placement lies on (the one under its centre, else under its corner), or the
// primary screen when it lies on none of them.
QScreen& ScreenOf(const WindowPlacement& p) {
    for (const QPoint at : {QPoint(p.Left + p.Right / 2, p.Top + p.Bottom / 2), QPoint(p.Left, p.Top)})
        if (QScreen* screen = QGuiApplication::screenAt(at)) return *screen;
    return *QGuiApplication::primaryScreen();
}

}  // namespace

void ApplyWindowPlacement(QWidget& window, const WindowPlacement& p, bool firstRun, const QSize& designed) {
    const FrameExtent frame = FrameOf(window);
    WindowPlacement wanted = p;
    wanted.Right = std::max(p.Right, designed.width());
    wanted.Bottom = std::max(p.Bottom, designed.height());
    QScreen* screen = &ScreenOf(p);
    if (firstRun) {
        screen = QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const QSize first = (area.size() * 0.8).expandedTo(designed);
        const QRect centred = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                                  first + QSize(frame.Width, frame.Height), area);
        wanted = {centred.left(), centred.top(), first.width(), first.height(), p.State};
    }
    const WindowPlacement fitted = FitPlacement(wanted, AreaOf(*screen), frame);
    window.move(fitted.Left, fitted.Top);
    window.resize(std::max(fitted.Right, window.minimumWidth()), std::max(fitted.Bottom, window.minimumHeight()));
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
