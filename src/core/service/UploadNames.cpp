#include "core/service/UploadNames.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace vantrel {

std::mt19937& UploadRandom() {
    static std::mt19937 random(static_cast<std::uint32_t>(
        std::chrono::system_clock::now().time_since_epoch().count() ^
        std::chrono::steady_clock::now().time_since_epoch().count()));
    return random;
}

std::int64_t LocalSecondsNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t whole = system_clock::to_time_t(now);
    std::tm local{};
    ::localtime_r(&whole, &local);
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count();
    std::int64_t utcSeconds = millis / 1000 + ((millis % 1000) >= 500 ? 1 : 0);
    return utcSeconds + local.tm_gmtoff;
}

std::string MakeUploadFolderName(std::string_view customerId, std::int64_t localSeconds, std::mt19937& random) {
    std::uniform_int_distribution<int> draw(10000000, 99999998);
    std::string name = std::to_string(localSeconds);
    name += std::to_string(draw(random));
    name += std::to_string(draw(random));
    name += '_';
    name += customerId;
    return name;
}

std::string MakeUploadFolderName(std::string_view customerId) {
    return MakeUploadFolderName(customerId, LocalSecondsNow(), UploadRandom());
}

std::expected<std::string, WriteError> MakeTempFileName(const std::string& workFolder, std::string_view extension) {
    using namespace std::chrono;
    for (int tries = 0; tries < 10000; ++tries) {
        auto now = system_clock::now();
        std::time_t whole = system_clock::to_time_t(now);
        std::tm local{};
        ::localtime_r(&whole, &local);
        int millis = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d%03d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, millis);
        std::string path = workFolder + stamp + "." + std::string(extension);
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) return std::unexpected(WriteError{path, std::strerror(errno)});
        std::this_thread::sleep_for(microseconds(200));  // the clock moves on to a free name
    }
    return std::unexpected(WriteError{workFolder, "no free temporary name"});
}

}  // namespace vantrel
