#pragma once

#include <string>

namespace vantor {

// Tests the custom logging component an administrator names in the server properties: it must
// exist and offer the logging interface the server defines for such components. Nothing is
// kept; the component is let go at once.
class LoggingComponentProbe {
public:
    virtual ~LoggingComponentProbe() = default;
    virtual bool CanCreate(const std::u16string& progId) = 0;
};

}  // namespace vantor
