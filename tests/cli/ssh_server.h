#pragma once

// A real sshd on 127.0.0.1 for the remote tests: its own host key, client key, authorized_keys
// and configuration in a temporary folder, a free port, stopped by its PID. The client side is
// a configuration file for `ssh -F` with the host "test-host", whose key is already known.

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli/vantorctl_fixture.h"

extern char** environ;

namespace vantor::test {

class SshServer {
public:
    // folder: an empty folder of the test's own, kept until the server is stopped.
    explicit SshServer(std::string folder) : folder_(std::move(folder)) {}
    ~SshServer() { Stop(); }
    SshServer(const SshServer&) = delete;
    SshServer& operator=(const SshServer&) = delete;

    // Empty when the server runs, else what went wrong. remoteEnvironment: NAME=VALUE lines the
    // client sends and the server accepts (SetEnv / AcceptEnv), as a remote machine's own
    // settings would be.
    std::string Start(const std::string& remoteEnvironment = {}) {
        if (!std::filesystem::exists("/usr/sbin/sshd")) {
            return "no /usr/sbin/sshd: scripts/setup installs openssh-server";
        }
        std::filesystem::create_directories("/run/sshd");  // sshd's privilege separation
        for (const char* key : {"host_key", "client_key"}) {
            const std::string command =
                "ssh-keygen -q -t ed25519 -N '' -C test -f '" + At(key) + "' </dev/null >/dev/null";
            if (std::system(command.c_str()) != 0) {
                return std::string("ssh-keygen failed for ") + key;
            }
        }
        std::filesystem::copy_file(At("client_key.pub"), At("authorized_keys"));
        port_ = FreePort();
        const std::string user = getpwuid(getuid())->pw_name;
        std::ofstream(At("sshd_config"))
            << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey " << At("host_key")
            << "\nAuthorizedKeysFile " << At("authorized_keys") << "\nPidFile " << At("sshd.pid")
            << "\nPermitRootLogin prohibit-password\nPasswordAuthentication no\n"
               "KbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\n"
               "AcceptEnv VANTOR_* DBUS_SYSTEM_BUS_ADDRESS SHLVL\nLogLevel ERROR\n";
        std::ofstream client(At("ssh_config"));
        client << "Host test-host\n  HostName 127.0.0.1\n  Port " << port_ << "\n  User " << user
               << "\n  IdentityFile " << At("client_key") << "\n  IdentitiesOnly yes\n"
               << "  UserKnownHostsFile " << At("known_hosts")
               << "\n  StrictHostKeyChecking yes\n  LogLevel ERROR\n";
        // ssh takes the first SetEnv line only, so every variable goes on one.
        std::istringstream variables(remoteEnvironment);
        std::string setEnv;
        for (std::string line; std::getline(variables, line);) {
            setEnv += " " + line;
        }
        if (!setEnv.empty()) {
            client << "  SetEnv" << setEnv << "\n";
        }
        client.close();
        std::ofstream(At("known_hosts"))
            << "[127.0.0.1]:" << port_ << " " << ReadWhole<std::string>(At("host_key.pub"));

        std::string sshd = "/usr/sbin/sshd", dashD = "-D", dashE = "-e", dashF = "-f",
                    config = At("sshd_config");
        char* argv[] = {sshd.data(),  dashD.data(),  dashE.data(),
                        dashF.data(), config.data(), nullptr};
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv, environ) != 0) {
            pid_ = -1;
            return "sshd could not be started";
        }
        for (int tries = 0; tries < 100; ++tries) {
            if (Accepts()) {
                return {};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "sshd did not listen on port " + std::to_string(port_);
    }
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    // What VANTOR_SSH_COMMAND holds for this server.
    std::string SshCommand() const { return "ssh -F '" + At("ssh_config") + "'"; }
    std::string At(const std::string& name) const { return folder_ + "/" + name; }

private:
    static int FreePort() {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        close(fd);
        return ntohs(address.sin_port);
    }
    bool Accepts() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool connected =
            connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return connected;
    }

    std::string folder_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace vantor::test
