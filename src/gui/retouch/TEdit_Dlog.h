#pragma once
// The retouch dialog: the photos of one album on the left, the chosen photo in a zoomable,
// scrollable view, and the retouch commands in a tool bar. Changes stay in memory until the user
// leaves the photo (another photo, or closing) and agrees to save them into the working copy.
// The dialog keeps the photo list, the zoom, undo and redo, and opens and closes the tools (their
// own objects); its retouch commands, their one-step operations and its tools come from the
// table of retouch operations.

#include <QDialog>
#include <QMessageBox>
#include <QPointF>
#include <QRectF>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "core/imaging/Bitmap32.h"
#include "gui/retouch/RetouchPhotoList.h"
#include "gui/retouch/RetouchTool.h"
#include "gui/retouch/RetouchUndo.h"
#include "gui/retouch/ZoomCombo.h"
#include "gui/retouch/tools/RetouchOperations.h"

class QAction;
class QListWidgetItem;
class QToolBar;
class QPushButton;

namespace vantrel {
class TAlbum;
}

namespace vantrel::gui {

class AppContext;
class LayeredImageView;

class TEdit_Dlog : public QDialog, private RetouchHost {
    Q_OBJECT
public:
    // Lays out the dialog for the photos of `album`; it opens on the photo at `startJob` (a job
    // index of the album; -1 for none, unless the album holds a single photo). Saved photos go
    // back to their working copies, and the queue is told of them.
    TEdit_Dlog(AppContext& context, TAlbum& album, int startJob, QWidget* parent = nullptr);
    ~TEdit_Dlog() override;

    // The dialog's commands by their names ("ImgCrop1", "ZoomPlus1", ...); null for an unknown one.
    QAction* Command(const QString& name) const;
    QAction* Command(RetouchOp id) const { return Command(RetouchOperationOf(id).name); }
    // The tool object of type T; null when the dialog has none.
    template <class T>
    T* Tool() const {
        for (const auto& [id, tool] : tools_)
            if (auto* found = dynamic_cast<T*>(tool.get())) return found;
        return nullptr;
    }

    // State, for the dialog's users and tests.
    int JobIndex() const { return jobIndex_; }
    bool Modified() const { return modified_; }
    // The operation whose tool is open; none when no tool is.
    std::optional<RetouchOp> OpenOperation() const;
    const Bitmap32& Photo() const { return photo_; }
    double ZoomScale() const;
    LayeredImageView* Src_Img = nullptr;
    LayeredImageView* Dst_Img = nullptr;
    RetouchPhotoList* Current_View = nullptr;
    ZoomCombo* Zoom_Combo = nullptr;
    QToolBar* Tools_Bar = nullptr;
    QPushButton* Close_Btn = nullptr;
    // The open tool's frame, in photo pixels; empty when no tool is open.
    QRectF FrameRect() const;
    // Moves the open tool's frame as a drag of `handle` would have, corrections included.
    void ProposeFrame(int handle, QRectF rect);

    // Reacts to closing by any means (Escape, the close box): a changed photo is saved back,
    // dropped, or the dialog stays, as the user answers (saved unasked when asking is off).
    void done(int result) override;
    // Escape while a tool is open cancels that tool only; the next one leaves the dialog.
    void keyPressEvent(QKeyEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Creation.
    QAction* AddCommand(const char* name, const char* caption, const char* icon);
    void AddOperation(const RetouchOperation& operation);
    void CreateCommands();
    void CreateLayout();
    void ApplyLanguage();
    // Photos.
    void CurrentSelectionChanged();
    void LoadPhoto(QListWidgetItem* item);
    // Leaving a photo: asks (when set) whether to save its changes, then writes them back.
    void SaveBack(QListWidgetItem* item);
    // Rewrites the photo's working copy with the edited photo and shows its new tile.
    void WriteBack(QListWidgetItem* item);
    // Closing a changed photo: Save, Discard or Cancel (Save at once when not asking).
    QMessageBox::StandardButton AskBeforeClosing();
    // Zoom.
    void SetZoom(double scale);
    void ScaleChanged(double scale);
    // Tool framework.
    bool HasPhoto() const { return jobIndex_ >= 0; }
    void ApplyOneStep(ApplyFunction operation);
    void CancelTool();
    void AcceptTool();
    void EditUndo();
    void EditRedo();

    // What the tools are lent.
    Bitmap32& EditedPhoto() override { return photo_; }
    LayeredImageView& PhotoView() override { return *Src_Img; }
    LayeredImageView& SecondView() override { return *Dst_Img; }
    void SaveUndoStep() override { undo_->SaveStep(); }
    void RestoreUndoStep() override { undo_->DropStep(); }
    void PhotoChanged() override;
    void ZoomFit() override;
    void OpenTool(RetouchTool& tool) override;
    void CloseTool() override;
    void ShowError(const QString& text) override;
    QString Translate(const char* key) const override;
    QWidget* DialogWidget() override { return this; }

    AppContext& context_;
    TAlbum& album_;
    const int startJob_;
    // The tools, in the order of their operations (and of their panels above the photo).
    std::vector<std::pair<RetouchOp, std::unique_ptr<RetouchTool>>> tools_;
    RetouchTool* openTool_ = nullptr;
    std::map<QString, QAction*> commands_;

    int jobIndex_ = -1;
    bool modified_ = false;
    // The item whose photo is loaded, to save back when the selection moves on.
    QListWidgetItem* loadedItem_ = nullptr;

    Bitmap32 photo_;  // Src_Img's bitmap, the photo being edited
    RetouchUndo* undo_ = nullptr;
};

}  // namespace vantrel::gui
