#pragma once
// The core speaks UTF-8 std::string; the widgets speak QString. These turn one into the other.

#include <QString>
#include <string>

namespace vantrel::gui {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// A caption of the model (lines separated by CR) as a tile list shows it.
inline QString CaptionText(const std::string& caption) { return Q(caption).replace('\r', '\n'); }

}  // namespace vantrel::gui
