#pragma once
// The organisation page at work: the album list with its panels, the content list of the
// current album, photo intake, and the commands on albums and photos.

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "core/albums/AlbumListView.h"
#include "core/albums/TransferQueue.h"
#include "core/imaging/ImageFileOps.h"
#include "gui/albums/ContentListWidget.h"
#include "gui/kit/TileImages.h"

class QVBoxLayout;

namespace vantrel::gui {

class AlbumPanel;
class AppContext;
class OrganizePage;
class StepLoop;

class AlbumsController : public QObject, public AlbumListView {
    Q_OBJECT
public:
    // Shows the engine's transfer queue on `page`.
    AlbumsController(AppContext& context, OrganizePage& page, QObject* parent = nullptr);
    ~AlbumsController() override;

    TransferQueue& Queue() { return *queue_; }
    TAlbumList& Albums() { return queue_->Albums(); }
    PhotoIntake& Intake() { return queue_->Intake(); }
    TileImageList& ContentImages();
    // Whether files may be dropped on the content list now (the window's page and busy state).
    std::function<bool()> AcceptsFileDrops;

    // Creates the first album, named after today, and makes it the default and current album.
    void CreateFirstAlbum();
    // First activation: the default album becomes current and the transfer list is loaded.
    void FirstActivation();
    // Saves the transfer list; a failure is shown to the user.
    bool SaveTransferList();

    // The enabling of the album and photo commands, run whenever what it reads changes: the
    // albums, the content list's selection, whether the page shows, a run taking or letting go
    // of an album. The album the run holds stays as it is: its photos may not be removed,
    // moved, turned or retouched, nor the album renamed or deleted. Other albums may.
    void UpdateCommands();
    // The organisation page is the one shown (Delete removes album photos only there).
    void SetPageShown(bool shown);

    // The commands of the organisation page.
    void AddAlbumCommand();
    void DeleteAlbumCommand();
    void EditAlbumCommand();
    void RemovePhotosCommand();
    void RotateCommand(bool clockwise);
    // Opens the retouch dialog on the current album when a photo is selected, then refreshes
    // the transfer summary, since retouching changes photo sizes.
    void EditPhotosCommand();
    // Queues dropped files into the current album (files dropped on the content list), one file
    // per turn of the event loop; the list is saved once at the end. A drop while a loop of this
    // page runs is refused.
    void DropFilesOnContent(const QStringList& files);

    // Refreshes the album column title and the content title.
    void RefreshAlbumTitles();
    void RefreshContentTitle();
    AlbumPanel* PanelOf(const TAlbum& album) const;

    // AlbumListView
    void AlbumCreated(TAlbum& album) override;
    void AlbumDestroying(TAlbum& album) override;
    void AlbumsRestacked(TAlbumList& list) override;
    void AlbumCurrentChanged(TAlbum& album) override;
    void AlbumCountChanged(TAlbum& album) override;
    void AlbumNameChanged(TAlbum& album) override;
    void AlbumHighlightChanged(TAlbum& album) override;

private:
    // The pixel size of the queued photo with tile `imageIndex`, looked for in the current album
    // first.
    std::optional<std::pair<int, int>> QueuedPhotoSize(int imageIndex);
    void ShowMessage(const UserMessage& message);
    // Whether a photo whose content is already queued goes in again: asked, unless the loop
    // under way already had a "Yes to all" or "No to all".
    bool ConfirmSameContent(const std::string& name);
    // Turns the photo of the current album whose tile is `imageIndex`.
    void RotateJob(int imageIndex, TurnDirection direction);
    // False, with a message, when a run going on holds the album: its photos stay as they are.
    bool MayChangeAlbum(const TAlbum& album);
    // Tells a run going on to leave `paths` of `album` out (they are deleted or moved); false,
    // with a message, when the run holds the album.
    bool WithdrawFromRun(const TAlbum& album, const std::vector<std::string>& paths);
    void ShowAlbumBeingSent(const TAlbum& album);
    std::vector<std::string> SelectedPaths(const TAlbum& album) const;
    bool pageShown_ = false;
    void OnNameEditEnded(AlbumPanel* panel, const QString& text);
    void ShowWarning(const QString& text);
    // The window's album and photo commands, the content list's pop-up and double click.
    void ConnectCommands();

    AppContext& context_;
    OrganizePage& page_;
    std::unique_ptr<ContentListView> contentView_;
    TransferQueue* const queue_;  // the engine's: never null, and it outlives this page
    StepLoop* steps_ = nullptr;   // the turn and drop loops, one at a time
    QWidget* panelHolder_ = nullptr;
    QVBoxLayout* panelLayout_ = nullptr;
    std::map<const TAlbum*, AlbumPanel*> panels_;
    std::optional<bool> sameContentForAll_;  // the "to all" answer of the loop under way
};

}  // namespace vantrel::gui
