#include "cli/media_commands.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <memory>
#include <ostream>
#include <string_view>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "cli/linux_session_platform.h"
#include "config/ascii_case.h"
#include "config/catalogue.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "config/text_codec.h"
#include "monitor/media_info.h"
#include "monitor/media_info_worker.h"
#include "platform/media_probe.h"
#include "server/installation_paths.h"
#include "ui/contents_folder.h"
#include "ui/contents_list.h"
#include "ui/folder_export_commands.h"

namespace vantor {
namespace {

const ResourceRecord* FindFolder(const Catalogue& catalogue, const std::string& name) {
    const auto& folders = catalogue.FileResources().Children();
    const auto found =
        FindByName(folders.begin(), folders.end(), Utf8ToUtf16(name),
                   [](const auto& child) -> const std::u16string& { return child->Record().name; });
    return found == folders.end() ? nullptr : &(*found)->Record();
}

// Only names of subfolders: the export is of a folder the list could step into.
bool IsSubfolderPath(const std::string& path) {
    if (path.empty() || path.front() == '/') {
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part(path.data() + start, end - start);
        if (part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

int RunMediaInfo(const std::vector<std::string>& files, MediaProbe& probe, std::ostream& out) {
    for (const std::string& file : files) {
        out << file << '\t' << Utf16ToUtf8(DescribeMedia(probe.Probe(file, {}))) << '\n';
    }
    return ExitOk;
}

int RunExport(const ExportOptions& options, ExportPlatform& platform, std::ostream& err) {
    if (options.kind != "html" && options.kind != "wpl") {
        err << "vantorctl: " << options.kind << ": the export is html or wpl\n";
        return ExitUsage;
    }
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    const ServerState serverState = ServerState::Stopped;
    NoAutomation automation;
    StreamPrompter prompter(err);
    ConfigStore store(defaultAuthMethod, multicastTable, serverState, platform.files, automation,
                      prompter,
                      options.file ? *options.file : LocateConfigFile(platform.environment));
    store.LoadConfiguration();

    const ResourceRecord* folder = FindFolder(store.Resources(), options.folder);
    if (folder == nullptr) {
        err << "vantorctl: " << options.folder << ": no such virtual folder\n";
        return ExitFailure;
    }
    if (options.subfolder && !IsSubfolderPath(*options.subfolder)) {
        err << "vantorctl: " << *options.subfolder << ": not a subfolder\n";
        return ExitFailure;
    }

    // The window's listing and worker, run to the end here before anything is written.
    ContentsList list;
    MediaInfoWorker worker(platform.probe, nullptr);
    ContentsFolder shown(list, platform.reader, &worker);
    const std::string root = Utf16ToUtf8(folder->source);
    bool listed = shown.ShowFolder(root, true);
    if (listed && options.subfolder) {
        listed = shown.ShowFolder(JoinFolderPath(shown.RootFolder(), *options.subfolder), false);
    }
    if (!listed) {
        err << "vantorctl: " << shown.CurrentFolder() << ": cannot be listed\n";
        return ExitFailure;
    }
    while (worker.RunOnce()) {
    }
    shown.ApplyResults(std::numeric_limits<std::size_t>::max());

    FolderExportCommands exports(platform.output, platform.host, prompter);
    const SaveFileDialog answer = [&options](SaveFileChoice& choice) {
        choice.path = options.out;
        return true;
    };
    const ExportOutcome outcome =
        options.kind == "html"
            ? exports.ExportWebPage(*folder, shown, store.Server().playerPort, answer)
            : exports.GeneratePlaylist(*folder, shown, store.Server().playerPort, answer);
    if (outcome == ExportOutcome::NoFolder) {
        err << "vantorctl: " << shown.CurrentFolder() << ": not a folder path\n";
    }
    return outcome == ExportOutcome::Written ? ExitOk : ExitFailure;
}

void AddMediaCommands(CommandTable& table) {
    auto mediaFiles = std::make_shared<std::vector<std::string>>();
    CLI::App* mediaInfoCommand = table.Add(
        "media-info", "Print NAME<TAB>SUMMARY per file, as the contents list describes it",
        [mediaFiles] {
            LinuxPlatform system;
            return RunMediaInfo(*mediaFiles, system.mediaProbe, std::cout);
        });
    mediaInfoCommand->add_option("FILE", *mediaFiles, "Media files")->required();

    auto options = std::make_shared<ExportOptions>();
    auto paths = std::make_shared<std::vector<std::string>>();
    CLI::App* exportCommand =
        table.Add("export", "Write a virtual folder's HTML page or WPL playlist as the window does",
                  [options, paths] {
                      options->out = paths->back();
                      if (paths->size() == 2) {
                          options->subfolder = paths->front();
                      }
                      LinuxSessionPlatform system;
                      return RunExport(*options, system.exports, std::cerr);
                  });
    exportCommand->add_option("KIND", options->kind, "html or wpl")
        ->required()
        ->check(CLI::IsMember({"html", "wpl"}));
    exportCommand->add_option("FOLDER", options->folder, "The virtual folder's name")->required();
    exportCommand->add_option("PATHS", *paths, "[SUBPATH] OUT: a subfolder, then the file")
        ->required()
        ->expected(1, 2);
    exportCommand->add_option("--file", options->file,
                              "config.vtr to read (default: the located one)");
}

}  // namespace vantor
