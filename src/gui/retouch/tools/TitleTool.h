#pragma once
// The title tool: a line of text in the chosen font and colour, placed on the photo by dragging
// its frame; OK draws it into the photo. The font and colour keep their values for the run.

#include <QColor>
#include <QFont>

#include "core/imaging/Bitmap32.h"
#include "gui/retouch/RetouchTool.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace vantrel::gui {

class TitleTool : public RetouchTool {
    Q_OBJECT
public:
    TitleTool(RetouchHost& host, QWidget* parent);

    ToolPanel* Panel() const override { return Title_Panel; }
    void Opened() override;
    void Accept() override;
    void Closing() override;
    void ApplyLanguage() override;
    void LayerPressed(int id) override;

    static QFont& TitleFont();
    static QColor& TitleColor();

    ToolPanel* Title_Panel;
    QLineEdit* Title_Edit;
    QToolButton* Font_Btn;
    QLabel* TitleUpp_Lbl;
    QLabel* TitleLow_Lbl;

private:
    // Draws the text into the tool's picture and fits the frame to it.
    void Render();
    void ChooseFont();

    Bitmap32 text_;  // the text at (5, 5) on a clear ground
};

}  // namespace vantrel::gui
