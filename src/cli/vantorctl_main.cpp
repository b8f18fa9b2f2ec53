// vantorctl: the configuration store and the server's service without a display.

#include <cstdlib>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>
#include <QCoreApplication>

#include "cli/activity_commands.h"
#include "cli/bridge_command.h"
#include "cli/check_command.h"
#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "cli/document_commands.h"
#include "cli/live_commands.h"
#include "cli/media_commands.h"
#include "cli/password_command.h"
#include "cli/resource_commands_cli.h"
#include "cli/restrictions_command.h"
#include "cli/server_commands.h"
#include "cli/service_commands.h"
#include "cli/version.h"
#include "config/name_collator.h"
#include "platform/linux_collation_locale.h"
#include "platform/linux_platform.h"

int main(int argc, char** argv) {
    using namespace vantor;
    // The platform layer talks to the system bus through Qt, which wants an application object.
    QCoreApplication qtApp(argc, argv);
    // Names sort in the user's collation order, as in the window.
    UseCollationLocale(LinuxCollationLocaleName());

    CLI::App app{"VantorConfig command-line companion", "vantorctl"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("vantorctl ") + ProgramVersion);
    std::string host;
    app.add_option("--host", host,
                   "Administer the server of another machine, [USER@]HOST[:PORT], over ssh "
                   "(default: $VANTOR_HOST, else this machine)");

    // --help lists the commands in the order they are added.
    CommandTable commands(app);
    AddConfigCommands(commands);
    AddDocumentCommands(commands);
    AddCheckCommand(commands);
    AddServiceCommands(commands);
    AddPasswordCommand(commands);
    AddRestrictionsCommands(commands);
    AddActivityCommands(commands);
    AddMediaCommands(commands);
    AddResourceCommands(commands);
    AddLiveCommands(commands);
    AddServerCommands(commands);
    AddBridgeCommand(commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        // --help or --version: printed on standard output.
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // The usage of the command that was called wrongly (help() follows the subcommand).
        std::cerr << "vantorctl: " << e.what() << "\n\n" << app.help();
        return ExitUsage;
    }
    if (app.got_subcommand("bridge")) {
        // The bridge serves this machine, its files and its bus, whatever the caller's
        // environment names.
        unsetenv(HostVariable);
        return commands.RunGiven();
    }
    if (!host.empty()) {
        setenv(HostVariable, host.c_str(), 1);
    }
    const HostChoice choice = ChosenHost();
    if (!choice.error.empty()) {
        std::cerr << "vantorctl: " << choice.error << '\n';
        return ExitUsage;
    }
    UseChosenHostsBus(choice);
    // Held for the run: the command's own platforms share its ssh session.
    const LinuxPlatform machine;
    if (!machine.Reachable()) {
        std::cerr << "vantorctl: " << machine.HostLabelText() << " cannot be reached over ssh\n";
        return ExitFailure;
    }
    return commands.RunGiven();
}
