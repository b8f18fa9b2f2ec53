#include "platform/linux_ssh_command.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {
namespace {

std::string Environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// Single quotes for the remote shell, which ssh hands its command to.
std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::string SshControlFolder() {
    const std::string runtime =
        Environment("XDG_RUNTIME_DIR", ("/tmp/vantorconfig-" + std::to_string(getuid())).c_str());
    mkdir(runtime.c_str(), 0700);
    const std::string folder = runtime + "/vantorconfig-ssh";
    mkdir(folder.c_str(), 0700);
    return folder;
}

std::vector<std::string> SshBridgeCommand(const RemoteHost& host) {
    // The user's ssh command line, then ours as its arguments ("$@"), never parsed by a shell.
    std::vector<std::string> command = {
        "/bin/sh", "-c", Environment("VANTOR_SSH_COMMAND", "ssh") + " \"$@\"", "vantor-ssh"};
    const auto add = [&command](std::initializer_list<std::string> words) {
        command.insert(command.end(), words);
    };
    add({"-x", "-T", "-o", "ControlMaster=auto", "-o", "ControlPath=" + SshControlFolder() + "/%C",
         "-o", "ControlPersist=60"});
    const bool canAsk = isatty(STDIN_FILENO) || std::getenv("SSH_ASKPASS") != nullptr;
    if (!canAsk) {
        add({"-o", "BatchMode=yes"});
    }
    if (host.port) {
        add({"-p", std::to_string(*host.port)});
    }
    if (!host.user.empty()) {
        add({"-l", host.user});
    }
    add({"--", host.host,
         ShellQuoted(Environment("VANTOR_REMOTE_VANTORCTL", "vantorctl")) + " bridge"});
    return command;
}

}  // namespace vantor
