#include "cli/check_command.h"

#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "config/config_file.h"
#include "config/text_codec.h"
#include "editors/config_check.h"
#include "platform/file_store.h"
#include "platform/linux_platform.h"
#include "server/installation_paths.h"

namespace vantor {
namespace {

using Json = nlohmann::ordered_json;

// Exit code of a file that cannot be read: the configuration was not checked at all.
constexpr int ExitUnreadable = 2;

std::string SubjectKey(FindingSubject subject) {
    switch (subject) {
        case FindingSubject::VirtualFolder:
            return "folder";
        case FindingSubject::LiveBroadcast:
            return "live";
        case FindingSubject::Server:
            break;
    }
    return "server";
}

// "virtual folder "Clips": message", the message on one line.
std::string FindingLine(const ConfigFinding& finding) {
    std::string line;
    switch (finding.subject) {
        case FindingSubject::VirtualFolder:
            line = "virtual folder \"" + Utf16ToUtf8(finding.name) + "\"";
            break;
        case FindingSubject::LiveBroadcast:
            line = "live broadcast \"" + Utf16ToUtf8(finding.name) + "\"";
            break;
        case FindingSubject::Server:
            line = "server settings";
            break;
    }
    std::string message = Utf16ToUtf8(finding.message);
    for (char& c : message) {
        if (c == '\n') {
            c = ' ';
        }
    }
    return line + ": " + message;
}

Json FindingsJson(const std::string& path, const std::vector<ConfigFinding>& findings) {
    Json list = Json::array();
    for (const ConfigFinding& finding : findings) {
        list.push_back({{"subject", SubjectKey(finding.subject)},
                        {"name", Utf16ToUtf8(finding.name)},
                        {"message", Utf16ToUtf8(finding.message)}});
    }
    return Json{{"file", path}, {"findings", std::move(list)}};
}

}  // namespace

int RunCheck(const CheckOptions& options, FileStore& files, DirectoryReader& directories,
             InstallationEnvironment& environment, std::ostream& out, std::ostream& err) {
    const std::string path = options.file ? *options.file : LocateConfigFile(environment);
    if (path.empty()) {
        err << "vantorctl: config.vtr could not be located\n";
        return ExitUnreadable;
    }
    // Unlike the tool, which starts from the defaults, a file that cannot be read is not checked.
    if (!files.Stamp(path)) {
        err << "vantorctl: " << path << ": no such file\n";
        return ExitUnreadable;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = files.ReadFile(path);
    if (!bytes) {
        err << "vantorctl: " << path << ": cannot be read\n";
        return ExitUnreadable;
    }
    const std::vector<ConfigFinding> findings =
        CheckConfiguration(ReadConfigFile(*bytes), directories);
    if (options.json) {
        out << FindingsJson(path, findings).dump(2) << '\n';
    } else {
        for (const ConfigFinding& finding : findings) {
            out << FindingLine(finding) << '\n';
        }
    }
    return findings.empty() ? ExitOk : ExitFailure;
}

void AddCheckCommand(CommandTable& table) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = table.Add(
        "check", "Report what the dialogs would refuse in a configuration, without changing it",
        [options] {
            LinuxPlatform system;
            return RunCheck(*options, system.files, system.directories, system.installation,
                            std::cout, std::cerr);
        });
    command->add_flag("--json", options->json, "Print the findings as one JSON object");
    // --file as every other command takes it; the bare FILE as check always took it.
    CLI::Option* fileOption = command->add_option("--file", options->file,
                                                  "config.vtr to check (default: the located one)");
    command->add_option("FILE", options->file, "the same as --file")->excludes(fileOption);
}

}  // namespace vantor
