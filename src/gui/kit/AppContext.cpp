#include "gui/kit/AppContext.h"

#include <QWidget>

namespace vantrel::gui {

AppContext::AppContext(WindowEngine& engine, QObject* parent) : QObject(parent), engine_(engine) {}

AppContext::~AppContext() = default;

QString AppContext::Translate(const char* key) const { return QString::fromStdString(language_.Translate(key)); }

SizeTextStyle AppContext::SizeStyle() const {
    return {language_.Translate("Panel_Mb"), language_.Translate("Panel_Kb"), Locale().decimalSeparator};
}

std::string AppContext::CaptionFor(const std::string& path, std::int64_t size, int width, int height) const {
    const CaptionParts parts{Settings().ShowName, Settings().ShowLen, Settings().ShowSize};
    return FormatThumbCaption(path, static_cast<std::uint64_t>(size), width, height, parts, SizeStyle());
}

QString AppContext::Title() const { return dialogParent_ ? dialogParent_->windowTitle() : QString(); }

void AppContext::BeginBusy(int count, bool force) {
    ++busyCount_;
    emit busyBegun(count, force);
}

void AppContext::EndBusy() {
    emit busyEnding();  // still busy while the window empties its bar
    --busyCount_;
    emit busyEnded(busyCount_);
}

}  // namespace vantrel::gui
