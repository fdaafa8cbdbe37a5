#include "gui/browse/SelectPage.h"
#include "gui/kit/LightPanel.h"

#include "gui/kit/PageWidgets.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/browse/SlideshowView.h"

namespace vantrel::gui {

SelectPage::SelectPage(QWidget* parent) : QWidget(parent) {
    setObjectName("Select_Sheet");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = MakePageSplitter("Splitter1", this);
    layout->addWidget(Splitter1);

    TreeInfo_Panel = new QWidget(Splitter1);
    TreeInfo_Panel->setObjectName("TreeInfo_Panel");
    TreeInfo_Panel->setMinimumWidth(200);
    TreeInfo_Panel->setMaximumWidth(400);
    auto* left = new QVBoxLayout(TreeInfo_Panel);
    left->setContentsMargins(0, 0, 0, 0);
    Shell_Tree = new QTreeView(TreeInfo_Panel);
    Shell_Tree->setObjectName("Shell_Tree");
    Shell_Tree->setHeaderHidden(true);
    left->addWidget(Shell_Tree, 1);

    Info_Panel = new QWidget(TreeInfo_Panel);
    Info_Panel->setObjectName("Info_Panel");
    Info_Panel->setFixedHeight(195);
    Info_Panel->setAttribute(Qt::WA_StyledBackground, true);
    SetLightPanel(Info_Panel, Qt::white);
    auto* info = new QVBoxLayout(Info_Panel);
    info->setContentsMargins(4, 4, 4, 4);
    Panel2 = new QLabel(Info_Panel);
    Panel2->setObjectName("Panel2");
    Panel2->setStyleSheet("background: rgb(160,160,160); color: white; font-weight: bold; padding: 2px;");
    Panel2->installEventFilter(this);
    info->addWidget(Panel2);
    auto* form = new QFormLayout();
    for (const char* name : {"NameT_Lbl", "SizeT_Lbl", "DateT_Lbl", "OpenT_Lbl", "SpeedT_Lbl", "FocusT_Lbl", "IsoT_Lbl"}) {
        auto* caption = new QLabel(Info_Panel);
        caption->setObjectName(name);
        auto* value = new QLabel(Info_Panel);
        value->setObjectName(QString(name).replace("T_Lbl", "_Lbl"));
        form->addRow(caption, value);
        infoCaptions_.append(caption);
    }
    // The print-size advice is a sentence of its own across the panel.
    auto* prints = new QLabel(Info_Panel);
    prints->setObjectName("Print_Lbl");
    prints->setWordWrap(true);  // it goes on a second line rather than lose its middle
    form->addRow(prints);
    info->addLayout(form);
    info->addStretch();
    left->addWidget(Info_Panel);

    Show_Panel = new QWidget(Splitter1);
    Show_Panel->setObjectName("Show_Panel");
    Show_Panel->setMinimumWidth(300);
    auto* right = new QVBoxLayout(Show_Panel);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    Tool_Panel = MakeTitleBar("Tool_Panel", Show_Panel);
    right->addWidget(Tool_Panel);

    ShowStack = new QStackedWidget(Show_Panel);
    Thumb_Panel = new QWidget(ShowStack);
    Thumb_Panel->setObjectName("Thumb_Panel");
    thumbLayout_ = new QVBoxLayout(Thumb_Panel);
    thumbLayout_->setContentsMargins(0, 0, 0, 0);
    Thumb_View = new QListWidget(Thumb_Panel);
    Thumb_View->setObjectName("Thumb_View");
    Thumb_View->setViewMode(QListView::IconMode);
    Thumb_View->setIconSize(QSize(96, 96));
    Thumb_View->setResizeMode(QListView::Adjust);
    Thumb_View->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Thumb_View->setMovement(QListView::Static);
    Thumb_View->setGridSize(QSize(150, 150));
    Thumb_View->setWordWrap(true);
    Thumb_View->setTextElideMode(Qt::ElideNone);  // a long caption wraps onto a third line
    Thumb_View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    {
        // Light cream background; the selection stays visible when the list loses the focus.
        SetLightPanel(Thumb_View, QColor(255, 255, 240), QPalette::Base);
        QPalette palette = Thumb_View->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
        Thumb_View->setPalette(palette);
    }
    thumbLayout_->addWidget(Thumb_View, 1);
    ShowStack->addWidget(Thumb_Panel);

    Diapo_Panel = new QWidget(ShowStack);
    Diapo_Panel->setObjectName("Diapo_Panel");
    auto* diapo = new QVBoxLayout(Diapo_Panel);
    Cur_Img = new SlideshowView(Diapo_Panel);
    Cur_Img->setObjectName("Cur_Img");
    diapo->addWidget(Cur_Img);
    ShowStack->addWidget(Diapo_Panel);
    right->addWidget(ShowStack, 1);

    Splitter1->setStretchFactor(1, 1);
}

void SelectPage::AttachProgressBar(QProgressBar* bar) { thumbLayout_->addWidget(bar); }

void SelectPage::SetInfoCaptions(const QStringList& captions, const QString& title) {
    Panel2->setText(title);
    for (int i = 0; i < infoCaptions_.size() && i < captions.size(); ++i) infoCaptions_[i]->setText(captions[i]);
}

bool SelectPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::MouseButtonDblClick) {
        const auto held = QApplication::keyboardModifiers();
        if ((held & Qt::ShiftModifier) && (held & Qt::ControlModifier) && (held & Qt::AltModifier)) {
            emit creditsRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantrel::gui
