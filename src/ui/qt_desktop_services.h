#pragma once

#include "platform/desktop_services.h"

namespace vantor {

// Hands pages and files to the desktop's own choice of program (QDesktopServices).
class QtDesktopServices : public DesktopServices {
public:
    bool OpenHelpPage(const std::string& path) override;
    bool OpenFile(const std::string& path) override;
};

}  // namespace vantor
