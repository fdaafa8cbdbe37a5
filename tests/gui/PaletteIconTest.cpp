// Icons on a dark palette: the page icons, the tool bar's icons and the retouch dialog's own
// icons stand out from the window's background, follow a change of palette, and the checked
// tool-bar button looks unlike the others.
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

#include "GuiTestSupport.h"
#include "gui/kit/PaletteIcon.h"

using namespace vantrel;
using namespace vantrel::gui;

namespace {

// A dark palette as a dark desktop theme gives: dark window and fields, light text.
QPalette DarkPalette() {
    QPalette palette;
    const QColor window(0x20, 0x23, 0x26), base(0x14, 0x16, 0x18), text(0xfc, 0xfc, 0xfc);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Button, QColor(0x31, 0x36, 0x3b));
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, window);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6e, 0x71, 0x75));
    return palette;
}

int Lightness(QRgb pixel) { return qGray(pixel); }

// How far the icon's clearly visible pixels are, on average, from the lightness of `background`.
double Contrast(const QIcon& icon, QColor background) {
    const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb pixel = image.pixel(x, y); qAlpha(pixel) >= 128) {
                sum += Lightness(pixel);
                ++count;
            }
    return count ? std::abs(sum / count - Lightness(background.rgb())) : 0;
}

// The icons that the window shows: its pages' and its tool bars'.
QList<std::pair<QString, QIcon>> WindowIcons(TMain_Dlog& window) {
    QList<std::pair<QString, QIcon>> icons;
    QTabBar* tabs = window.PageControl()->tabBar();
    for (int i = 0; i < tabs->count(); ++i) icons.append({tabs->tabText(i), tabs->tabIcon(i)});
    for (const char* bar : {"Select_Bar", "Edit_Bar"})
        for (QAction* action : test::Child<QToolBar>(&window, bar)->actions())
            if (!action->isSeparator()) icons.append({action->objectName(), action->icon()});
    return icons;
}

// How far apart, on average, the colours of the outer 3 pixels of two grabs of the same size are
// (0 to 441).
double FrameDistance(const QImage& a, const QImage& b) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (x >= 3 && y >= 3 && x < a.width() - 3 && y < a.height() - 3) continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::hypot(qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q));
            ++count;
        }
    return count ? sum / count : 0;
}

}  // namespace

class PaletteIconTest : public QObject {
    Q_OBJECT
private slots:
    // The icon theme that the program falls back on, where a desktop platform finds it (the
    // offscreen platform looks nowhere).
    void initTestCase() {
        QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() +
                                   QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "icons",
                                                             QStandardPaths::LocateDirectory));
        QIcon::setThemeName("Adwaita");
    }
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void iconsStandOutFromADarkWindowAndFollowThePalette() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        const QPalette light = QApplication::palette();
        const QPalette dark = DarkPalette();
        QApplication::setPalette(dark);
        const auto icons = WindowIcons(*window);
        QHash<QString, QImage> onDark;
        for (const auto& [name, icon] : icons) {
            QVERIFY2(!icon.isNull(), qPrintable(name));
            QVERIFY2(Contrast(icon, dark.color(QPalette::Window)) > 60, qPrintable(name));
            onDark[name] = icon.pixmap(24, 24).toImage();
        }
        // Back on a light palette, the one-colour icons are drawn dark again; the coloured ones
        // (the same on both) were visible on both.
        QApplication::setPalette(light);
        QStringList followed;
        for (const auto& [name, icon] : icons) {
            if (icon.pixmap(24, 24).toImage() == onDark[name]) continue;
            followed << name;
            QVERIFY2(Contrast(icon, light.color(QPalette::Window)) > 60, qPrintable(name));
        }
        QVERIFY2(followed.contains(window->PageControl()->tabText(TMain_Dlog::OrganizeSheet)), qPrintable(followed.join(", ")));
    }

    void theCheckedToolButtonStandsOutOnADarkPalette() {
        test::TempFolder home;
        auto window = test::OpenWindow(home);
        QApplication::setPalette(DarkPalette());
        auto* bar = test::Child<QToolBar>(window.get(), "Select_Bar");
        QAction* thumbnails = window->Action(ActionId::ImgThumb1);
        QAction* slideshow = window->Action(ActionId::ImgDiapo1);
        // The widgets take the new palette once its events have been handled.
        QTRY_COMPARE(bar->widgetForAction(thumbnails)->palette().color(QPalette::Window), DarkPalette().color(QPalette::Window));
        QVERIFY(thumbnails->isChecked() && !slideshow->isChecked());
        const QImage on = bar->widgetForAction(thumbnails)->grab().toImage();
        const QImage off = bar->widgetForAction(slideshow)->grab().toImage();
        QCOMPARE(on.size(), off.size());
        QVERIFY(FrameDistance(on, off) > 100);
    }

    void theRetouchIconsInkFollowsThePaletteAndTheirColoursStay() {
        QApplication::setPalette(DarkPalette());
        for (const char* path : {":/icons/crop.svg", ":/icons/auto-tone.svg", ":/icons/sharpen.svg"})
            QVERIFY2(Contrast(InkedIcon(path), DarkPalette().color(QPalette::Window)) > 60, path);
        // The red of the red eye is kept.
        const QImage redEye = InkedIcon(":/icons/red-eye.svg").pixmap(32, 32).toImage();
        const QRgb centre = redEye.pixel(20, 16);
        QVERIFY(qRed(centre) > 150 && qGreen(centre) < 60);
    }
};

QTEST_MAIN(PaletteIconTest)
#include "PaletteIconTest.moc"
