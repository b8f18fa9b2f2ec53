#pragma once

#include <cstdint>
#include <string>

#include "platform/automation_bus.h"
#include "platform/hresult.h"
#include "platform/service_manager.h"

namespace vantor {

// The service manager as systemd on the system bus (DBUS_SYSTEM_BUS_ADDRESS when set) sees it:
// the service "<name>" is the unit "<name>.service".
//
// Every call blocks for at most the call time-out (a start or stop for at most a minute, time for
// a password prompt), from any thread, so the controller's worker
// thread may use it as well as the user-interface thread. Qt's D-Bus support expects a
// QCoreApplication (or QApplication) to exist in the process before the first call and for as
// long as calls are made; no event loop needs to run on the calling thread.
//
// A bus that cannot be reached, a unit systemd does not know and a refused call all end in a
// failure code: never a hang beyond the time-out.
class LinuxSystemdServiceManager final : public ServiceManager {
public:
    explicit LinuxSystemdServiceManager(int callTimeoutMs = bus::CallTimeoutMs);

    // Succeeds when systemd loads the unit and its LoadState is "loaded"; the access rights are
    // not checked here (a refused start or stop fails that call instead).
    HResult CheckAccess(const std::u16string& name, std::uint32_t access) override;
    // ActiveState "active" is ServiceRunning, "inactive" and "failed" ServiceStopped,
    // "activating" ServiceStartPending, "deactivating" ServiceStopPending, "reloading"
    // ServiceContinuePending, anything else 0. No check points or wait hints.
    HResult QueryStatus(const std::u16string& name, ServiceStatus& status) override;
    // StartUnit(unit, "replace") unless the unit is already active (or reloading). Start and stop
    // allow interactive authorization, so polkit may ask the desktop user for a password; a
    // refusal (access denied, authorization cancelled or required) is ErrorAccessDenied.
    HResult Start(const std::u16string& name) override;
    // StopUnit(unit, "replace").
    HResult Stop(const std::u16string& name) override;

private:
    int callTimeoutMs_;
};

}  // namespace vantor
