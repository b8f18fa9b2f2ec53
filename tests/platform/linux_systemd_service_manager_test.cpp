#include "platform/linux_systemd_service_manager.h"

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/linux_clock.h"
#include "server/service_controller.h"

namespace vantor {
namespace {

class ScopedSystemBus {
public:
    explicit ScopedSystemBus(const char* address) {
        if (const char* old = std::getenv(Name)) {
            old_ = old;
        }
        setenv(Name, address, 1);
    }
    ~ScopedSystemBus() {
        if (old_) {
            setenv(Name, old_->c_str(), 1);
        } else {
            unsetenv(Name);
        }
    }

private:
    static constexpr const char* Name = "DBUS_SYSTEM_BUS_ADDRESS";
    std::optional<std::string> old_;
};

TEST(LinuxSystemdServiceManager, UnreachableBusFailsEveryCall) {
    ScopedSystemBus bus("unix:path=/nonexistent");
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
    EXPECT_EQ(controller.StartServerService(u"Vantor", 20000), unavailable);
    EXPECT_EQ(controller.StopServerService(u"Vantor", 20000), unavailable);
}

TEST(LinuxClock, SleepsAtLeastAsLongAsAsked) {
    LinuxClock clock;
    const std::uint64_t before = clock.NowMs();
    clock.SleepMs(20);
    EXPECT_GE(clock.NowMs() - before, 20u);
}

}  // namespace
}  // namespace vantor
