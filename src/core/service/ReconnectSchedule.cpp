#include "core/service/ReconnectSchedule.h"

#include <cstdlib>

#include "core/service/NetworkTimeouts.h"

namespace vantrel {

std::chrono::milliseconds ReconnectSchedule::PauseAfter(int failures) const {
    if (pauses.empty()) return std::chrono::milliseconds(0);
    const std::size_t index = failures < 1 ? 0 : static_cast<std::size_t>(failures - 1);
    return index < pauses.size() ? pauses[index] : pauses.back();
}

ReconnectSchedule StandardReconnectSchedule() {
    using namespace std::chrono_literals;
    return {{5s, 15s, 45s, 60s}, 600s};
}

std::optional<ReconnectSchedule> ParseReconnectSchedule(std::string_view text) {
    const auto semicolon = text.find(';');
    if (semicolon == std::string_view::npos) return std::nullopt;
    ReconnectSchedule schedule;
    auto limit = ParsePositiveSeconds(text.substr(semicolon + 1));
    if (!limit) return std::nullopt;
    schedule.limit = *limit;
    std::string_view list = text.substr(0, semicolon);
    while (true) {
        const auto comma = list.find(',');
        auto pause = ParsePositiveSeconds(list.substr(0, comma));
        if (!pause) return std::nullopt;
        schedule.pauses.push_back(*pause);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return schedule;
}

ReconnectSchedule ReconnectScheduleFromEnvironment() {
    if (const char* value = std::getenv("VANTREL_RECONNECT"))
        if (auto parsed = ParseReconnectSchedule(value)) return *parsed;
    return StandardReconnectSchedule();
}

}  // namespace vantrel
