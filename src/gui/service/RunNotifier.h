#pragma once
// Tells the desktop that a transfer has ended, through the freedesktop Notifications service on
// the session bus; clicking the notification calls `activated`. Without a session bus or a
// notification service nothing is shown.

#include <QObject>
#include <QString>
#include <functional>

namespace vantrel::gui {

class RunNotifier : public QObject {
    Q_OBJECT
public:
    explicit RunNotifier(std::function<void()> activated, QObject* parent = nullptr);
    // True when the service took the notification.
    bool Notify(const QString& summary, const QString& body);

private slots:
    void OnActionInvoked(uint id, const QString& action);

private:
    std::function<void()> activated_;
    uint lastId_ = 0;
    bool listening_ = false;
};

}  // namespace vantrel::gui
