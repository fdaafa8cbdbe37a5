#include "gui/kit/AppContext.h"

#include <QWidget>

namespace vantrel::gui {

AppContext::AppContext(const LocaleInfo& locale, std::string workFolder, QObject* parent)
    : QObject(parent), locale_(locale), workFolder_(std::move(workFolder)) {}

AppContext::~AppContext() = default;

QString AppContext::Translate(const char* key) const { return QString::fromStdString(language_.Translate(key)); }

SizeTextStyle AppContext::SizeStyle() const {
    return {language_.Translate("Panel_Mb"), language_.Translate("Panel_Kb"), locale_.decimalSeparator};
}

std::string AppContext::CaptionFor(const std::string& path, std::int64_t size, int width, int height) const {
    const CaptionParts parts{settings_.ShowName, settings_.ShowLen, settings_.ShowSize};
    return FormatThumbCaption(path, static_cast<std::uint64_t>(size), width, height, parts, SizeStyle());
}

QString AppContext::Title() const { return dialogParent_ ? dialogParent_->windowTitle() : QString(); }

void AppContext::BeginBusy(int count, bool force) {
    ++busyCount_;
    emit busyBegun(count, force);
}

void AppContext::EndBusy() {
    emit busyEnding();  // still busy while the window lets the last events run
    --busyCount_;
    emit busyEnded(busyCount_);
}

}  // namespace vantrel::gui
