#include "server/service_controller.h"

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "server/manual_reset_event.h"

namespace vantor {
namespace {

// A scripted state that makes the status query fail.
constexpr std::uint32_t Unreadable = 999;

// Answers each QueryStatus with the next scripted status, repeating the last one; records calls.
class FakeServiceManager : public ServiceManager {
public:
    HResult CheckAccess(const std::u16string& name, std::uint32_t access) override {
        return Record("access " + std::to_string(access), name, accessResult);
    }
    HResult QueryStatus(const std::u16string& name, ServiceStatus& status) override {
        Record("query", name, SOk);
        std::lock_guard lock(mutex);
        status = statuses.empty() ? ServiceStatus{Unreadable} : statuses.front();
        if (statuses.size() > 1) {
            statuses.pop_front();
        }
        return status.currentState == Unreadable ? EFail : SOk;
    }
    HResult Start(const std::u16string& name) override {
        Record("start", name, SOk);
        if (onStart) {
            onStart();
        }
        return startResult;
    }
    HResult Stop(const std::u16string& name) override { return Record("stop", name, stopResult); }
    // The calls so far, forgetting them.
    std::vector<std::string> TakeCalls() {
        std::lock_guard lock(mutex);
        return std::exchange(calls, {});
    }

    std::mutex mutex;
    HResult accessResult = SOk, startResult = SOk, stopResult = SOk;
    std::function<void()> onStart;
    std::deque<ServiceStatus> statuses;
    std::vector<std::string> calls;
    std::u16string lastName;

private:
    HResult Record(std::string call, const std::u16string& name, HResult result) {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
        lastName = name;
        return result;
    }
};

// Time passes only when the controller sleeps.
class FakeClock : public Clock {
public:
    std::uint64_t NowMs() override { return now; }
    void SleepMs(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms + extraPerSleep;
    }
    std::uint64_t now = 5000, extraPerSleep = 0;
    std::vector<std::uint32_t> sleeps;
};

class ServiceControllerTest : public ::testing::Test {
protected:
    FakeServiceManager manager;
    FakeClock clock;
    ServiceController controller{manager, clock};
};

TEST_F(ServiceControllerTest, QueryMapsEveryServiceStateAndFailure) {
    constexpr auto No = ServerState::NotResponding, Stopped = ServerState::Stopped,
                   Changing = ServerState::ChangingState, Running = ServerState::Running;
    // By service state code: 1 stopped, 2/3 start/stop pending, 4 running, 5-7 continue pending,
    // pause pending, paused; anything else, or an unreadable status, does not respond.
    const ServerState expected[] = {No,       Stopped,  Changing, Changing, Running,
                                    Changing, Changing, Changing, No};
    for (std::uint32_t code = 0; code < std::size(expected); ++code) {
        manager.statuses = {{code}};
        EXPECT_EQ(controller.QueryServerState(), expected[code]) << "state code " << code;
    }
    for (std::uint32_t code : {0xFFFFFFFFu, Unreadable}) {
        manager.statuses = {{code}};
        EXPECT_EQ(controller.QueryServerState(), No) << "state code " << code;
    }
    EXPECT_EQ(manager.TakeCalls().front(), "access 16");
    EXPECT_EQ(manager.lastName, u"Vantor");

    // A running service that may not be opened for starting does not respond either.
    manager.statuses = {{ServiceRunning}};
    manager.accessResult = HResultFromError(ErrorServiceDoesNotExist);
    EXPECT_EQ(controller.QueryServerState(), No);
}

TEST_F(ServiceControllerTest, WaitKeepsItsDeadlineAndNeedsProgress) {
    constexpr std::uint32_t Pending = ServiceStartPending, Forever = InfiniteTimeoutMs;
    manager.statuses = {{Pending}};
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), SFalse);
    // Polled once a second until the first query past the deadline.
    EXPECT_EQ(clock.now, 5000u + 21000u);
    EXPECT_EQ(manager.TakeCalls().size(), 2u + 22u);
    manager.statuses = {{ServiceStopPending}};
    clock.now = 0;
    EXPECT_EQ(controller.StopServerService(u"Vantor", 3000), SFalse);
    EXPECT_EQ(clock.now, 4000u);

    // Reached at once: no sleep.
    clock.sleeps.clear();
    manager.statuses = {{ServiceRunning}};
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, 0));
    EXPECT_TRUE(clock.sleeps.empty());

    // A tenth of the wait hint, within 1 and 10 seconds; a new state starts the check points
    // afresh, even lower than before.
    manager.statuses = {
        {ServiceStopPending, 7, 0}, {Pending, 1, 50000}, {Pending, 2, 200000}, {ServiceRunning}};
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, Forever));
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{1000, 5000, 10000}));

    // The same state with a check point going backwards gives up at once.
    manager.statuses = {{Pending, 1}, {Pending, 3}, {Pending, 3}, {Pending, 2}, {ServiceRunning}};
    EXPECT_FALSE(controller.WaitForServiceState(u"Vantor", ServiceRunning, Forever));
    EXPECT_EQ(manager.statuses.size(), 1u);

    // A status that can no longer be read ends the wait.
    manager.statuses = {{Pending}, {Unreadable}};
    EXPECT_FALSE(controller.WaitForServiceState(u"Vantor", ServiceRunning, Forever));

    // No deadline: even a clock that leaps far past any 32-bit time-out keeps waiting.
    manager.statuses = {{Pending, 1}, {Pending, 2}, {ServiceRunning}};
    clock.extraPerSleep = 0x100000000ull;
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceRunning, Forever));
}

TEST_F(ServiceControllerTest, StartFailsOnARunningServiceAndStopIgnoresItsRefusal) {
    using Calls = std::vector<std::string>;
    manager.statuses = {{ServiceStartPending}, {ServiceRunning}};
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), SOk);
    EXPECT_EQ(manager.TakeCalls(), (Calls{"access 20", "start", "query", "query"}));

    manager.startResult = HResultFromError(ErrorServiceAlreadyRunning);
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), manager.startResult);
    EXPECT_EQ(manager.TakeCalls(), (Calls{"access 20", "start"}));

    manager.stopResult = EFail;
    manager.statuses = {{ServiceStopPending}, {ServiceStopped}};
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), SOk);
    EXPECT_EQ(manager.TakeCalls(), (Calls{"access 36", "stop", "query", "query"}));

    // A service that cannot be opened fails both before anything is sent to it.
    manager.accessResult = HResultFromError(ErrorServiceDoesNotExist);
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), manager.accessResult);
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), manager.accessResult);
    EXPECT_EQ(manager.TakeCalls(), (Calls{"access 20", "access 36"}));
}

// Each callback as "name operation result", and whether it ran off the calling thread. Only read
// after WaitForWorker, which orders the worker's writes before the reads.
struct Reports {
    std::vector<std::string> texts;
    bool offCaller = true;
    ServiceCallback Recorder() {
        return [this, caller = std::this_thread::get_id()](
                   const std::u16string& name, ServiceOperation operation, HResult result) {
            texts.push_back(std::string(name.begin(), name.end()) + " " +
                            std::to_string(static_cast<int>(operation)) + " " +
                            std::to_string(result));
            offCaller = offCaller && std::this_thread::get_id() != caller;
        };
    }
};
using Texts = std::vector<std::string>;

TEST_F(ServiceControllerTest, OneWorkerAtATimeReportsOnceFromItsThread) {
    EXPECT_EQ(controller.CloseWaitMs(), 0u);
    EXPECT_TRUE(controller.WaitForWorker(0));

    ManualResetEvent gate(false);
    manager.onStart = [&gate] { gate.WaitFor(ManualResetEvent::Infinite); };
    manager.statuses = {{ServiceRunning}};
    Reports reports, refused;
    ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Start, ServiceOperationTimeoutMs,
                                               reports.Recorder()),
              SOk);
    EXPECT_TRUE(controller.IsOperationRunning());
    EXPECT_EQ(controller.QueueServiceOperation(ServiceOperation::Stop, 1000, refused.Recorder()),
              ServiceWorkerBusy);
    EXPECT_FALSE(controller.WaitForWorker(20));
    EXPECT_EQ(controller.CloseWaitMs(), 80000u);  // still the running start's

    gate.Set();
    ASSERT_TRUE(controller.WaitForWorker());
    EXPECT_FALSE(controller.IsOperationRunning());
    EXPECT_EQ(reports.texts, Texts{"Vantor 1 0"});
    EXPECT_TRUE(reports.offCaller);
    EXPECT_TRUE(refused.texts.empty());
    EXPECT_EQ(manager.TakeCalls().size(), 3u);  // access, start, query: the refused stop never ran

    // The next operation runs once the first is over, and a second wait returns at once.
    manager.statuses = {{ServiceStopPending}};
    ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Stop, 0, reports.Recorder()), SOk);
    ASSERT_TRUE(controller.WaitForWorker(ManualResetEvent::Infinite));
    EXPECT_TRUE(controller.WaitForWorker(0));
    EXPECT_EQ(reports.texts, (Texts{"Vantor 1 0", "Vantor 2 1"}));
    EXPECT_EQ(controller.QueueServiceOperation(static_cast<ServiceOperation>(3), 0, nullptr),
              EInvalidArg);

    // A throwing manager gives E_UNEXPECTED; a throwing callback still frees the worker.
    manager.onStart = [] { throw std::runtime_error("bus gone"); };
    ASSERT_EQ(controller.QueueServiceOperation(ServiceOperation::Start, 1, reports.Recorder()),
              SOk);
    ASSERT_TRUE(controller.WaitForWorker(5000));
    EXPECT_EQ(reports.texts.back(), "Vantor 1 " + std::to_string(EUnexpected));
    ASSERT_EQ(controller.QueueServiceOperation(
                  ServiceOperation::Stop, 0,
                  [](const std::u16string&, ServiceOperation, HResult) { throw 42; }),
              SOk);
    ASSERT_TRUE(controller.WaitForWorker(5000));
    EXPECT_EQ(controller.QueueServiceOperation(ServiceOperation::Stop, 0, nullptr), SOk);
    EXPECT_TRUE(controller.WaitForWorker(5000));
}

TEST(ServiceControllerLifetime, DestructionWaitsForTheWorker) {
    FakeServiceManager manager;
    FakeClock clock;
    ManualResetEvent gate(false);
    manager.onStart = [&gate] { gate.WaitFor(ManualResetEvent::Infinite); };
    manager.statuses = {{ServiceRunning}};
    Reports reports;
    std::thread opener;
    {
        ServiceController controller(manager, clock, u"Other");
        ASSERT_EQ(
            controller.QueueServiceOperation(ServiceOperation::Start, 1000, reports.Recorder()),
            SOk);
        opener = std::thread([&gate] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            gate.Set();
        });
    }
    EXPECT_EQ(reports.texts, Texts{"Other 1 0"});
    opener.join();
}

}  // namespace
}  // namespace vantor
