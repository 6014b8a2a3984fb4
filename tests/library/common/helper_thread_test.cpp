// The helper thread: tasks run on a thread other than the owner's, one at a
// time and reusable, and a task's exception reaches the owner's wait().
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "common/helper_thread.h"

namespace pm {
namespace {

TEST(HelperThread, RunsEachTaskOnItsThreadAndHandsBackItsFailure) {
    HelperThread helper;
    helper.wait();  // nothing started: returns at once
    std::thread::id ran;
    int sum = 0;
    for (int i = 1; i <= 3; ++i) {
        helper.start([&, i] {
            ran = std::this_thread::get_id();
            sum += i;
        });
        helper.wait();
        EXPECT_NE(ran, std::this_thread::get_id());
    }
    EXPECT_EQ(sum, 6);

    helper.start([] { throw std::runtime_error("task failed"); });
    EXPECT_THROW(helper.wait(), std::runtime_error);
    helper.wait();  // the failure was handed over once
    helper.start([&] { sum = 0; });
    helper.wait();
    EXPECT_EQ(sum, 0);
}

TEST(HelperThread, EndingWaitsForTheRunningTask) {
    bool done = false;
    {
        HelperThread helper;
        helper.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            done = true;
        });
    }
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace pm
