#pragma once
// The real window of a benchmark: a settings and work folder of its own, its texts from the
// program folder, shown and activated as a user's start does. The QApplication comes first.

#include <QSize>
#include <QTemporaryDir>
#include <string>

#include "gui/app/TMain_Dlog.h"

namespace vantrel::bench {

class BenchWindow {
public:
    explicit BenchWindow(const std::string& programFolder)
        : window_({home_.path().toStdString() + "/SendPhoto/", home_.path().toStdString() + "/SendPhoto/b.ini",
                   programFolder + "/", ""},
                  LocaleInfo()) {}

    // Shows the window, at `size` when one is given; false when it did not start well.
    bool Open(QSize size = {}) {
        if (!window_.StartedWell()) return false;
        if (size.isValid()) window_.resize(size);
        window_.show();
        window_.FirstActivation();
        return true;
    }
    gui::TMain_Dlog& operator*() { return window_; }
    gui::TMain_Dlog* operator->() { return &window_; }

private:
    QTemporaryDir home_;  // before the window, which keeps its files there
    gui::TMain_Dlog window_;
};

}  // namespace vantrel::bench
