#include "sim/termination_signals.h"

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace vantor::sim {
namespace {

// Written by the handler, read by the event loop; a process has only one set of handlers.
int pipeFds[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() {
    if (notifier_ != nullptr) {
        signal(SIGTERM, SIG_DFL);
        signal(SIGINT, SIG_DFL);
    }
}

bool TerminationSignals::Install() {
    if (pipeFds[0] < 0 && pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGTERM, &action, nullptr) != 0 || sigaction(SIGINT, &action, nullptr) != 0) {
        return false;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (read(pipeFds[0], buffer, sizeof buffer) > 0) {
        }
        emit Received();
    });
    return true;
}

}  // namespace vantor::sim
