#include "gui/kit/TileImages.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include "core/imaging/Tiles.h"

namespace vantrel::gui {

namespace {
QFont TileFont(int pointSize) {
    QFont font("DejaVu Sans");
    font.setPointSize(pointSize);
    return font;
}
}  // namespace

TextExtent QtTileTextPainter::MeasureText(const std::string& text, int pointSize) const {
    const QFontMetrics metrics(TileFont(pointSize));
    const QSize size = metrics.size(Qt::TextSingleLine, QString::fromStdString(text));
    return {size.width(), size.height()};
}

void QtTileTextPainter::DrawText(RgbBitmap& bitmap, int left, int top, const std::string& text,
                                 int pointSize) const {
    if (bitmap.Empty()) return;
    // Paint on an image that shares the bitmap's pixels, so the text lands in the bitmap itself.
    QImage view(bitmap.Data(), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.Stride()),
                QImage::Format_RGB888);
    QPainter painter(&view);
    painter.setFont(TileFont(pointSize));
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    painter.drawText(left, top + metrics.ascent(), QString::fromStdString(text));
}

int SharpestTileSide() { return TileSideFor(qGuiApp->devicePixelRatio()); }

QPixmap TilePixmap(const RgbBitmap& tile) {
    QPixmap pixmap = QPixmap::fromImage(ToQImage(tile));
    if (tile.Width() > kTileSize) pixmap.setDevicePixelRatio(double(tile.Width()) / kTileSize);
    return pixmap;
}

QImage ToQImage(const RgbBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    return QImage(bitmap.Data(), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.Stride()),
                  QImage::Format_RGB888)
        .copy();
}

}  // namespace vantrel::gui
