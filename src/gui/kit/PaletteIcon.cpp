#include "gui/kit/PaletteIcon.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace vantrel::gui {

namespace {

// The colour that the program's own SVG icons are drawn with on a light palette.
constexpr char kSvgInk[] = "#2e3436";

QColor InkColour() { return QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText); }

// True when every clearly visible pixel is of one neutral colour (a grey of one lightness),
// as the symbolic icons of a theme are; their edges differ in opacity only.
bool IsOneColour(const QImage& image) {
    int lightest = 0, darkest = 255;
    bool any = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) < 128) continue;
            const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (high - low > 24) return false;  // a colour
            lightest = std::max(lightest, high);
            darkest = std::min(darkest, low);
            any = true;
        }
    }
    return any && lightest - darkest <= 48;
}

// Every pixel in `ink`, each keeping its opacity.
void Recolour(QImage& image, QColor ink) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgba(ink.red(), ink.green(), ink.blue(), qAlpha(line[x]) * ink.alpha() / 255);
    }
}

class PaletteIconEngine : public QIconEngine {
public:
    // Either a themed icon, or the text of an SVG icon with `id` naming it.
    explicit PaletteIconEngine(QIcon themed) : themed_(std::move(themed)), id_(QString::number(themed_.cacheKey())) {}
    PaletteIconEngine(QByteArray svg, QString id) : svg_(std::move(svg)), id_(std::move(id)) {}

    QIconEngine* clone() const override { return new PaletteIconEngine(*this); }
    QString key() const override { return QStringLiteral("vantrel-palette"); }
    bool isNull() override { return svg_.isEmpty() && themed_.isNull(); }
    QString iconName() override { return themed_.name(); }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return svg_.isEmpty() ? themed_.actualSize(size, mode, state) : size;
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return svg_.isEmpty() ? themed_.availableSizes(mode, state) : QList<QSize>();
    }

    // `size` in device pixels.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QPalette palette = QGuiApplication::palette();
        const QString cacheKey = QStringLiteral("vantrel-icon %1 %2 %3x%4 %5 %6 %7")
                                     .arg(id_, QIcon::themeName())
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(int(mode))
                                     .arg(int(state))
                                     .arg(palette.cacheKey());
        QPixmap drawn;
        if (QPixmapCache::find(cacheKey, &drawn)) return drawn;
        drawn = QPixmap::fromImage(svg_.isEmpty() ? DrawnThemed(size, state) : DrawnSvg(size));
        // Disabled and selected looks are made from the drawn icon, as for any other icon.
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption option;
            option.palette = palette;
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        QPixmapCache::insert(cacheKey, drawn);
        return drawn;
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal) override {
        return pixmap(size, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        const QSize shown = drawn.deviceIndependentSize().toSize();
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2, (rect.height() - shown.height()) / 2), shown), drawn);
    }

private:
    PaletteIconEngine(const PaletteIconEngine&) = default;

    QImage DrawnThemed(QSize size, QIcon::State state) const {
        QImage image = themed_.pixmap(size, 1.0, QIcon::Normal, state).toImage().convertToFormat(QImage::Format_ARGB32);
        if (IsOneColour(image)) Recolour(image, InkColour());
        return image;
    }

    QImage DrawnSvg(QSize size) const {
        QByteArray inked = svg_;
        inked.replace(kSvgInk, InkColour().name(QColor::HexRgb).toLatin1());
        QBuffer buffer(&inked);
        QImageReader reader(&buffer, "svg");
        reader.setScaledSize(size);
        return reader.read();
    }

    QIcon themed_;
    QByteArray svg_;
    QString id_;
};

}  // namespace

QIcon PaletteIcon(const QIcon& icon) {
    if (icon.isNull()) return icon;
    return QIcon(new PaletteIconEngine(icon));
}

QIcon InkedIcon(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QIcon(path);
    return QIcon(new PaletteIconEngine(file.readAll(), path));
}

}  // namespace vantrel::gui
