#include "platform/linux_remote_bridge.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "platform/linux_window_thread_wait.h"

extern char** environ;

namespace vantor {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// How long a bridge may take to go once its input is closed, before it is made to.
constexpr auto kExitGrace = std::chrono::milliseconds(2000);

}  // namespace

RemoteBridge::RemoteBridge(std::vector<std::string> command, std::chrono::milliseconds callTimeout)
    : command_(std::move(command)), callTimeout_(callTimeout) {
    lost_ = !Start();
}

RemoteBridge::~RemoteBridge() {
    Close();
}

bool RemoteBridge::Start() {
    if (command_.empty()) {
        return false;
    }
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) {
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& part : command_) {
        argv.push_back(part.data());
    }
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&child_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (spawned != 0) {
        child_ = -1;
        close(in[1]);
        close(out[0]);
        return false;
    }
    toChild_ = in[1];
    fromChild_ = out[0];
    // A bridge that went away must not kill the tool when it writes.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

bool RemoteBridge::Restart(std::chrono::milliseconds timeout) {
    // The old bridge may take a moment to go.
    RunOffWindowThread([this] {
        std::lock_guard lock(mutex_);
        Close();
        buffered_.clear();
        answered_ = false;
        lost_ = !Start();
    });
    return Call({{"op", "hello"}}, timeout).has_value();
}

bool RemoteBridge::Lost() const {
    return lost_;
}

bool RemoteBridge::WriteLine(const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = write(toChild_, line.data() + done, line.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::optional<std::string> RemoteBridge::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto newline = buffered_.find('\n');
        if (newline != std::string::npos) {
            std::string line = buffered_.substr(0, newline);
            buffered_.erase(0, newline + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd ready{fromChild_, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return std::nullopt;
        }
        char chunk[kReadChunk];
        const ssize_t got = read(fromChild_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return std::nullopt;  // the bridge ended
        }
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::optional<bridge::Json> RemoteBridge::Call(bridge::Json request,
                                               std::optional<std::chrono::milliseconds> timeout) {
    std::optional<bridge::Json> answer;
    RunOffWindowThread([&] { answer = CallNow(std::move(request), timeout); });
    return answer;
}

std::optional<bridge::Json> RemoteBridge::CallNow(
    bridge::Json request, std::optional<std::chrono::milliseconds> timeout) {
    std::lock_guard lock(mutex_);
    if (lost_) {
        return std::nullopt;
    }
    const long long id = nextId_++;
    request["id"] = id;
    if (!WriteLine(bridge::FormatLine(request))) {
        lost_ = true;
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout.value_or(callTimeout_);
    std::optional<bridge::Json> answer;
    for (;;) {
        const std::optional<std::string> line =
            ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()));
        answer = line ? bridge::ParseLine(*line) : std::nullopt;
        // A login may greet before the bridge starts (a banner, a ~/.bashrc that echoes):
        // until the bridge's first answer, a line that is no answer is passed over.
        if (answer || !line || answered_) {
            break;
        }
    }
    answered_ = answered_ || answer.has_value();
    if (!answer || answer->value("id", -1LL) != id) {
        // Half an exchange cannot be resumed: a later answer could be this one's.
        lost_ = true;
        return std::nullopt;
    }
    return answer;
}

void RemoteBridge::Close() {
    if (toChild_ >= 0) {
        close(toChild_);  // the bridge sees the end of its input and goes, releasing its locks
        toChild_ = -1;
    }
    if (child_ > 0) {
        const auto deadline = std::chrono::steady_clock::now() + kExitGrace;
        int status = 0;
        while (waitpid(child_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) {
                kill(child_, SIGKILL);
                waitpid(child_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        child_ = -1;
    }
    if (fromChild_ >= 0) {
        close(fromChild_);
        fromChild_ = -1;
    }
}

}  // namespace vantor
