#pragma once
// The remembered password in the desktop's keyring (the Secret Service or KWallet, reached
// through QtKeychain), under one fixed entry of the program.
//
// The keyring is asked only when a session bus is connected, and every wait is bounded: it ends
// after `wait`, or within about 50 ms once `stopRequested` returns true (a termination signal).
// A keyring that is missing, locked, refusing, failing or too slow answers NoKeyring, and from
// then on every call of this object answers NoKeyring at once: a job left behind would hold up
// QtKeychain's queue, and the user is not asked to unlock the keyring again.

#include <chrono>
#include <expected>
#include <functional>
#include <memory>
#include <string>

namespace QKeychain {
class Job;
}

namespace vantrel::gui {

enum class KeyringError {
    NoKeyring,  // no usable keyring: nothing was read, written or removed
    NoEntry,    // the keyring works but holds no password of the program
};

class PasswordKeyring {
public:
    // The entry: the program's desktop name as the service, and one fixed key, since the settings
    // remember one login at a time (a new address then replaces the entry instead of leaving the
    // former one behind in the keyring).
    static constexpr const char* kService = "org.vantrel.Vantrel";
    static constexpr const char* kKey = "password";
    static constexpr std::chrono::milliseconds kDefaultWait{5000};

    explicit PasswordKeyring(std::function<bool()> stopRequested = {},
                             std::chrono::milliseconds wait = kDefaultWait);

    // The stored password, or NoEntry / NoKeyring.
    std::expected<std::string, KeyringError> Read();
    // Stores `password`, replacing the entry, or NoKeyring.
    std::expected<void, KeyringError> Write(const std::string& password);
    // Removes the entry; NoKeyring when the keyring cannot be used. A missing entry gives NoEntry
    // where the keyring tells, success where it does not (the Secret Service).
    std::expected<void, KeyringError> Remove();
    // Starts removing the entry and returns at once, for the start of the program, which must not
    // wait. The keyring answers its calls in order: the next call waits for this one first, within
    // its own bound. RemovalDone() is true once the keyring has said that no entry is left.
    void StartRemoval();
    bool RemovalDone() const { return removalDone_ && *removalDone_; }

private:
    struct Outcome;
    // Runs `job` (which deletes itself once finished) and waits for it; NoKeyring when the keyring
    // cannot be used, the wait ran out or a stop came.
    std::expected<Outcome, KeyringError> Run(QKeychain::Job* job);
    // Whether a job may be started now; deletes `job` when not.
    bool Usable(QKeychain::Job* job);

    std::function<bool()> stopRequested_;
    std::chrono::milliseconds wait_;
    bool unusable_ = false;
    std::shared_ptr<bool> removalDone_;  // outlives this object while the removal is on its way
};

}  // namespace vantrel::gui
