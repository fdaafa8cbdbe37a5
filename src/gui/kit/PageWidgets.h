#pragma once
// Small helpers shared by the pages: naming a control, the grey title bars, the splitters
// between the two columns of a page, a page that scrolls on a small screen.

#include <QLabel>
#include <QScrollArea>
#include <QSplitter>

namespace vantrel::gui {

// Gives `widget` its control name and returns it.
template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// A title bar: 20 pixels high, grey background, white bold text.
inline QLabel* MakeTitleBar(const char* name, QWidget* parent) {
    auto* title = Named(new QLabel(parent), name);
    title->setFixedHeight(20);
    title->setStyleSheet("background: rgb(160,160,160); color: white; font-weight: bold;");
    return title;
}

// The 8-pixel splitter between a page's left column and the rest, resizing live.
inline QSplitter* MakePageSplitter(const char* name, QWidget* parent) {
    auto* splitter = Named(new QSplitter(Qt::Horizontal, parent), name);
    splitter->setHandleWidth(8);
    splitter->setOpaqueResize(true);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

// A frameless area around `content`: on a window too small for it the content scrolls rather
// than have its controls squeezed or cut; on a larger one it fills the area.
inline QScrollArea* MakeScrollingPage(const char* name, QWidget* content, QWidget* parent) {
    auto* area = Named(new QScrollArea(parent), name);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}

}  // namespace vantrel::gui
