#include "gui/browse/TDup_Dlog.h"

#include <QCheckBox>
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
    // Designed at 96 pixels per inch; scaled to the screen's density.
    const double k = logicalDpiX() > 0 ? logicalDpiX() / 96.0 : 1.0;
    auto at = [k](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(int(x * k), int(y * k), int(width * k), int(height * k));
    };
    setFixedSize(int(312 * k), int(126 * k));

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    at(Image1, 10, 10, 32, 32);
    Upper_Text = new QLabel(upper, this);
    Upper_Text->setObjectName("Upper_Text");
    Upper_Text->setWordWrap(true);
    Upper_Text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    at(Upper_Text, 50, 10, 250, 41);
    Lower_Text = new QLabel(lower, this);
    Lower_Text->setObjectName("Lower_Text");
    Lower_Text->setWordWrap(true);
    Lower_Text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    at(Lower_Text, 50, 55, 250, 30);
    NoMore_Check = new QCheckBox(noMore, this);
    NoMore_Check->setObjectName("NoMore_Check");
    at(NoMore_Check, 10, 97, 220, 17);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    at(Button1, 240, 93, 60, 22);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // Centred on the screen, not over the window.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace vantrel::gui
