#include "gui/app/RememberedPassword.h"

namespace vantrel::gui {

RememberedPassword::RememberedPassword(std::function<bool()> stopRequested) : keyring_(std::move(stopRequested)) {}

void RememberedPassword::Restore(UserSettings& settings) {
    known_ = true;
    held_.clear();
    // A login that is not remembered has no entry. One may be left by an older version that was
    // ended by a logout after the box was unticked: it goes now, in one removal that the start
    // does not wait for.
    if (!settings.IsSaved) {
        keyring_.StartRemoval();
        known_ = false;  // until the keyring says the entry is gone
        return;
    }
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
    if (!known_ && keyring_.RemovalDone()) {
        known_ = true;  // the removal of the start has ended well, and nothing was written since
        held_.clear();
    }
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
