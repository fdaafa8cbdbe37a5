#include "gui/retouch/LayeredImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace vantrel::gui {

namespace {
constexpr double kHandleSize = 5.0;
// How far from a handle's centre a press still takes it, in screen pixels.
constexpr double kHandleReach = 5.0;
}  // namespace

QImage ImageOf(Bitmap32& bitmap, bool withAlpha) {
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return {};
    return QImage(reinterpret_cast<uchar*>(bitmap.Row(0)), bitmap.Width(), bitmap.Height(),
                  static_cast<qsizetype>(bitmap.Width()) * 4,
                  withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

LayeredImageView::LayeredImageView(QColor background, QWidget* parent)
    : QAbstractScrollArea(parent), background_(background) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
}

void LayeredImageView::SetBitmap(Bitmap32* bitmap) {
    bitmap_ = bitmap;
    BitmapChanged();
}

void LayeredImageView::BitmapChanged() {
    UpdateScrollBars();
    viewport()->update();
}

double LayeredImageView::FitScale() const {
    if (!bitmap_ || bitmap_->Width() <= 0 || bitmap_->Height() <= 0) return 1.0;
    const double sx = (viewport()->width() - 20.0) / bitmap_->Width();
    const double sy = (viewport()->height() - 20.0) / bitmap_->Height();
    return std::max(0.01, std::min(sx, sy));
}

void LayeredImageView::SetScale(double scale) {
    scale_ = scale;
    UpdateScrollBars();
    UpdateCursor();
    viewport()->update();
    emit scaleChanged(scale_);
}

void LayeredImageView::UpdateScrollBars() {
    const int w = bitmap_ ? static_cast<int>(std::lround(bitmap_->Width() * scale_)) : 0;
    const int h = bitmap_ ? static_cast<int>(std::lround(bitmap_->Height() * scale_)) : 0;
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, w - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, h - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(20);
}

QPointF LayeredImageView::Origin() const {
    if (!bitmap_) return {};
    const double w = bitmap_->Width() * scale_, h = bitmap_->Height() * scale_;
    const QSize area = viewport()->size();
    // A picture smaller than the view is centred; a larger one follows the scroll bars.
    const double x = w < area.width() ? std::floor((area.width() - w) / 2) : -horizontalScrollBar()->value();
    const double y = h < area.height() ? std::floor((area.height() - h) / 2) : -verticalScrollBar()->value();
    return {x, y};
}

QPointF LayeredImageView::ToBitmap(QPointF viewPoint) const { return (viewPoint - Origin()) / scale_; }
QPointF LayeredImageView::ToView(QPointF bitmapPoint) const { return bitmapPoint * scale_ + Origin(); }

QPoint LayeredImageView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void LayeredImageView::SetScrollPosition(QPoint position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

int LayeredImageView::AddLayer(Bitmap32* pixels, QRectF location) {
    layers_.push_back({nextLayerId_, pixels, location});
    viewport()->update();
    return nextLayerId_++;
}

void LayeredImageView::RemoveLayer(int id) {
    if (frameLayer_ == id) AttachFrame(-1, false);
    std::erase_if(layers_, [id](const Layer& layer) { return layer.id == id; });
    viewport()->update();
}

void LayeredImageView::ClearLayers() {
    AttachFrame(-1, false);
    layers_.clear();
    viewport()->update();
}

LayeredImageView::Layer* LayeredImageView::FindLayer(int id) {
    auto found = std::find_if(layers_.begin(), layers_.end(), [id](const Layer& layer) { return layer.id == id; });
    return found == layers_.end() ? nullptr : &*found;
}

const LayeredImageView::Layer* LayeredImageView::FindLayer(int id) const {
    return const_cast<LayeredImageView*>(this)->FindLayer(id);
}

QRectF LayeredImageView::LayerLocation(int id) const {
    const Layer* layer = FindLayer(id);
    return layer ? layer->location : QRectF();
}

void LayeredImageView::SetLayerLocation(int id, QRectF location) {
    if (Layer* layer = FindLayer(id)) layer->location = location;
    viewport()->update();
}

void LayeredImageView::SetLayerPixels(int id, Bitmap32* pixels) {
    if (Layer* layer = FindLayer(id)) layer->pixels = pixels;
    viewport()->update();
}

void LayeredImageView::SetLayerSelectable(int id, bool selectable) {
    if (Layer* layer = FindLayer(id)) layer->selectable = selectable;
}

void LayeredImageView::AttachFrame(int layerId, bool resizable) {
    frameLayer_ = FindLayer(layerId) ? layerId : -1;
    frameResizable_ = resizable;
    if (frameLayer_ < 0) dragHandle_ = FrameHandle::None;
    viewport()->update();
}

void LayeredImageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), background_);
    if (!bitmap_ || bitmap_->Width() <= 0) return;
    const QPointF origin = Origin();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ < 1.0);
    const QRectF target(origin, QSizeF(bitmap_->Width() * scale_, bitmap_->Height() * scale_));
    painter.drawImage(target, ImageOf(*bitmap_, false));
    for (const Layer& layer : layers_) {
        if (!layer.pixels || layer.pixels->Width() <= 0) continue;
        // A layer is drawn at its top-left corner, one layer pixel per bitmap pixel, the way
        // its pixels end up in the photo.
        const QRectF at(ToView(layer.location.topLeft()),
                        QSizeF(layer.pixels->Width() * scale_, layer.pixels->Height() * scale_));
        painter.drawImage(at, ImageOf(*layer.pixels, true));
    }
    if (const Layer* framed = FindLayer(frameLayer_)) {
        const QRectF frame(ToView(framed->location.topLeft()), ToView(framed->location.bottomRight()));
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (frameResizable_) {
            // What a crop would cut away is dimmed.
            QPainterPath outside;
            outside.addRect(target);
            QPainterPath kept;
            kept.addRect(frame);
            painter.fillPath(outside.subtracted(kept), QColor(0, 0, 0, 90));
        }
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(frame);
        QPen dashes(Qt::red, 1, Qt::CustomDashLine);
        dashes.setDashPattern({2, 2});
        painter.setPen(dashes);
        painter.drawRect(frame);
        QList<QPointF> handles{frame.center()};
        if (frameResizable_)
            handles << frame.topLeft() << frame.topRight() << frame.bottomLeft() << frame.bottomRight();
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(255, 0, 0));
        for (const QPointF& handle : handles)
            painter.drawRect(QRectF(handle.x() - kHandleSize / 2 - 1, handle.y() - kHandleSize / 2 - 1,
                                    kHandleSize + 1, kHandleSize + 1));
    }
}

void LayeredImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    UpdateCursor();
}

void LayeredImageView::scrollContentsBy(int, int) {
    viewport()->update();
    emit scrolled(ScrollPosition());
}

FrameHandle LayeredImageView::HandleAt(QPointF viewPoint) const {
    const Layer* framed = FindLayer(frameLayer_);
    if (!framed) return FrameHandle::None;
    const QRectF frame(ToView(framed->location.topLeft()), ToView(framed->location.bottomRight()));
    auto near = [&](QPointF corner) {
        return std::abs(viewPoint.x() - corner.x()) <= kHandleReach && std::abs(viewPoint.y() - corner.y()) <= kHandleReach;
    };
    if (frameResizable_) {
        if (near(frame.topLeft())) return FrameHandle::TopLeft;
        if (near(frame.topRight())) return FrameHandle::TopRight;
        if (near(frame.bottomLeft())) return FrameHandle::BottomLeft;
        if (near(frame.bottomRight())) return FrameHandle::BottomRight;
    }
    return frame.contains(viewPoint) ? FrameHandle::Move : FrameHandle::None;
}

void LayeredImageView::UpdateCursor() {
    if (captureMouse_) {
        viewport()->setCursor(captureCursor_);
        return;
    }
    const bool scrolls = horizontalScrollBar()->maximum() > 0 || verticalScrollBar()->maximum() > 0;
    viewport()->setCursor(scrolls ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void LayeredImageView::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (captureMouse_) {
        capturing_ = true;
        emit imagePressed(ToBitmap(at));
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    FrameHandle handle = HandleAt(at);
    if (handle == FrameHandle::None) {
        // A press on a tool layer gives it the frame, which the same press then drags.
        for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
            if (!layer->selectable || !layer->location.contains(ToBitmap(at))) continue;
            emit layerPressed(layer->id);
            handle = HandleAt(at);
            break;
        }
    }
    if (handle != FrameHandle::None) {
        dragHandle_ = handle;
        dragStartRect_ = LayerLocation(frameLayer_);
        dragStartPoint_ = ToBitmap(at);
        return;
    }
    panning_ = true;
    panLast_ = event->position().toPoint();
}

void LayeredImageView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (capturing_) {
        emit imageDragged(ToBitmap(at));
        return;
    }
    if (panning_) {
        const QPoint now = at.toPoint();
        const QPoint moved = now - panLast_;
        panLast_ = now;
        // The photo follows the mouse.
        SetScrollPosition(ScrollPosition() - moved);
        return;
    }
    if (dragHandle_ == FrameHandle::None) {
        if (!captureMouse_) {
            const FrameHandle over = HandleAt(at);
            if (over == FrameHandle::TopLeft || over == FrameHandle::BottomRight) viewport()->setCursor(Qt::SizeFDiagCursor);
            else if (over == FrameHandle::TopRight || over == FrameHandle::BottomLeft) viewport()->setCursor(Qt::SizeBDiagCursor);
            else if (over == FrameHandle::Move) viewport()->setCursor(Qt::SizeAllCursor);
            else UpdateCursor();
        }
        return;
    }
    const QPointF delta = ToBitmap(at) - dragStartPoint_;
    QRectF rect = dragStartRect_;
    switch (dragHandle_) {
    case FrameHandle::Move: rect.translate(delta); break;
    case FrameHandle::TopLeft: rect.setTopLeft(rect.topLeft() + delta); break;
    case FrameHandle::TopRight: rect.setTopRight(rect.topRight() + delta); break;
    case FrameHandle::BottomLeft: rect.setBottomLeft(rect.bottomLeft() + delta); break;
    case FrameHandle::BottomRight: rect.setBottomRight(rect.bottomRight() + delta); break;
    case FrameHandle::None: break;
    }
    if (FrameCorrector) rect = FrameCorrector(dragHandle_, rect);
    SetLayerLocation(frameLayer_, rect);
    emit frameChanged(rect);
}

void LayeredImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (capturing_) {
        capturing_ = false;
        emit imageReleased(ToBitmap(event->position()));
        return;
    }
    if (event->button() == Qt::LeftButton) {
        panning_ = false;
        dragHandle_ = FrameHandle::None;
    }
}

}  // namespace vantrel::gui
