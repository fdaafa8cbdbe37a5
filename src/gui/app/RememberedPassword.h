#pragma once
// The password of a remembered login lives in the desktop's keyring, and the settings file keeps
// none; where no keyring can be used the file keeps it scrambled, as it always did. A password
// found scrambled in the file moves into the keyring at the next save. Not remembering the login
// removes the keyring's entry as well. Every save, that of a close on a termination signal too,
// leaves the keyring as the login's "remember" box says.

#include <functional>
#include <string>

#include "core/app/UserSettings.h"
#include "gui/app/PasswordKeyring.h"

namespace vantrel::gui {

class RememberedPassword {
public:
    // `stopRequested` ends any keyring wait early (see PasswordKeyring).
    explicit RememberedPassword(std::function<bool()> stopRequested = {});

    // Right after the settings file is read. A remembered login whose file holds no password takes
    // it from the keyring; a login not remembered removes any entry of the keyring. A password in the file is kept: it was written by a former version or
    // when the keyring could not be used, so it is newer than any entry of the keyring.
    void Restore(UserSettings& settings);

    // Right before the settings file is written: `settings` as the file should take them, with
    // Pass emptied when the keyring holds it. Writes or removes the keyring's entry as needed, and
    // asks the keyring nothing when it is known to hold the entry already.
    UserSettings ForSettingsFile(const UserSettings& settings);

private:
    PasswordKeyring keyring_;
    // What the keyring is known to hold ("" for no entry); unknown after a failure, or when the
    // file kept a password beside a remembered login.
    bool known_ = true;
    std::string held_;
};

}  // namespace vantrel::gui
