#pragma once
// What the transfer run keeps of each of its FTP sessions, on its own thread.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/albums/TImageJob.h"
#include "core/service/FtpClient.h"
#include "core/service/FtpSessionWorker.h"
#include "core/service/TransferProgress.h"

namespace vantrel {

class TAlbum;

struct RunSession {
    // The photo a session is sending.
    struct Package {
        TAlbum* album;
        const TImageJob* queued;  // the list's photo, taken off once sent (when still there)
        TImageJob job;            // its copy, as handed out
        std::string copiesPath;   // the prepared copies to release; empty when made step by step
    };

    std::unique_ptr<FtpClient> ownFtp;  // the sessions after the first; the first is the caller's
    std::unique_ptr<FtpSessionWorker> worker;
    bool ready = false;    // logged in and inside the folder
    bool usable = true;    // false once the server refused it
    std::optional<Package> package;  // the package under way
    ProgressMeter photoBar;
    std::int64_t fileBytes = 0;      // of the file under way
    std::int64_t packageBytes = 0;   // of the package's files verified so far
    int packageFiles = 0;            // the package's files verified so far
    std::chrono::steady_clock::time_point fileStart;  // when the file under way was begun
};

}  // namespace vantrel
