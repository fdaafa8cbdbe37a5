#include "gui/retouch/tools/RedEyeTool.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cmath>

#include "core/retouch/RedEye.h"
#include "gui/kit/PageWidgets.h"
#include "gui/kit/PaletteIcon.h"
#include "gui/retouch/ToolPanel.h"

namespace vantrel::gui {

namespace {

QPointF WholePixel(QPointF at) { return QPointF(std::floor(at.x()), std::floor(at.y())); }

}  // namespace

RedEyeTool::RedEyeTool(RetouchHost& host, QWidget* parent) : RetouchTool(host) {
    // The instruction, chained with the OK and cancel pictures.
    RedEye_Panel = new ToolPanel("RedEye_Panel", 40, InkedIcon(":/icons/red-eye.svg"), parent);
    QHBoxLayout* row = RedEye_Panel->Controls();
    row->setSpacing(3);
    RedEye_Lbl1 = Named(new QLabel(RedEye_Panel), "RedEye_Lbl1");
    RedEye_Img1 = Picture("RedEye_Img1", OkIcon(), 16, RedEye_Panel);
    RedEye_Lbl2 = Named(new QLabel(RedEye_Panel), "RedEye_Lbl2");
    RedEye_Img2 = Picture("RedEye_Img2", CancelIcon(), 16, RedEye_Panel);
    RedEye_Lbl3 = Named(new QLabel(RedEye_Panel), "RedEye_Lbl3");
    for (QWidget* part : std::initializer_list<QWidget*>{RedEye_Lbl1, RedEye_Img1, RedEye_Lbl2, RedEye_Img2, RedEye_Lbl3})
        row->addWidget(part);
    row->addStretch();

    Sel_Timer = Named(new QTimer(parent), "Sel_Timer");
    Sel_Timer->setInterval(500);
    connect(Sel_Timer, &QTimer::timeout, this, [this] {
        dashPhase_ = !dashPhase_;
        DrawSelection();
    });
}

void RedEyeTool::ApplyLanguage() {
    for (QLabel* label : {RedEye_Lbl1, RedEye_Lbl2, RedEye_Lbl3})
        label->setText(Host().Translate(label->objectName().toLatin1().constData()));
}

void RedEyeTool::Opened() { NewOverlay(); }

void RedEyeTool::NewOverlay() {
    if (layer_ >= 0) View().RemoveLayer(layer_);
    const Bitmap32& photo = Host().EditedPhoto();
    overlay_ = Bitmap32(photo.Width(), photo.Height(), 0x00000000u);
    layer_ = View().AddLayer(&overlay_, QRectF(0, 0, photo.Width(), photo.Height()));
}

void RedEyeTool::ImagePressed(QPointF at) {
    start_ = end_ = WholePixel(at);
    selected_ = true;
    DrawSelection();
}

void RedEyeTool::ImageDragged(QPointF at) {
    end_ = WholePixel(at);
    DrawSelection();
}

void RedEyeTool::SelectEye(QPointF start, QPointF end) {
    start_ = start;
    end_ = end;
    selected_ = true;
    DrawSelection();
}

void RedEyeTool::DrawSelection() {
    if (layer_ < 0 || !selected_) return;
    const Bitmap32& photo = Host().EditedPhoto();
    overlay_.Resize(photo.Width(), photo.Height(), 0x00000000u);
    QImage picture = ImageOf(overlay_, true);
    {
        QPainter painter(&picture);
        // Black and white dashes that crawl: visible over any photo.
        const QRectF ellipse = QRectF(start_, end_).normalized();
        const double width = std::max(1.0, 1.0 / View().Scale());
        QPen light(Qt::white, width);
        painter.setPen(light);
        painter.drawEllipse(ellipse);
        QPen dark(Qt::black, width, Qt::CustomDashLine);
        dark.setDashPattern({3, 3});
        dark.setDashOffset(dashPhase_ ? 3 : 0);
        painter.setPen(dark);
        painter.drawEllipse(ellipse);
    }
    View().viewport()->update();
    Sel_Timer->start();
}

void RedEyeTool::Accept() {
    Host().SaveUndoStep();
    Bitmap32& photo = Host().EditedPhoto();
    // The overlay is cleared first so that the selection leaves no trace in the photo.
    overlay_.Resize(photo.Width(), photo.Height(), 0x00000000u);
    // Before any eye is selected the selection is empty, and OK says so.
    const QPointF start = selected_ ? start_ : QPointF(), end = selected_ ? end_ : QPointF();
    auto corrected = CorrectRedEye(photo, {static_cast<int>(start.x()), static_cast<int>(start.y())},
                                   {static_cast<int>(end.x()), static_cast<int>(end.y())});
    if (!corrected) {
        Host().ShowError(Host().Translate(RedEyeMessageKey(corrected.error())));
        DrawSelection();
        return;
    }
    NewOverlay();
    DrawSelection();
    Host().PhotoChanged();
}

void RedEyeTool::Closing() {
    RetouchTool::Closing();
    overlay_ = Bitmap32();
    Sel_Timer->stop();
    selected_ = false;
}

}  // namespace vantrel::gui
