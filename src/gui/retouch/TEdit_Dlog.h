#pragma once
// The retouch dialog: the photos of one album on the left, the chosen photo in a zoomable,
// scrollable view, and the retouch tools in a tool bar. Changes stay in memory until the user
// leaves the photo (another photo, or closing) and agrees to save them into the working copy.

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRectF>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/imaging/Bitmap32.h"
#include "core/retouch/TBitmap32Undo.h"
#include "core/retouch/TCropFrame.h"

class QAction;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QTimer;
class QToolBar;
class QPushButton;

namespace vantrel {
class TAlbum;
}

namespace vantrel::gui {

class LayeredImageView;
class RetouchPanels;
class TMain_Dlog;

class TEdit_Dlog : public QDialog {
    Q_OBJECT
public:
    enum ToolModes { ToolNone = 0, ToolCrop = 1, ToolRedEye = 2, ToolTitle = 3 };

    // Lays out the dialog for `album`, whose photos are the main window's content list.
    TEdit_Dlog(TMain_Dlog& main, TAlbum& album, QWidget* parent = nullptr);
    ~TEdit_Dlog() override;

    // The dialog's commands by their names ("ImgCrop1", "ZoomPlus1", ...); null for an unknown one.
    QAction* Command(const QString& name) const;

    // State, for the dialog's users and tests.
    int JobIndex() const { return jobIndex_; }
    bool Modified() const { return modified_; }
    int ToolMode() const { return toolMode_; }
    const Bitmap32& Photo() const { return photo_; }
    double ZoomScale() const;
    LayeredImageView* Src_Img = nullptr;
    LayeredImageView* Dst_Img = nullptr;
    QListWidget* Current_View = nullptr;
    QComboBox* Zoom_Combo = nullptr;
    QToolBar* Tools_Bar = nullptr;
    QPushButton* Close_Btn = nullptr;
    RetouchPanels* Panels() const { return panels_.get(); }
    // The crop frame or the title frame while their tool is open, in photo pixels.
    QRectF FrameRect() const;
    // Moves the open tool's frame as a drag of `handle` would have, corrections included.
    void ProposeFrame(int handle, QRectF rect);
    // The red-eye selection: from `start` to `end` in photo pixels, as a drag would make it.
    void SelectEye(QPointF start, QPointF end);

    // The tint colour and the title font with its colour; they keep their values for the run.
    static QColor& TintColor();
    static QFont& TitleFont();
    static QColor& TitleColor();

    // Reacts to closing by any means: a changed photo is saved back first (asking when set).
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Creation.
    void CreateCommands();
    void CreateLayout();
    void ApplyLanguage();
    void FillPhotoList();
    // Photos.
    void CurrentSelectionChanged();
    void LoadPhoto(QListWidgetItem* item);
    void SaveBack(QListWidgetItem* item);
    void ShowError(const QString& text);
    // Zoom.
    void SetZoom(double scale);
    void ZoomFit();
    void ZoomComboChanged(const QString& text);
    void ScaleChanged(double scale);
    // Tool framework.
    bool HasPhoto() const { return jobIndex_ >= 0; }
    void ApplyOneStep(const std::function<void(Bitmap32&)>& operation);
    void PhotoChanged();
    void OpenTool(QWidget* panel, int mode);
    void CloseTool();
    void CancelTool();
    void AcceptTool();
    void EditUndo();
    void EditRedo();
    void RefreshUndoCommands();
    void RedrawTintIcon();
    // The tools (their own file).
    void ConnectTools();
    void OpenCrop();
    void FitCropFrame();
    void ShowCropFrame();
    QRectF CorrectCropFrame(int handle, QRectF rect);
    void ApplyCrop();
    void OpenLight();
    void LightChanged();
    void AcceptLight();
    void CancelLight();
    void AutoTone();
    void ChooseTintColor();
    void OpenRedEye();
    void NewRedEyeOverlay();
    void DrawEyeSelection();
    void ApplyRedEye();
    void OpenTitle();
    void RenderTitle();
    void ChooseTitleFont();
    void ApplyTitle();

    TMain_Dlog& main_;
    TAlbum& album_;
    std::unique_ptr<RetouchPanels> panels_;
    std::map<QString, QAction*> commands_;
    QTimer* Sel_Timer = nullptr;
    QTimer* Undo_Timer = nullptr;

    int jobIndex_ = -1;
    bool modified_ = false;
    int toolMode_ = ToolNone;
    QWidget* openPanel_ = nullptr;
    int toolLayer_ = -1;
    // The item whose photo is loaded, to save back when the selection moves on.
    QListWidgetItem* loadedItem_ = nullptr;
    bool settingZoomText_ = false;

    Bitmap32 photo_;       // Src_Img's bitmap, the photo being edited
    Bitmap32 untouched_;   // Dst_Img's bitmap while the light tool is open
    Bitmap32 toolPixels_;  // the open tool's layer: red-eye overlay or title text
    TBitmap32Undo UndoStore{10};
    TBitmap32Undo RedoStore{10};
    std::unique_ptr<TCropFrame> crop_;
    QPointF eyeStart_, eyeEnd_;
    bool eyeSelected_ = false;
    bool eyePhase_ = false;
};

}  // namespace vantrel::gui
