#include "gui/browse/TDup_Dlog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <algorithm>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace vantrel::gui {

TDup_Dlog::TDup_Dlog(const QString& caption, const QString& upper, const QString& lower, const QString& noMore,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("Dup_Dlog");
    setWindowTitle(caption);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Upper_Text = new QLabel(upper, this);
    Upper_Text->setObjectName("Upper_Text");
    Lower_Text = new QLabel(lower, this);
    Lower_Text->setObjectName("Lower_Text");
    for (QLabel* text : {Upper_Text, Lower_Text}) {
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    NoMore_Check = new QCheckBox(noMore, this);
    NoMore_Check->setObjectName("NoMore_Check");
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    // Laid out rather than placed, so that longer texts (French) make the notice grow instead
    // of being cut; the designed 312 x 126 is the least it takes.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(8);
    grid->addWidget(Image1, 0, 0, 2, 1);
    grid->addWidget(Upper_Text, 0, 1);
    grid->addWidget(Lower_Text, 1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(NoMore_Check);
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    grid->addLayout(bottom, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    // A width that keeps the text lines readable; the height follows the wrapped texts.
    const int width = std::max(312, std::min(520, grid->sizeHint().width()));
    const int height = std::max(126, grid->hasHeightForWidth() ? grid->totalHeightForWidth(width) : grid->sizeHint().height());
    setMinimumSize(width, height);
    resize(width, height);
    // Centred on the screen, not over the window.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace vantrel::gui
