#include "platform/linux_ssh_command.h"

#include <cctype>
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
    // A socket's path has room for 107 bytes, and ssh adds the 40 of %C and 17 of its own while
    // it makes the socket: a runtime folder too deep for that falls back to /tmp.
    constexpr std::size_t kSocketRoom = 107 - 40 - 17 - 1;
    const std::string fallback = "/tmp/vantor-ssh-" + std::to_string(getuid());
    std::string folder = Environment("XDG_RUNTIME_DIR", "");
    folder = folder.empty() ? fallback : folder + "/vantor-ssh";
    if (folder.size() > kSocketRoom) {
        folder = fallback;
    }
    mkdir(folder.c_str(), 0700);
    return folder;
}

namespace {

// ssh running remoteCommand on host; remoteCommand is fixed text for the far side's shell.
std::vector<std::string> SshCommand(const RemoteHost& host, const std::string& remoteCommand) {
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
    add({"--", host.host, remoteCommand});
    return command;
}

// A D-Bus address value: bytes outside the few that may stand as they are, %-escaped.
std::string EscapedBusValue(const std::string& value) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_' || c == '/' || c == '.' || c == '\\' ||
            c == '*') {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        }
    }
    return escaped;
}

}  // namespace

std::vector<std::string> SshBridgeCommand(const RemoteHost& host) {
    return SshCommand(host,
                      ShellQuoted(Environment("VANTOR_REMOTE_VANTORCTL", "vantorctl")) + " bridge");
}

std::string RemoteSystemBusAddress(const RemoteHost& host) {
    const std::vector<std::string> argv =
        SshCommand(host,
                   "exec systemd-stdio-bridge "
                   "${DBUS_SYSTEM_BUS_ADDRESS:+\"--bus-path=$DBUS_SYSTEM_BUS_ADDRESS\"}");
    std::string address = "unixexec:path=" + EscapedBusValue(argv.front());
    for (std::size_t i = 0; i < argv.size(); ++i) {
        address += ",argv" + std::to_string(i) + "=" + EscapedBusValue(argv[i]);
    }
    return address;
}

}  // namespace vantor
