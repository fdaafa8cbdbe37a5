#pragma once
// Small helpers shared by the pages: naming a control, the grey title bars, the splitters
// between the two columns of a page.

#include <QLabel>
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

}  // namespace vantrel::gui
