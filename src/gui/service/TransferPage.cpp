#include "gui/service/TransferPage.h"

#include "gui/kit/PageWidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel::gui {

namespace {
QLabel* Link(const char* name, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name);
    label->setStyleSheet("color: blue; text-decoration: underline;");
    label->setCursor(Qt::PointingHandCursor);
    return label;
}
}  // namespace

TransferPage::TransferPage(QWidget* parent) : QWidget(parent) {
    setObjectName("Transfer_Sheet");
    // On a small screen the page scrolls rather than squeeze the login and the Start button.
    auto* content = new QWidget;
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(MakeScrollingPage("Transfer_Scroll", content, this));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(24, 16, 24, 16);
    NumImage_Lbl = Named(new QLabel(this), "NumImage_Lbl");
    TotalSize_Lbl = Named(new QLabel(this), "TotalSize_Lbl");
    QFont bold = NumImage_Lbl->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    NumImage_Lbl->setFont(bold);
    TotalSize_Lbl->setFont(bold);
    layout->addWidget(NumImage_Lbl);
    layout->addWidget(TotalSize_Lbl);
    layout->addSpacing(12);

    ID_Panel = Named(new QWidget(this), "ID_Panel");
    ID_Panel->setStyleSheet("#ID_Panel { border: 1px solid rgb(160,160,160); }");
    auto* grid = new QGridLayout(ID_Panel);
    IdTitle_Lbl = Named(new QLabel(ID_Panel), "IdTitle_Lbl");
    IdTitle_Lbl->setStyleSheet("font-weight: bold;");
    Login_Lbl = Named(new QLabel(ID_Panel), "Login_Lbl");
    Login_Edit = Named(new QLineEdit(ID_Panel), "Login_Edit");
    Pass_Lbl = Named(new QLabel(ID_Panel), "Pass_Lbl");
    Pass_Edit = Named(new QLineEdit(ID_Panel), "Pass_Edit");
    Pass_Edit->setEchoMode(QLineEdit::Password);
    Save_Check = Named(new QCheckBox(ID_Panel), "Save_Check");
    Lost_Lbl = Named(new QLabel(ID_Panel), "Lost_Lbl");
    LostClic_Lbl = Link("LostClic_Lbl", ID_Panel);
    grid->addWidget(IdTitle_Lbl, 0, 0, 1, 2);
    grid->addWidget(Login_Lbl, 1, 0);
    grid->addWidget(Login_Edit, 1, 1);
    grid->addWidget(Pass_Lbl, 2, 0);
    grid->addWidget(Pass_Edit, 2, 1);
    grid->addWidget(Save_Check, 3, 1);
    auto* lost = new QHBoxLayout();
    lost->setSpacing(3);  // the link stands 3 pixels right of the text
    lost->addWidget(Lost_Lbl);
    lost->addWidget(LostClic_Lbl);
    lost->addStretch();
    grid->addLayout(lost, 4, 0, 1, 2);
    layout->addWidget(ID_Panel);

    Info_Lbl = Named(new QLabel(this), "Info_Lbl");
    Info_Lbl->setWordWrap(true);
    layout->addWidget(Info_Lbl);
    WebSite_Lbl = Link("WebSite_Lbl", this);
    layout->addWidget(WebSite_Lbl);
    auto* start = new QHBoxLayout();
    Start_Btn = Named(new QPushButton(this), "Start_Btn");
    Start_Btn->setMinimumHeight(36);
    start->addStretch();
    start->addWidget(Start_Btn);
    Animate1 = Named(new QProgressBar(this), "Animate1");
    Animate1->setRange(0, 0);
    Animate1->setFixedWidth(80);
    Animate1->hide();
    start->addWidget(Animate1);
    start->addStretch();
    layout->addLayout(start);
    layout->addStretch();
    Info_Lbl->hide();

    connect(Start_Btn, &QPushButton::clicked, this, &TransferPage::startRequested);
    connect(Save_Check, &QCheckBox::clicked, this, &TransferPage::rememberChanged);
    connect(WebSite_Lbl, &QLabel::linkActivated, this, &TransferPage::webSiteRequested);
    connect(LostClic_Lbl, &QLabel::linkActivated, this, &TransferPage::lostLoginHelpRequested);
}

void TransferPage::SetCaptions(const std::function<QString(const char*)>& translate) {
    for (QLabel* label : {Login_Lbl, Lost_Lbl, Pass_Lbl, IdTitle_Lbl, Info_Lbl})
        label->setText(translate(label->objectName().toLatin1().constData()));
    for (QLabel* link : {LostClic_Lbl, WebSite_Lbl})
        link->setText("<a href=\"#\">" + translate(link->objectName().toLatin1().constData()).toHtmlEscaped() + "</a>");
    Save_Check->setText(translate("Save_Check"));
    Start_Btn->setText(translate("Start_Btn"));
}

QString TransferPage::Login() const { return Login_Edit->text(); }

QString TransferPage::Password() const { return Pass_Edit->text(); }

void TransferPage::ShowLogin(const QString& login, const QString& password, bool remembered) {
    Login_Edit->setText(login);
    Pass_Edit->setText(password);
    Save_Check->setChecked(remembered);
}

void TransferPage::ShowSummary(const QString& photos, const QString& size, bool canStart) {
    NumImage_Lbl->setText(photos);
    TotalSize_Lbl->setText(size);
    Start_Btn->setEnabled(canStart);
}

void TransferPage::ShowStatus(const QString& text, bool busy) {
    Info_Lbl->setText(text);
    Info_Lbl->setVisible(!text.isEmpty());
    Animate1->setVisible(busy);
}

}  // namespace vantrel::gui
