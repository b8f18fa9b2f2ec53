// vantorctl: the configuration store and the server's service without a display.

#include <cstdint>
#include <iostream>

#include <CLI/CLI.hpp>
#include <QCoreApplication>

#include "cli/config_commands.h"
#include "cli/password_command.h"
#include "cli/service_commands.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_systemd_service_manager.h"
#include "server/service_controller.h"

int main(int argc, char** argv) {
    using namespace vantor;
    // The platform layer talks to the system bus through Qt, which wants an application object.
    QCoreApplication qtApp(argc, argv);

    CLI::App app{"VantorConfig command-line companion", "vantorctl"};
    app.require_subcommand(1);

    ShowOptions show;
    CLI::App* showCommand =
        app.add_subcommand("show", "Print the server settings and the catalogue in tree order");
    showCommand->add_flag("--json", show.json, "Print one JSON object");
    showCommand->add_option("FILE", show.file, "config.vtr to read (default: the located one)");

    NormalizeOptions normalize;
    CLI::App* normalizeCommand =
        app.add_subcommand("normalize", "Rewrite FILE as the tool saves it (version 60, tree order)");
    normalizeCommand->add_option("FILE", normalize.file, "config.vtr to read")->required();
    normalizeCommand->add_option("OUT", normalize.out, "where to write (default: FILE)");

    CLI::App* statusCommand =
        app.add_subcommand("status", "Print the media server's state as the main window shows it");
    std::uint32_t startTimeoutMs = ServiceOperationTimeoutMs;
    CLI::App* startCommand =
        app.add_subcommand("start", "Start the media server and wait until it runs");
    startCommand->add_option("--timeout", startTimeoutMs, "How long to wait, in milliseconds")
        ->capture_default_str();
    std::uint32_t stopTimeoutMs = ServiceOperationTimeoutMs;
    CLI::App* stopCommand =
        app.add_subcommand("stop", "Stop the media server and wait until it has stopped");
    stopCommand->add_option("--timeout", stopTimeoutMs, "How long to wait, in milliseconds")
        ->capture_default_str();
    CLI::App* reloadCommand = app.add_subcommand(
        "reload", "Ask the running media server to re-read its configuration file");
    CLI::App* passwordCommand = app.add_subcommand(
        "password",
        "Read a password and its confirmation as two lines on standard input; print its hash text");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return ExitUsage;
    }

    if (*passwordCommand) {
        return RunPassword(std::cin, std::cout, std::cerr);
    }
    if (*statusCommand || *startCommand || *stopCommand) {
        LinuxSystemdServiceManager manager;
        LinuxClock clock;
        ServiceController controller(manager, clock);
        if (*statusCommand) {
            return RunStatus(controller, std::cout);
        }
        return *startCommand ? RunServiceOperation(controller, ServiceOperation::Start,
                                                   startTimeoutMs, std::cout, std::cerr)
                             : RunServiceOperation(controller, ServiceOperation::Stop,
                                                   stopTimeoutMs, std::cout, std::cerr);
    }
    if (*reloadCommand) {
        LinuxDbusAutomationFactory automation;
        return RunReload(automation, std::cerr);
    }

    LinuxFileStore files;
    LinuxInstallationEnvironment environment;
    if (*showCommand) {
        return RunShow(show, files, environment, std::cout, std::cerr);
    }
    return RunNormalize(normalize, files, std::cerr);
}
