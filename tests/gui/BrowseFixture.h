#pragma once
// What the selection page's tests share: a window on a fresh home, generated photos, a fake
// album side, and waiting for a listing to end.

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <memory>
#include <string>

#include "core/TempFolder.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/browse/PhotoAdder.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"

namespace browse_test {

using namespace vantrel;
using namespace vantrel::gui;

// Writes a JPEG of the given size; the colour depends on `seed` so photos differ.
inline std::string WritePhoto(const std::string& path, int width, int height, int seed = 0) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor((seed * 53) % 256, (seed * 97) % 256, 200));
    image.save(QString::fromStdString(path), "JPG", 85);
    return path;
}

// Records what the page asks of the album side; refuses the photos named in `refuse`.
class FakeAdder : public PhotoAdder {
public:
    QStringList albums;
    int current = -1;
    int defaultIndex = -1;
    QStringList refuse;
    QList<std::pair<int, QString>> added;
    int saves = 0;

    QStringList AlbumNames() const override { return albums; }
    int CurrentAlbumIndex() const override { return current; }
    int DefaultAlbumIndex() const override { return defaultIndex; }
    int AddDefaultAlbum() override {
        albums.append("Today");
        defaultIndex = current = static_cast<int>(albums.size()) - 1;
        return defaultIndex;
    }
    bool AddPhotoToAlbum(int albumIndex, const QString& path) override {
        for (const QString& name : refuse)
            if (path.endsWith("/" + name)) return false;
        if (albumIndex < 0 && albums.isEmpty()) albumIndex = AddDefaultAlbum();
        added.append({albumIndex, path});
        return true;
    }
    int QueuedPhotoCount() const override { return static_cast<int>(added.size()); }
    void SaveTransferList() override { ++saves; }
};

// A started window on a fresh home, with messages and notices recorded instead of shown.
struct BrowseWindow {
    test::TempFolder home;
    std::unique_ptr<TMain_Dlog> window;
    QStringList messages;
    QStringList notices;
    bool tickNoMore = false;

    BrowseWindow() {
        window = std::make_unique<TMain_Dlog>(
            MainWindowPaths{home.Path() + "SendPhoto/", home.Path() + "SendPhoto/vantrel.ini", VANTREL_PROGRAM_FOLDER, {}},
            LocaleInfo());
        Browse().ShowMessage = [this](const QString& text) { messages.append(text); };
        Browse().ShowNotice = [this](const QString& upper) {
            notices.append(upper);
            return tickNoMore;
        };
        window->show();
        window->FirstActivation();
    }
    SelectPageController& Browse() { return *window->Browse(); }
    SelectPage& Page() { return *window->Select(); }
    QListWidget& List() { return *window->Select()->Thumb_View; }
    QString Tr(const char* key) const { return window->Translate(key); }

    // Selects the folder in the tree and waits until its listing has ended.
    bool List(const std::string& folder, int timeoutMs = 20000) {
        QSignalSpy finished(&Browse(), &SelectPageController::listingFinished);
        if (!Browse().SelectFolder(QString::fromStdString(folder))) return false;
        return finished.wait(timeoutMs);
    }
    // Rows whose tile (with the caption's data) has come.
    int Listed() {
        int listed = 0;
        for (int i = 0; i < List().count(); ++i) listed += List().item(i)->data(Qt::UserRole + 3).toBool() ? 1 : 0;
        return listed;
    }
    QStringList Paths() {
        QStringList out;
        for (int i = 0; i < List().count(); ++i) out.append(List().item(i)->data(Qt::UserRole).toString());
        return out;
    }
};

}  // namespace browse_test
