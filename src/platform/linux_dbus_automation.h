#pragma once

#include <memory>

#include "platform/automation_bus.h"
#include "server/automation.h"

namespace vantor {

// The media server's automation objects on the system bus (DBUS_SYSTEM_BUS_ADDRESS when set), as
// automation_bus.h lays them out.
//
// An object is created exactly when its well-known name has an owner or is activatable; creating
// one costs at most two calls to the bus itself. Each call then waits at most callTimeoutMs. A call
// that fails or times out returns a failure code (see linux_dbus_automation_call.h: time-out
// 0x800705B4, server gone 0x800706BA, malformed reply E_UNEXPECTED, other errors E_FAIL) with
// every out-value empty, false or 0; otherwise the server's own result code and values.
//
// Objects block the calling thread, from any thread, so they may be used on the user-interface
// thread: the time-out bounds the wait. A QCoreApplication must exist while they are used.
class LinuxDbusAutomationFactory final : public AutomationFactory {
public:
    explicit LinuxDbusAutomationFactory(int callTimeoutMs = bus::CallTimeoutMs);

    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override;
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override;
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override;
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override;
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override;

private:
    int callTimeoutMs_;
};

}  // namespace vantor
