#pragma once
// The transfer page: photo counts, the identification box and the start button.

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vantrel::gui {

class TransferPage : public QWidget {
    Q_OBJECT
public:
    explicit TransferPage(QWidget* parent = nullptr);

    // The fixed captions from the language file (`translate` takes a widget's name).
    void SetCaptions(const std::function<QString(const char*)>& translate);
    QString Login() const;
    QString Password() const;
    void ShowLogin(const QString& login, const QString& password, bool remembered);
    // The photos waiting and their size; Start only when there are some.
    void ShowSummary(const QString& photos, const QString& size, bool canStart);
    // The line above Start: contacting the server (`busy`: with the small animation), connected,
    // disconnected. Empty hides it.
    void ShowStatus(const QString& text, bool busy = false);

signals:
    void startRequested();
    void rememberChanged(bool remembered);
    void webSiteRequested();
    void lostLoginHelpRequested();

private:
    QLabel* NumImage_Lbl;
    QLabel* TotalSize_Lbl;
    QWidget* ID_Panel;
    QLabel* IdTitle_Lbl;
    QLabel* Login_Lbl;
    QLineEdit* Login_Edit;
    QLabel* Pass_Lbl;
    QLineEdit* Pass_Edit;
    QCheckBox* Save_Check;
    QLabel* Lost_Lbl;
    QLabel* LostClic_Lbl;
    QLabel* Info_Lbl;
    QLabel* WebSite_Lbl;
    QPushButton* Start_Btn;
    QProgressBar* Animate1;  // the small busy animation while the server is contacted
};

}  // namespace vantrel::gui
