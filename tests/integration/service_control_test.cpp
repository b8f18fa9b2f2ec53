// The service controller with the systemd client against vantor-sim's systemd.

#include <atomic>
#include <chrono>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/service_commands.h"
#include "platform/automation_bus.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_systemd_service_manager.h"
#include "server/service_controller.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

const QString StartCall = "org.freedesktop.systemd1.Manager.StartUnit Vantor.service replace";
const QString StopCall = "org.freedesktop.systemd1.Manager.StopUnit Vantor.service replace";

class ServiceControl : public SimTest {
protected:
    // Queues the operation as the main window does; the result its worker reported, once.
    HResult RunOnWorker(ServiceOperation operation, std::uint32_t timeoutMs) {
        std::atomic<HResult> result{EUnexpected};
        std::atomic<int> callbacks{0};
        EXPECT_EQ(controller.QueueServiceOperation(
                      operation, timeoutMs,
                      [&](const std::u16string& name, ServiceOperation reported, HResult hr) {
                          EXPECT_EQ(name, u"Vantor");
                          EXPECT_EQ(reported, operation);
                          result = hr;
                          ++callbacks;
                      }),
                  SOk);
        EXPECT_TRUE(controller.WaitForWorker(InfiniteTimeoutMs));
        EXPECT_EQ(callbacks.load(), 1);
        return result.load();
    }

    LinuxSystemdServiceManager manager;
    LinuxClock clock;
    ServiceController controller{manager, clock};
};

TEST_F(ServiceControl, StartAndStopReachRunningAndStopped) {
    ASSERT_TRUE(StartSim());
    LinuxDbusAutomationFactory automation;
    EXPECT_EQ(controller.QueryServerState(), ServerState::Stopped);
    EXPECT_EQ(automation.CreateVtrConfig(), nullptr);

    EXPECT_EQ(RunOnWorker(ServiceOperation::Start, ServiceOperationTimeoutMs), SOk);
    EXPECT_EQ(controller.QueryServerState(), ServerState::Running);
    EXPECT_NE(automation.CreateVtrConfig(), nullptr);  // the running server's objects exist

    EXPECT_EQ(RunOnWorker(ServiceOperation::Stop, ServiceOperationTimeoutMs), SOk);
    EXPECT_EQ(controller.QueryServerState(), ServerState::Stopped);
    EXPECT_EQ(automation.CreateVtrConfig(), nullptr);
    EXPECT_EQ(CountCalls(StartCall), 1);
    EXPECT_EQ(CountCalls(StopCall), 1);
}

TEST_F(ServiceControl, StopThatNeverFinishesGivesSFalseAfterTheTimeout) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running"), QStringLiteral("--stop-hangs")}));
    constexpr std::uint32_t timeoutMs = 3000;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(RunOnWorker(ServiceOperation::Stop, timeoutMs), SFalse);
    const auto elapsed = std::chrono::steady_clock::now() - before;
    EXPECT_GE(elapsed, std::chrono::milliseconds(timeoutMs));
    // One more status poll at most, plus the bus calls: a safety bound, not a measurement.
    EXPECT_LT(elapsed,
              std::chrono::milliseconds(timeoutMs + MinStatusPollMs + 2 * bus::CallTimeoutMs));

    // Still on its way down, as the state pane then shows it.
    std::ostringstream out;
    EXPECT_EQ(RunStatus(controller, out), 0);
    EXPECT_EQ(out.str(), "Media Server is changing state\n");
    // Once the server gets going again the stop completes.
    Control(sim::control::SetStopHangs, {false});
    EXPECT_TRUE(controller.WaitForServiceState(u"Vantor", ServiceStopped, 5000));
}

TEST_F(ServiceControl, NoUnitOrNoSystemdGivesNotResponding) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    // A service systemd does not know.
    ServiceController other(manager, clock, u"Other");
    EXPECT_EQ(other.QueryServerState(), ServerState::NotResponding);

    // The server's own unit gone missing: a stop fails without reaching systemd.
    EXPECT_EQ(controller.QueryServerState(), ServerState::Running);
    Control(sim::control::SetUnitMissing, {true});
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
    std::ostringstream out, err;
    EXPECT_EQ(RunServiceOperation(controller, ServiceOperation::Stop, 2000, out, err), 1);
    EXPECT_EQ(out.str(), "Media Server is stopping\nMedia Server does not respond\n");
    EXPECT_NE(err.str().find("stop failed"), std::string::npos) << err.str();
    EXPECT_EQ(CountCalls(StopCall), 0);

    // systemd itself gone from the bus.
    Control(sim::control::SetUnitMissing, {false});
    EXPECT_EQ(controller.QueryServerState(), ServerState::Running);
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::SystemdName), true});
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
}

}  // namespace
}  // namespace vantor::integration
