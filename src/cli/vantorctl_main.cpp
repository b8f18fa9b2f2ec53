// vantorctl: the configuration store and the server's service without a display.

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <QCoreApplication>

#include "cli/activity_commands.h"
#include "cli/config_commands.h"
#include "cli/password_command.h"
#include "cli/restrictions_command.h"
#include "cli/media_commands.h"
#include "cli/service_commands.h"
#include "cli/version.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_directory_reader.h"
#include "platform/linux_ffmpeg_media_probe.h"
#include "platform/linux_file_store.h"
#include "platform/linux_host_address.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_systemd_service_manager.h"
#include "server/service_controller.h"

int main(int argc, char** argv) {
    using namespace vantor;
    // The platform layer talks to the system bus through Qt, which wants an application object.
    QCoreApplication qtApp(argc, argv);

    CLI::App app{"VantorConfig command-line companion", "vantorctl"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("vantorctl ") + ProgramVersion);

    ShowOptions show;
    CLI::App* showCommand =
        app.add_subcommand("show", "Print the server settings and the catalogue in tree order");
    showCommand->add_flag("--json", show.json, "Print one JSON object");
    showCommand->add_option("FILE", show.file, "config.vtr to read (default: the located one)");

    NormalizeOptions normalize;
    CLI::App* normalizeCommand = app.add_subcommand(
        "normalize", "Rewrite FILE as the tool saves it (version 60, tree order)");
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

    RestrictionsOptions restrictions;
    CLI::App* restrictionsCommand = AddRestrictionsCommand(app, restrictions);

    ActivityOptions activity;
    CLI::App* activityCommand = app.add_subcommand(
        "activity", "Print a page of the server's activity as the activity monitor fills it");
    activityCommand->add_option("PAGE", activity.page, "users, live, usage or throughput")
        ->capture_default_str();
    activityCommand->add_option("--sort", activity.sortColumn,
                                "Sort by this column, from 0 (users and usage pages)");
    DisconnectOptions disconnect;
    bool answerYes = false;
    CLI::App* disconnectCommand = app.add_subcommand(
        "disconnect", "Disconnect an active user, or with --all every user of its resource");
    disconnectCommand
        ->add_option("ROW", disconnect.row, "The user's row as `activity users` lists it, from 0")
        ->required();
    disconnectCommand->add_option("--sort", disconnect.sortColumn,
                                  "The column `activity users --sort` was given");
    disconnectCommand->add_flag("--all", disconnect.all,
                                "Every user of that row's resource, after the question");
    disconnectCommand->add_flag("--yes", answerYes, "Answer Yes to the question of --all");

    std::vector<std::string> mediaFiles;
    CLI::App* mediaInfoCommand = app.add_subcommand(
        "media-info", "Print NAME<TAB>SUMMARY per file, as the contents list describes it");
    mediaInfoCommand->add_option("FILE", mediaFiles, "Media files")->required();
    ExportOptions exportOptions;
    std::vector<std::string> exportPaths;
    CLI::App* exportCommand = app.add_subcommand(
        "export", "Write a virtual folder's HTML page or WPL playlist as the window does");
    exportCommand->add_option("KIND", exportOptions.kind, "html or wpl")
        ->required()
        ->check(CLI::IsMember({"html", "wpl"}));
    exportCommand->add_option("FOLDER", exportOptions.folder, "The virtual folder's name")
        ->required();
    exportCommand->add_option("PATHS", exportPaths, "[SUBPATH] OUT: a subfolder, then the file")
        ->required()
        ->expected(1, 2);
    exportCommand->add_option("--config", exportOptions.config,
                              "config.vtr to read (default: the located one)");

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
    if (*activityCommand || *disconnectCommand) {
        // The pages are filled only while the server runs, as in the window.
        LinuxSystemdServiceManager manager;
        LinuxClock clock;
        ServiceController controller(manager, clock);
        const ServerState state = controller.QueryServerState();
        LinuxDbusAutomationFactory automation;
        if (*activityCommand) {
            return RunActivity(activity, state, automation, std::cout, std::cerr);
        }
        AnsweringPrompter prompter(answerYes, std::cerr);
        return RunDisconnect(disconnect, state, automation, prompter, clock, std::cerr);
    }
    if (*reloadCommand) {
        LinuxDbusAutomationFactory automation;
        return RunReload(automation, std::cerr);
    }

    LinuxFileStore files;
    LinuxInstallationEnvironment environment;
    if (*restrictionsCommand) {
        LinuxDbusAutomationFactory automation;
        return RunRestrictions(restrictions, files, environment, automation, std::cout, std::cerr);
    }
    if (*mediaInfoCommand || *exportCommand) {
        LinuxFfmpegMediaProbe probe;
        if (*mediaInfoCommand) {
            return RunMediaInfo(mediaFiles, probe, std::cout);
        }
        exportOptions.out = exportPaths.back();
        if (exportPaths.size() == 2) {
            exportOptions.subfolder = exportPaths.front();
        }
        LinuxDirectoryReader reader;
        LinuxHostAddress host;
        ExportPlatform platform{.files = files,
                                .environment = environment,
                                .reader = reader,
                                .probe = probe,
                                .host = host};
        return RunExport(exportOptions, platform, std::cerr);
    }
    if (*showCommand) {
        return RunShow(show, files, environment, std::cout, std::cerr);
    }
    return RunNormalize(normalize, files, std::cerr);
}
