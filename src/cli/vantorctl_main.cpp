// vantorctl: the configuration store and the server's service without a display.

#include <cstdlib>
#include <malloc.h>
#include <iostream>
#include <limits>
#include <optional>
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

namespace {

// What the options before the command say: the machine --host names ("--host H" or
// "--host=H"), and the command's own word. The full parse below checks them again.
struct Leading {
    std::optional<std::string> host;
    std::string command;
};
Leading LeadingArguments(int argc, char** argv) {
    Leading leading;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--host" && i + 1 < argc) {
            leading.host = argv[++i];
        } else if (argument.rfind("--host=", 0) == 0) {
            leading.host = argument.substr(7);
        } else if (argument.empty() || argument[0] != '-') {
            leading.command = argument;
            break;
        }
    }
    return leading;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor;
    // Another machine's bridge takes about as long to come up as this program: asked for
    // first, it comes up meanwhile. The bridge command itself always serves this machine.
    std::optional<LinuxPlatform> early;
    const Leading leading = LeadingArguments(argc, argv);
    if (leading.command != "bridge") {
        // A command reads and builds files of tens of megabytes, one step after another. What a
        // step frees stays in the heap for the next: memory given back and asked for again costs
        // a page fault per 4 KiB, which on a virtual machine is several microseconds; for a
        // large apply that was a fifth of the run. The bridge lives as long as a window's
        // session, so it gives back what it frees.
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
        // Small blocks go straight back to the heap: kept aside in fast bins, they were
        // gathered up again before each large request, which cost more than it saved.
        mallopt(M_MXFAST, 0);
    }
    if (leading.host) {
        setenv(HostVariable, leading.host->c_str(), 1);
    }
    if (leading.command != "bridge" && ChosenHost().host) {
        UseChosenHostsBus(ChosenHost());
        early.emplace();
    }
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
