#pragma once
// The help viewer: one window showing the pages of the program's help, following their links.

#include <QDialog>

class QTextBrowser;

namespace vantrel::gui {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // Shows `page` (a local HTML file) in the help window, creating it when needed; while a modal
    // dialog is open the window belongs to that dialog, so that the dialog does not block it.
    static void ShowPage(QWidget* owner, const QString& page);

private:
    explicit HelpWindow(QWidget* owner);
    QTextBrowser* browser_;
};

}  // namespace vantrel::gui
