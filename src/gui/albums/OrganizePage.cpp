#include "gui/albums/OrganizePage.h"

#include "gui/kit/PageWidgets.h"

#include "gui/albums/ContentListWidget.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace vantrel::gui {


OrganizePage::OrganizePage(QWidget* parent) : QWidget(parent) {
    setObjectName("Organize_Sheet");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter2 = MakePageSplitter("Splitter2", this);
    layout->addWidget(Splitter2);

    Album_Panel = new QWidget(Splitter2);
    Album_Panel->setObjectName("Album_Panel");
    Album_Panel->setMinimumWidth(200);
    Album_Panel->setMaximumWidth(400);
    auto* left = new QVBoxLayout(Album_Panel);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    AlbumTitle_Panel = MakeTitleBar("AlbumTitle_Panel", Album_Panel);
    AlbumTitle_Panel->setIndent(4);  // the text keeps clear of the bar's edge
    left->addWidget(AlbumTitle_Panel);
    Album_Scroll = new QScrollArea(Album_Panel);
    Album_Scroll->setObjectName("Album_Scroll");
    Album_Scroll->setWidgetResizable(true);
    left->addWidget(Album_Scroll, 1);

    Content_Panel = new QWidget(Splitter2);
    Content_Panel->setObjectName("Content_Panel");
    auto* right = new QVBoxLayout(Content_Panel);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    ContentTitle_Panel = MakeTitleBar("ContentTitle_Panel", Content_Panel);
    ContentTitle_Panel->setIndent(4);
    right->addWidget(ContentTitle_Panel);
    SubContent_Panel = new QWidget(Content_Panel);
    SubContent_Panel->setObjectName("SubContent_Panel");
    subContentLayout_ = new QVBoxLayout(SubContent_Panel);
    subContentLayout_->setContentsMargins(0, 0, 0, 0);
    Content_View = new ContentListWidget(SubContent_Panel);
    Content_View->setObjectName("Content_View");
    subContentLayout_->addWidget(Content_View, 1);
    right->addWidget(SubContent_Panel, 1);
    Splitter2->setStretchFactor(1, 1);
}

void OrganizePage::AttachProgressBar(QProgressBar* bar) { subContentLayout_->addWidget(bar); }

}  // namespace vantrel::gui
