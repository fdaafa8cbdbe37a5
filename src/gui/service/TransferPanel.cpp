#include "gui/service/TransferPanel.h"
#include "gui/kit/LightPanel.h"

#include "gui/kit/PageWidgets.h"
#include "gui/kit/WebLinkOpener.h"
#include "gui/service/AdvertView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vantrel::gui {

namespace {
constexpr int kWebWidth = 630, kWebHeight = 346;
}  // namespace

TransferPanel::TransferPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("TransFile_Panel");
    SetLightPanel(this, Qt::white);

    Infos_Panel = Named(new QWidget(this), "Infos_Panel");
    // As high as its rows need (a fixed minimum of its own would let them overlap on a short window).
    Infos_Panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* grid = new QGridLayout(Infos_Panel);
    grid->setContentsMargins(24, 12, 24, 12);
    Transfer_Lbl = Named(new QLabel(Infos_Panel), "Transfer_Lbl");
    // Fonts rather than style sheets, which would take the desktop's text colour on the white panel.
    QFont title = Transfer_Lbl->font();
    title.setBold(true);
    title.setPointSize(14);
    Transfer_Lbl->setFont(title);
    Info1_Lbl = Named(new QLabel(Infos_Panel), "Info1_Lbl");
    Info2_Lbl = Named(new QLabel(Infos_Panel), "Info2_Lbl");
    Image_Img = Named(new QLabel(Infos_Panel), "Image_Img");
    Image_Img->setFixedSize(96, 96);
    AlbumT_Lbl = Named(new QLabel(Infos_Panel), "AlbumT_Lbl");
    Album_Lbl = Named(new QLabel(Infos_Panel), "Album_Lbl");
    QFont bold = Album_Lbl->font();
    bold.setBold(true);
    Album_Lbl->setFont(bold);
    ImgName_Lbl = Named(new QLabel(Infos_Panel), "ImgName_Lbl");
    PBar1_Lbl = Named(new QLabel(Infos_Panel), "PBar1_Lbl");
    PBar1 = Named(new QProgressBar(Infos_Panel), "PBar1");
    PBar2_Lbl = Named(new QLabel(Infos_Panel), "PBar2_Lbl");
    PBar2 = Named(new QProgressBar(Infos_Panel), "PBar2");
    ImgLeft_Lbl = Named(new QLabel(Infos_Panel), "ImgLeft_Lbl");
    TimeLeft_Lbl = Named(new QLabel(Infos_Panel), "TimeLeft_Lbl");
    Wait_Lbl = Named(new QLabel(Infos_Panel), "Wait_Lbl");
    Stop_Btn = Named(new QPushButton(Infos_Panel), "Stop_Btn");
    Limit_Check = Named(new QCheckBox(Infos_Panel), "Limit_Check");
    Limit_Spin = Named(new QSpinBox(Infos_Panel), "Limit_Spin");
    Limit_Spin->setRange(1, 1000000);
    Limit_Spin->setValue(1000);
    Limit_Spin->setSuffix(" KB/s");
    for (QProgressBar* bar : {PBar1, PBar2}) {
        bar->setRange(0, 1000);  // per mille of the byte range: bars never overflow an int
        bar->setTextVisible(false);
    }

    grid->addWidget(Transfer_Lbl, 0, 0, 1, 4);
    grid->addWidget(Info1_Lbl, 1, 0, 1, 4);
    grid->addWidget(Info2_Lbl, 2, 0, 1, 4);
    grid->addWidget(Image_Img, 3, 0, 4, 1);
    auto* album = new QHBoxLayout();
    album->addWidget(AlbumT_Lbl);
    album->addWidget(Album_Lbl, 1);
    grid->addLayout(album, 3, 1, 1, 3);
    grid->addWidget(ImgName_Lbl, 4, 1, 1, 3);
    grid->addWidget(PBar1_Lbl, 5, 1);
    grid->addWidget(PBar1, 5, 2, 1, 2);
    grid->addWidget(PBar2_Lbl, 6, 1);
    grid->addWidget(PBar2, 6, 2, 1, 2);
    grid->addWidget(ImgLeft_Lbl, 7, 1);
    grid->addWidget(TimeLeft_Lbl, 7, 2);
    grid->addWidget(Wait_Lbl, 8, 1, 1, 2);
    grid->addWidget(Stop_Btn, 7, 3, 2, 1);
    auto* limit = new QHBoxLayout();
    limit->addWidget(Limit_Check);
    limit->addWidget(Limit_Spin);
    limit->addStretch();
    grid->addLayout(limit, 9, 1, 1, 3);
    grid->setColumnStretch(2, 1);

    WB = Named(new AdvertView(this), "WB");
    // On a short or narrow window the page gives up height and width (it scrolls), never the
    // information above it.
    WB->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    WB->setMinimumWidth(kWebWidth / 2);
    WB->setMaximumWidth(kWebWidth);
    WB->setMinimumHeight(kWebHeight / 3);
    WB->setMaximumHeight(kWebHeight);
    // A link in the page opens in the desktop's browser when it is a web link; the view itself
    // never follows one (a file: link would show a local file in the panel).
    WB->setOpenLinks(false);
    connect(WB, &QTextBrowser::anchorClicked, WB, [](const QUrl& url) { OpenWebLink(url); });
    WB->setFrameShape(QFrame::NoFrame);

    // The page keeps its size and is centred in the space below the information panel; on a
    // small screen the whole panel scrolls.
    auto* content = new QWidget;
    SetLightPanel(content, Qt::white);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Infos_Panel);
    column->addStretch(1);
    column->addWidget(WB, 0, Qt::AlignHCenter);
    column->addStretch(1);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(MakeScrollingPage("TransFile_Scroll", content, this));

    connect(Stop_Btn, &QPushButton::clicked, this, &TransferPanel::stopRequested);
    auto limitChanged = [this] {
        Limit_Spin->setEnabled(Limit_Check->isChecked());
        emit uploadLimitChanged(UploadLimit());
    };
    connect(Limit_Check, &QCheckBox::toggled, this, limitChanged);
    connect(Limit_Spin, &QSpinBox::valueChanged, this, limitChanged);
}

void TransferPanel::Reset(bool stopEnabled) {
    PBar1->setValue(0);
    PBar2->setValue(0);
    Stop_Btn->setEnabled(stopEnabled);
    for (QLabel* label : {Image_Img, ImgName_Lbl, Album_Lbl, ImgLeft_Lbl, TimeLeft_Lbl}) label->clear();
}

void TransferPanel::ShowAlbum(const QString& name) { Album_Lbl->setText(name); }

void TransferPanel::ShowPhoto(const QString& fileName, const QPixmap& tile) {
    ImgName_Lbl->setText(fileName);
    Image_Img->setPixmap(tile);
}

void TransferPanel::ShowPhotoProgress(int perMille) { PBar1->setValue(perMille); }

void TransferPanel::ShowRunProgress(int perMille) { PBar2->setValue(perMille); }

void TransferPanel::ShowPhotosLeft(const QString& text) { ImgLeft_Lbl->setText(text); }

void TransferPanel::ShowTimeLeft(const QString& text) { TimeLeft_Lbl->setText(text); }

void TransferPanel::ShowWait(const QString& text) { Wait_Lbl->setText(text); }

void TransferPanel::SetStopEnabled(bool enabled) { Stop_Btn->setEnabled(enabled); }

void TransferPanel::ShowUploadLimit(int kilobytesPerSecond) {
    const QSignalBlocker checkQuiet(Limit_Check);
    const QSignalBlocker spinQuiet(Limit_Spin);
    Limit_Check->setChecked(kilobytesPerSecond > 0);
    if (kilobytesPerSecond > 0) Limit_Spin->setValue(kilobytesPerSecond);
    Limit_Spin->setEnabled(kilobytesPerSecond > 0);
}

int TransferPanel::UploadLimit() const { return Limit_Check->isChecked() ? Limit_Spin->value() : 0; }

void TransferPanel::SetCaptions(const std::function<QString(const char*)>& translate) {
    for (QLabel* label : {Transfer_Lbl, Info1_Lbl, Info2_Lbl, AlbumT_Lbl, PBar1_Lbl, PBar2_Lbl, Wait_Lbl})
        label->setText(translate(label->objectName().toLatin1().constData()));
    Stop_Btn->setText(translate("Stop_Btn"));
    Limit_Check->setText(translate("Limit_Check"));
}

}  // namespace vantrel::gui
