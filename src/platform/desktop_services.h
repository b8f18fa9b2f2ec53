#pragma once

#include <string>

namespace vantor {

// Hands documents to the programs the user has chosen for them. Paths are UTF-8.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    // Shows a local help page in the user's web browser; false when no program took it.
    virtual bool OpenHelpPage(const std::string& path) = 0;
    // Opens a local file with the user's program for its type; false when none took it.
    virtual bool OpenFile(const std::string& path) = 0;
};

}  // namespace vantor
