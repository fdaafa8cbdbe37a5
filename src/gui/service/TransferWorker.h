#pragma once
// One transfer run on a thread of its own, beside the window. It sends from a copy of the queue
// while the user keeps browsing and organising (the queue's claims say which albums the run
// holds), and tells the window what happens through queued signals, so that a busy window never
// slows or fails the run. Stop and the upload limit may be set from the window at any time.

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "core/albums/QueueSnapshot.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/service/TransferSession.h"

namespace vantrel {
class TransferQueue;
struct RemoteSettingsResult;
struct RpcError;
}  // namespace vantrel

namespace vantrel::gui {

class TransferWorker : public QObject, private TransferObserver {
    Q_OBJECT
public:
    struct Setup {
        TransferSessionConfig session;  // its `claims` are set from the queue
        TRemoteSettings remote;         // the service's settings known at the start
        int uploadLimit = 0;            // KB/s, 0 for none
        int connections = 2;
    };
    // The copy of the queue is taken now, on the window's thread, and the queue's claims start
    // afresh; `queue` must outlive the worker.
    TransferWorker(TransferQueue& queue, Setup setup, QObject* parent = nullptr);
    // Stops a run still going on and waits for its thread.
    ~TransferWorker() override;

    void Start();
    // Waits for the run's thread (at once after finished()).
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }
    void Stop() { session_.Stop(); }
    void SetUploadLimit(int kilobytesPerSecond) { session_.SetUploadLimit(kilobytesPerSecond); }

    // Once finished() came: how the run ended, the service's settings as it left them, the
    // report of refused and left photos (when the run had one to show) and a refused login.
    const TransferSessionResult& Result() const { return result_; }
    const TRemoteSettings& Remote() const { return remote_; }
    const std::optional<TransferReport>& Report() const { return report_; }
    bool LoginRefused() const { return loginRefused_; }

    // Called on the window's thread: a settings document or an XML-RPC answer that did not read
    // (the run goes on).
    std::function<void(const RemoteSettingsResult&)> OnSettingsProblem;
    std::function<void(const RpcError&)> OnUnreadableResponse;

signals:
    // The service's settings are known and the login begins; the advert page's address.
    void connected(const QString& advertUrl);
    void albumShown(const QString& name);
    void photoShown(const QString& fileName, int tile);
    // All four files of the photo were verified: it leaves the queue.
    void photoSent(const QString& workPath);
    // The run is done with a photo (sent, refused or left): its album may be free again.
    void photoEnded();
    void photosLeftShown(int left);
    void photoProgress(qint64 position, qint64 range);
    void runProgress(qint64 position, qint64 range);
    // The time left (a EstimateKind and minutes), every half second once something was sent.
    void estimateShown(int kind, double minutes);
    void connectionWait(int secondsLeft);
    void finished();

private:
    // TransferObserver, on the run's thread.
    void ProcessMessages() override;
    void SetTimerRunning(bool running) override { estimating_ = running; }
    void ShowAlbum(const TAlbum& album) override;
    void ShowPhoto(const TImageJob& job) override;
    void ShowPhotoEnded(const TAlbum& album, const TImageJob& job, PhotoEnd end) override;
    void ShowPhotosLeft(int left) override { emit photosLeftShown(left); }
    void ShowPhotoProgress(std::int64_t position, std::int64_t range) override { emit photoProgress(position, range); }
    void ShowRunProgress(std::int64_t position, std::int64_t range) override { emit runProgress(position, range); }
    void ShowLoginRefused() override { loginRefused_ = true; }
    void ShowReport(const TransferReport& report) override { report_ = report; }
    void ShowConnectionWait(int secondsLeft) override { emit connectionWait(secondsLeft); }

    QueueSnapshot snapshot_;
    ImageWorkspace workspace_;  // the run's own: the window's serves the tiles meanwhile
    TRemoteSettings remote_;
    TransferSession session_;
    bool estimating_ = false;
    std::chrono::steady_clock::time_point lastEstimate_{};
    TransferSessionResult result_;
    std::optional<TransferReport> report_;
    bool loginRefused_ = false;
    std::thread thread_;
};

}  // namespace vantrel::gui
