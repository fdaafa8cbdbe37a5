#pragma once
// The preferences dialog: photo captions, confirmations, JPEG quality, proxy, upload and update check.
// It edits the window's in-memory settings; the caption boxes take effect at once, everything
// else is checked and stored when the dialog is closed by its close box.

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace vantrel::gui {

class AppContext;
class SpinEdit;

class TPref_Dlog : public QDialog {
    Q_OBJECT
public:
    // Fills the controls from the settings of `window`; CompRate is limited to 1..100 at once.
    explicit TPref_Dlog(AppContext& context);

    // Rebuilds every photo caption of the albums, the content list and the thumbnail list from the
    // current ShowName, ShowLen and ShowSize settings.
    void ResetCaption();

    // Closing: the checks and the store. The dialog stays open on the Secure page when the proxy
    // is in use without a host or with a port that is no whole number.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildToolBar();
    void BuildLookSheet();
    void BuildSecureSheet();
    void BuildUploadSheet();
    void BuildUpdateSheet();
    void FillFromSettings();
    void ApplyEnabling();
    // The proxy the connections take with what the dialog holds now.
    void ShowProxyInUse();
    void ApplyLanguage();
    void ShowSheet(QWidget* sheet);
    // Grows the dialog from its designed size until every text shows whole.
    void FitToTexts();
    // The caption boxes: the setting follows the box, the captions follow the setting.
    void CaptionCheckClicked();

    QToolButton* Look_Btn;
    QToolButton* Security_Btn;
    QToolButton* Upload_Btn;
    QToolButton* Update_Btn;
    QStackedWidget* Pages;
    QWidget* Look_Sheet;
    QWidget* Secure_Sheet;
    QWidget* Upload_Sheet;
    QWidget* Update_Sheet;
    QGroupBox* Title_Box;
    QLabel* Name_Lbl;
    QCheckBox* Name_Check;
    QCheckBox* Length_Check;
    QCheckBox* Size_Check;
    QGroupBox* Comp_Group;
    QLabel* Comp_Memo;
    SpinEdit* Comp_Spin;
    QGroupBox* Confirm_Box;
    QCheckBox* Album_Check;
    QCheckBox* Image_Check;
    QCheckBox* Change_Check;
    QCheckBox* Small_Check;
    QGroupBox* Proxy_Box;
    QCheckBox* Proxy_Check;
    QLabel* ProxName_Lbl;
    QLineEdit* ProxName_Edit;
    QLabel* ProxPort_Lbl;
    QLineEdit* ProxPort_Edit;
    // Unticked, the connections follow the environment's proxy variables: which proxy that gives
    // the service's address, or none.
    QLabel* ProxyInUse_Lbl;
    QGroupBox* Upload_Box;
    QCheckBox* Limit_Check;
    QSpinBox* Limit_Spin;
    QLabel* Connections_Lbl;
    QSpinBox* Connections_Spin;
    QGroupBox* Update_Box;
    QCheckBox* Search_Check;
    QWidget* Freq_Radio;
    QButtonGroup* Freq_Group;
    QLabel* Info_Lbl;

    static constexpr QSize kDesignSize{452, 308};
    AppContext& context_;
    bool shownOnce_ = false;
};

}  // namespace vantrel::gui
