// The tools of the retouch dialog: crop, light, automatic tone, tint, red eye and title.
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "core/retouch/AutoTone.h"
#include "core/retouch/ColourOps.h"
#include "core/retouch/Convolution.h"
#include "core/retouch/LevelsTable.h"
#include "core/retouch/RedEye.h"
#include "core/retouch/RetouchPixels.h"
#include "core/retouch/TCropFrame.h"
#include "core/retouch/TitlePlacement.h"
#include "gui/app/MainWindow.h"
#include "gui/retouch/LayeredImageView.h"
#include "gui/retouch/RetouchPanels.h"
#include "gui/retouch/TEdit_Dlog.h"

namespace vantrel::gui {

void TEdit_Dlog::ConnectTools() {
    RetouchPanels& p = *panels_;
    auto on = [this](const char* name, auto operation) {
        connect(Command(name), &QAction::triggered, this, [this, operation] { ApplyOneStep(operation); });
    };
    on("ImgRotL1", [](Bitmap32& photo) { TurnPhotoCounterClockwise(photo); });
    on("ImgRotR1", [](Bitmap32& photo) { TurnPhotoClockwise(photo); });
    on("ImgMinus1", [](Bitmap32& photo) { SoftenPhoto(photo); });
    on("ImgPlus1", [](Bitmap32& photo) { SharpenPhoto(photo); });
    on("ImgNeg1", [](Bitmap32& photo) { MakeNegative(photo); });
    on("ImgBlack1", [](Bitmap32& photo) { MakeBlackAndWhite(photo); });
    on("ImgTint1", [](Bitmap32& photo) { ApplyTint(photo, TintColor().rgb() & 0xFFFFFFu); });
    connect(p.Contrast_Gauge, &QSlider::valueChanged, this, &TEdit_Dlog::LightChanged);
    connect(p.Brightness_Gauge, &QSlider::valueChanged, this, &TEdit_Dlog::LightChanged);
    connect(p.Format_Combo, &QComboBox::currentIndexChanged, this, &TEdit_Dlog::FitCropFrame);
    connect(p.Horiz_Btn, &QToolButton::clicked, this, &TEdit_Dlog::FitCropFrame);
    connect(p.Vert_Btn, &QToolButton::clicked, this, &TEdit_Dlog::FitCropFrame);
    connect(p.Title_Edit, &QLineEdit::textChanged, this, &TEdit_Dlog::RenderTitle);
    connect(p.Font_Btn, &QToolButton::clicked, this, &TEdit_Dlog::ChooseTitleFont);
}

// Crop

void TEdit_Dlog::OpenCrop() {
    if (!HasPhoto()) return;
    CancelTool();
    RetouchPanels& p = *panels_;
    crop_ = std::make_unique<TCropFrame>(photo_.Width(), photo_.Height(), PrintFormatOfItem(p.Format_Combo->currentIndex()));
    (crop_->Landscape() ? p.Horiz_Btn : p.Vert_Btn)->setChecked(true);
    // The crop layer has no pixels of its own: it is the frame's rectangle.
    toolLayer_ = Src_Img->AddLayer(nullptr, QRectF(0, 0, photo_.Width(), photo_.Height()));
    Src_Img->SetLayerSelectable(toolLayer_, true);
    Src_Img->AttachFrame(toolLayer_, true);
    OpenTool(p.Format_Panel, ToolCrop);
    ShowCropFrame();
    p.OrgSize_Lbl->setText(QString::asprintf("%d x %d pixels", photo_.Width(), photo_.Height()));
    ZoomFit();
}

void TEdit_Dlog::FitCropFrame() {
    if (toolMode_ != ToolCrop || !crop_) return;
    const RetouchPanels& p = *panels_;
    crop_->SetFormat(PrintFormatOfItem(p.Format_Combo->currentIndex()));
    crop_->SetLandscape(!p.Vert_Btn->isChecked());
    ShowCropFrame();
}

void TEdit_Dlog::ShowCropFrame() {
    const TFrameRect& frame = crop_->Frame();
    Src_Img->SetLayerLocation(toolLayer_, QRectF(QPointF(frame.left, frame.top), QPointF(frame.right, frame.bottom)));
    const auto [w, h] = crop_->RoundedSize();
    panels_->FinSize_Lbl->setText(QString::asprintf("%d x %d pixels", w, h));
}

QRectF TEdit_Dlog::CorrectCropFrame(int handle, QRectF rect) {
    if (!crop_) return rect;
    crop_->Propose(static_cast<TFrameHandle>(handle), {rect.left(), rect.top(), rect.right(), rect.bottom()});
    const TFrameRect& frame = crop_->Frame();
    const auto [w, h] = crop_->RoundedSize();
    panels_->FinSize_Lbl->setText(QString::asprintf("%d x %d pixels", w, h));
    return QRectF(QPointF(frame.left, frame.top), QPointF(frame.right, frame.bottom));
}

QRectF TEdit_Dlog::FrameRect() const { return toolLayer_ >= 0 ? Src_Img->LayerLocation(toolLayer_) : QRectF(); }

void TEdit_Dlog::ProposeFrame(int handle, QRectF rect) {
    if (toolLayer_ < 0) return;
    if (toolMode_ == ToolCrop) rect = CorrectCropFrame(handle, rect);
    Src_Img->SetLayerLocation(toolLayer_, rect);
}

void TEdit_Dlog::ApplyCrop() {
    UndoStore.Save(photo_);
    photo_ = CropPhoto(photo_, crop_->CropRect());
    CloseTool();
    PhotoChanged();
    ZoomFit();
}

// Light

void TEdit_Dlog::OpenLight() {
    if (!HasPhoto()) return;
    CancelTool();
    UndoStore.Save(photo_);  // the undo step of the whole tool
    untouched_ = photo_;
    RetouchPanels& p = *panels_;
    for (QSlider* gauge : {p.Contrast_Gauge, p.Brightness_Gauge}) {
        QSignalBlocker quiet(gauge);
        gauge->setValue(0);
    }
    p.Contrast_Lbl->setText("0");
    p.Brightness_Lbl->setText("0");
    OpenTool(p.Lum_Panel, ToolNone);
    Dst_Img->show();
    Dst_Img->BitmapChanged();
    Dst_Img->SetScale(Src_Img->Scale());
    Dst_Img->SetScrollPosition(Src_Img->ScrollPosition());
}

void TEdit_Dlog::LightChanged() {
    if (openPanel_ != panels_->Lum_Panel) return;
    RetouchPanels& p = *panels_;
    p.Contrast_Lbl->setText(QString::number(p.Contrast_Gauge->value()));
    p.Brightness_Lbl->setText(QString::number(p.Brightness_Gauge->value()));
    // Always from the untouched copy, so that moves never accumulate.
    ApplyTable(untouched_, BrightnessContrastTable(p.Brightness_Gauge->value(), p.Contrast_Gauge->value()), photo_);
    Src_Img->BitmapChanged();
}

void TEdit_Dlog::AcceptLight() {
    Dst_Img->hide();
    untouched_ = Bitmap32();
    Dst_Img->BitmapChanged();
    CloseTool();
    PhotoChanged();
}

void TEdit_Dlog::CancelLight() {
    UndoStore.Restore(photo_);
    Dst_Img->hide();
    untouched_ = Bitmap32();
    Dst_Img->BitmapChanged();
    CloseTool();
    Src_Img->BitmapChanged();
}

// One-step tools

void TEdit_Dlog::AutoTone() {
    if (!HasPhoto()) return;
    CancelTool();
    auto table = AutoToneTable(photo_);
    if (!table) return;  // nothing to stretch: no undo step, no change
    UndoStore.Save(photo_);
    ApplyTable(photo_, *table);
    PhotoChanged();
}

void TEdit_Dlog::ChooseTintColor() {
    const QColor chosen = QColorDialog::getColor(TintColor(), this, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return;
    TintColor() = chosen;
    RedrawTintIcon();
}

// Red eye

void TEdit_Dlog::OpenRedEye() {
    if (!HasPhoto()) return;
    CancelTool();
    OpenTool(panels_->RedEye_Panel, ToolRedEye);
    NewRedEyeOverlay();
}

void TEdit_Dlog::NewRedEyeOverlay() {
    if (toolLayer_ >= 0) Src_Img->RemoveLayer(toolLayer_);
    toolPixels_ = Bitmap32(photo_.Width(), photo_.Height(), 0x00000000u);
    toolLayer_ = Src_Img->AddLayer(&toolPixels_, QRectF(0, 0, photo_.Width(), photo_.Height()));
}

void TEdit_Dlog::DrawEyeSelection() {
    if (toolMode_ != ToolRedEye || toolLayer_ < 0 || !eyeSelected_) return;
    toolPixels_.Resize(photo_.Width(), photo_.Height(), 0x00000000u);
    QImage overlay = ImageOf(toolPixels_, true);
    {
        QPainter painter(&overlay);
        // Black and white dashes that crawl: visible over any photo.
        const QRectF ellipse = QRectF(eyeStart_, eyeEnd_).normalized();
        const double width = std::max(1.0, 1.0 / Src_Img->Scale());
        QPen light(Qt::white, width);
        painter.setPen(light);
        painter.drawEllipse(ellipse);
        QPen dark(Qt::black, width, Qt::CustomDashLine);
        dark.setDashPattern({3, 3});
        dark.setDashOffset(eyePhase_ ? 3 : 0);
        painter.setPen(dark);
        painter.drawEllipse(ellipse);
    }
    Src_Img->viewport()->update();
    Sel_Timer->start();
}

void TEdit_Dlog::ApplyRedEye() {
    UndoStore.Save(photo_);
    // The overlay is cleared first so that the selection leaves no trace in the photo.
    toolPixels_.Resize(photo_.Width(), photo_.Height(), 0x00000000u);
    // Before any eye is selected the selection is empty, and OK says so.
    const QPointF start = eyeSelected_ ? eyeStart_ : QPointF(), end = eyeSelected_ ? eyeEnd_ : QPointF();
    auto corrected = CorrectRedEye(photo_, {static_cast<int>(start.x()), static_cast<int>(start.y())},
                                   {static_cast<int>(end.x()), static_cast<int>(end.y())});
    if (!corrected) {
        ShowError(main_.Translate(RedEyeMessageKey(corrected.error())));
        DrawEyeSelection();
        return;
    }
    NewRedEyeOverlay();
    DrawEyeSelection();
    PhotoChanged();
}

void TEdit_Dlog::SelectEye(QPointF start, QPointF end) {
    eyeStart_ = start;
    eyeEnd_ = end;
    eyeSelected_ = true;
    DrawEyeSelection();
}

// Title

void TEdit_Dlog::OpenTitle() {
    if (!HasPhoto()) return;
    CancelTool();
    OpenTool(panels_->Title_Panel, ToolTitle);
    ZoomFit();
    toolLayer_ = Src_Img->AddLayer(&toolPixels_, QRectF(0, 0, 1, 1));
    Src_Img->SetLayerSelectable(toolLayer_, true);
    RenderTitle();
}

void TEdit_Dlog::RenderTitle() {
    if (toolMode_ != ToolTitle || toolLayer_ < 0) return;
    const QString text = panels_->Title_Edit->text();
    const QFontMetrics metrics(TitleFont());
    const int w = metrics.horizontalAdvance(text), h = metrics.height();
    toolPixels_ = Bitmap32(w + 10, h + 10, 0x00000000u);
    QImage picture = ImageOf(toolPixels_, true);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(TitleFont());
        painter.setPen(TitleColor());
        painter.drawText(QPointF(5, 5 + metrics.ascent()), text);
    }
    // The frame keeps its top-left corner and takes the new size.
    const QPointF at = Src_Img->LayerLocation(toolLayer_).topLeft();
    Src_Img->SetLayerPixels(toolLayer_, &toolPixels_);
    Src_Img->SetLayerLocation(toolLayer_, QRectF(at, QSizeF(w + 20, h + 20)));
    Src_Img->AttachFrame(toolLayer_, false);
}

void TEdit_Dlog::ChooseTitleFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, TitleFont(), this, QString(), QFontDialog::DontUseNativeDialog);
    if (!ok) return;
    TitleFont() = font;
    // The font dialog has no colour of its own: the colour is chosen right after it.
    const QColor colour = QColorDialog::getColor(TitleColor(), this, QString(), QColorDialog::DontUseNativeDialog);
    if (colour.isValid()) TitleColor() = colour;
    panels_->Title_Edit->setStyleSheet(QString("color: %1;").arg(TitleColor().name()));
    RenderTitle();
}

void TEdit_Dlog::ApplyTitle() {
    const QRectF frame = FrameRect();
    UndoStore.Save(photo_);
    // The text picture holds the text at (5, 5) in the font's colour and smoothing.
    vantrel::ApplyTitle(photo_, toolPixels_, {frame.left(), frame.top(), frame.right(), frame.bottom()});
    CloseTool();
    PhotoChanged();
}

}  // namespace vantrel::gui
