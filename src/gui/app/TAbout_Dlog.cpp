#include "gui/app/TAbout_Dlog.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "core/app/LinkText.h"
#include "core/app/Version.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/LightPanel.h"
#include "gui/kit/PageWidgets.h"
#include "gui/kit/WebLinkOpener.h"

namespace vantrel::gui {

namespace {
const QColor kCream(255, 248, 225);

// The banner across the top: the product name and its line on cream.
QPixmap DrawBanner(const QString& description) {
    QPixmap banner(410, 75);
    banner.fill(kCream);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(236, 214, 160));
    painter.drawRect(0, 67, 410, 8);
    painter.setBrush(QColor(200, 120, 40));
    painter.drawEllipse(QRectF(18, 14, 40, 40));
    painter.setBrush(kCream);
    painter.drawEllipse(QRectF(29, 25, 18, 18));

    QFont name("Sans Serif", 24, QFont::Bold);
    name.setPixelSize(32);
    painter.setFont(name);
    painter.setPen(QColor(110, 60, 20));
    painter.drawText(QRect(72, 6, 330, 40), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kApplicationTitle));
    QFont line("Sans Serif");
    line.setPixelSize(12);
    line.setItalic(true);
    painter.setFont(line);
    painter.setPen(QColor(140, 100, 60));
    painter.drawText(QRect(74, 44, 330, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     description);
    return banner;
}

// A line of text with each web address in it shown as a blue, underlined link.
QString LinkedHtml(const std::string& line) {
    QString html;
    for (const TextRun& run : SplitLinks(line)) {
        const QString text = QString::fromStdString(run.text).toHtmlEscaped();
        if (run.isLink)
            html += "<a href=\"" + text + "\" style=\"color:#0000ff; text-decoration:underline;\">" + text + "</a>";
        else
            html += text;
    }
    return html;
}
}  // namespace

TAbout_Dlog::TAbout_Dlog(AppContext& context) : QDialog(context.DialogParent()) {
    setObjectName("About_Dlog");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8("A propos de Vantrel"));
    setFixedSize(418, 295);
    SetLightPanel(this, Qt::white);
    OpenLink = [](const QString& address) { OpenWebLink(QUrl::fromUserInput(address)); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    Banner_Img = Named(new QLabel(this), "Banner_Img");
    Banner_Img->setPixmap(DrawBanner(context.Translate("About_Banner")));
    Banner_Img->setFixedSize(410, 75);
    layout->addWidget(Banner_Img);

    auto* body = Named(new QFrame(this), "Body_Panel");
    SetLightPanel(body, kCream);  // a palette, not a style sheet: its texts stay dark on a dark desktop
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(14, 8, 14, 8);
    column->setSpacing(3);
    layout->addWidget(body, 1);
    auto* close = Named(new QDialogButtonBox(QDialogButtonBox::Close, this), "Close_Box");
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close);
    setFixedHeight(height() + close->sizeHint().height());  // the designed box, and its button below

    auto translated = [&context](const char* key) { return context.Translate(key).replace("\r\n", "\n"); };
    About_Lbl = Named(new QLabel(translated("About_Lbl"), body), "About_Lbl");
    QFont bold = About_Lbl->font();
    bold.setBold(true);
    About_Lbl->setFont(bold);
    Version_Lbl = Named(new QLabel(context.Translate("Version_Lbl") + " " + QString::fromStdString(versionInfo_.FileVersion),
                                   body),
                        "Version_Lbl");
    Version_Lbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Copyright_Lbl = Named(new QLabel(translated("Copyright_Lbl"), body), "Copyright_Lbl");
    const std::string& website = context.Remote().website_url;
    const QString site = website.empty() ? context.Translate("Website_URL") : QString::fromStdString(website);
    VantrelURL_Lbl = Named(new QLabel(body), "VantrelURL_Lbl");
    VantrelURL_Lbl->setTextFormat(Qt::RichText);
    VantrelURL_Lbl->setText("<a href=\"#\" style=\"color:#0000ff; text-decoration:underline;\">" + site.toHtmlEscaped() +
                            "</a>");
    // The label's own text is what opens.
    connect(VantrelURL_Lbl, &QLabel::linkActivated, this, [this, site] { OpenLink(site); });

    column->addWidget(About_Lbl);
    column->addWidget(Version_Lbl);
    column->addWidget(Copyright_Lbl);
    column->addWidget(VantrelURL_Lbl);

    auto* credits = Named(new QFrame(body), "Credits_Panel");
    credits->setFrameShape(QFrame::StyledPanel);
    credits->setFrameShadow(QFrame::Plain);
    auto* lines = new QVBoxLayout(credits);
    lines->setContentsMargins(8, 4, 8, 4);
    lines->setSpacing(1);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    Engin_Lbl = Named(new QLabel(translated("Engin_Lbl"), credits), "Engin_Lbl");
    Librairies_Lbl = Named(new QLabel(translated("Librairies_Lbl"), credits), "Librairies_Lbl");
    for (QLabel* caption : {Engin_Lbl, Librairies_Lbl}) caption->setFont(bold);
    Credits_Line1 = MakeLinkLabel("Credits_Line1", context.Translate("Credits_Line1"), credits);
    Credits_Line2 = MakeLinkLabel("Credits_Line2", context.Translate("Credits_Line2"), credits);
    Credits_Line3 = MakeLinkLabel("Credits_Line3", context.Translate("Credits_Line3"), credits);
    lines->addWidget(Engin_Lbl);
    lines->addWidget(Credits_Line1);
    lines->addSpacing(3);
    lines->addWidget(Librairies_Lbl);
    lines->addWidget(Credits_Line2);
    lines->addWidget(Credits_Line3);
    for (QLabel* line : {Credits_Line1, Credits_Line2, Credits_Line3}) line->setFont(small);
    column->addSpacing(4);
    column->addWidget(credits);
    column->addStretch();

    setWindowTitle(context.Translate("About_Dlog"));
}

QLabel* TAbout_Dlog::MakeLinkLabel(const char* name, const QString& line, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setText(LinkedHtml(QString(line).replace("\r\n", " ").toStdString()));
    connect(label, &QLabel::linkActivated, this, [this](const QString& address) { OpenLink(address); });
    return label;
}

void TAbout_Dlog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace vantrel::gui
