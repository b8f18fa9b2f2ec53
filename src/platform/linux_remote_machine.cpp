#include "platform/linux_remote_machine.h"

#include "platform/linux_bridge_protocol.h"
#include "platform/linux_remote_bridge.h"

namespace vantor {
namespace {

using bridge::Json;

// The answer when it came and says ok; an empty object otherwise, whose values read as their
// defaults.
Json Ask(RemoteBridge& bridge, Json request) {
    std::optional<Json> answer = bridge.Call(std::move(request));
    return answer && answer->value("ok", false) ? std::move(*answer) : Json::object();
}

}  // namespace

OsVersionResult RemoteInstallationEnvironment::QueryOsVersion() {
    const Json answer = Ask(bridge_, {{"op", "os-version"}});
    if (!answer.contains("version")) {
        return {OsVersion::QueryFailed, 0};
    }
    return {static_cast<OsVersion>(answer.value("version", 1)), answer.value("error", 0)};
}

std::string RemoteInstallationEnvironment::ReadServiceImagePath(const std::string& product) {
    return bridge::GetBytesText(Ask(bridge_, {{"op", "service-path"}, {"product", product}}),
                                "path");
}

std::optional<FileVersion> RemoteInstallationEnvironment::ReadFileVersion(const std::string& path) {
    const Json answer = Ask(bridge_, bridge::Request("file-version", path));
    if (!answer.contains("major")) {
        return std::nullopt;
    }
    return FileVersion{
        answer.value("major", std::uint16_t{0}), answer.value("minor", std::uint16_t{0}),
        answer.value("build", std::uint16_t{0}), answer.value("revision", std::uint16_t{0})};
}

FolderQueryResult RemoteInstallationEnvironment::CommonAppDataFolder() {
    const Json answer = Ask(bridge_, {{"op", "common-folder"}});
    if (!answer.contains("result")) {
        return {EFail, {}};
    }
    return {answer.value("result", EFail), bridge::GetBytesText(answer, "path")};
}

std::string RemoteInstallationEnvironment::OwnExecutablePath() {
    return here_.OwnExecutablePath();
}

bool RemoteInstallationEnvironment::PathExists(const std::string& path) {
    return Ask(bridge_, bridge::Request("exists", path)).value("exists", false);
}

HResult RemoteInstallationEnvironment::CreateSharedFolder(const std::string& path) {
    return Ask(bridge_, bridge::Request("make-shared-folder", path)).value("result", EFail);
}

std::vector<std::string> RemoteNetworkAdapters::Ipv4Addresses() {
    const Json answer = Ask(bridge_, {{"op", "adapters"}});
    return answer.contains("addresses") && answer["addresses"].is_array()
               ? answer["addresses"].get<std::vector<std::string>>()
               : std::vector<std::string>{};
}

std::string RemoteHostAddress::LocalIPv4Address() {
    return Ask(bridge_, {{"op", "host-address"}}).value("address", "");
}

std::optional<std::vector<DirectoryEntry>> RemoteDirectoryReader::ReadDirectory(
    const std::string& path) {
    const Json answer = Ask(bridge_, bridge::Request("list", path));
    if (!answer.contains("entries") || !answer["entries"].is_array()) {
        return std::nullopt;
    }
    std::vector<DirectoryEntry> entries;
    for (const Json& item : answer["entries"]) {
        entries.push_back({bridge::GetBytesText(item, "name"), item.value("folder", false)});
    }
    return entries;
}

bool RemoteDirectoryReader::Exists(const std::string& path) {
    return Ask(bridge_, bridge::Request("exists", path)).value("exists", false);
}

MediaFacts RemoteMediaProbe::Probe(const std::string& path,
                                   const std::function<bool()>& cancelled) {
    if (cancelled && cancelled()) {
        return {};
    }
    return bridge::MediaFactsFromJson(Ask(bridge_, bridge::Request("probe", path)));
}

}  // namespace vantor
