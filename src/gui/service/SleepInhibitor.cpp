#include "gui/service/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace vantrel::gui {

bool SleepInhibitor::Take(const QString& why) {
    if (Held()) return true;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered("org.freedesktop.login1").value())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep:idle") << QStringLiteral("Vantrel") << why << QStringLiteral("block");
    // A login manager that does not answer must not hold the start of the run.
    QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, 5000);
    if (!reply.isValid()) return false;
    lock_ = reply.value();
    return Held();
}

void SleepInhibitor::Release() {
    // Closing our copy of the descriptor is what ends the lock.
    lock_ = QDBusUnixFileDescriptor();
}

}  // namespace vantrel::gui
