#pragma once
// The photo selection page: the folder tree and the information panel on the left, the
// thumbnail list or the slideshow on the right under a grey header.

#include <QWidget>

class QLabel;
class QListWidget;
class QProgressBar;
class QSplitter;
class QStackedWidget;
class QTreeView;
class QVBoxLayout;

namespace vantrel::gui {

class SlideshowView;

class SelectPage : public QWidget {
    Q_OBJECT
public:
    explicit SelectPage(QWidget* parent = nullptr);

    // Places the window's shared progress bar under the thumbnail list.
    void AttachProgressBar(QProgressBar* bar);
    // Sets the captions of the information panel from the language file.
    void SetInfoCaptions(const QStringList& captions, const QString& title);

    QSplitter* Splitter1;
    QWidget* TreeInfo_Panel;
    QTreeView* Shell_Tree;
    QWidget* Info_Panel;
    QLabel* Panel2;
    QWidget* Show_Panel;
    QLabel* Tool_Panel;
    QStackedWidget* ShowStack;
    QWidget* Thumb_Panel;
    QListWidget* Thumb_View;
    QWidget* Diapo_Panel;
    SlideshowView* Cur_Img;

signals:
    // A double click on the information panel's title with Shift, Ctrl and Alt held.
    void creditsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVBoxLayout* thumbLayout_;
    QList<QLabel*> infoCaptions_;
};

}  // namespace vantrel::gui
