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
    EXPECT_EQ(ServiceController(manager, clock).QueryServerState(), ServerState::NotResponding);
    oldBus.isNull() ? qunsetenv("DBUS_SYSTEM_BUS_ADDRESS")
                    : qputenv("DBUS_SYSTEM_BUS_ADDRESS", oldBus);
}

}  // namespace
}  // namespace vantor
