#pragma once
// What the retouch dialog tests share: an album of photos made on the spot in a window of its
// own, the dialog opened on one of them, and ways to look at the photo and its files.

#include <QImage>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "core/albums/TAlbumList.h"
#include "gui/GuiTestSupport.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/retouch/LayeredImageView.h"
#include "gui/retouch/TEdit_Dlog.h"

namespace vantrel::test {

using gui::TEdit_Dlog;
using gui::TMain_Dlog;

// How the photos of a test album look: one plain colour, random pixels, or black on the left
// half and white on the right.
enum class Look { Plain, Noisy, BlackWhite };

inline QString MakeLookingPhoto(const TempFolder& folder, const QString& name, QSize size, Look look) {
    if (look != Look::BlackWhite) return MakePhoto(folder, name, size.width(), size.height(), look == Look::Noisy);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x) image.setPixel(x, y, qRgb(0, 0, 0));
    const QString path = QString::fromStdString(folder.Path()) + name;
    image.save(path, "JPEG", 95);
    return path;
}

// A window whose current album holds the given photos, with item `focused` selected.
struct Album {
    TempFolder home, photos;
    std::unique_ptr<TMain_Dlog> window;
    TAlbum* album = nullptr;
    int focused;

    Album(const QList<QSize>& sizes, int focused, Look look = Look::Plain) : focused(focused) {
        window = OpenWindow(home);
        window->PageControl()->setCurrentIndex(TMain_Dlog::OrganizeSheet);
        QStringList files;
        for (int i = 0; i < sizes.size(); ++i) files << MakeLookingPhoto(photos, QString("p%1.jpg").arg(i), sizes[i], look);
        auto data = FilesData(files);
        Drop(Content()->viewport(), data.get());
        album = window->Albums()->Albums().CurrentAlbum();
        Content()->clearSelection();
        Content()->item(focused)->setSelected(true);
    }
    QListWidget* Content() const { return window->Organize()->Content_View; }
    TImageJob& Job(int i) const { return album->Jobs().Items(i); }
    std::unique_ptr<TEdit_Dlog> Open() const {
        auto dialog = std::make_unique<TEdit_Dlog>(window->Context(), *album, focused);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("the dialog was not shown");
        return dialog;
    }
};

// Triggers a command `times` times. Undo and redo are enabled as soon as there is a step, with
// no waiting: a disabled command is not run.
inline void Run(TEdit_Dlog& dialog, const char* command, int times = 1) {
    for (int i = 0; i < times; ++i) dialog.Command(command)->trigger();
}

inline QImage FileImage(const std::string& path) { return QImage(QString::fromStdString(path)); }

inline QImage PhotoImage(const TEdit_Dlog& dialog) { return gui::ImageOf(const_cast<Bitmap32&>(dialog.Photo()), false).copy(); }

inline QImage IconImage(const QListWidgetItem* item) { return item->icon().pixmap(96, 96).toImage().convertToFormat(QImage::Format_RGB32); }
}  // namespace vantrel::test
