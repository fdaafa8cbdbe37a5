#include <gtest/gtest.h>

#include "core/service/UploadRateLimit.h"

namespace vantrel {
namespace {

using std::chrono::milliseconds;

struct FakeClock {
    std::chrono::steady_clock::time_point now{};
    void Advance(milliseconds step) { now += step; }
};

TEST(UploadRateLimit, SpreadsBlocksOverTheRateAndFollowsChanges) {
    FakeClock clock;
    UploadRateLimit limit([&] { return clock.now; });
    EXPECT_EQ(limit.Reserve(1 << 20), milliseconds(0)) << "off by default";

    limit.SetBytesPerSecond(100000);
    // Two sessions asking at once share the rate: the second waits behind the first.
    EXPECT_EQ(limit.Reserve(50000), milliseconds(500));
    EXPECT_EQ(limit.Reserve(50000), milliseconds(1000));
    // Time that passes pays what is owed.
    clock.Advance(milliseconds(1000));
    EXPECT_EQ(limit.Reserve(10000), milliseconds(100));
    // A long pause saves no more than a tenth of a second's bytes.
    clock.Advance(milliseconds(60000));
    EXPECT_EQ(limit.Reserve(10000), milliseconds(0));
    EXPECT_EQ(limit.Reserve(10000), milliseconds(100));

    // A higher rate takes effect at the next block.
    clock.Advance(milliseconds(100));
    limit.SetBytesPerSecond(1000000);
    EXPECT_EQ(limit.Reserve(100000), milliseconds(100));
    limit.SetBytesPerSecond(0);
    EXPECT_EQ(limit.Reserve(1 << 20), milliseconds(0));
}

}  // namespace
}  // namespace vantrel
