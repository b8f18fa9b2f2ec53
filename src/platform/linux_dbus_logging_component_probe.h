#pragma once

#include "platform/automation_bus.h"
#include "platform/logging_component_probe.h"

namespace vantor {

// A custom logging component on Linux is a D-Bus service: the ProgID is its well-known bus name
// on the system bus. It passes when the name can be reached and its object at "/" says, when
// introspected, that it implements bus::LoggingInterface. A text that is not a valid bus name
// fails without a call. Each call waits at most callTimeoutMs.
class LinuxDbusLoggingComponentProbe final : public LoggingComponentProbe {
public:
    explicit LinuxDbusLoggingComponentProbe(int callTimeoutMs = bus::CallTimeoutMs);

    bool CanCreate(const std::u16string& progId) override;

private:
    int callTimeoutMs_;
};

}  // namespace vantor
