#include "platform/linux_systemd_service_manager.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include "platform/linux_clock.h"
#include "server/service_controller.h"

namespace vantor {
namespace {

TEST(LinuxSystemdServiceManager, UnreachableBusFailsEveryCall) {
    const QByteArray oldBus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent");
    LinuxSystemdServiceManager manager;
    const HResult unavailable = HResultFromError(ErrorServerUnavailable);
    EXPECT_EQ(manager.CheckAccess(u"Vantor", ServiceAccessStart), unavailable);
    ServiceStatus status{ServiceRunning, 3, 4};
    EXPECT_EQ(manager.QueryStatus(u"Vantor", status), unavailable);
    EXPECT_EQ(status.currentState, ServiceRunning);  // untouched
    EXPECT_EQ(manager.Start(u"Vantor"), unavailable);
    EXPECT_EQ(manager.Stop(u"Vantor"), unavailable);

    LinuxClock clock;
    ServiceController controller(manager, clock);
    EXPECT_EQ(controller.QueryServerState(), ServerState::NotResponding);
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), unavailable);
    oldBus.isNull() ? qunsetenv("DBUS_SYSTEM_BUS_ADDRESS")
                    : qputenv("DBUS_SYSTEM_BUS_ADDRESS", oldBus);

    const std::uint64_t before = clock.NowMs();
    clock.SleepMs(20);
    EXPECT_GE(clock.NowMs() - before, 20u);
}

}  // namespace
}  // namespace vantor
