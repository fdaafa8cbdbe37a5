#pragma once
// Keeps the machine awake while a transfer runs: asks the login manager (logind, on the system
// bus) for a "sleep:idle" inhibitor lock and holds its file descriptor until Release. Without a
// bus or a login manager nothing happens and the run goes on as usual.

#include <QDBusUnixFileDescriptor>
#include <QString>

namespace vantrel::gui {

class SleepInhibitor {
public:
    ~SleepInhibitor() { Release(); }
    // True when the lock was granted; a second call while held does nothing.
    bool Take(const QString& why);
    void Release();
    bool Held() const { return lock_.isValid(); }

private:
    QDBusUnixFileDescriptor lock_;
};

}  // namespace vantrel::gui
