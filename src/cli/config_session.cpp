#include "cli/config_session.h"

#include <filesystem>
#include <ostream>
#include <system_error>

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

void SessionPrompter::ShowMessage(const std::u16string& text, const std::u16string& caption,
                                  MessageIcon icon) {
    ++messagesShown_;
    StreamPrompter::ShowMessage(text, caption, icon);
}

bool SessionPrompter::AskYesNo(const std::u16string& text, const std::u16string& caption,
                               MessageIcon icon) {
    // The question is printed, not counted as a message: answering it is not a failure.
    StreamPrompter::ShowMessage(text, caption, icon);
    if (!answer_) {
        questionRefused_ = true;
    }
    return answer_;
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
        std::error_code ec;
        if (std::filesystem::exists(path, ec) &&
            (std::filesystem::is_directory(path, ec) || !platform_.files.ReadFile(path))) {
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
    store_->LoadConfiguration();
    return true;
}

CatalogueItem* ConfigSession::FindResource(const std::u16string& name) {
    CatalogueItem* caseMatch = nullptr;
    for (CatalogueItem* branch :
         {&store_->Resources().FileResources(), &store_->Resources().LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            if (child->Record().name == name) {
                return child.get();
            }
            if (caseMatch == nullptr && EqualIgnoringAsciiCase(child->Record().name, name)) {
                caseMatch = child.get();
            }
        }
    }
    if (caseMatch == nullptr) {
        err_ << NoSuchResourceText << Utf16ToUtf8(name) << '\n';
    }
    return caseMatch;
}

int ConfigSession::ExitCode() {
    if (prompter_.QuestionRefused()) {
        err_ << AnswerWithYesText << '\n';
        return ExitFailure;
    }
    return prompter_.MessagesShown() == 0 ? ExitOk : ExitFailure;
}

}  // namespace vantor
