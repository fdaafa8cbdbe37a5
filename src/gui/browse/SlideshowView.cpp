#include "gui/browse/SlideshowView.h"

#include <QContextMenuEvent>
#include <QPainter>

namespace vantrel::gui {

SlideshowView::SlideshowView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(1, 1);
}

void SlideshowView::SetPicture(const QImage& picture, const QImage& fitted) {
    picture_ = picture;
    scaled_ = QPixmap();
    if (!fitted.isNull() && fitted.size() == FitRect(picture.size(), PixelSize()).size()) {
        scaled_ = QPixmap::fromImage(fitted);
        scaled_.setDevicePixelRatio(devicePixelRatioF());
    }
    update();
}

QSize SlideshowView::PixelSize() const { return (QSizeF(size()) * devicePixelRatioF()).toSize(); }

QRect SlideshowView::FitRect(const QSize& picture, const QSize& view) {
    if (picture.isEmpty() || view.isEmpty()) return {};
    const QSize size = picture.scaled(view, Qt::KeepAspectRatio);
    return QRect(QPoint((view.width() - size.width()) / 2, (view.height() - size.height()) / 2), size);
}

void SlideshowView::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    // Fitted and scaled in device pixels: on a screen scaled by 2 the picture keeps its detail.
    const qreal ratio = devicePixelRatioF();
    const QRect target = FitRect(picture_.size(), PixelSize());
    if (target.isEmpty()) return;
    if (scaled_.size() != target.size() || scaled_.devicePixelRatio() != ratio) {
        scaled_ = QPixmap::fromImage(picture_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawPixmap(QPointF(target.topLeft()) / ratio, scaled_);
}

void SlideshowView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuRequested(event->globalPos()); }

}  // namespace vantrel::gui
