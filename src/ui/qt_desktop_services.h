#pragma once

#include <string>

#include <QUrl>

#include "platform/desktop_services.h"

namespace vantor {

// The file: URL of a local path given as bytes, which need not be UTF-8.
QUrl LocalFileUrl(const std::string& path);

// Hands pages and files to the desktop's own choice of program (QDesktopServices).
class QtDesktopServices : public DesktopServices {
public:
    bool OpenHelpPage(const std::string& path) override;
    bool OpenFile(const std::string& path) override;
    bool OpenServerWindow(const std::string& host) override;
};

}  // namespace vantor
