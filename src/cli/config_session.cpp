#include "cli/config_session.h"

#include <ostream>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/config_commands.h"
#include "config/ascii_case.h"
#include "config/catalogue.h"
#include "config/text_codec.h"
#include "platform/file_store.h"
#include "server/installation_paths.h"
#include "server/service_controller.h"

namespace vantor {

void AddConfigSessionOptions(CLI::App& command, ConfigSessionOptions& options) {
    command.add_option("--file", options.file,
                       "config.vtr to change (default: the located one); the server is not told");
    command.add_flag("--yes", options.yes, "Answer Yes to the questions the window would ask");
}

bool NamedFileExists(const ConfigSessionOptions& options, FileStore& files, std::ostream& err) {
    if (options.file && !files.Stamp(*options.file)) {
        err << "vantorctl: " << *options.file << ": no such file\n";
        return false;
    }
    return true;
}

ConfigSession::ConfigSession(const ConfigSessionOptions& options, SessionPlatform& platform,
                             std::ostream& err)
    : options_(options), platform_(platform), err_(err), prompter_(options.yes, err) {}

AutomationFactory& ConfigSession::Automation() {
    if (options_.file) {
        return noAutomation_;
    }
    return platform_.automation;
}

bool ConfigSession::Open() {
    std::string path;
    if (options_.file) {
        path = *options_.file;
        // A folder is refused before a lock file is made beside it; other files that cannot
        // be read are found by the one read below.
        if (const auto stamp = platform_.files.Stamp(path); stamp && stamp->folder) {
            err_ << "vantorctl: " << path << ": cannot be read\n";
            return false;
        }
    } else {
        path = LocateConfigFile(platform_.environment);
        // As the window: the state decides whether a save asks the server to reload.
        ServiceController controller(platform_.serviceManager, platform_.clock);
        serverState_ = controller.QueryServerState();
    }
    store_ = std::make_unique<ConfigStore>(defaultAuthMethod_, multicastTable_, serverState_,
                                           platform_.files, Automation(), prompter_, path);
    // Held to the end of the run: what this run writes is based on what it read, and a run
    // started at the same time waits and then reads this one's result.
    if (store_->HoldLock() == LockStatus::Busy) {
        err_ << "vantorctl: " << Utf16ToUtf8(ConfigFileBusyText) << '\n';
        return false;
    }
    if (!store_->LoadConfiguration() && options_.file) {
        err_ << "vantorctl: " << path << ": cannot be read\n";
        return false;
    }
    return true;
}

CatalogueItem* ConfigSession::FindResource(const std::u16string& name) {
    // Folders and broadcasts share one name space, so either branch may hold it.
    std::vector<CatalogueItem*> resources;
    for (CatalogueItem* branch :
         {&store_->Resources().FileResources(), &store_->Resources().LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            resources.push_back(child.get());
        }
    }
    const auto found = FindByName(
        resources.begin(), resources.end(), name,
        [](const CatalogueItem* item) -> const std::u16string& { return item->Record().name; });
    if (found == resources.end()) {
        err_ << NoSuchResourceText << Utf16ToUtf8(name) << '\n';
        return nullptr;
    }
    return *found;
}

int ConfigSession::ExitCode() {
    if (prompter_.QuestionRefused()) {
        err_ << AnswerWithYesText << '\n';
        return ExitFailure;
    }
    return prompter_.MessagesShown() == 0 ? ExitOk : ExitFailure;
}

}  // namespace vantor
