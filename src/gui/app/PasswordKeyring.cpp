#include "gui/app/PasswordKeyring.h"

#include <QDBusConnection>
#include <QEventLoop>
#include <QTimer>
#include <optional>
#include <qt6keychain/keychain.h>

namespace vantrel::gui {

struct PasswordKeyring::Outcome {
    QKeychain::Error error = QKeychain::OtherError;
    QString text;  // what a read found
};

PasswordKeyring::PasswordKeyring(std::function<bool()> stopRequested, std::chrono::milliseconds wait)
    : stopRequested_(std::move(stopRequested)), wait_(wait) {}

bool PasswordKeyring::Usable(QKeychain::Job* job) {
    // Without a session bus there is no keyring to reach; asking would only wait.
    if (unusable_ || (stopRequested_ && stopRequested_()) || !QDBusConnection::sessionBus().isConnected()) {
        delete job;
        unusable_ = true;
        return false;
    }
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never a plain-text copy beside the keyring
    job->setKey(QString::fromLatin1(kKey));
    return true;
}

void PasswordKeyring::StartRemoval() {
    auto* job = new QKeychain::DeletePasswordJob(QString::fromLatin1(kService));
    if (!Usable(job)) return;
    removalDone_ = std::make_shared<bool>(false);
    QObject::connect(job, &QKeychain::Job::finished, job, [done = removalDone_](QKeychain::Job* finished) {
        *done = finished->error() == QKeychain::NoError || finished->error() == QKeychain::EntryNotFound;
    });
    job->start();
}

std::expected<PasswordKeyring::Outcome, KeyringError> PasswordKeyring::Run(QKeychain::Job* job) {
    const auto stopped = [this] { return stopRequested_ && stopRequested_(); };
    if (!Usable(job)) return std::unexpected(KeyringError::NoKeyring);

    QEventLoop loop;
    std::optional<Outcome> outcome;
    // The finished job deletes itself later: what it says is taken here. A job that outlives the
    // wait finishes into nothing, the connection ending with the loop.
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        outcome = Outcome{done->error(), {}};
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done)) outcome->text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(wait_, &loop, &QEventLoop::quit);
    QTimer stopCheck;
    stopCheck.setInterval(50);
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (stopped()) loop.quit();
    });
    if (stopRequested_) stopCheck.start();
    job->start();
    // The window may be closing: the user's clicks wait until the keyring has answered.
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!outcome) {
        unusable_ = true;
        return std::unexpected(KeyringError::NoKeyring);
    }
    if (outcome->error != QKeychain::NoError && outcome->error != QKeychain::EntryNotFound) unusable_ = true;
    return *outcome;
}

std::expected<std::string, KeyringError> PasswordKeyring::Read() {
    auto outcome = Run(new QKeychain::ReadPasswordJob(QString::fromLatin1(kService)));
    if (!outcome) return std::unexpected(outcome.error());
    if (outcome->error == QKeychain::EntryNotFound) return std::unexpected(KeyringError::NoEntry);
    if (outcome->error != QKeychain::NoError) return std::unexpected(KeyringError::NoKeyring);
    return outcome->text.toStdString();
}

std::expected<void, KeyringError> PasswordKeyring::Write(const std::string& password) {
    auto* job = new QKeychain::WritePasswordJob(QString::fromLatin1(kService));
    job->setTextData(QString::fromStdString(password));
    auto outcome = Run(job);
    if (!outcome) return std::unexpected(outcome.error());
    if (outcome->error != QKeychain::NoError) return std::unexpected(KeyringError::NoKeyring);
    return {};
}

std::expected<void, KeyringError> PasswordKeyring::Remove() {
    auto outcome = Run(new QKeychain::DeletePasswordJob(QString::fromLatin1(kService)));
    if (!outcome) return std::unexpected(outcome.error());
    if (outcome->error == QKeychain::EntryNotFound) return std::unexpected(KeyringError::NoEntry);
    if (outcome->error != QKeychain::NoError) return std::unexpected(KeyringError::NoKeyring);
    return {};
}

}  // namespace vantrel::gui
