#include "gui/retouch/RetouchPanels.h"
#include "gui/app/LightPanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/app/MainActions.h"
#include "gui/app/PageWidgets.h"

namespace vantrel::gui {

QIcon OkIcon() { return ThemedIcon("emblem-ok"); }
QIcon CancelIcon() { return ThemedIcon("window-close"); }

namespace {

QToolButton* SmallButton(const char* name, const QIcon& icon, QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setIcon(icon);
    button->setFixedSize(24, 24);
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    return button;
}

QLabel* Picture(const char* name, const QIcon& icon, int size, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name);
    label->setPixmap(icon.pixmap(size, size));
    label->setFixedSize(size, size);
    return label;
}

QSlider* Gauge(const char* name, QWidget* parent) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(-100, 100);
    slider->setPageStep(10);
    slider->setValue(0);
    slider->setFixedWidth(150);
    return slider;
}

}  // namespace

ToolPanel::ToolPanel(const char* name, int height, const QIcon& picture, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
    setFixedHeight(height);
    SetLightPanel(this, QColor(0xE6, 0xE6, 0xE6));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(Picture("Tool_Img", picture, 32, this), 0, Qt::AlignTop);
    controls_ = new QHBoxLayout;
    row->addLayout(controls_, 1);
    Cancel_Btn = SmallButton("Cancel_Btn", CancelIcon(), this);
    Ok_Btn = SmallButton("Ok_Btn", OkIcon(), this);
    row->addWidget(Cancel_Btn, 0, Qt::AlignTop);
    row->addWidget(Ok_Btn, 0, Qt::AlignTop);
    connect(Ok_Btn, &QToolButton::clicked, this, &ToolPanel::accepted);
    connect(Cancel_Btn, &QToolButton::clicked, this, &ToolPanel::cancelled);
    hide();
}

RetouchPanels::RetouchPanels(QWidget* parent) {
    // Crop: format, orientation, original and current sizes.
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

    // Light: contrast and brightness sliders with their positions.
    Lum_Panel = new ToolPanel("Lum_Panel", 40, ThemedIcon("display-brightness"), parent);
    row = Lum_Panel->Controls();
    Contrast_Gauge = Gauge("Contrast_Gauge", Lum_Panel);
    Contrast_Lbl = Named(new QLabel("0", Lum_Panel), "Contrast_Lbl");
    Brightness_Gauge = Gauge("Brightness_Gauge", Lum_Panel);
    Brightness_Lbl = Named(new QLabel("0", Lum_Panel), "Brightness_Lbl");
    for (QLabel* label : {Contrast_Lbl, Brightness_Lbl}) label->setFixedWidth(32);
    auto* contrastIcon = Picture("Contrast_Img", ThemedIcon("preferences-color"), 16, Lum_Panel);
    auto* brightnessIcon = Picture("Brightness_Img", ThemedIcon("display-brightness"), 16, Lum_Panel);
    row->addWidget(contrastIcon);
    row->addWidget(Contrast_Gauge);
    row->addWidget(Contrast_Lbl);
    row->addSpacing(20);
    row->addWidget(brightnessIcon);
    row->addWidget(Brightness_Gauge);
    row->addWidget(Brightness_Lbl);
    row->addStretch();

    // Red eye: the instruction, chained with the OK and cancel pictures.
    RedEye_Panel = new ToolPanel("RedEye_Panel", 40, QIcon(":/icons/red-eye.svg"), parent);
    row = RedEye_Panel->Controls();
    row->setSpacing(3);
    RedEye_Lbl1 = Named(new QLabel(RedEye_Panel), "RedEye_Lbl1");
    RedEye_Img1 = Picture("RedEye_Img1", OkIcon(), 16, RedEye_Panel);
    RedEye_Lbl2 = Named(new QLabel(RedEye_Panel), "RedEye_Lbl2");
    RedEye_Img2 = Picture("RedEye_Img2", CancelIcon(), 16, RedEye_Panel);
    RedEye_Lbl3 = Named(new QLabel(RedEye_Panel), "RedEye_Lbl3");
    for (QWidget* part : std::initializer_list<QWidget*>{RedEye_Lbl1, RedEye_Img1, RedEye_Lbl2, RedEye_Img2, RedEye_Lbl3})
        row->addWidget(part);
    row->addStretch();

    // Title: the text, the font button and two lines of instructions.
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
}

}  // namespace vantrel::gui
