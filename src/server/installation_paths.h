#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/hresult.h"
#include "platform/installation_environment.h"

namespace vantor {

// Products whose data files the tool locates; each name is also the product's service name.
inline constexpr std::string_view ProductVantor = "Vantor";
inline constexpr std::string_view ProductTavrin = "Tavrin";
inline constexpr std::string_view ProductKeswick = "Keswick";

inline constexpr std::string_view ConfigFileName = "config.vtr";
inline constexpr std::string_view VantorRestrictionsFileName = "VantorIPRestrictions.config";
inline constexpr std::string_view TavrinRestrictionsFileName = "TavrinIPRestrictions.config";

// The folder under the common application data folder that holds the shared data files.
inline constexpr std::string_view CommonDataFolderName = "Quorvane";

// The restrictions selector value that stands for the media server; any other is the live server.
inline constexpr int RestrictionsSelectorVantor = 1;

// Everything the placement decision depends on, read from the platform beforehand.
struct InstallationFacts {
    OsVersion osVersion = OsVersion::Later;
    // The service's image path as the system records it (separators at either end included).
    std::string serviceImagePath;
    // The file version of the image path, when it could be read.
    std::optional<FileVersion> fileVersion;
    FolderQueryResult commonAppData;
    std::string ownExecutablePath;
    char separator = '/';
};

// The image path without separators at its ends. With '/' a single leading one is kept: there
// it is the root that makes the path absolute, not decoration.
std::string TrimImagePath(std::string_view imagePath, char separator);

// Composes the full path of fileName for product from facts. On success path receives it and
// SOk is returned; otherwise path is left as it was and the failure is returned (the common
// folder query's own failure, or EUnexpected for an executable path without a separator).
HResult ComposeDataFilePath(const InstallationFacts& facts, std::string_view fileName,
                            std::string_view product, std::string& path);

// Reads the facts from env and composes the data file's path as above.
HResult LocateDataFile(InstallationEnvironment& env, std::string_view fileName,
                       std::string_view product, std::string& path);

// The IP restrictions file of the media server (selector 1) or of the live server (any other).
HResult LocateRestrictionsFile(InstallationEnvironment& env, int selector, std::string& path);

// The path of the configuration file; empty when it cannot be located.
std::string LocateConfigFile(InstallationEnvironment& env);

// Creates <common application data>/Quorvane, writable by everyone, when it does not exist
// yet. An existing folder is left as it is. Not done on Windows 2000.
HResult EnsureCommonDataFolder(InstallationEnvironment& env);

}  // namespace vantor
