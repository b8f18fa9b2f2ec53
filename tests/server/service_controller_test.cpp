#include "server/service_controller.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

using namespace vantor;
namespace {

// A scripted state that makes the status query fail.
constexpr std::uint32_t Unreadable = 999;
using Calls = std::vector<std::string>;

// Answers each QueryStatus with the next scripted status, repeating the last one; records calls
// and checks that each names the service. Only touched by one thread at a time: the tests read it
// after WaitForWorker, which orders the worker's writes before the reads.
struct FakeServiceManager : ServiceManager {
    HResult CheckAccess(const std::u16string& name, std::uint32_t access) override {
        return Record("access " + std::to_string(access), name, accessResult);
    }
    HResult QueryStatus(const std::u16string& name, ServiceStatus& status) override {
        status = statuses.empty() ? ServiceStatus{Unreadable} : statuses.front();
        if (statuses.size() > 1) {
            statuses.pop_front();
        }
        return Record("query", name, status.currentState == Unreadable ? EFail : SOk);
    }
    HResult Start(const std::u16string& name) override {
        onStart();
        return Record("start", name, startResult);
    }
    HResult Stop(const std::u16string& name) override { return Record("stop", name, stopResult); }
    Calls Take() { return std::exchange(calls, {}); }
    HResult Record(std::string call, const std::u16string& name, HResult result) {
        EXPECT_EQ(name, serviceName) << call;
        calls.push_back(std::move(call));
        return result;
    }

    std::u16string serviceName = u"Vantor";
    HResult accessResult = SOk, startResult = SOk, stopResult = SOk;
    std::function<void()> onStart = [] {};
    std::deque<ServiceStatus> statuses;
    Calls calls;
};

// Time passes only when the controller sleeps.
struct FakeClock : Clock {
    std::uint64_t NowMs() override { return now; }
    void SleepMs(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms + extraPerSleep;
    }
    std::uint64_t now = 5000, extraPerSleep = 0;
    std::vector<std::uint32_t> sleeps;
};

// Records each callback as "name operation result", with " caller" added when it ran on the
// calling thread rather than the worker's.
ServiceCallback Recorder(Calls& reports) {
    return [&reports, caller = std::this_thread::get_id()](
               const std::u16string& name, ServiceOperation operation, HResult result) {
        reports.push_back(std::string(name.begin(), name.end()) + " " +
                          std::to_string(static_cast<int>(operation)) + " " +
                          std::to_string(result) +
                          (std::this_thread::get_id() == caller ? " caller" : ""));
    };
}

struct ServiceControllerTest : ::testing::Test {
    FakeServiceManager manager;
    FakeClock clock;
    ManualResetEvent gate{false};
    ServiceController controller{manager, clock};
};

constexpr ServiceOperation kStart = ServiceOperation::Start, kStop = ServiceOperation::Stop;

TEST_F(ServiceControllerTest, QueryMapsEveryServiceStateAndFailure) {
    constexpr auto No = ServerState::NotResponding, Stopped = ServerState::Stopped,
                   Changing = ServerState::ChangingState, Running = ServerState::Running;
    // By service state code: 1 stopped, 2/3 start/stop pending, 4 running, 5-7 continue pending,
    // pause pending, paused; anything else, or an unreadable status, does not respond.
    using Row = std::pair<std::uint32_t, ServerState>;
    for (auto [code, expected] : {Row{1, Stopped}, Row{2, Changing}, Row{4, Running},
                                  Row{7, Changing}, Row{8, No}, Row{Unreadable, No}}) {
        manager.statuses = {{code}};
        EXPECT_EQ(controller.QueryServerState(), expected) << "state code " << code;
    }
    EXPECT_EQ(manager.calls.front(), "access 16");
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
    EXPECT_EQ(manager.Take().size(), 2u + 22u);
    clock.sleeps.clear();
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
    manager.statuses = {{ServiceStartPending}, {ServiceRunning}};
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), SOk);
    EXPECT_EQ(manager.Take(), (Calls{"access 20", "start", "query", "query"}));
    manager.startResult = HResultFromError(ErrorServiceAlreadyRunning);
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), manager.startResult);
    EXPECT_EQ(manager.Take(), (Calls{"access 20", "start"}));
    manager.stopResult = EFail;
    manager.statuses = {{ServiceStopPending}, {ServiceStopped}};
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), SOk);
    EXPECT_EQ(manager.Take(), (Calls{"access 36", "stop", "query", "query"}));
    // A service that cannot be opened fails both before anything is sent to it.
    manager.accessResult = HResultFromError(ErrorServiceDoesNotExist);
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), manager.accessResult);
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), manager.accessResult);
    EXPECT_EQ(manager.Take(), (Calls{"access 20", "access 36"}));
}

TEST_F(ServiceControllerTest, OneWorkerAtATimeReportsOnceFromItsThreadAndClosingWaitsForIt) {
    EXPECT_TRUE(controller.CloseWaitMs() == 0 && controller.WaitForWorker(0));
    manager.onStart = [this] { gate.WaitFor(ManualResetEvent::Infinite); };  // until the gate opens
    manager.statuses = {{ServiceRunning}};
    Calls reports, refused;
    ASSERT_EQ(controller.QueueServiceOperation(kStart, 20000, Recorder(reports)), SOk);
    EXPECT_TRUE(controller.IsOperationRunning());
    EXPECT_EQ(controller.QueueServiceOperation(kStop, 1000, Recorder(refused)), ServiceWorkerBusy);
    EXPECT_FALSE(controller.WaitForWorker(20));
    EXPECT_EQ(controller.CloseWaitMs(), 80000u);  // still the running start's
    gate.Set();
    ASSERT_TRUE(controller.WaitForWorker());
    EXPECT_FALSE(controller.IsOperationRunning());
    EXPECT_EQ(std::pair(reports, refused), std::pair(Calls{"Vantor 1 0"}, Calls{}));
    EXPECT_EQ(manager.Take().size(), 3u);  // access, start, query: the refused stop never ran
    // The next operation runs once the first is over, and a second wait returns at once.
    manager.statuses = {{ServiceStopPending}};
    ASSERT_EQ(controller.QueueServiceOperation(kStop, 0, Recorder(reports)), SOk);
    ASSERT_TRUE(controller.WaitForWorker(ManualResetEvent::Infinite));
    EXPECT_TRUE(controller.WaitForWorker(0));
    EXPECT_EQ(reports, (Calls{"Vantor 1 0", "Vantor 2 1"}));
    // The wait returns only once the worker has let go of its callback and what it holds, even
    // when releasing that takes a while.
    struct SlowRelease {
        std::atomic<bool>& released;
        ~SlowRelease() {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            released = true;
        }
    };
    std::atomic<bool> released = false;
    auto held = std::make_shared<SlowRelease>(released);
    ASSERT_EQ(controller.QueueServiceOperation(kStop, 0, [held = std::move(held)](auto&&...) {}),
              SOk);
    ASSERT_TRUE(controller.WaitForWorker(ManualResetEvent::Infinite));
    EXPECT_TRUE(released);
    // Queued again with no wait in between: the ended worker's thread is joined first.
    ASSERT_EQ(controller.QueueServiceOperation(kStop, 0, Recorder(reports)), SOk);
    while (controller.IsOperationRunning()) {
        std::this_thread::yield();
    }
    ASSERT_EQ(controller.QueueServiceOperation(kStop, 0, Recorder(reports)), SOk);
    ASSERT_TRUE(controller.WaitForWorker(5000));
    EXPECT_EQ(reports.size(), 4u);
    // A throwing manager gives E_UNEXPECTED; a throwing callback still frees the worker.
    manager.onStart = [] { throw std::runtime_error("bus gone"); };
    ASSERT_EQ(controller.QueueServiceOperation(kStart, 1, Recorder(reports)), SOk);
    ASSERT_TRUE(controller.WaitForWorker(5000));
    EXPECT_EQ(reports.back(), "Vantor 1 " + std::to_string(EUnexpected));
    ASSERT_EQ(controller.QueueServiceOperation(kStop, 0, [](auto&&...) { throw 42; }), SOk);
    ASSERT_TRUE(controller.WaitForWorker(5000));
    // Closing waits for a running worker.
    manager.onStart = [this] { gate.WaitFor(ManualResetEvent::Infinite); };
    manager.serviceName = u"Other";
    gate.Reset();
    {
        // Declared first, so it opens the gate while the controller is being destroyed.
        std::jthread opener([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            gate.Set();
        });
        ServiceController other(manager, clock, u"Other");
        ASSERT_EQ(other.QueueServiceOperation(kStart, 1000, Recorder(reports)), SOk);
    }
    EXPECT_EQ(reports.back(), "Other 1 " + std::to_string(SFalse));
}

}  // namespace
