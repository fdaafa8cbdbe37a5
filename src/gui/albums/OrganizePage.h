#pragma once
// The organisation page: the album column on the left, the photos of the current album on the
// right.

#include <QWidget>

class QLabel;
class QListWidget;
class QProgressBar;
class QScrollArea;
class QSplitter;
class QVBoxLayout;

namespace vantrel::gui {

class OrganizePage : public QWidget {
    Q_OBJECT
public:
    explicit OrganizePage(QWidget* parent = nullptr);
    void AttachProgressBar(QProgressBar* bar);

    QSplitter* Splitter2;
    QWidget* Album_Panel;
    QLabel* AlbumTitle_Panel;
    QScrollArea* Album_Scroll;
    QWidget* Content_Panel;
    QLabel* ContentTitle_Panel;
    QWidget* SubContent_Panel;
    QListWidget* Content_View;

private:
    QVBoxLayout* subContentLayout_;
};

}  // namespace vantrel::gui
