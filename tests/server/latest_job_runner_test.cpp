#include "server/latest_job_runner.h"

#include <mutex>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "server/manual_reset_event.h"

namespace vantor {
namespace {

// While one job runs, later submissions replace each other: only the last one runs next. A job
// that throws does not stop the runner.
TEST(LatestJobRunner, RunsTheRunningJobThenOnlyTheLatestWaitingOne) {
    std::mutex mutex;
    std::vector<int> ran;
    ManualResetEvent gate{false};
    ManualResetEvent started{false};
    ManualResetEvent finished{false};
    auto record = [&](int id) {
        std::lock_guard lock(mutex);
        ran.push_back(id);
    };
    {
        LatestJobRunner runner;
        runner.Submit([&] {
            started.Set();
            gate.WaitFor(10000);
            record(1);
            throw std::runtime_error("the server went away");
        });
        ASSERT_TRUE(started.WaitFor(10000));
        runner.Submit([&] { record(2); });
        runner.Submit([&] {
            record(3);
            finished.Set();
        });
        EXPECT_TRUE(runner.Busy());
        gate.Set();
        // 3 was the only one waiting when 1 ended.
        ASSERT_TRUE(finished.WaitFor(10000));
    }
    std::lock_guard lock(mutex);
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}

}  // namespace
}  // namespace vantor
