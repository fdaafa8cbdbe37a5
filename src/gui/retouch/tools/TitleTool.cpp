#include "gui/retouch/tools/TitleTool.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/retouch/TitlePlacement.h"
#include "gui/kit/MainActions.h"
#include "gui/kit/PageWidgets.h"
#include "gui/retouch/ToolPanel.h"

namespace vantrel::gui {

QFont& TitleTool::TitleFont() {
    // Arial, 24 points; Liberation Sans has the same metrics.
    static QFont font = [] {
        QFont f("Liberation Sans");
        f.setPointSize(24);
        return f;
    }();
    return font;
}

QColor& TitleTool::TitleColor() {
    static QColor colour(Qt::red);
    return colour;
}

TitleTool::TitleTool(RetouchHost& host, QWidget* parent) : RetouchTool(host) {
    // The text, the font button and two lines of instructions.
    Title_Panel = new ToolPanel("Title_Panel", 65, ThemedIcon("insert-text"), parent);
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* editRow = new QHBoxLayout;
    Title_Edit = Named(new QLineEdit("Exemple de texte ", Title_Panel), "Title_Edit");
    QFont editFont = Title_Edit->font();
    editFont.setPixelSize(19);
    Title_Edit->setFont(editFont);
    Title_Edit->setStyleSheet("color: red;");
    Title_Edit->setFixedWidth(300);
    Font_Btn = SmallButton("Font_Btn", ThemedIcon("font-select"), Title_Panel);
    Font_Btn->setToolTip("Modifier la police courante");
    editRow->addWidget(Title_Edit);
    editRow->addWidget(Font_Btn);
    editRow->addStretch();
    auto* textColumn = new QVBoxLayout;
    TitleUpp_Lbl = Named(new QLabel(Title_Panel), "TitleUpp_Lbl");
    TitleLow_Lbl = Named(new QLabel(Title_Panel), "TitleLow_Lbl");
    textColumn->addWidget(TitleUpp_Lbl);
    textColumn->addWidget(TitleLow_Lbl);
    editRow->addLayout(textColumn);
    column->addLayout(editRow);
    Title_Panel->Controls()->addLayout(column);

    connect(Title_Edit, &QLineEdit::textChanged, this, &TitleTool::Render);
    connect(Font_Btn, &QToolButton::clicked, this, &TitleTool::ChooseFont);
}

void TitleTool::ApplyLanguage() {
    for (QLabel* label : {TitleUpp_Lbl, TitleLow_Lbl})
        label->setText(Host().Translate(label->objectName().toLatin1().constData()));
    Title_Edit->setText(Host().Translate("Title_Edit"));
    Font_Btn->setToolTip(Host().Translate("Font_BtnTip"));
}

void TitleTool::Opened() {
    Host().ZoomFit();
    layer_ = View().AddLayer(&text_, QRectF(0, 0, 1, 1));
    View().SetLayerSelectable(layer_, true);
    Render();
}

void TitleTool::Render() {
    if (layer_ < 0) return;
    const QString text = Title_Edit->text();
    const QFontMetrics metrics(TitleFont());
    const int w = metrics.horizontalAdvance(text), h = metrics.height();
    text_ = Bitmap32(w + 10, h + 10, 0x00000000u);
    QImage picture = ImageOf(text_, true);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(TitleFont());
        painter.setPen(TitleColor());
        painter.drawText(QPointF(5, 5 + metrics.ascent()), text);
    }
    // The frame keeps its top-left corner and takes the new size.
    const QPointF at = View().LayerLocation(layer_).topLeft();
    View().SetLayerPixels(layer_, &text_);
    View().SetLayerLocation(layer_, QRectF(at, QSizeF(w + 20, h + 20)));
    View().AttachFrame(layer_, false);
}

void TitleTool::ChooseFont() {
    QWidget* parent = Host().DialogWidget();
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, TitleFont(), parent, QString(), QFontDialog::DontUseNativeDialog);
    if (!ok) return;
    TitleFont() = font;
    // The font dialog has no colour of its own: the colour is chosen right after it.
    const QColor colour = QColorDialog::getColor(TitleColor(), parent, QString(), QColorDialog::DontUseNativeDialog);
    if (colour.isValid()) TitleColor() = colour;
    Title_Edit->setStyleSheet(QString("color: %1;").arg(TitleColor().name()));
    Render();
}

void TitleTool::LayerPressed(int id) {
    if (id == layer_) View().AttachFrame(id, false);
}

void TitleTool::Accept() {
    const QRectF frame = FrameRect();
    Host().SaveUndoStep();
    // The text picture holds the text at (5, 5) in the font's colour and smoothing.
    ApplyTitle(Host().EditedPhoto(), text_, {frame.left(), frame.top(), frame.right(), frame.bottom()});
    Host().CloseTool();
    Host().PhotoChanged();
}

void TitleTool::Closing() {
    RetouchTool::Closing();
    text_ = Bitmap32();
}

}  // namespace vantrel::gui
