#pragma once

#include <optional>
#include <string>

#include "platform/installation_environment.h"

namespace vantor {

// The environment variable that moves the common application data folder (tests and the demo
// point it at a folder of their own).
inline constexpr const char* CommonAppDataVariable = "VANTOR_COMMON_APPDATA";
inline constexpr const char* DefaultCommonAppData = "/var/lib";

// How long a question to systemd may take before the image path counts as unknown.
inline constexpr int SystemdCallTimeoutMs = 2000;

// Linux stands in for the Windows reads: the service is the systemd unit "<product>.service" and
// its image path the first path of its ExecStart, asked over the system bus (the address in
// DBUS_SYSTEM_BUS_ADDRESS when set); executables carry no version, so that read always fails.
class LinuxInstallationEnvironment : public InstallationEnvironment {
public:
    OsVersionResult QueryOsVersion() override;
    std::string ReadServiceImagePath(const std::string& product) override;
    std::optional<FileVersion> ReadFileVersion(const std::string& path) override;
    FolderQueryResult CommonAppDataFolder() override;
    std::string OwnExecutablePath() override;
    char PathSeparator() const override { return '/'; }
    bool PathExists(const std::string& path) override;
    // mkdir with mode 0777, made exact with chmod since the umask would narrow it.
    HResult CreateSharedFolder(const std::string& path) override;
};

}  // namespace vantor
