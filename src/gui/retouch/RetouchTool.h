#pragma once
// A tool of the retouch dialog, and what the dialog lends its tools. A tool with a panel is
// opened by its command: the dialog shows the panel, keeps the photo list still while it is open,
// and hands it OK, cancel, the moves of the frame over the photo and the mouse work on the photo.
// A tool without a panel acts at once when its command is triggered.

#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>

#include "core/imaging/Bitmap32.h"
#include "gui/retouch/LayeredImageView.h"

class QAction;
class QWidget;

namespace vantrel::gui {

class RetouchTool;
class ToolPanel;

// The dialog as its tools see it.
class RetouchHost {
public:
    // The photo being edited and the view that shows it; the view holds the tools' layers.
    virtual Bitmap32& EditedPhoto() = 0;
    virtual LayeredImageView& PhotoView() = 0;
    // The second view beside the first, hidden unless a tool shows it (the light tool's "before").
    virtual LayeredImageView& SecondView() = 0;
    // Keeps the photo as the newest undo step; puts the newest undo step back into the photo,
    // forgetting it (no redo step is made).
    virtual void SaveUndoStep() = 0;
    virtual void RestoreUndoStep() = 0;
    // The photo's pixels changed for good: it is marked changed and shown again.
    virtual void PhotoChanged() = 0;
    virtual void ZoomFit() = 0;
    // Opens `tool` when a photo is loaded (the tool open before is cancelled); closes the open tool.
    virtual void OpenTool(RetouchTool& tool) = 0;
    virtual void CloseTool() = 0;
    virtual void ShowError(const QString& text) = 0;
    virtual QString Translate(const char* key) const = 0;
    // The parent of the colour and font choosers.
    virtual QWidget* DialogWidget() = 0;

protected:
    ~RetouchHost() = default;
};

class RetouchTool : public QObject {
    Q_OBJECT
public:
    explicit RetouchTool(RetouchHost& host) : host_(host) {}

    // The panel shown while the tool is open; null for a tool that acts at once.
    virtual ToolPanel* Panel() const { return nullptr; }
    // Whether presses and drags on the photo go to the tool instead of panning the view.
    virtual bool CapturesMouse() const { return false; }
    // Whether undo while the tool is open cancels the tool (its own snapshot is the undo step).
    virtual bool UndoCancels() const { return false; }

    // The command made for the tool, handed over once; a tool may give it its own picture.
    virtual void SetCommand(QAction*) {}
    // The command was triggered: opens the tool.
    virtual void Triggered() { host_.OpenTool(*this); }
    // Called once the panel is shown.
    virtual void Opened() {}
    // OK and cancel of the panel. Cancel closes the tool, leaving the photo as it is.
    virtual void Accept() {}
    virtual void Cancel() { host_.CloseTool(); }
    // Called as the tool closes: its layer and state are dropped.
    virtual void Closing();
    // Language texts of the panel.
    virtual void ApplyLanguage() {}

    // The tool's frame over the photo, in photo pixels; empty when it has none.
    QRectF FrameRect() const;
    // Moves the frame as a drag of `handle` would have, corrections included.
    void ProposeFrame(FrameHandle handle, QRectF rect);
    // The correction of a frame the user drags; the rectangle as it is by default.
    virtual QRectF CorrectFrame(FrameHandle, QRectF rect) { return rect; }
    // A layer of the view was pressed.
    virtual void LayerPressed(int) {}
    // Mouse work on the photo while the tool captures the mouse, in photo pixels.
    virtual void ImagePressed(QPointF) {}
    virtual void ImageDragged(QPointF) {}

protected:
    RetouchHost& Host() const { return host_; }
    LayeredImageView& View() const { return host_.PhotoView(); }
    // The tool's layer in the photo view, -1 when it has none.
    int layer_ = -1;

private:
    RetouchHost& host_;
};

}  // namespace vantrel::gui
