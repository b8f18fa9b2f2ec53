#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/hresult.h"

namespace vantor {

// What the operating system says about its own version, as far as the data-file placement
// cares: Windows 2000 kept data beside the server, later systems in the common folder.
enum class OsVersion {
    Windows2000,
    Later,
    QueryFailed,
};

struct OsVersionResult {
    OsVersion version = OsVersion::Later;
    // The system's error number when the query failed.
    int error = 0;
};

// The four parts of an executable's file version; only major and minor decide anything.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

struct FolderQueryResult {
    HResult result = SOk;
    // UTF-8; meaningful only when result succeeded.
    std::string path;
};

// The platform reads behind the data-file placement. Paths are UTF-8.
class InstallationEnvironment {
public:
    virtual ~InstallationEnvironment() = default;

    virtual OsVersionResult QueryOsVersion() = 0;
    // The path the product's service runs as it is recorded by the system, unprocessed; empty
    // when the service or its path is unknown.
    virtual std::string ReadServiceImagePath(const std::string& product) = 0;
    // The file version of an executable; nothing when it has no version or cannot be read.
    virtual std::optional<FileVersion> ReadFileVersion(const std::string& path) = 0;
    // The folder shared by all users for application data.
    virtual FolderQueryResult CommonAppDataFolder() = 0;
    // The full path of this program's own executable; empty when unknown.
    virtual std::string OwnExecutablePath() = 0;
    // The separator of this system's paths.
    virtual char PathSeparator() const = 0;
    // True when something exists at path (its attributes can be read).
    virtual bool PathExists(const std::string& path) = 0;
    // Creates the folder so that the server's service and every user may write in it.
    virtual HResult CreateSharedFolder(const std::string& path) = 0;
};

}  // namespace vantor
