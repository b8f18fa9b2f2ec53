#include "cli/config_commands.h"

#include <memory>
#include <optional>
#include <ostream>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_report.h"
#include "cli/headless_services.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "config/text_codec.h"
#include "platform/file_store.h"
#include "platform/linux_platform.h"
#include "server/installation_paths.h"

namespace vantor {
namespace {

// A store over one file, loaded as at start-up. Nothing here saves through it, so the server
// is never told to reload and no question is ever asked.
struct LoadedStore {
    explicit LoadedStore(FileStore& files, std::string path)
        : store(defaultAuthMethod, multicastTable, serverState, files, automation, prompter,
                std::move(path)) {
        readable = store.LoadConfiguration();
    }

    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState serverState = ServerState::Stopped;
    NoAutomation automation;
    StreamPrompter prompter;
    ConfigStore store;
    bool readable = false;  // false when a file is there but cannot be read
};

// A named file must exist and be readable; the store itself would quietly fall back to the
// defaults, which is right for the tool but wrong for a file the administrator typed.
// The store holds references into itself, so it is made in place, in loaded.
bool LoadNamed(FileStore& files, const std::string& path, std::optional<LoadedStore>& loaded,
               std::ostream& err) {
    if (!files.Stamp(path)) {
        err << "vantorctl: " << path << ": no such file\n";
        return false;
    }
    if (loaded.emplace(files, path).readable) {
        return true;
    }
    err << "vantorctl: " << path << ": cannot be read\n";
    return false;
}

}  // namespace

int RunShow(const ShowOptions& options, FileStore& files, InstallationEnvironment& environment,
            std::ostream& out, std::ostream& err) {
    std::optional<LoadedStore> loaded;
    if (options.file) {
        if (!LoadNamed(files, *options.file, loaded, err)) {
            return ExitFailure;
        }
    } else {
        loaded.emplace(files, LocateConfigFile(environment));
    }
    if (options.json) {
        out << ConfigReportJson(loaded->store, loaded->defaultAuthMethod).dump(2) << '\n';
    } else {
        out << ConfigReportText(loaded->store, loaded->defaultAuthMethod);
    }
    return ExitOk;
}

int RunNormalize(const NormalizeOptions& options, FileStore& files, std::ostream& err) {
    const std::string& target = options.out ? *options.out : options.file;
    // Rewriting in place is a read-modify-write like any other writer's.
    const LockResult lock = files.LockForUpdate(target);
    if (lock.status == LockStatus::Busy) {
        err << "vantorctl: " << Utf16ToUtf8(ConfigFileBusyText) << '\n';
        return ExitFailure;
    }
    std::optional<LoadedStore> loaded;
    if (!LoadNamed(files, options.file, loaded, err)) {
        return ExitFailure;
    }
    if (!files.ReplaceFile(target, loaded->store.FileBytes())) {
        err << "vantorctl: " << target << ": cannot be written\n";
        return ExitFailure;
    }
    return ExitOk;
}

void AddConfigCommands(CommandTable& table) {
    auto show = std::make_shared<ShowOptions>();
    CLI::App* showCommand =
        table.Add("show", "Print the server settings and the catalogue in tree order", [show] {
            LinuxPlatform system;
            return RunShow(*show, system.files, system.installation, std::cout, std::cerr);
        });
    showCommand->add_flag("--json", show->json, "Print one JSON object");
    // --file as every other command takes it; the bare FILE as show always took it.
    CLI::Option* fileOption = showCommand->add_option(
        "--file", show->file, "config.vtr to read (default: the located one)");
    showCommand->add_option("FILE", show->file, "the same as --file")->excludes(fileOption);

    auto normalize = std::make_shared<NormalizeOptions>();
    CLI::App* normalizeCommand = table.Add(
        "normalize", "Rewrite FILE as the tool saves it (version 60, tree order)", [normalize] {
            LinuxPlatform system;
            return RunNormalize(*normalize, system.files, std::cerr);
        });
    normalizeCommand->add_option("FILE", normalize->file, "config.vtr to read")->required();
    normalizeCommand->add_option("OUT", normalize->out, "where to write (default: FILE)");
}

}  // namespace vantor
