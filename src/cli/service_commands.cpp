#include "cli/service_commands.h"

#include <atomic>
#include <cstdio>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/command_table.h"
#include "cli/config_commands.h"
#include "config/config_store.h"
#include "config/text_codec.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_systemd_service_manager.h"
#include "server/automation.h"
#include "server/server_state_display.h"
#include "server/service_controller.h"

namespace vantor {

namespace {

const char* OperationName(ServiceOperation operation) {
    return operation == ServiceOperation::Start ? "start" : "stop";
}

ServerState AwaitedState(ServiceOperation operation) {
    return operation == ServiceOperation::Start ? ServerState::Running : ServerState::Stopped;
}

void PrintLine(std::ostream& out, std::u16string_view text) {
    out << Utf16ToUtf8(text) << '\n';
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// What the state pane shows for a state found by a poll, with no operation of the tool's own.
void PrintState(std::ostream& out, ServerState state) {
    PrintLine(out, DisplayServerState(state, StateDirection::None).text);
}

}  // namespace

int RunStatus(ServiceController& controller, std::ostream& out) {
    PrintState(out, controller.QueryServerState());
    return ExitOk;
}

int RunServiceOperation(ServiceController& controller, ServiceOperation operation,
                        std::uint32_t timeoutMs, std::ostream& out, std::ostream& err) {
    const char* name = OperationName(operation);
    PrintLine(out, DisplayServerState(ServerState::ChangingState, DirectionOf(operation)).text);
    out.flush();

    std::atomic<HResult> result{EUnexpected};
    const HResult queued = controller.QueueServiceOperation(
        operation, timeoutMs,
        [&result](const std::u16string&, ServiceOperation, HResult hr) { result = hr; });
    if (Failed(queued)) {
        err << Format(ServiceOperationNotQueuedText, name, queued) << '\n';
    } else {
        // The worker's own waits are bounded by timeoutMs and the bus time-outs.
        controller.WaitForWorker(InfiniteTimeoutMs);
        const HResult hr = result.load();
        if (hr == SFalse) {
            err << Format(ServiceOperationTimedOutText, name) << '\n';
        } else if (hr != SOk) {
            err << Format(ServiceOperationFailedText, name, hr) << '\n';
        }
    }

    const ServerState state = controller.QueryServerState();
    PrintState(out, state);
    return state == AwaitedState(operation) ? ExitOk : ExitFailure;
}

int RunReload(AutomationFactory& automation, std::ostream& err) {
    const std::unique_ptr<VtrConfigObject> vtrConfig = automation.CreateVtrConfig();
    if (vtrConfig == nullptr) {
        PrintLine(err, ServerUpdateFailedText);
        return ExitFailure;
    }
    const HResult hr = vtrConfig->ReloadConfiguration();
    if (Failed(hr)) {
        err << Format(ReloadFailedText, hr) << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

void AddServiceCommands(CommandTable& table) {
    table.Add("status", "Print the media server's state as the main window shows it", [] {
        LinuxSystemdServiceManager manager;
        LinuxClock clock;
        ServiceController controller(manager, clock);
        return RunStatus(controller, std::cout);
    });
    for (const auto& [name, operation, help] :
         {std::tuple{"start", ServiceOperation::Start,
                     "Start the media server and wait until it runs"},
          std::tuple{"stop", ServiceOperation::Stop,
                     "Stop the media server and wait until it has stopped"}}) {
        auto timeoutMs = std::make_shared<std::uint32_t>(ServiceOperationTimeoutMs);
        CLI::App* command = table.Add(name, help, [timeoutMs, operation = operation] {
            LinuxSystemdServiceManager manager;
            LinuxClock clock;
            ServiceController controller(manager, clock);
            return RunServiceOperation(controller, operation, *timeoutMs, std::cout, std::cerr);
        });
        command->add_option("--timeout", *timeoutMs, "How long to wait, in milliseconds")
            ->capture_default_str();
    }
    table.Add("reload", "Ask the running media server to re-read its configuration file", [] {
        LinuxDbusAutomationFactory automation;
        return RunReload(automation, std::cerr);
    });
}

}  // namespace vantor
