#include "gui/service/TransferWorker.h"

#include "core/albums/TAlbum.h"
#include "core/albums/TImageJob.h"
#include "core/albums/TransferQueue.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/service/XmlRpcResponse.h"

namespace vantrel::gui {

namespace {
constexpr auto kEstimateInterval = std::chrono::milliseconds(500);

TransferSessionConfig WithClaims(TransferSessionConfig config, TransferQueue& queue) {
    config.claims = &queue.Claims();
    return config;
}
}  // namespace

TransferWorker::TransferWorker(TransferQueue& queue, Setup setup, QObject* parent)
    : QObject(parent), snapshot_(queue.Albums()), remote_(std::move(setup.remote)),
      session_(snapshot_.Albums(), remote_, workspace_, *this, WithClaims(std::move(setup.session), queue)) {
    queue.Claims().Reset();
    session_.SetUploadLimit(setup.uploadLimit);
    session_.SetConnections(setup.connections);
    // The handlers run on the window's thread, with copies of what the run reported.
    session_.OnSettingsProblem = [this](const RemoteSettingsResult& problem) {
        QMetaObject::invokeMethod(this, [this, problem] { if (OnSettingsProblem) OnSettingsProblem(problem); },
                                  Qt::QueuedConnection);
    };
    session_.OnUnreadableResponse = [this](const RpcError& problem) {
        QMetaObject::invokeMethod(this, [this, problem] { if (OnUnreadableResponse) OnUnreadableResponse(problem); },
                                  Qt::QueuedConnection);
    };
    session_.OnConnected = [this] { emit connected(QString::fromStdString(remote_.advert_url)); };
}

TransferWorker::~TransferWorker() {
    session_.Stop();
    if (thread_.joinable()) thread_.join();
}

void TransferWorker::Start() {
    thread_ = std::thread([this] {
        result_ = session_.Run();
        emit finished();
    });
}

void TransferWorker::ProcessMessages() {
    if (!estimating_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastEstimate_ < kEstimateInterval) return;
    lastEstimate_ = now;
    TimeEstimate estimate;
    if (const TransferRun* run = session_.CurrentRun(); run && run->EstimateTime(estimate))
        emit estimateShown(static_cast<int>(estimate.kind), estimate.minutes);
}

void TransferWorker::ShowAlbum(const TAlbum& album) { emit albumShown(QString::fromStdString(album.AlbumName())); }

void TransferWorker::ShowPhoto(const TImageJob& job) {
    emit photoShown(QString::fromStdString(job.FileName), job.ImageIndex);
}

void TransferWorker::ShowPhotoEnded(const TAlbum&, const TImageJob& job, PhotoEnd end) {
    if (end == PhotoEnd::Sent) emit photoSent(QString::fromStdString(job.WorkPath));
    emit photoEnded();
}

}  // namespace vantrel::gui
