// The service controller with the systemd client against vantor-sim's systemd: a missing unit
// or systemd, and polkit's answers.

#include <atomic>

#include <QDBusMessage>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "platform/automation_bus.h"
#include "platform/linux_clock.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_system_bus.h"
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

TEST_F(ServiceControl, NoUnitOrNoSystemdGivesNotResponding) {
    ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    // ExecStart names the server's program first.
    EXPECT_EQ(LinuxInstallationEnvironment().ReadServiceImagePath("Vantor"),
              QFileInfo(VANTOR_SIM_PATH).canonicalFilePath().toStdString());
    // A service systemd does not know.
    ServiceController other(manager, clock, u"Other");
    EXPECT_EQ(other.QueryServerState(), ServerState::NotResponding);

    // The server's own unit gone missing: a stop fails without reaching systemd.
    EXPECT_EQ(controller.QueryServerState(), ServerState::Running);
    Control(sim::control::SetUnitMissing, {true});
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
    EXPECT_TRUE(Failed(RunOnWorker(ServiceOperation::Stop, 2000)));
    EXPECT_EQ(CountCalls(StopCall), 0);

    // systemd itself gone from the bus.
    Control(sim::control::SetUnitMissing, {false});
    EXPECT_EQ(controller.QueryServerState(), ServerState::Running);
    Control(sim::control::SetUnreachable, {QString::fromLatin1(bus::SystemdName), true});
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
}

// polkit's answers, as systemd on a real system bus relays them: the tool lets the user be asked,
// and a refusal is a failed start or stop that leaves the state as it is.
TEST_F(ServiceControl, StartAndStopGoThroughPolkitAndARefusalLeavesTheStateAsItIs) {
    ASSERT_TRUE(StartSim());
    const HResult refused = HResultFromError(ErrorAccessDenied);
    // A caller that does not allow the prompt is turned away; the tool allows it.
    Control(sim::control::SetAuthorization, {QStringLiteral("prompt")});
    QDBusMessage plain = QDBusMessage::createMethodCall(bus::SystemdName, bus::SystemdPath,
                                                        bus::SystemdManagerInterface, "StartUnit");
    plain.setArguments({QStringLiteral("Vantor.service"), QStringLiteral("replace")});
    EXPECT_EQ(ConnectSystemBus("polkit_test").call(plain).errorName(),
              "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired");
    EXPECT_EQ(RunOnWorker(ServiceOperation::Start, ServiceOperationTimeoutMs), SOk);
    EXPECT_EQ(controller.QueryServerState(), ServerState::Running);

    struct Case {
        const char* authorization;
        ServiceOperation operation;
        HResult result;  // a refused stop is not checked: its wait runs out instead
        ServerState after;
    };
    const Case cases[] = {
        {"denied", ServiceOperation::Stop, SFalse, ServerState::Running},
        {"prompt", ServiceOperation::Stop, SOk, ServerState::Stopped},
        {"denied", ServiceOperation::Start, refused, ServerState::Stopped},
    };
    for (const Case& c : cases) {
        Control(sim::control::SetAuthorization, {QString::fromLatin1(c.authorization)});
        EXPECT_EQ(RunOnWorker(c.operation, 1500), c.result) << c.authorization;
        // The state query itself never needs authorization.
        EXPECT_EQ(controller.QueryServerState(), c.after) << c.authorization;
    }
    EXPECT_EQ(CountCalls(StartCall), 3);  // the plain call too
    EXPECT_EQ(CountCalls(StopCall), 2);
}

}  // namespace
}  // namespace vantor::integration
