#pragma once
// The organisation page at work: the album list with its panels, the content list of the
// current album, photo intake, and the commands on albums and photos.

#include <QObject>
#include <map>
#include <memory>

#include "core/albums/TAlbumList.h"
#include "core/albums/TAlbumView.h"
#include "core/albums/TJpegPhotoImaging.h"
#include "core/albums/TPhotoIntake.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/ImageWorkspace.h"
#include "gui/albums/ContentListWidget.h"
#include "gui/app/TileImages.h"

class QVBoxLayout;

namespace vantrel::gui {

class AlbumPanel;
class OrganizePage;
class TMain_Dlog;

class AlbumsController : public QObject, public TAlbumView {
    Q_OBJECT
public:
    // `workspace` is the window's shared image workspace; `transferListFile` is "Images.lst".
    AlbumsController(TMain_Dlog& window, OrganizePage& page, ImageWorkspace& workspace,
                     std::string transferListFile);
    ~AlbumsController() override;

    TAlbumList& Albums() { return *albums_; }
    TPhotoIntake& Intake() { return *intake_; }
    TileImageList& ContentImages() { return contentImages_; }

    // Creates the first album, named after today, and makes it the default album.
    void CreateFirstAlbum();
    // First activation: the default album becomes current and the transfer list is loaded.
    void FirstActivation();
    // Saves the transfer list; a failure is shown to the user.
    bool SaveTransferList();

    // The commands of the organisation page.
    void AddAlbumCommand();
    void DeleteAlbumCommand();
    void EditAlbumCommand();
    void RemovePhotosCommand();
    void RotateCommand(bool clockwise);
    // Opens the retouch dialog on the current album when a photo is selected, then refreshes
    // the transfer summary, since retouching changes photo sizes.
    void EditPhotosCommand();
    // Queues dropped files into the current album (files dropped on the content list).
    void DropFilesOnContent(const QStringList& files);

    // Refreshes the album column title and the content title.
    void RefreshAlbumTitles();
    void RefreshContentTitle();
    AlbumPanel* PanelOf(const TAlbum& album) const;
    // Rebuilds the caption of every photo of every album from the caption settings, and the
    // caption of its item in the content list when its album is the one shown.
    void ResetCaptions();

    // TAlbumView
    void AlbumCreated(TAlbum& album) override;
    void AlbumDestroying(TAlbum& album) override;
    void AlbumsRestacked(TAlbumList& list) override;
    void AlbumCurrentChanged(TAlbum& album) override;
    void AlbumCountChanged(TAlbum& album) override;
    void AlbumNameChanged(TAlbum& album) override;
    void AlbumHighlightChanged(TAlbum& album) override;

signals:
    // Albums were added, deleted, renamed or re-sorted: menus that list them are rebuilt.
    void albumsChanged();
    // A photo was added to or removed from an album.
    void contentChanged();

private:
    void ShowMessage(const TUserMessage& message);
    void RotateJob(int item, TurnDirection direction);
    void OnNameEditEnded(AlbumPanel* panel, const QString& text);
    std::string CaptionFor(const std::string& path, std::int64_t size, int width, int height) const;

    TMain_Dlog& window_;
    OrganizePage& page_;
    ImageWorkspace& workspace_;
    std::string transferListFile_;
    TileImageList contentImages_;
    std::unique_ptr<ContentListView> contentView_;
    std::unique_ptr<TJpegPhotoImaging> imaging_;
    std::unique_ptr<TAlbumList> albums_;
    std::unique_ptr<TPhotoIntake> intake_;
    QWidget* panelHolder_ = nullptr;
    QVBoxLayout* panelLayout_ = nullptr;
    std::map<const TAlbum*, AlbumPanel*> panels_;
    bool loading_ = false;
    // False when the list file could be neither read nor moved aside: it is never overwritten.
    bool listWritable_ = true;
};

}  // namespace vantrel::gui
