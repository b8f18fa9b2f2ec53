#include "cli/command_table.h"

#include <CLI/CLI.hpp>

#include "cli/config_commands.h"

namespace vantor {

CLI::App* CommandTable::Add(const std::string& name, const std::string& help, Runner run) {
    CLI::App* command = app_.add_subcommand(name, help);
    On(command, std::move(run));
    return command;
}

void CommandTable::On(CLI::App* command, Runner run) {
    entries_.emplace_back(command, std::move(run));
}

int CommandTable::RunGiven() const {
    for (const auto& [command, run] : entries_) {
        if (*command) {
            return run();
        }
    }
    return ExitUsage;
}

}  // namespace vantor
