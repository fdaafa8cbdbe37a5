#pragma once
// The bridge between core's pictures and Qt: the text painter of placeholder tiles, the
// conversion of a 24-bit bitmap to an image, and the image lists of 96 x 96 tiles.

#include <QImage>
#include <QPixmap>
#include <QVector>

#include "core/imaging/RgbBitmap.h"
#include "core/imaging/TileTextPainter.h"

namespace vantrel::gui {

// Draws placeholder texts with the interface font.
class QtTileTextPainter : public TileTextPainter {
public:
    TextExtent MeasureText(const std::string& text, int pointSize) const override;
    void DrawText(RgbBitmap& bitmap, int left, int top, const std::string& text, int pointSize) const override;
};

// A deep copy of the bitmap as a 24-bit image.
QImage ToQImage(const RgbBitmap& bitmap);
// The side in device pixels of the tiles the window makes: 96 times the highest pixel ratio of
// the screens, so that tiles stay sharp on whichever screen the window is moved to.
int SharpestTileSide();
// A tile as it is drawn: 96 x 96 logical pixels, whatever its side in device pixels.
QPixmap TilePixmap(const RgbBitmap& tile);

// An image list: tiles addressed by the index they were given when added. Indexes stay valid
// for the list's life (a removed tile leaves its slot empty), since photos keep their index.
class TileImageList {
public:
    int Add(const QPixmap& tile) {
        tiles_.append(tile);
        return static_cast<int>(tiles_.size()) - 1;
    }
    void Replace(int index, const QPixmap& tile) {
        if (index >= 0 && index < tiles_.size()) tiles_[index] = tile;
    }
    QPixmap At(int index) const { return index >= 0 && index < tiles_.size() ? tiles_[index] : QPixmap(); }
    int Count() const { return static_cast<int>(tiles_.size()); }
    void Clear() { tiles_.clear(); }

private:
    QVector<QPixmap> tiles_;
};

}  // namespace vantrel::gui
