#pragma once

#include <cstdint>
#include <string>

#include "platform/hresult.h"

namespace vantor {

// A service's status in the service-control vocabulary the controller's rules are written in.
struct ServiceStatus {
    std::uint32_t currentState = 0;
    // Grows while a long start or stop makes progress; a value going backwards means trouble.
    std::uint32_t checkPoint = 0;
    // How long, in milliseconds, the service expects its pending change to take.
    std::uint32_t waitHint = 0;
};

// Values of ServiceStatus::currentState.
inline constexpr std::uint32_t ServiceStopped = 1;
inline constexpr std::uint32_t ServiceStartPending = 2;
inline constexpr std::uint32_t ServiceStopPending = 3;
inline constexpr std::uint32_t ServiceRunning = 4;
inline constexpr std::uint32_t ServiceContinuePending = 5;
inline constexpr std::uint32_t ServicePausePending = 6;
inline constexpr std::uint32_t ServicePaused = 7;

// Access rights asked for when a service is opened; an implementation may treat them alike.
inline constexpr std::uint32_t ServiceAccessQueryStatus = 0x4;
inline constexpr std::uint32_t ServiceAccessStart = 0x10;
inline constexpr std::uint32_t ServiceAccessStop = 0x20;

// Error numbers the implementations report through HResultFromError.
inline constexpr int ErrorAccessDenied = 5;
inline constexpr int ErrorServiceAlreadyRunning = 1056;
inline constexpr int ErrorServiceDisabled = 1058;
inline constexpr int ErrorServiceDoesNotExist = 1060;
inline constexpr int ErrorTimeout = 1460;
inline constexpr int ErrorServerUnavailable = 1722;

// The operating system's service manager. Every operation opens what it needs and closes it
// again, so nothing stays open between calls. The controller calls it from the user-interface
// thread and from its worker thread at the same time, so implementations must allow that.
class ServiceManager {
public:
    virtual ~ServiceManager() = default;

    // Opens the manager and the service with the access rights and closes them again: S_OK when
    // the service exists and may be opened so.
    virtual HResult CheckAccess(const std::u16string& name, std::uint32_t access) = 0;
    virtual HResult QueryStatus(const std::u16string& name, ServiceStatus& status) = 0;
    // Asks the service to start; a service that already runs is refused with
    // HResultFromError(ErrorServiceAlreadyRunning). Does not wait for it.
    virtual HResult Start(const std::u16string& name) = 0;
    // Asks the service to stop. Does not wait for it.
    virtual HResult Stop(const std::u16string& name) = 0;
};

}  // namespace vantor
