#pragma once
// A picture shown as large as the view allows, its proportions kept, enlarged or reduced,
// and centred: the slideshow's Cur_Img and the pictures of the compare dialog.

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace vantrel::gui {

class SlideshowView : public QWidget {
    Q_OBJECT
public:
    explicit SlideshowView(QWidget* parent = nullptr);

    // `fitted`, when given, is the picture already scaled as the view would scale it for its
    // present size in device pixels (PixelSize); it saves that scaling when the picture is shown.
    void SetPicture(const QImage& picture, const QImage& fitted = QImage());
    const QImage& Picture() const { return picture_; }
    // The view's size in device pixels, which the picture is scaled to: on a screen scaled by 2
    // it is twice the view's size, so that the picture stays sharp.
    QSize PixelSize() const;
    // The picture as last drawn, at the screen's device pixel ratio (for tests).
    const QPixmap& Shown() const { return scaled_; }
    // Where the picture lands in a view of `view` size.
    static QRect FitRect(const QSize& picture, const QSize& view);

signals:
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage picture_;
    QPixmap scaled_;  // the picture at its size in the view, in device pixels; made again when the view changes
};

}  // namespace vantrel::gui
