#include "gui/retouch/tools/CropTool.h"

#include <QButtonGroup>
#include <QComboBox>
#include <algorithm>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

#include "core/app/FormatPattern.h"
#include "core/imaging/PrintSizeAdvice.h"
#include "gui/kit/PageWidgets.h"
#include "gui/kit/PaletteIcon.h"
#include "gui/kit/Utf8Text.h"
#include "gui/retouch/ToolPanel.h"

namespace vantrel::gui {

namespace {

QString PixelSize(int width, int height) { return QString::asprintf("%d x %d pixels", width, height); }

}  // namespace

CropTool::CropTool(RetouchHost& host, QWidget* parent) : RetouchTool(host) {
    // Format, orientation, original and current sizes.
    Format_Panel = new ToolPanel("Format_Panel", 40, InkedIcon(":/icons/crop.svg"), parent);
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
    // The print sizes in centimetres ("10x15"), beside the format: the row has little room.
    Print_Combo = Named(new QComboBox(Format_Panel), "Print_Combo");
    for (const PrintFormatSize& format : CommonPrintFormats())
        Print_Combo->addItem(QString("%1x%2").arg(format.shortCm).arg(format.longCm));
    Print_Combo->setCurrentText("10x15");
    Dpi_Lbl = Named(new QLabel(Format_Panel), "Dpi_Lbl");
    row->addWidget(Format_Lbl);
    row->addWidget(Format_Combo);
    row->addWidget(Horiz_Btn);
    row->addWidget(Vert_Btn);
    row->addSpacing(4);
    row->addWidget(Print_Combo);
    row->addWidget(Dpi_Lbl);
    row->addSpacing(10);
    row->addWidget(OrgSizeT_Lbl);
    row->addWidget(OrgSize_Lbl);
    row->addSpacing(10);
    row->addWidget(FinSizeT_Lbl);
    row->addWidget(FinSize_Lbl);
    row->addStretch();

    connect(Format_Combo, &QComboBox::currentIndexChanged, this, &CropTool::FitFrame);
    connect(Horiz_Btn, &QToolButton::clicked, this, &CropTool::FitFrame);
    connect(Vert_Btn, &QToolButton::clicked, this, &CropTool::FitFrame);
    connect(Print_Combo, &QComboBox::currentIndexChanged, this, [this] {
        if (crop_) ShowFinalSize();
    });
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
    const std::span<const PrintFormatSize> formats = CommonPrintFormats();
    const int item = std::clamp(Print_Combo->currentIndex(), 0, static_cast<int>(formats.size()) - 1);
    const double dpi = PrintDpi(w, h, formats[static_cast<std::size_t>(item)]);
    Dpi_Lbl->setText(Q(FormatPattern(Host().Translate("CropDpi").toStdString(), {static_cast<std::int64_t>(dpi)})));
    // Under what makes a good print the figure turns orange, under a fair one red.
    Dpi_Lbl->setStyleSheet(dpi < kSmallPrintDpi ? "color: rgb(200,0,0); font-weight: bold;"
                           : dpi < kGoodPrintDpi ? "color: rgb(190,110,0);"
                                                 : "");
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
