#pragma once
// The selection page at work: the folder tree starts listings, the thumbnail worker fills the
// list, the browse commands switch between thumbnails and slideshow and move through the
// photos, the information panel follows the selection, and the selection goes into albums.

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/app/LocaleInfo.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/SizeText.h"
#include "gui/browse/SlideDecodeAhead.h"
#include "gui/browse/TThumbnailThread.h"
#include "gui/kit/TileImages.h"

class QAction;
class QMenu;
class QProgressBar;
class QWidget;

namespace vantrel {
class TransferQueue;
}

namespace vantrel::gui {

class AppContext;
class FolderTree;
class StepLoop;
class PhotoAdder;
class SelectPage;
class TCompare_Dlog;
class ThumbListTiles;

// The widgets the selection page's controller drives besides the page itself.
struct SelectPageParts {
    SelectPage& page;
    QProgressBar* decodeProgress = nullptr;  // shows the progress of a whole photo's decode
    QString startFolder;                     // the tree's folder when none was kept; empty: none
};

class SelectPageController : public QObject, public ThumbnailSink {
    Q_OBJECT
public:
    // Binds the page (the context's language file is open), switches it to thumbnails and starts
    // the thumbnail worker with `decoders` decoding threads (0: two when the machine has two cores
    // or more). Adding photos goes to the engine's transfer queue.
    SelectPageController(AppContext& context, const SelectPageParts& parts, int decoders = 0);
    ~SelectPageController() override;

    // The album side of adding photos; until it is set, adding does nothing.
    void SetPhotoAdder(PhotoAdder* adder);
    // First activation: selects the LastTree folder (which starts its listing) and builds the
    // add-to-album sub-menu.
    void FirstActivation();
    // Rebuilds the add-to-album sub-menu: one item per album, disabled when there is none.
    void RebuildAlbumMenu();
    // The folder tree's current folder (stored as LastTree at close).
    // The folder the tree opens on when none was kept: Pictures, else home.
    static QString FirstFolder();
    QString CurrentFolder() const;
    // Selects a folder in the tree, which starts its listing.
    bool SelectFolder(const QString& path);
    // Restarts the worker with another number of decoding threads.
    void SetDecoderCount(int decoders);
    // Rebuilds every thumbnail caption from the caption settings, the file's size read again from
    // disk (rows whose tile has not come yet show the name alone); the list keeps its order.
    void ResetCaptions();

    // The browse commands.
    void ShowThumbnails();   // ImgThumb1
    void ShowSlideshow();    // ImgDiapo1
    void ChangeViewMode();   // ChangeViewMode1
    void GoFirst();
    void GoPrevious();
    void GoNext();
    void GoLast();
    void ShowCurrentImage();
    void UpdateInfoPanel();
    void UpdateBrowseActions();
    // Adds the selected photos to the album at `albumIndex`, one photo per turn of the event loop,
    // saves the list once, then shows the notice when due. Refused while an add runs.
    void AddSelectionToAlbum(int albumIndex);
    // Whether an add is under way.
    bool Adding() const;
    // The album that ImgAdd1 fills: the current one, else the default one (made when there is
    // no album at all); -1 when there is none.
    int AlbumIndexForAdd();
    void OpenCompare();

    bool SlideshowMode() const;
    TThumbnailThread& Worker() { return *worker_; }
    // The tile the thumbnail list shows at `row`; null while the row holds none (far from the
    // screen, or not decoded yet).
    QPixmap TileOf(int row) const;
    // How many tiles the list holds, and at most.
    std::size_t TilesHeld() const;
    void SetTileCapacity(std::size_t tiles);
    QMenu* SelectMenu() const { return selectMenu_; }
    QAction* ChangeViewModeAction() const { return changeViewMode_; }
    QMenu* AlbumMenu() const { return albumMenu_; }
    bool NoticeFlag() const { return noticeFlag_; }

    // How messages and dialogs are shown; tests replace them.
    std::function<void(const QString& text)> ShowMessage;
    // Shows the photos-added notice with its upper text; true when "don't show again" was ticked.
    std::function<bool(const QString& upper)> ShowNotice;
    std::function<void(TCompare_Dlog& dialog)> RunCompare;

signals:
    // A listing has ended: its tiles are in the list and the list is sorted (or it found nothing).
    void listingFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The worker's steps (run on this thread).
    void StartFolderScan(int fileCount) override;
    void BeginListing(const QStringList& paths) override;
    void AddThumbnail(int row, const BrowserTile& tile, const QImage& picture) override;
    void EndListing() override;

private:

    void ConnectActions();
    void BuildMenus();
    void StartWorker(int decoders);
    bool HandleSlideshowKey(int key);
    // Rows of the selected items, in list order.
    QList<int> SelectedRows() const;
    void SelectOnly(int row);
    void SetHeader(const QString& text);
    QString CountHeader(bool noneText) const;
    QString BadPictureText(const QString& path) const;
    // Decodes the photo in full; the placeholder when it cannot be decoded, a null image when
    // the file cannot be opened.
    QImage DecodeWhole(const QString& path);
    void StepProgress();
    // The notice after an add: `growth` photos queued of the `asked` ones.
    void ShowAddedNotice(int growth, int asked);
    // ImgAdd1: enabled while no add runs and photos are selected.
    void UpdateAddAction();

    AppContext& context_;
    SelectPage& page_;
    QString startFolder_;
    LocaleInfo locale_;
    SizeTextStyle sizeStyle_;
    QtTileTextPainter painter_;
    ImageWorkspace ws_;   // full decodes on this thread (slideshow, compare)
    std::unique_ptr<SlideDecodeAhead> slidesAhead_ = std::make_unique<SlideDecodeAhead>();
    ThumbListTiles* tiles_ = nullptr;  // the list's pictures; a child of the list
    FolderTree* tree_ = nullptr;
    std::unique_ptr<TThumbnailThread> worker_;
    PhotoAdder* adder_ = nullptr;
    std::unique_ptr<PhotoAdder> ownAdder_;  // over the transfer queue, when there is one
    TransferQueue* queue_ = nullptr;  // the engine's, which outlives this controller
    StepLoop* addSteps_ = nullptr;
    QPointer<QProgressBar> pbar3_;
    QMenu* selectMenu_ = nullptr;
    QAction* changeViewMode_ = nullptr;
    QMenu* albumMenu_ = nullptr;
    bool noticeFlag_ = true;
    bool decoding_ = false;
    bool enterPressedInList_ = false;  // an Enter press began in the thumbnail list
    bool listingBusy_ = false;  // a listing's BeginListing ran and its EndListing has not
};

}  // namespace vantrel::gui
