// A budget shared by decodes at work at once: the shares taken together never pass it, a share
// larger than the whole takes the whole, and a taker that does not fit waits for a share to
// come back instead of failing.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/imaging/SharedMemoryBudget.h"

namespace vantrel {
namespace {

TEST(SharedMemoryBudget, SharesTogetherStayWithinTheBudget) {
    SharedMemoryBudget budget(1000);
    {
        auto first = budget.TryTake(600);
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(budget.Free(), 400u);
        EXPECT_FALSE(budget.TryTake(600).has_value());
        auto small = budget.TryTake(400);
        ASSERT_TRUE(small.has_value());
        EXPECT_EQ(budget.Free(), 0u);
    }
    EXPECT_EQ(budget.Free(), 1000u);
    {
        const auto whole = budget.Take(5000);  // more than there is: the whole budget, alone
        EXPECT_EQ(whole.Bytes(), 1000u);
        EXPECT_FALSE(budget.TryTake(1).has_value());
    }
    EXPECT_EQ(budget.Peak(), 1000u);

    // A taker that does not fit gets its share once the holder gives its own back.
    auto held = budget.TryTake(700);
    ASSERT_TRUE(held.has_value());
    std::atomic<std::uint64_t> got{0};
    std::thread waiter([&] { got = budget.Take(700).Bytes(); });
    held.reset();
    waiter.join();
    EXPECT_EQ(got.load(), 700u);
    EXPECT_EQ(budget.Free(), 1000u);
    EXPECT_LE(budget.Peak(), 1000u);
}

}  // namespace
}  // namespace vantrel
