#pragma once
// A scrollable, zoomable view of one 32-bit bitmap, with bitmap layers placed over it in
// bitmap coordinates and a selection frame with drag handles that moves and resizes the layer
// it is attached to. Mouse work that is not the frame's or a pan is handed to the owner in
// bitmap coordinates.

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <functional>
#include <vector>

#include "core/imaging/Bitmap32.h"

namespace vantrel::gui {

// The handle of the selection frame a drag started on.
enum class FrameHandle { None, Move, TopLeft, TopRight, BottomLeft, BottomRight };

// A Bitmap32 seen as an image without copying; valid while the bitmap keeps its size.
QImage ImageOf(Bitmap32& bitmap, bool withAlpha);

class LayeredImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LayeredImageView(QColor background, QWidget* parent = nullptr);

    // The bitmap shown; the view keeps a pointer, the caller keeps it alive and calls
    // BitmapChanged after changing its pixels or size.
    void SetBitmap(Bitmap32* bitmap);
    Bitmap32* BitmapPtr() const { return bitmap_; }
    void BitmapChanged();

    // Screen pixels per bitmap pixel.
    double Scale() const { return scale_; }
    void SetScale(double scale);
    // The scale that shows the whole bitmap with 10 pixels to spare on each side.
    double FitScale() const;

    // Layers, drawn in order over the bitmap, each blended by its alpha. Ids stay valid until
    // the layer is removed.
    int AddLayer(Bitmap32* pixels, QRectF location);
    void RemoveLayer(int id);
    void ClearLayers();
    QRectF LayerLocation(int id) const;
    void SetLayerLocation(int id, QRectF location);
    void SetLayerPixels(int id, Bitmap32* pixels);
    // A layer that the mouse selects: a press on it is reported through layerPressed.
    void SetLayerSelectable(int id, bool selectable);

    // Attaches the selection frame to a layer (-1 detaches and hides it). `resizable` adds the
    // corner handles to the move handle.
    void AttachFrame(int layerId, bool resizable);
    int FrameLayer() const { return frameLayer_; }
    // Corrects each proposed frame rectangle before it is applied; may be empty.
    std::function<QRectF(FrameHandle, QRectF)> FrameCorrector;

    // When set, presses, moves and releases on the view go to the owner (imagePressed and the
    // rest) and the view neither pans nor selects.
    void SetCaptureMouse(bool capture) { captureMouse_ = capture; }
    // Cursor shown while the mouse is captured.
    void SetCaptureCursor(Qt::CursorShape shape) { captureCursor_ = shape; }

    QPointF ToBitmap(QPointF viewPoint) const;
    QPointF ToView(QPointF bitmapPoint) const;
    QPoint ScrollPosition() const;
    void SetScrollPosition(QPoint position);

signals:
    void scaleChanged(double scale);
    void scrolled(QPoint position);
    void layerPressed(int id);
    void frameChanged(QRectF rect);
    void imagePressed(QPointF bitmapPoint);
    void imageDragged(QPointF bitmapPoint);
    void imageReleased(QPointF bitmapPoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Layer {
        int id;
        Bitmap32* pixels;
        QRectF location;
        bool selectable = false;
    };
    Layer* FindLayer(int id);
    const Layer* FindLayer(int id) const;
    void UpdateScrollBars();
    QPointF Origin() const;
    FrameHandle HandleAt(QPointF viewPoint) const;
    void UpdateCursor();

    QColor background_;
    Bitmap32* bitmap_ = nullptr;
    double scale_ = 1.0;
    std::vector<Layer> layers_;
    int nextLayerId_ = 1;
    int frameLayer_ = -1;
    bool frameResizable_ = false;
    bool captureMouse_ = false;
    bool capturing_ = false;
    Qt::CursorShape captureCursor_ = Qt::CrossCursor;
    // The drag under way.
    FrameHandle dragHandle_ = FrameHandle::None;
    QRectF dragStartRect_;
    QPointF dragStartPoint_;
    bool panning_ = false;
    QPoint panLast_;
};

}  // namespace vantrel::gui
