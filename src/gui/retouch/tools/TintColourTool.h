#pragma once
// The choice of the tint colour: its command shows the colour as a swatch and asks for a new one.
// The colour keeps its value for the run; the tint operation uses it.

#include <QColor>

#include "gui/retouch/RetouchTool.h"

namespace vantrel::gui {

class TintColourTool : public RetouchTool {
    Q_OBJECT
public:
    using RetouchTool::RetouchTool;

    void SetCommand(QAction* command) override;
    void Triggered() override;

    // A sepia tone at first.
    static QColor& TintColour();

private:
    void DrawSwatch();

    QAction* command_ = nullptr;
};

}  // namespace vantrel::gui
