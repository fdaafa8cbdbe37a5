#include "gui/retouch/RetouchTool.h"

namespace vantrel::gui {

void RetouchTool::Closing() {
    if (layer_ >= 0) View().RemoveLayer(layer_);
    layer_ = -1;
}

QRectF RetouchTool::FrameRect() const { return layer_ >= 0 ? View().LayerLocation(layer_) : QRectF(); }

void RetouchTool::ProposeFrame(FrameHandle handle, QRectF rect) {
    if (layer_ < 0) return;
    View().SetLayerLocation(layer_, CorrectFrame(handle, rect));
}

}  // namespace vantrel::gui
