#include "gui/app/TPref_Dlog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/app/PreferenceChoices.h"
#include "core/app/ProxySetting.h"
#include "core/app/UserSettings.h"
#include "gui/app/HeldKeys.h"
#include "gui/app/ProxyInUseText.h"
#include "gui/app/SpinEdit.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/LightPanel.h"
#include "gui/kit/MainActions.h"
#include "gui/kit/PageWidgets.h"

namespace vantrel::gui {

namespace {
// A language text as a control shows it: its CR LF line breaks as plain line breaks.
QString ControlText(const QString& text) {
    QString shown = text;
    return shown.replace("\r\n", "\n");
}

QIcon SheetIcon(const char* themed, QStyle::StandardPixmap fallback, const QStyle* style) {
    QIcon icon = ThemedIcon(themed);
    return icon.isNull() ? style->standardIcon(fallback) : icon;
}
}  // namespace

TPref_Dlog::TPref_Dlog(AppContext& context) : QDialog(context.DialogParent()), context_(context) {
    setObjectName("Pref_Dlog");
    setWindowTitle(QString::fromUtf8("Préférences"));
    // The designed 452 x 308 is the least it takes: longer texts (French) make it grow.
    setMinimumSize(kDesignSize);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolBar();
    Pages = Named(new QStackedWidget(this), "Pages");
    BuildLookSheet();
    BuildSecureSheet();
    BuildUploadSheet();
    BuildUpdateSheet();
    layout->addWidget(Pages, 1);
    // Closing stores and checks as the window's close box does.
    auto* close = Named(new QDialogButtonBox(QDialogButtonBox::Close, this), "Close_Box");
    close->setContentsMargins(8, 4, 8, 8);
    connect(close, &QDialogButtonBox::rejected, this, &TPref_Dlog::reject);
    layout->addWidget(close);

    ShowSheet(Look_Sheet);
    FillFromSettings();
    context_.Settings().CompRate = Comp_Spin->Value();
    ApplyEnabling();
    ApplyLanguage();

    connect(Proxy_Check, &QCheckBox::clicked, this, &TPref_Dlog::ApplyEnabling);
    connect(ProxName_Edit, &QLineEdit::textChanged, this, &TPref_Dlog::ShowProxyInUse);
    connect(ProxPort_Edit, &QLineEdit::textChanged, this, &TPref_Dlog::ShowProxyInUse);
    connect(Search_Check, &QCheckBox::clicked, this, &TPref_Dlog::ApplyEnabling);
    for (QCheckBox* box : {Name_Check, Length_Check, Size_Check})
        connect(box, &QCheckBox::clicked, this, &TPref_Dlog::CaptionCheckClicked);
}

void TPref_Dlog::BuildToolBar() {
    auto* bar = Named(new QFrame(this), "Tool_Bar");
    bar->setFrameShape(QFrame::StyledPanel);
    // A palette, not a style sheet: the sheet buttons' captions stay dark on a dark desktop.
    SetLightPanel(bar, Qt::white);
    bar->setFrameShape(QFrame::NoFrame);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);
    auto* group = new QButtonGroup(this);
    auto makeButton = [&](const char* name, const char* caption, const QIcon& icon, QWidget*& sheet) {
        auto* button = Named(new QToolButton(bar), name);
        button->setText(QString::fromUtf8(caption));
        button->setIcon(icon);
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setMinimumWidth(84);
        group->addButton(button);
        row->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, &sheet] { ShowSheet(sheet); });
        return button;
    };
    Look_Btn = makeButton("Look_Btn", "Apparence", SheetIcon("preferences-desktop-theme", QStyle::SP_DesktopIcon, style()),
                          Look_Sheet);
    Security_Btn = makeButton("Security_Btn", "Sécurité",
                              SheetIcon("security-medium", QStyle::SP_DriveNetIcon, style()), Secure_Sheet);
    Upload_Btn = makeButton("Upload_Btn", "Envoi", SheetIcon("network-transmit", QStyle::SP_ArrowUp, style()),
                            Upload_Sheet);
    Update_Btn = makeButton("Update_Btn", "Mise à jour",
                            SheetIcon("system-software-update", QStyle::SP_BrowserReload, style()), Update_Sheet);
    Security_Btn->hide();
    row->addStretch();
    layout()->addWidget(bar);
}

void TPref_Dlog::BuildLookSheet() {
    Look_Sheet = Named(new QWidget(Pages), "Look_Sheet");
    auto* column = new QVBoxLayout(Look_Sheet);
    column->setContentsMargins(8, 6, 8, 6);

    Title_Box = Named(new QGroupBox(QString::fromUtf8("Libellé des images"), Look_Sheet), "Title_Box");
    auto* title = new QVBoxLayout(Title_Box);
    title->setSpacing(2);
    Name_Lbl = Named(new QLabel(QString::fromUtf8("Sous les vignettes afficher :"), Title_Box), "Name_Lbl");
    Name_Check = Named(new QCheckBox(QString::fromUtf8("Le nom de l'image"), Title_Box), "Name_Check");
    Length_Check = Named(new QCheckBox(QString::fromUtf8("La taille du fichier"), Title_Box), "Length_Check");
    Size_Check = Named(new QCheckBox(QString::fromUtf8("Les dimensions de l'image"), Title_Box), "Size_Check");
    for (QWidget* w : std::initializer_list<QWidget*>{Name_Lbl, Name_Check, Length_Check, Size_Check})
        title->addWidget(w);

    Comp_Group = Named(new QGroupBox(QString::fromUtf8("Compression"), Look_Sheet), "Comp_Group");
    auto* comp = new QVBoxLayout(Comp_Group);
    comp->setSpacing(2);
    Comp_Memo = Named(new QLabel(QString::fromUtf8("Taux de compression des images JPEG lors des enregistrements "
                                                   "(entre 1 et 100) :"),
                                 Comp_Group),
                      "Comp_Memo");
    Comp_Memo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Comp_Memo->setWordWrap(true);
    QFont note = Comp_Memo->font();
    note.setPointSizeF(note.pointSizeF() * 0.9);
    Comp_Memo->setFont(note);
    Comp_Spin = Named(new SpinEdit(kCompRateRange, Comp_Group), "Comp_Spin");
    Comp_Spin->setMaximumWidth(70);
    comp->addWidget(Comp_Memo);
    comp->addWidget(Comp_Spin);
    comp->addStretch();

    Confirm_Box = Named(new QGroupBox(QString::fromUtf8("Message de confirmation"), Look_Sheet), "Confirm_Box");
    auto* confirm = new QVBoxLayout(Confirm_Box);
    confirm->setSpacing(2);
    Album_Check = Named(new QCheckBox(QString::fromUtf8("Demander confirmation avant de supprimer un album"), Confirm_Box),
                        "Album_Check");
    Image_Check = Named(new QCheckBox(QString::fromUtf8("Demander confirmation avant de supprimer une image"), Confirm_Box),
                        "Image_Check");
    Change_Check = Named(new QCheckBox(QString::fromUtf8("Demander confirmation avant d'enregistrer les modifications "
                                                         "apportées à une image"),
                                       Confirm_Box),
                         "Change_Check");
    Small_Check = Named(new QCheckBox(QString::fromUtf8("Demander avant d'envoyer des photos trop petites pour un bon "
                                                        "tirage 10x15"),
                                      Confirm_Box),
                        "Small_Check");
    for (QCheckBox* box : {Album_Check, Image_Check, Change_Check, Small_Check}) confirm->addWidget(box);

    // The caption box keeps its own width beside the quality group and takes the row without it.
    auto* top = new QHBoxLayout;
    top->addWidget(Title_Box, 0);
    top->addWidget(Comp_Group, 1);
    column->addLayout(top);
    column->addWidget(Confirm_Box);
    column->addStretch();
    Pages->addWidget(Look_Sheet);
}

void TPref_Dlog::BuildSecureSheet() {
    Secure_Sheet = Named(new QWidget(Pages), "Secure_Sheet");
    auto* page = new QVBoxLayout(Secure_Sheet);
    page->setContentsMargins(8, 6, 8, 6);
    Proxy_Box = Named(new QGroupBox(QString::fromUtf8("Serveur Proxy"), Secure_Sheet), "Proxy_Box");
    auto* grid = new QGridLayout(Proxy_Box);
    Proxy_Check = Named(new QCheckBox(QString::fromUtf8("Utiliser un serveur proxy :"), Proxy_Box), "Proxy_Check");
    ProxName_Lbl = Named(new QLabel(QString::fromUtf8("Nom d'hôte :"), Proxy_Box), "ProxName_Lbl");
    ProxName_Edit = Named(new QLineEdit(Proxy_Box), "ProxName_Edit");
    ProxName_Edit->setMaxLength(129);
    ProxPort_Lbl = Named(new QLabel(QString::fromUtf8("Port :"), Proxy_Box), "ProxPort_Lbl");
    ProxPort_Edit = Named(new QLineEdit(Proxy_Box), "ProxPort_Edit");
    ProxPort_Edit->setMaxLength(32);
    ProxPort_Edit->setMaximumWidth(90);
    ProxName_Lbl->setBuddy(ProxName_Edit);
    ProxPort_Lbl->setBuddy(ProxPort_Edit);
    grid->addWidget(Proxy_Check, 0, 0, 1, 2);
    grid->addWidget(ProxName_Lbl, 1, 0);
    grid->addWidget(ProxName_Edit, 1, 1);
    grid->addWidget(ProxPort_Lbl, 2, 0);
    grid->addWidget(ProxPort_Edit, 2, 1, Qt::AlignLeft);
    page->addWidget(Proxy_Box);
    page->addStretch();
    Pages->addWidget(Secure_Sheet);
}

void TPref_Dlog::BuildUploadSheet() {
    Upload_Sheet = Named(new QWidget(Pages), "Upload_Sheet");
    auto* page = new QVBoxLayout(Upload_Sheet);
    page->setContentsMargins(8, 6, 8, 6);
    // A run must not take the whole household's upstream: the user may cap it.
    Upload_Box = Named(new QGroupBox(QString::fromUtf8("Envoi"), Upload_Sheet), "Upload_Box");
    auto* upload = new QGridLayout(Upload_Box);
    Limit_Check = Named(new QCheckBox(QString::fromUtf8("Limiter l'envoi à"), Upload_Box), "Limit_Check");
    Limit_Spin = Named(new QSpinBox(Upload_Box), "Limit_Spin");
    Limit_Spin->setRange(1, 1000000);
    Limit_Spin->setValue(1000);
    Limit_Spin->setSuffix(" KB/s");
    // More sessions overlap one file's round trips with another's bytes; a server may refuse them.
    Connections_Lbl =
        Named(new QLabel(QString::fromUtf8("Sessions FTP en parallèle :"), Upload_Box), "Connections_Lbl");
    Connections_Spin = Named(new QSpinBox(Upload_Box), "Connections_Spin");
    Connections_Spin->setRange(1, UserSettings::kMaxConnections);
    Connections_Lbl->setBuddy(Connections_Spin);
    upload->addWidget(Limit_Check, 0, 0);
    upload->addWidget(Limit_Spin, 0, 1);
    upload->addWidget(Connections_Lbl, 1, 0);
    upload->addWidget(Connections_Spin, 1, 1, Qt::AlignLeft);
    // Where the connections go: the options' proxy, the environment's, or directly.
    ProxyInUse_Lbl = Named(new QLabel(Upload_Box), "ProxyInUse_Lbl");
    ProxyInUse_Lbl->setWordWrap(true);
    ProxyInUse_Lbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    upload->addWidget(ProxyInUse_Lbl, 2, 0, 1, 3);
    upload->setColumnStretch(2, 1);
    connect(Limit_Check, &QCheckBox::clicked, this, &TPref_Dlog::ApplyEnabling);
    page->addWidget(Upload_Box);
    page->addStretch();
    Pages->addWidget(Upload_Sheet);
}

void TPref_Dlog::BuildUpdateSheet() {
    Update_Sheet = Named(new QWidget(Pages), "Update_Sheet");
    auto* page = new QVBoxLayout(Update_Sheet);
    page->setContentsMargins(8, 6, 8, 6);
    Update_Box = Named(new QGroupBox(QString::fromUtf8("Mise à jour du logiciel"), Update_Sheet), "Update_Box");
    auto* box = new QVBoxLayout(Update_Box);
    Search_Check = Named(new QCheckBox(QString::fromUtf8("Rechercher les mises à jour automatiquement"), Update_Box),
                         "Search_Check");
    Freq_Radio = Named(new QWidget(Update_Box), "Freq_Radio");
    auto* radios = new QVBoxLayout(Freq_Radio);
    radios->setContentsMargins(20, 0, 0, 0);
    radios->setSpacing(2);
    Freq_Group = Named(new QButtonGroup(this), "Freq_Group");
    const char* const choices[] = {"A chaque lancement de l'application", "Toutes les semaines", "Tous les mois"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(choices[i]), Freq_Radio);
        radio->setObjectName(QString("Freq_Radio%1").arg(i));
        Freq_Group->addButton(radio, i);
        radios->addWidget(radio);
    }
    Info_Lbl = Named(new QLabel(QString::fromUtf8("Aucune donnée personnelle n'est transmise : la recherche de mise à "
                                                  "jour télécharge seulement un fichier sur notre serveur."),
                                Update_Box),
                     "Info_Lbl");
    Info_Lbl->setWordWrap(true);
    box->addWidget(Search_Check);
    box->addWidget(Freq_Radio);
    box->addSpacing(8);
    box->addWidget(Info_Lbl);
    page->addWidget(Update_Box);
    page->addStretch();
    Pages->addWidget(Update_Sheet);
}

void TPref_Dlog::FillFromSettings() {
    const UserSettings& s = context_.Settings();
    ProxName_Edit->setText(QString::fromStdString(s.ProxyAddr));
    ProxPort_Edit->setText(QString::fromStdString(s.ProxyPort));
    Proxy_Check->setChecked(s.ProxyIsUsed);
    Limit_Check->setChecked(s.LimitKBps > 0);
    if (s.LimitKBps > 0) Limit_Spin->setValue(s.LimitKBps);
    Connections_Spin->setValue(s.Connections);
    Name_Check->setChecked(s.ShowName);
    Length_Check->setChecked(s.ShowLen);
    Size_Check->setChecked(s.ShowSize);
    Album_Check->setChecked(s.AskAlbum);
    Image_Check->setChecked(s.AskImage);
    Change_Check->setChecked(s.AskModif);
    Small_Check->setChecked(s.AskSmall);
    Comp_Spin->SetValue(s.CompRate);
    Search_Check->setChecked(s.IsUpdated);
    const int item = RadioItemIndex(s.FreqIdx, Freq_Group->buttons().size());
    if (item >= 0) Freq_Group->button(item)->setChecked(true);
}

void TPref_Dlog::ApplyEnabling() {
    const bool proxy = Proxy_Check->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ProxName_Lbl, ProxName_Edit, ProxPort_Lbl, ProxPort_Edit})
        w->setEnabled(proxy);
    ShowProxyInUse();
    Freq_Radio->setEnabled(Search_Check->isChecked());
    Limit_Spin->setEnabled(Limit_Check->isChecked());
}

void TPref_Dlog::ShowProxyInUse() {
    UserSettings typed;
    typed.ProxyIsUsed = Proxy_Check->isChecked();
    typed.ProxyAddr = ProxName_Edit->text().trimmed().toStdString();
    typed.ProxyPort = ProxPort_Edit->text().trimmed().toStdString();
    ProxyInUse_Lbl->setText(ProxyInUseText(context_, ProxyAddressOf(typed)));
}

void TPref_Dlog::ApplyLanguage() {
    setWindowTitle(context_.Translate("Pref_Dlog"));
    for (QGroupBox* box : {Confirm_Box, Title_Box, Comp_Group, Proxy_Box, Upload_Box, Update_Box})
        box->setTitle(ControlText(context_.Translate(box->objectName().toLatin1().constData())));
    for (QCheckBox* box : {Album_Check, Change_Check, Image_Check, Small_Check, Length_Check, Name_Check, Size_Check, Proxy_Check,
                           Limit_Check, Search_Check})
        box->setText(ControlText(context_.Translate(box->objectName().toLatin1().constData())));
    for (QLabel* label : {Name_Lbl, ProxName_Lbl, ProxPort_Lbl, Connections_Lbl, Info_Lbl, Comp_Memo})
        label->setText(ControlText(context_.Translate(label->objectName().toLatin1().constData())));
    for (QToolButton* button : {Look_Btn, Security_Btn, Upload_Btn, Update_Btn})
        button->setText(ControlText(context_.Translate(button->objectName().toLatin1().constData())));
    ShowProxyInUse();
    const QStringList choices = ControlText(context_.Translate("Freq_Radio")).split('\n');
    const QList<QAbstractButton*> radios = Freq_Group->buttons();
    for (int i = 0; i < radios.size(); ++i) radios[i]->setText(i < choices.size() ? choices[i] : QString());
}

void TPref_Dlog::FitToTexts() {
    layout()->activate();
    setMinimumSize(kDesignSize.expandedTo(minimumSizeHint()));
    resize(size().expandedTo(sizeHint()).expandedTo(minimumSize()));
}

void TPref_Dlog::ShowSheet(QWidget* sheet) {
    Pages->setCurrentWidget(sheet);
    Look_Btn->setChecked(sheet == Look_Sheet);
    Security_Btn->setChecked(sheet == Secure_Sheet);
    Upload_Btn->setChecked(sheet == Upload_Sheet);
    Update_Btn->setChecked(sheet == Update_Sheet);
}

void TPref_Dlog::CaptionCheckClicked() {
    UserSettings& s = context_.Settings();
    s.ShowName = Name_Check->isChecked();
    s.ShowLen = Length_Check->isChecked();
    s.ShowSize = Size_Check->isChecked();
    ResetCaption();
}

void TPref_Dlog::ResetCaption() {
    context_.NotifySettingsChanged();
}

void TPref_Dlog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The quality setting is for those who know to hold Space while opening the dialog.
    Comp_Group->setVisible(HeldKeys::IsHeld(Qt::Key_Space));
    FitToTexts();
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TPref_Dlog::reject() {
    PreferenceChoices choices;
    choices.proxyUsed = Proxy_Check->isChecked();
    choices.proxyHost = ProxName_Edit->text().toStdString();
    choices.proxyPort = ProxPort_Edit->text().toStdString();
    choices.showName = Name_Check->isChecked();
    choices.showLen = Length_Check->isChecked();
    choices.showSize = Size_Check->isChecked();
    choices.askAlbum = Album_Check->isChecked();
    choices.askImage = Image_Check->isChecked();
    choices.askModif = Change_Check->isChecked();
    choices.askSmall = Small_Check->isChecked();
    choices.compRate = Comp_Spin->Value();
    choices.isUpdated = Search_Check->isChecked();
    choices.freqIdx = Freq_Group->checkedId();
    choices.limitKBps = Limit_Check->isChecked() ? Limit_Spin->value() : 0;
    choices.connections = Connections_Spin->value();

    const PreferenceCheck check = StorePreferences(choices, context_.Settings());
    if (check != PreferenceCheck::Stored) {
        const bool host = check == PreferenceCheck::ProxyHostMissing;
        QMessageBox::critical(this, windowTitle(), context_.Translate(host ? "ProxAddrErr" : "ProxPortErr"));
        ShowSheet(Secure_Sheet);
        QLineEdit* field = host ? ProxName_Edit : ProxPort_Edit;
        field->setFocus();
        return;
    }
    QDialog::reject();
}

}  // namespace vantrel::gui
