// The producer thread that works ahead: batches arrive in order, no more
// than the bound wait, the producer's failure arrives after what it made
// before, and a stop ends a producer that is waiting or busy.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "common/work_ahead.h"

namespace pm {
namespace {

using namespace std::chrono_literals;

// Waits up to two seconds for `done`.
template <class F>
bool eventually(F done) {
    for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(1ms);
    return done();
}

TEST(WorkAhead, BatchesArriveInOrderAndAtMostTheBoundWaits) {
    std::atomic<int> made = 0;
    WorkAhead<int> ahead(3, [&made](int& batch, const std::atomic<bool>&) {
        batch = made++;
        return batch < 99;
    });
    ASSERT_TRUE(eventually([&] { return ahead.waiting() == 3; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ahead.waiting(), 3u);
    EXPECT_LE(made.load(), 4);  // three waiting, at most one more being made
    int next = 0;
    for (int batch = -1; ahead.take(batch); ++next) ASSERT_EQ(batch, next);
    EXPECT_EQ(next, 100);
    int untouched = -7;
    EXPECT_FALSE(ahead.take(untouched));
    EXPECT_EQ(untouched, -7);
}

TEST(WorkAhead, AFailureArrivesAfterTheBatchesMadeBeforeIt) {
    WorkAhead<int> ahead(2, [made = 0](int& batch, const std::atomic<bool>&) mutable {
        if (made == 3) throw std::runtime_error("disk gone");
        batch = made++;
        return true;
    });
    int batch = -1;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ahead.take(batch));
        EXPECT_EQ(batch, i);
    }
    try {
        ahead.take(batch);
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "disk gone");
    }
    EXPECT_FALSE(ahead.take(batch));  // production has ended
}

TEST(WorkAhead, AStopEndsAWaitingOrBusyProducerAndDropsItsBatches) {
    std::atomic<int> made = 0;
    auto waiting = std::make_unique<WorkAhead<int>>(1, [&made](int& batch, const std::atomic<bool>&) {
        batch = made++;
        return true;
    });
    ASSERT_TRUE(eventually([&] { return waiting->waiting() == 1; }));
    waiting->stop();  // the producer sleeps on the full queue: it wakes and ends
    EXPECT_EQ(waiting->waiting(), 0u);
    const int after = made.load();
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(made.load(), after);
    waiting.reset();

    std::atomic<bool> started = false;
    {
        // A batch that only ends at the stop: destruction must not hang.
        WorkAhead<int> busy(2, [&started](int& batch, const std::atomic<bool>& stopping) {
            started = true;
            while (!stopping) std::this_thread::sleep_for(1ms);
            batch = 1;
            return true;
        });
        ASSERT_TRUE(eventually([&] { return started.load(); }));
    }
}

}  // namespace
}  // namespace pm
