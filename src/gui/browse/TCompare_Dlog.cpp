#include "gui/browse/TCompare_Dlog.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "gui/browse/SlideshowView.h"
#include "gui/kit/MainActions.h"

namespace vantrel::gui {

namespace {
constexpr int kSeparatorWidth = 6;
constexpr int kMargin = 4;         // around the two columns; 8 in all across the dialog
constexpr int kTitleHeight = 20;
constexpr int kButtonWidth = 200;
constexpr int kButtonHeight = 23;
constexpr int kBottomHeight = 32;
}  // namespace

TCompare_Dlog::TCompare_Dlog(const QString& caption, const QString& addText,
                             std::function<void(const QString&)> addPhoto, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowTitleHint),
      addPhoto_(std::move(addPhoto)) {
    setObjectName("Compare_Dlog");
    setWindowTitle(caption.isEmpty() ? QString::fromUtf8("Comparaison d'images") : caption);
    setMinimumSize(594, 200);
    resize(594, 355);

    Left_Panel = new QWidget(this);
    Left_Panel->setObjectName("Left_Panel");
    Right_Panel = new QWidget(this);
    Right_Panel->setObjectName("Right_Panel");
    Sep_Panel = new QWidget(this);
    Sep_Panel->setObjectName("Sep_Panel");
    Bottom_Panel = new QWidget(this);
    Bottom_Panel->setObjectName("Bottom_Panel");
    BuildColumn(Left_Panel, TitleL_Panel, Left_Img, AddL_Btn, "L");
    BuildColumn(Right_Panel, TitleR_Panel, Right_Img, AddR_Btn, "R");
    const QString buttonText = addText.isEmpty() ? QString::fromUtf8("Ajouter à ma liste de transfert") : addText;
    AddL_Btn->setText(buttonText);
    AddR_Btn->setText(buttonText);
    connect(AddL_Btn, &QPushButton::clicked, this, [this] { if (addPhoto_) addPhoto_(left_.path); });
    connect(AddR_Btn, &QPushButton::clicked, this, [this] { if (addPhoto_) addPhoto_(right_.path); });

    End_Btn = new QToolButton(Bottom_Panel);
    End_Btn->setObjectName("End_Btn");
    End_Btn->setIcon(ThemedIcon("window-close"));
    End_Btn->setFixedSize(24, 24);
    connect(End_Btn, &QToolButton::clicked, this, &QDialog::close);
}

void TCompare_Dlog::BuildColumn(QWidget* column, QLabel*& title, SlideshowView*& picture, QPushButton*& add,
                                const char* side) {
    title = new QLabel(column);
    title->setObjectName(QString("Title%1_Panel").arg(side));
    title->setAlignment(Qt::AlignCenter);
    title->setAutoFillBackground(true);
    title->setStyleSheet("background: white; color: grey; font-weight: bold;");
    picture = new SlideshowView(column);
    picture->setObjectName(QString(*side == 'L' ? "Left_Img" : "Right_Img"));
    add = new QPushButton(column);
    add->setObjectName(QString("Add%1_Btn").arg(side));
    add->setFixedSize(kButtonWidth, kButtonHeight);
}

void TCompare_Dlog::SetSides(const Side& left, const Side& right) {
    left_ = left;
    right_ = right;
    TitleL_Panel->setText(QFileInfo(left.path).fileName());
    TitleR_Panel->setText(QFileInfo(right.path).fileName());
    Left_Img->SetPicture(left.picture);
    Right_Img->SetPicture(right.picture);
}

void TCompare_Dlog::PlaceColumn(QWidget* column, QLabel* title, SlideshowView* picture, QPushButton* add) {
    const int w = column->width(), h = column->height();
    title->setGeometry(0, 0, w, kTitleHeight);
    picture->setGeometry(0, kTitleHeight + 2, w, std::max(1, h - kTitleHeight - kButtonHeight - 8));
    add->move((w - add->width()) / 2, h - kButtonHeight - 2);
}

void TCompare_Dlog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    const int columnsHeight = std::max(1, h - kBottomHeight - kMargin);
    const int leftWidth = (w - kSeparatorWidth - 2 * kMargin) / 2;
    Left_Panel->setGeometry(kMargin, kMargin, leftWidth, columnsHeight);
    Sep_Panel->setGeometry(kMargin + leftWidth, kMargin, kSeparatorWidth, columnsHeight);
    const int rightLeft = kMargin + leftWidth + kSeparatorWidth;
    Right_Panel->setGeometry(rightLeft, kMargin, w - kMargin - rightLeft, columnsHeight);
    Bottom_Panel->setGeometry(0, h - kBottomHeight, w, kBottomHeight);
    End_Btn->move(w - End_Btn->width() - 8, (kBottomHeight - End_Btn->height()) / 2);
    PlaceColumn(Left_Panel, TitleL_Panel, Left_Img, AddL_Btn);
    PlaceColumn(Right_Panel, TitleR_Panel, Right_Img, AddR_Btn);
}

}  // namespace vantrel::gui
