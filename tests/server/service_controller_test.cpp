#include "server/service_controller.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "server/manual_reset_event.h"

namespace vantor {
namespace {

struct ScriptedStatus {
    HResult result = SOk;
    ServiceStatus status;
};

ScriptedStatus Status(std::uint32_t state, std::uint32_t checkPoint = 0,
                      std::uint32_t waitHint = 0) {
    return {SOk, ServiceStatus{state, checkPoint, waitHint}};
}

// Answers each QueryStatus with the next scripted status, repeating the last one; records calls.
class FakeServiceManager : public ServiceManager {
public:
    HResult CheckAccess(const std::u16string& name, std::uint32_t access) override {
        std::lock_guard lock(mutex);
        calls.push_back("access " + std::to_string(access));
        names.push_back(name);
        return accessResult;
    }
    HResult QueryStatus(const std::u16string& name, ServiceStatus& status) override {
        std::lock_guard lock(mutex);
        calls.push_back("query");
        names.push_back(name);
        if (statuses.empty()) {
            return EFail;
        }
        const ScriptedStatus next = statuses.front();
        if (statuses.size() > 1) {
            statuses.pop_front();
        }
        status = next.status;
        return next.result;
    }
    HResult Start(const std::u16string& name) override {
        Record("start", name);
        if (onStart) {
            onStart();
        }
        return startResult;
    }
    HResult Stop(const std::u16string& name) override {
        Record("stop", name);
        return stopResult;
    }

    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex);
        return calls;
    }
    int QueryCount() {
        std::lock_guard lock(mutex);
        return static_cast<int>(std::count(calls.begin(), calls.end(), "query"));
    }

    std::mutex mutex;
    HResult accessResult = SOk;
    HResult startResult = SOk;
    HResult stopResult = SOk;
    std::function<void()> onStart;
    std::deque<ScriptedStatus> statuses;
    std::vector<std::string> calls;
    std::vector<std::u16string> names;

private:
    void Record(const char* call, const std::u16string& name) {
        std::lock_guard lock(mutex);
        calls.push_back(call);
        names.push_back(name);
    }
};

// Time passes only when the controller sleeps.
class FakeClock : public Clock {
public:
    std::uint64_t NowMs() override {
        std::lock_guard lock(mutex);
        return now;
    }
    void SleepMs(std::uint32_t ms) override {
        std::lock_guard lock(mutex);
        sleeps.push_back(ms);
        now += ms + extraPerSleep;
    }

    std::mutex mutex;
    std::uint64_t now = 5000;
    std::uint64_t extraPerSleep = 0;
    std::vector<std::uint32_t> sleeps;
};

class ServiceControllerTest : public ::testing::Test {
protected:
    FakeServiceManager manager;
    FakeClock clock;
    ServiceController controller{manager, clock};
};

TEST_F(ServiceControllerTest, QueryMapsEveryServiceStateAndFailure) {
    const std::pair<std::uint32_t, ServerState> cases[] = {
        {0, ServerState::NotResponding},
        {ServiceStopped, ServerState::Stopped},
        {ServiceStartPending, ServerState::ChangingState},
        {ServiceStopPending, ServerState::ChangingState},
        {ServiceRunning, ServerState::Running},
        {ServiceContinuePending, ServerState::ChangingState},
        {ServicePausePending, ServerState::ChangingState},
        {ServicePaused, ServerState::ChangingState},
        {8, ServerState::NotResponding},
        {0xFFFFFFFFu, ServerState::NotResponding},
    };
    for (const auto& [code, expected] : cases) {
        manager.statuses = {Status(code)};
        EXPECT_EQ(controller.QueryServerState(), expected) << "state code " << code;
    }
    EXPECT_EQ(manager.calls.front(), "access 16");
    EXPECT_EQ(manager.names.front(), u"Vantor");

    // A service that runs but may not be opened for starting, or whose status cannot be read.
    manager.statuses = {Status(ServiceRunning)};
    manager.accessResult = HResultFromError(ErrorServiceDoesNotExist);
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
    manager.accessResult = SOk;
    manager.statuses = {{HResultFromError(ErrorAccessDenied), Status(ServiceRunning).status}};
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
}

TEST_F(ServiceControllerTest, WaitEndsAtTheDeadlineAndOperationsGiveSFalse) {
    manager.statuses = {Status(ServiceStartPending)};
    EXPECT_FALSE(controller.WaitForServiceState(u"Vantor", ServiceRunning, 20000));
    // Polled once a second until the first query past the deadline.
    EXPECT_EQ(clock.now, 5000u + 21000u);
    EXPECT_EQ(manager.QueryCount(), 22);

    clock.now = 0;
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), SFalse);
    EXPECT_EQ(clock.now, 21000u);

    manager.statuses = {Status(ServiceStopPending)};
    clock.now = 0;
    EXPECT_EQ(controller.StopServerService(u"Vantor", 3000), SFalse);
    EXPECT_EQ(clock.now, 4000u);

    // No deadline: even a clock that leaps far past any 32-bit time-out keeps waiting.
    manager.statuses = {Status(ServiceStartPending, 1), Status(ServiceStartPending, 2),
                        Status(ServiceRunning)};
    clock.extraPerSleep = 0x100000000ull;
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, InfiniteTimeoutMs));
}

TEST_F(ServiceControllerTest, WaitFollowsTheCheckPoints) {
    // Reached at once: no sleep.
    manager.statuses = {Status(ServiceRunning)};
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, 0));
    EXPECT_TRUE(clock.sleeps.empty());

    // The same state with a check point going backwards gives up at once.
    manager.statuses = {Status(ServiceStartPending, 1), Status(ServiceStartPending, 3),
                        Status(ServiceStartPending, 3), Status(ServiceStartPending, 2),
                        Status(ServiceRunning)};
    EXPECT_FALSE(controller.WaitForServiceState(u"Vantor", ServiceRunning, InfiniteTimeoutMs));
    EXPECT_EQ(manager.statuses.size(), 1u);

    // A new state starts the check points afresh, even when they are lower than before.
    manager.statuses = {Status(ServiceStopPending, 7), Status(ServiceStartPending, 1),
                        Status(ServiceStartPending, 2), Status(ServiceRunning)};
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, InfiniteTimeoutMs));

    // A status that can no longer be read ends the wait.
    manager.statuses = {Status(ServiceStartPending), {EFail, {}}};
    EXPECT_FALSE(controller.WaitForServiceState(u"Vantor", ServiceRunning, InfiniteTimeoutMs));
}

TEST_F(ServiceControllerTest, SleepsATenthOfTheWaitHintWithinBounds) {
    EXPECT_EQ(StatusPollIntervalMs(0), 1000u);
    EXPECT_EQ(StatusPollIntervalMs(15000), 1500u);
    EXPECT_EQ(StatusPollIntervalMs(50000), 5000u);
    EXPECT_EQ(StatusPollIntervalMs(200000), 10000u);

    manager.statuses = {Status(ServiceStartPending, 1, 0), Status(ServiceStartPending, 2, 50000),
                        Status(ServiceStartPending, 3, 200000), Status(ServiceRunning)};
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, InfiniteTimeoutMs));
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1000, 5000, 10000}));
}

TEST_F(ServiceControllerTest, StartFailsOnARunningServiceAndStopIgnoresItsRefusal) {
    manager.statuses = {Status(ServiceStopped), Status(ServiceStartPending),
                        Status(ServiceRunning)};
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), SOk);
    EXPECT_EQ(manager.Calls(),
              (std::vector<std::string>{"access 20", "start", "query", "query", "query"}));

    const HResult alreadyRunning = HResultFromError(ErrorServiceAlreadyRunning);
    manager.calls.clear();
    manager.startResult = alreadyRunning;
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), alreadyRunning);
    EXPECT_EQ(manager.Calls(), (std::vector<std::string>{"access 20", "start"}));

    manager.calls.clear();
    manager.stopResult = EFail;
    manager.statuses = {Status(ServiceStopPending), Status(ServiceStopped)};
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), SOk);
    EXPECT_EQ(manager.Calls(), (std::vector<std::string>{"access 36", "stop", "query", "query"}));

    // A service that cannot be opened fails both before anything is sent to it.
    manager.calls.clear();
    manager.accessResult = HResultFromError(ErrorServiceDoesNotExist);
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), manager.accessResult);
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), manager.accessResult);
    EXPECT_EQ(manager.Calls(), (std::vector<std::string>{"access 20", "access 36"}));
}

struct CallbackRecord {
    std::mutex mutex;
    int calls = 0;
    std::u16string name;
    ServiceOperation operation{};
    HResult result = 0xDEADBEEF;
    std::thread::id thread;
};

ServiceCallback Recorder(CallbackRecord& record) {
    return [&record](const std::u16string& name, ServiceOperation operation, HResult result) {
        std::lock_guard lock(record.mutex);
        ++record.calls;
        record.name = name;
        record.operation = operation;
        record.result = result;
        record.thread = std::this_thread::get_id();
    };
}

TEST_F(ServiceControllerTest, OneWorkerAtATimeReportsOnceFromItsThread) {
    EXPECT_EQ(controller.CloseWaitMs(), 0u);
    EXPECT_TRUE(controller.WaitForWorker(0));

    ManualResetEvent gate(false);
    manager.onStart = [&gate] { gate.WaitFor(ManualResetEvent::Infinite); };
    manager.statuses = {Status(ServiceRunning)};
    CallbackRecord first;
    ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Start, ServiceOperationTimeoutMs,
                                               Recorder(first)),
              SOk);
    EXPECT_TRUE(controller.IsOperationRunning());
    EXPECT_EQ(controller.CloseWaitMs(), 80000u);

    CallbackRecord refused;
    EXPECT_EQ(controller.QueueServiceOperation(ServiceOperation::Stop, 1000, Recorder(refused)),
              ServiceWorkerBusy);
    EXPECT_FALSE(controller.WaitForWorker(20));
    EXPECT_EQ(controller.CloseWaitMs(), 80000u);

    gate.Set();
    ASSERT_TRUE(controller.WaitForWorker());
    EXPECT_FALSE(controller.IsOperationRunning());
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(first.name, u"Vantor");
    EXPECT_EQ(first.operation, ServiceOperation::Start);
    EXPECT_EQ(first.result, SOk);
    EXPECT_NE(first.thread, std::this_thread::get_id());
    EXPECT_EQ(refused.calls, 0);
    EXPECT_EQ(manager.Calls().size(), 3u);  // access, start, query: the refused stop never ran

    // The next operation runs once the first is over, and a second wait returns at once.
    manager.statuses = {Status(ServiceStopPending)};
    CallbackRecord second;
    ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Stop, 0, Recorder(second)), SOk);
    ASSERT_TRUE(controller.WaitForWorker(ManualResetEvent::Infinite));
    EXPECT_TRUE(controller.WaitForWorker(0));
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(second.operation, ServiceOperation::Stop);
    EXPECT_EQ(second.result, SFalse);

    EXPECT_EQ(controller.QueueServiceOperation(static_cast<ServiceOperation>(3), 0, nullptr),
              EInvalidArg);
}

TEST_F(ServiceControllerTest, WorkerSurvivesThrowingManagerAndCallback) {
    manager.onStart = [] { throw std::runtime_error("bus gone"); };
    CallbackRecord record;
    ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Start, 1000, Recorder(record)),
              SOk);
    ASSERT_TRUE(controller.WaitForWorker());
    EXPECT_EQ(record.result, EUnexpected);

    manager.onStart = nullptr;
    manager.statuses = {Status(ServiceRunning)};
    ASSERT_EQ(controller.QueueServiceOperation(
                  ServiceOperation::Start, 1000,
                  [](const std::u16string&, ServiceOperation, HResult) { throw 42; }),
              SOk);
    ASSERT_TRUE(controller.WaitForWorker());
    // The event was still set, so another operation may follow.
    EXPECT_EQ(controller.QueueServiceOperation(ServiceOperation::Stop, 0, nullptr), SOk);
    EXPECT_TRUE(controller.WaitForWorker());
}

TEST(ServiceControllerLifetime, DestructionWaitsForTheWorker) {
    FakeServiceManager manager;
    FakeClock clock;
    ManualResetEvent gate(false);
    manager.onStart = [&gate] { gate.WaitFor(ManualResetEvent::Infinite); };
    manager.statuses = {Status(ServiceRunning)};
    CallbackRecord record;
    std::thread opener;
    {
        ServiceController controller(manager, clock, u"Other");
        ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Start, 1000, Recorder(record)),
                  SOk);
        opener = std::thread([&gate] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            gate.Set();
        });
    }
    EXPECT_EQ(record.calls, 1);
    EXPECT_EQ(record.name, u"Other");
    opener.join();
}

TEST(ManualResetEvent, StaysSetUntilResetAndWakesWaiters) {
    ManualResetEvent event;
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.WaitFor(0));
    EXPECT_TRUE(event.WaitFor(0));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.WaitFor(10));

    std::thread setter([&event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.Set();
    });
    EXPECT_TRUE(event.WaitFor(ManualResetEvent::Infinite));
    setter.join();
    EXPECT_TRUE(event.IsSet());

    EXPECT_FALSE(ManualResetEvent(false).IsSet());
}

}  // namespace
}  // namespace vantor
