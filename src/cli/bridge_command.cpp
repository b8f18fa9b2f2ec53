#include "cli/bridge_command.h"

#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "platform/directory_reader.h"
#include "platform/file_store.h"
#include "platform/host_address.h"
#include "platform/installation_environment.h"
#include "platform/linux_bridge_protocol.h"
#include "platform/linux_platform.h"
#include "platform/media_probe.h"
#include "platform/network_adapters.h"

namespace vantor {
namespace {

using bridge::Json;

class Bridge {
public:
    explicit Bridge(BridgeServices& services) : files_(services.files), services_(services) {}

    Json Answer(const Json& request) {
        const std::string op = request.value("op", "");
        const std::string path = bridge::GetBytesText(request, "path");
        if (op == "hello") {
            return Ok({{"version", bridge::Version}});
        }
        if (op == "read") {
            const auto bytes = files_.ReadFile(path);
            return bytes ? Ok({{"data", bridge::EncodeBase64(*bytes)}}) : Error("cannot be read");
        }
        if (op == "replace" || op == "replace-user") {
            const auto data = request.contains("data") && request["data"].is_string()
                                  ? bridge::DecodeBase64(request["data"].get<std::string>())
                                  : std::nullopt;
            if (!data) {
                return Error("no data");
            }
            const bool replaced = op == "replace" ? files_.ReplaceFile(path, *data)
                                                  : files_.ReplaceUserFile(path, *data);
            return replaced ? Ok({}) : Error("cannot be written");
        }
        if (op == "stamp") {
            const auto stamp = files_.Stamp(path);
            if (!stamp) {
                return Error("missing");
            }
            return Ok({{"device", stamp->device},
                       {"inode", stamp->inode},
                       {"size", stamp->size},
                       {"modified", stamp->modifiedNs},
                       {"changed", stamp->changedNs},
                       {"folder", stamp->folder}});
        }
        if (op == "lock") {
            LockResult result = files_.LockForUpdate(path);
            switch (result.status) {
                case LockStatus::Locked:
                    locks_[nextLock_] = std::move(result.lock);
                    return Ok({{"status", "locked"}, {"lock", nextLock_++}});
                case LockStatus::Busy:
                    return Ok({{"status", "busy"}});
                case LockStatus::Unavailable:
                case LockStatus::Unreachable:  // this machine's own files are always reachable
                    return Ok({{"status", "unavailable"}});
            }
        }
        if (op == "unlock") {
            locks_.erase(request.value("lock", -1LL));
            return Ok({});
        }
        return AnswerMachine(op, request, path);
    }

private:
    // What the machine says of itself: where its data lives, its folders, its addresses.
    Json AnswerMachine(const std::string& op, const Json& request, const std::string& path) {
        InstallationEnvironment& installation = services_.installation;
        if (op == "common-folder") {
            const FolderQueryResult folder = installation.CommonAppDataFolder();
            Json answer = Ok({{"result", folder.result}});
            bridge::PutBytesText(answer, "path", folder.path);
            return answer;
        }
        if (op == "os-version") {
            const OsVersionResult os = installation.QueryOsVersion();
            return Ok({{"version", static_cast<int>(os.version)}, {"error", os.error}});
        }
        if (op == "exists") {
            return Ok({{"exists", installation.PathExists(path)}});
        }
        if (op == "make-shared-folder") {
            return Ok({{"result", installation.CreateSharedFolder(path)}});
        }
        if (op == "service-path") {
            Json answer = Ok({});
            bridge::PutBytesText(answer, "path",
                                 installation.ReadServiceImagePath(request.value("product", "")));
            return answer;
        }
        if (op == "file-version") {
            const std::optional<FileVersion> version = installation.ReadFileVersion(path);
            if (!version) {
                return Error("no version");
            }
            return Ok({{"major", version->major},
                       {"minor", version->minor},
                       {"build", version->build},
                       {"revision", version->revision}});
        }
        if (op == "adapters") {
            return Ok({{"addresses", services_.adapters.Ipv4Addresses()}});
        }
        if (op == "list") {
            const auto entries = services_.directories.ReadDirectory(path);
            if (!entries) {
                return Error("cannot be listed");
            }
            Json list = Json::array();
            for (const DirectoryEntry& entry : *entries) {
                Json item{{"folder", entry.isDirectory}};
                bridge::PutBytesText(item, "name", entry.name);
                list.push_back(std::move(item));
            }
            return Ok({{"entries", std::move(list)}});
        }
        if (op == "probe") {
            return Ok(
                bridge::MediaFactsJson(services_.mediaProbe.Probe(path, [] { return false; })));
        }
        if (op == "host-address") {
            return Ok({{"address", services_.hostAddress.LocalIPv4Address()}});
        }
        return Error("unknown operation");
    }

    static Json Ok(Json fields) {
        if (fields.is_null()) {
            fields = Json::object();
        }
        fields["ok"] = true;
        return fields;
    }
    static Json Error(const char* text) { return Json{{"ok", false}, {"error", text}}; }

    FileStore& files_;
    BridgeServices& services_;
    std::map<long long, std::unique_ptr<FileLock>> locks_;
    long long nextLock_ = 1;
};

}  // namespace

int RunBridge(BridgeServices& services, std::istream& in, std::ostream& out) {
    Bridge bridge(services);
    std::string line;
    while (std::getline(in, line)) {
        const std::optional<Json> request = bridge::ParseLine(line);
        Json answer =
            request ? bridge.Answer(*request) : Json{{"ok", false}, {"error", "not JSON"}};
        answer["id"] = request ? request->value("id", Json()) : Json();
        out << bridge::FormatLine(answer) << std::flush;
    }
    return 0;
}

void AddBridgeCommand(CommandTable& table) {
    table.Add("bridge",
              "Serve a tool on another machine on standard input and output (run over ssh)", [] {
                  // The bridge serves this machine, whatever the caller's environment says.
                  unsetenv(HostVariable);
                  LinuxPlatform system;
                  BridgeServices services{system.files,       system.installation,
                                          system.adapters,    system.hostAddress,
                                          system.directories, system.mediaProbe};
                  return RunBridge(services, std::cin, std::cout);
              });
}

}  // namespace vantor
