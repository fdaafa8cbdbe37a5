#include <gtest/gtest.h>

#include "core/service/ProgressWatchdog.h"

namespace vantrel {
namespace {

using std::chrono::minutes;

// Verified files and the steady bytes of a slow store keep a run alive; bytes taken after a
// failed attempt do not, so a server that takes everything and confirms nothing is given up.
TEST(ProgressWatchdog, VerifiedFilesAndSteadyBytesKeepTheRunAlive) {
    ProgressWatchdog::Clock::time_point now{};
    ProgressWatchdog watchdog(minutes(10), [&] { return now; });
    now += minutes(9);
    watchdog.Verified();
    now += minutes(9);
    EXPECT_FALSE(watchdog.Expired());

    // One large file on a slow link: its bytes keep going for half an hour.
    for (int step = 0; step < 30; ++step) {
        now += minutes(1);
        watchdog.BytesTaken(ProgressWatchdog::kBytesStep);
    }
    EXPECT_FALSE(watchdog.Expired());

    // Its checksum was wrong: what the server takes from now on earns nothing.
    watchdog.AttemptFailed();
    for (int step = 0; step < 10; ++step) {
        now += minutes(1);
        watchdog.BytesTaken(ProgressWatchdog::kBytesStep);
    }
    EXPECT_TRUE(watchdog.Expired());

    watchdog.Verified();
    EXPECT_FALSE(watchdog.Expired());
    // A trickle under the step does not count either.
    now += minutes(10);
    watchdog.BytesTaken(ProgressWatchdog::kBytesStep - 1);
    EXPECT_TRUE(watchdog.Expired());
}

}  // namespace
}  // namespace vantrel
