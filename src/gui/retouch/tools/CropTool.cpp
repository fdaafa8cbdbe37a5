#include "gui/retouch/tools/CropTool.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

#include "gui/kit/PageWidgets.h"
#include "gui/retouch/ToolPanel.h"

namespace vantrel::gui {

namespace {

QString PixelSize(int width, int height) { return QString::asprintf("%d x %d pixels", width, height); }

}  // namespace

CropTool::CropTool(RetouchHost& host, QWidget* parent) : RetouchTool(host) {
    // Format, orientation, original and current sizes.
    Format_Panel = new ToolPanel("Format_Panel", 40, QIcon(":/icons/crop.svg"), parent);
    QHBoxLayout* row = Format_Panel->Controls();
    Format_Lbl = Named(new QLabel("Format :", Format_Panel), "Format_Lbl");
    Format_Combo = Named(new QComboBox(Format_Panel), "Format_Combo");
    Format_Combo->addItems({"3:2", "4:3"});
    // No item chosen at first; the text reads 4:3.
    Format_Combo->setEditable(true);
    Format_Combo->setCurrentIndex(-1);
    Format_Combo->setEditText("4:3");
    Format_Combo->setFixedWidth(60);
    Horiz_Btn = Named(new QToolButton(Format_Panel), "Horiz_Btn");
    Vert_Btn = Named(new QToolButton(Format_Panel), "Vert_Btn");
    Horiz_Btn->setText("\u25AD");
    Vert_Btn->setText("\u25AF");
    for (QToolButton* button : {Horiz_Btn, Vert_Btn}) {
        button->setCheckable(true);
        button->setFixedSize(24, 24);
    }
    auto* orientation = new QButtonGroup(Format_Panel);
    orientation->setExclusive(true);
    orientation->addButton(Horiz_Btn);
    orientation->addButton(Vert_Btn);
    Horiz_Btn->setChecked(true);
    OrgSizeT_Lbl = Named(new QLabel("Taille originale :", Format_Panel), "OrgSizeT_Lbl");
    OrgSize_Lbl = Named(new QLabel(Format_Panel), "OrgSize_Lbl");
    FinSizeT_Lbl = Named(new QLabel("Taille actuelle :", Format_Panel), "FinSizeT_Lbl");
    FinSize_Lbl = Named(new QLabel(Format_Panel), "FinSize_Lbl");
    row->addWidget(Format_Lbl);
    row->addWidget(Format_Combo);
    row->addWidget(Horiz_Btn);
    row->addWidget(Vert_Btn);
    row->addSpacing(20);
    row->addWidget(OrgSizeT_Lbl);
    row->addWidget(OrgSize_Lbl);
    row->addSpacing(20);
    row->addWidget(FinSizeT_Lbl);
    row->addWidget(FinSize_Lbl);
    row->addStretch();

    connect(Format_Combo, &QComboBox::currentIndexChanged, this, &CropTool::FitFrame);
    connect(Horiz_Btn, &QToolButton::clicked, this, &CropTool::FitFrame);
    connect(Vert_Btn, &QToolButton::clicked, this, &CropTool::FitFrame);
}

void CropTool::ApplyLanguage() {
    for (QLabel* label : {FinSizeT_Lbl, Format_Lbl, OrgSizeT_Lbl})
        label->setText(Host().Translate(label->objectName().toLatin1().constData()));
}

void CropTool::Opened() {
    const Bitmap32& photo = Host().EditedPhoto();
    crop_ = std::make_unique<CropFrame>(photo.Width(), photo.Height(), PrintFormatOfItem(Format_Combo->currentIndex()));
    (crop_->Landscape() ? Horiz_Btn : Vert_Btn)->setChecked(true);
    // The crop layer has no pixels of its own: it is the frame's rectangle.
    layer_ = View().AddLayer(nullptr, QRectF(0, 0, photo.Width(), photo.Height()));
    View().SetLayerSelectable(layer_, true);
    View().AttachFrame(layer_, true);
    ShowFrame();
    OrgSize_Lbl->setText(PixelSize(photo.Width(), photo.Height()));
    Host().ZoomFit();
}

void CropTool::FitFrame() {
    if (!crop_) return;
    crop_->SetFormat(PrintFormatOfItem(Format_Combo->currentIndex()));
    crop_->SetLandscape(!Vert_Btn->isChecked());
    ShowFrame();
}

void CropTool::ShowFrame() {
    const FrameBounds& frame = crop_->Frame();
    View().SetLayerLocation(layer_, QRectF(QPointF(frame.left, frame.top), QPointF(frame.right, frame.bottom)));
    ShowFinalSize();
}

void CropTool::ShowFinalSize() {
    const auto [w, h] = crop_->RoundedSize();
    FinSize_Lbl->setText(PixelSize(w, h));
}

QRectF CropTool::CorrectFrame(FrameHandle handle, QRectF rect) {
    if (!crop_) return rect;
    crop_->Propose(static_cast<CropHandle>(handle), {rect.left(), rect.top(), rect.right(), rect.bottom()});
    ShowFinalSize();
    const FrameBounds& frame = crop_->Frame();
    return QRectF(QPointF(frame.left, frame.top), QPointF(frame.right, frame.bottom));
}

void CropTool::LayerPressed(int id) {
    if (id == layer_) View().AttachFrame(id, true);
}

void CropTool::Accept() {
    Host().SaveUndoStep();
    Bitmap32& photo = Host().EditedPhoto();
    photo = CropPhoto(photo, crop_->CropRect());
    Host().CloseTool();
    Host().PhotoChanged();
    Host().ZoomFit();
}

void CropTool::Closing() {
    RetouchTool::Closing();
    crop_.reset();
}

}  // namespace vantrel::gui
