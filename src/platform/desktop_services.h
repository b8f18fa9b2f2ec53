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
    // Starts a window of this program for the server of host ([USER@]HOST[:PORT]), as a
    // program of its own; false when it could not be started.
    virtual bool OpenServerWindow(const std::string& host) = 0;
};

}  // namespace vantor
