#include "core/service/LocalDateTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace vantrel {

LocalDateTime LocalNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms)};
}

LocalDateTime AddDays(const LocalDateTime& when, int days) {
    using namespace std::chrono;
    const year_month_day ymd{year{when.year}, month{static_cast<unsigned>(when.month)},
                             day{static_cast<unsigned>(when.day)}};
    const year_month_day later{sys_days{ymd} + std::chrono::days{days}};
    LocalDateTime out = when;
    out.year = static_cast<int>(later.year());
    out.month = static_cast<int>(static_cast<unsigned>(later.month()));
    out.day = static_cast<int>(static_cast<unsigned>(later.day()));
    return out;
}

std::string FormatDateTime(const LocalDateTime& w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", w.year, w.month, w.day, w.hour, w.minute,
                  w.second);
    return buf;
}

}  // namespace vantrel
