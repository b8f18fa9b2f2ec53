#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

namespace vantor {

// The commands of vantorctl: each group of commands adds its subcommands here, beside its own
// code, together with what runs each one, so the program's main only parses and dispatches.
class CommandTable {
public:
    using Runner = std::function<int()>;

    explicit CommandTable(CLI::App& app) : app_(app) {}

    CLI::App& App() { return app_; }
    // Adds a subcommand whose run is called when it was given on the command line.
    CLI::App* Add(const std::string& name, const std::string& help, Runner run);
    // Calls run for a subcommand the caller added itself (one with subcommands of its own).
    void On(CLI::App* command, Runner run);
    // Runs the command that was given; ExitUsage when none was.
    int RunGiven() const;

private:
    CLI::App& app_;
    std::vector<std::pair<CLI::App*, Runner>> entries_;
};

}  // namespace vantor
