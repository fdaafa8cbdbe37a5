#include "gui/service/RunNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

namespace vantrel::gui {
namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
}  // namespace

RunNotifier::RunNotifier(std::function<void()> activated, QObject* parent)
    : QObject(parent), activated_(std::move(activated)) {}

bool RunNotifier::Notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kService).value()) return false;
    if (!listening_)
        listening_ = bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                                 SLOT(OnActionInvoked(uint, QString)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.vantrel.Vantrel"));
    call << QStringLiteral("Vantrel") << uint(0) << QStringLiteral("org.vantrel.Vantrel") << summary << body
         << QStringList{QStringLiteral("default"), summary} << hints << int(-1);
    QDBusReply<uint> reply = bus.call(call, QDBus::Block, 5000);
    if (!reply.isValid()) return false;
    lastId_ = reply.value();
    return true;
}

void RunNotifier::OnActionInvoked(uint id, const QString& action) {
    if (id == lastId_ && action == QStringLiteral("default") && activated_) activated_();
}

}  // namespace vantrel::gui
