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
    if (!fitted.isNull() && fitted.size() == FitRect(picture.size(), size()).size()) scaled_ = QPixmap::fromImage(fitted);
    update();
}

QRect SlideshowView::FitRect(const QSize& picture, const QSize& view) {
    if (picture.isEmpty() || view.isEmpty()) return {};
    const QSize size = picture.scaled(view, Qt::KeepAspectRatio);
    return QRect(QPoint((view.width() - size.width()) / 2, (view.height() - size.height()) / 2), size);
}

void SlideshowView::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    const QRect target = FitRect(picture_.size(), size());
    if (target.isEmpty()) return;
    if (scaled_.size() != target.size())
        scaled_ = QPixmap::fromImage(picture_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter painter(this);
    painter.drawPixmap(target.topLeft(), scaled_);
}

void SlideshowView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuRequested(event->globalPos()); }

}  // namespace vantrel::gui
