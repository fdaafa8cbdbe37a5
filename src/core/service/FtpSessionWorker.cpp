#include "core/service/FtpSessionWorker.h"

#include "core/service/FileWriteError.h"
#include "core/service/FtpClient.h"

namespace vantrel {

FtpSessionWorker::FtpSessionWorker(int index, FtpClient& ftp, const SessionSetup& setup, Files files, bool connected)
    : index_(index), ftp_(ftp), setup_(setup), files_(std::move(files)), connected_(connected),
      callerPump_(ftp.Pump()), callerStopCheck_(ftp.StopCheck()),
      recovery_(setup.reconnect, {setup.mustEnd, {},
                                  [this](int secondsLeft) {
                                      Post(SessionEvent(SessionEvent::Kind::Wait, secondsLeft));
                                  },
                                  {}}) {
    // The client's waits now run on this session's thread: they must not pump the caller's window.
    ftp_.SetPump({});
    ftp_.SetStopCheck(setup_.mustEnd);
    ftp_.SetWorkHandlers({{},
                          [this](WorkMode mode, std::int64_t bytes) {
                              if (mode == WorkMode::wmWrite) Post(SessionEvent(SessionEvent::Kind::Bytes, bytes));
                          },
                          {}});
    thread_ = std::thread([this] { Main(); });
}

FtpSessionWorker::~FtpSessionWorker() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
    ftp_.ClearWorkHandlers();
    ftp_.SetPump(callerPump_);
    ftp_.SetStopCheck(callerStopCheck_);
}

void FtpSessionWorker::Send(PackageOrder order) {
    {
        std::lock_guard lock(mutex_);
        order_ = std::move(order);
    }
    wake_.notify_one();
}

void FtpSessionWorker::Post(SessionEvent event) {
    event.session = index_;
    setup_.events.Post(std::move(event));
}

void FtpSessionWorker::Main() {
    if (!connected_) {
        // A server that takes one session only says so here (421, 530, a refused connection):
        // the run goes on without this one, and the user is not bothered with it.
        try {
            ftp_.FtpConnect();
            ftp_.FtpChangeDir(setup_.folderName, true);  // a store follows
        } catch (const std::exception&) {
            ftp_.FtpDisconnect();
            Post(SessionEvent(SessionEvent::Kind::Unusable));
            return;
        }
        Post(SessionEvent(SessionEvent::Kind::Ready));
    }
    while (true) {
        std::optional<PackageOrder> order;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || order_; });
            if (!order_) return;
            order.swap(order_);
        }
        Post(SendPackage(*order));
    }
}

SessionEvent FtpSessionWorker::SendPackage(const PackageOrder& order) {
    const PackageContext context{ftp_,
                                  setup_.settings,
                                  setup_.imaging,
                                  {},
                                  setup_.folderName,
                                  setup_.customerId,
                                  files_.scaledPath,
                                  files_.thumbPath,
                                  files_.infPath,
                                  [this](bool verified) {
                                      SessionEvent ended(SessionEvent::Kind::AttemptEnd);
                                      ended.verified = verified;
                                      Post(std::move(ended));
                                  }};
    SessionEvent done(SessionEvent::Kind::Done);
    bool again = false;
    try {
        const bool sent = recovery_.Retry([&] {
            if (again) {
                // The package starts again from its first file, under the same number, in the
                // same folder: files stored before the loss are simply replaced.
                Post(SessionEvent(SessionEvent::Kind::Restart));
                ftp_.FtpDisconnect();
                ftp_.FtpConnect();
                ftp_.FtpChangeDir(setup_.folderName);
            }
            again = true;
            return order.prepared
                       ? SendPreparedPackage(context, order.job, *order.prepared, order.photoNumber, order.albumId)
                       : SendPhotoPackage(context, order.job, order.photoNumber, order.albumId);
        });
        done.fate = sent ? PackageFate::Sent : PackageFate::NotVerified;
    } catch (const FileWriteError&) {
        done.fate = PackageFate::EndsRun, done.error = std::current_exception();
    } catch (const FtpProtocolError&) {
        done.fate = PackageFate::EndsRun, done.error = std::current_exception();  // talking again would not help
    } catch (const CopyNotMadeError& notMade) {
        done.fate = PackageFate::CopyNotMade, done.reason = notMade.what();
    } catch (...) {
        // An upload error ends the walk, and so does Stop: the store it cut is not retried. A
        // connection lost for longer than the schedule allows fails the run.
        done.fate = recovery_.GaveUp() ? PackageFate::EndsRun : PackageFate::EndsWalk;
        done.error = std::current_exception();
    }
    return done;
}

}  // namespace vantrel
