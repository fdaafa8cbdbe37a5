#include "gui/app/RememberedPassword.h"

namespace vantrel::gui {

RememberedPassword::RememberedPassword(std::function<bool()> stopRequested) : keyring_(std::move(stopRequested)) {}

void RememberedPassword::Restore(UserSettings& settings) {
    known_ = true;
    held_.clear();
    // A login that was not remembered left nothing in the keyring: it is not asked, so that
    // users who never tick the box never see it (nor an unlock prompt).
    if (!settings.IsSaved) return;
    if (!settings.Pass.empty()) {
        known_ = false;  // an older entry may be there; the next save replaces it
        return;
    }
    auto stored = keyring_.Read();
    if (stored) {
        settings.Pass = held_ = *stored;
    } else {
        known_ = stored.error() == KeyringError::NoEntry;
    }
}

UserSettings RememberedPassword::ForSettingsFile(const UserSettings& settings) {
    UserSettings forFile = settings;
    const bool keep = settings.IsSaved && !settings.Pass.empty();
    if (keep) {
        if (!(known_ && held_ == settings.Pass)) {
            known_ = false;
            if (!keyring_.Write(settings.Pass)) return forFile;  // the file keeps it, scrambled
            known_ = true;
            held_ = settings.Pass;
        }
        forFile.Pass.clear();
        return forFile;
    }
    if (!(known_ && held_.empty())) {
        // Removed, or there was none: either way nothing is left.
        if (auto removed = keyring_.Remove(); removed || removed.error() == KeyringError::NoEntry) {
            known_ = true;
            held_.clear();
        }
    }
    return forFile;
}

}  // namespace vantrel::gui
