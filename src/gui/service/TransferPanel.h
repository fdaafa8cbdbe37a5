#pragma once
// The panel that stands in place of the transfer page during a run: the current photo with
// its album and tile, a bar for the photo and one for the whole run, the photos left, the time
// estimate, the upload limit, the Stop button, and below them a page of the service.

#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vantrel::gui {

class AdvertView;

class TransferPanel : public QWidget {
    Q_OBJECT
public:
    explicit TransferPanel(QWidget* parent = nullptr);
    // Sets the fixed captions from the language file.
    void SetCaptions(const std::function<QString(const char*)>& translate);

    // A run begins: no photo, empty bars, Stop as given.
    void Reset(bool stopEnabled);
    void ShowAlbum(const QString& name);
    void ShowPhoto(const QString& fileName, const QPixmap& tile);
    // The bars in per mille of their range.
    void ShowPhotoProgress(int perMille);
    void ShowRunProgress(int perMille);
    void ShowPhotosLeft(const QString& text);
    void ShowTimeLeft(const QString& text);
    // "Please wait..." or the wait before the next attempt.
    void ShowWait(const QString& text);
    void SetStopEnabled(bool enabled);
    // The upload limit in KB/s, 0 for none; shown without telling uploadLimitChanged.
    void ShowUploadLimit(int kilobytesPerSecond);
    int UploadLimit() const;
    // The service's page below the information.
    AdvertView& Advert() { return *WB; }

signals:
    void stopRequested();
    // The user changed the limit (KB/s, 0 for none) while a run may go on.
    void uploadLimitChanged(int kilobytesPerSecond);

private:
    QWidget* Infos_Panel;
    QLabel* Transfer_Lbl;
    QLabel* Info1_Lbl;
    QLabel* Info2_Lbl;
    QLabel* AlbumT_Lbl;
    QLabel* Album_Lbl;
    QLabel* ImgName_Lbl;
    QLabel* Image_Img;
    QLabel* PBar1_Lbl;
    QProgressBar* PBar1;
    QLabel* PBar2_Lbl;
    QProgressBar* PBar2;
    QLabel* ImgLeft_Lbl;
    QLabel* TimeLeft_Lbl;
    QLabel* Wait_Lbl;
    QPushButton* Stop_Btn;
    QCheckBox* Limit_Check;
    QSpinBox* Limit_Spin;
    AdvertView* WB;
};

}  // namespace vantrel::gui
