#include "server/installation_paths.h"

#include <string>
#include <utility>

namespace vantor {
namespace {

enum class Placement { BesideExecutable, CommonFolder };

// Which folder a product of the given file version keeps its data in. Only asked on systems
// after Windows 2000 and when the version could be read.
Placement PlacementForVersion(std::string_view product, const FileVersion& version) {
    if (product == ProductVantor || product == ProductTavrin) {
        // Up to version 5 the servers kept their data beside themselves.
        return version.major > 5 ? Placement::CommonFolder : Placement::BesideExecutable;
    }
    if (product == ProductKeswick) {
        // Only the first release of the archival server kept its data beside itself.
        return version.major == 1 && version.minor == 0 ? Placement::BesideExecutable
                                                        : Placement::CommonFolder;
    }
    return Placement::CommonFolder;
}

std::string WithoutTrailingSeparators(std::string_view text, char separator) {
    while (!text.empty() && text.back() == separator) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// <common application data>/Quorvane, or the query's failure.
HResult CommonDataFolder(const FolderQueryResult& commonAppData, char separator,
                         std::string& folder) {
    if (Failed(commonAppData.result)) {
        return commonAppData.result;
    }
    folder = WithoutTrailingSeparators(commonAppData.path, separator);
    folder += separator;
    folder += CommonDataFolderName;
    return commonAppData.result;
}

HResult ComposeInCommonFolder(const InstallationFacts& facts, std::string_view fileName,
                              std::string& path) {
    std::string folder;
    const HResult result = CommonDataFolder(facts.commonAppData, facts.separator, folder);
    if (Failed(result)) {
        return result;
    }
    folder += facts.separator;
    folder += fileName;
    path = std::move(folder);
    return result;
}

HResult ComposeBesideExecutable(std::string_view executable, std::string_view fileName,
                                char separator, std::string& path) {
    const auto last = executable.rfind(separator);
    if (last == std::string_view::npos) {
        return EUnexpected;
    }
    std::string composed(executable.substr(0, last + 1));
    composed += fileName;
    path = std::move(composed);
    return SOk;
}

}  // namespace

std::string TrimImagePath(std::string_view imagePath, char separator) {
    while (!imagePath.empty() && imagePath.back() == separator) {
        imagePath.remove_suffix(1);
    }
    const std::size_t keep = separator == '/' ? 1 : 0;
    while (imagePath.size() > keep && imagePath.front() == separator &&
           (keep == 0 || imagePath[1] == separator)) {
        imagePath.remove_prefix(1);
    }
    return std::string(imagePath);
}

HResult ComposeDataFilePath(const InstallationFacts& facts, std::string_view fileName,
                            std::string_view product, std::string& path) {
    const std::string imagePath = TrimImagePath(facts.serviceImagePath, facts.separator);
    if (facts.osVersion == OsVersion::Windows2000) {
        const std::string& executable = imagePath.empty() ? facts.ownExecutablePath : imagePath;
        return ComposeBesideExecutable(executable, fileName, facts.separator, path);
    }
    if (!imagePath.empty() && facts.fileVersion &&
        PlacementForVersion(product, *facts.fileVersion) == Placement::BesideExecutable) {
        return ComposeBesideExecutable(imagePath, fileName, facts.separator, path);
    }
    return ComposeInCommonFolder(facts, fileName, path);
}

HResult LocateDataFile(InstallationEnvironment& env, std::string_view fileName,
                       std::string_view product, std::string& path) {
    InstallationFacts facts;
    facts.separator = env.PathSeparator();
    facts.osVersion = env.QueryOsVersion().version;
    facts.serviceImagePath = env.ReadServiceImagePath(std::string(product));
    const std::string imagePath = TrimImagePath(facts.serviceImagePath, facts.separator);
    if (facts.osVersion == OsVersion::Windows2000) {
        if (imagePath.empty()) {
            facts.ownExecutablePath = env.OwnExecutablePath();
        }
    } else {
        if (!imagePath.empty()) {
            facts.fileVersion = env.ReadFileVersion(imagePath);
        }
        facts.commonAppData = env.CommonAppDataFolder();
    }
    return ComposeDataFilePath(facts, fileName, product, path);
}

HResult LocateRestrictionsFile(InstallationEnvironment& env, int selector, std::string& path) {
    if (selector == RestrictionsSelectorVantor) {
        return LocateDataFile(env, VantorRestrictionsFileName, ProductVantor, path);
    }
    return LocateDataFile(env, TavrinRestrictionsFileName, ProductTavrin, path);
}

std::string LocateConfigFile(InstallationEnvironment& env) {
    std::string path;
    // A failed lookup leaves the path empty, which the callers take as "no file".
    LocateDataFile(env, ConfigFileName, ProductVantor, path);
    return path;
}

HResult EnsureCommonDataFolder(InstallationEnvironment& env) {
    const OsVersionResult os = env.QueryOsVersion();
    if (os.version == OsVersion::QueryFailed) {
        return HResultFromError(os.error);
    }
    if (os.version == OsVersion::Windows2000) {
        return SOk;
    }
    std::string folder;
    const HResult result = CommonDataFolder(env.CommonAppDataFolder(), env.PathSeparator(), folder);
    if (Failed(result)) {
        return result;
    }
    if (env.PathExists(folder)) {
        return SOk;
    }
    return env.CreateSharedFolder(folder);
}

}  // namespace vantor
