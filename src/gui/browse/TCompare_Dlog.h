#pragma once
// Two photos of the thumbnail list side by side, each as large as its half allows, with a
// button under each that adds that photo to the default album.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QToolButton;

namespace vantrel::gui {

class SlideshowView;

class TCompare_Dlog : public QDialog {
    Q_OBJECT
public:
    struct Side {
        QString path;
        int index = -1;   // position in the thumbnail list
        QImage picture;   // the decoded photo (or the placeholder)
    };

    // `addPhoto` runs for an add button with the path of that side.
    TCompare_Dlog(const QString& caption, const QString& addText, std::function<void(const QString&)> addPhoto,
                  QWidget* parent = nullptr);

    void SetSides(const Side& left, const Side& right);
    const Side& LeftSide() const { return left_; }
    const Side& RightSide() const { return right_; }

    QWidget* Left_Panel;
    QWidget* Right_Panel;
    QWidget* Sep_Panel;
    QWidget* Bottom_Panel;
    QLabel* TitleL_Panel;
    QLabel* TitleR_Panel;
    SlideshowView* Left_Img;
    SlideshowView* Right_Img;
    QPushButton* AddL_Btn;
    QPushButton* AddR_Btn;
    QToolButton* End_Btn;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildColumn(QWidget* column, QLabel*& title, SlideshowView*& picture, QPushButton*& add, const char* side);
    void PlaceColumn(QWidget* column, QLabel* title, SlideshowView* picture, QPushButton* add);

    std::function<void(const QString&)> addPhoto_;
    Side left_, right_;
};

}  // namespace vantrel::gui
