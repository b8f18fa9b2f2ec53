#include "server/service_controller.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace vantor {

ServerState ServerStateFromServiceState(std::uint32_t currentState) {
    switch (currentState) {
        case ServiceStopped:
            return ServerState::Stopped;
        case ServiceRunning:
            return ServerState::Running;
        case ServiceStartPending:
        case ServiceStopPending:
        case ServiceContinuePending:
        case ServicePausePending:
        case ServicePaused:
            return ServerState::ChangingState;
        default:
            return ServerState::NotResponding;
    }
}

std::uint32_t StatusPollIntervalMs(std::uint32_t waitHint) {
    return std::clamp(waitHint / 10, MinStatusPollMs, MaxStatusPollMs);
}

ServiceController::ServiceController(ServiceManager& manager, Clock& clock,
                                     std::u16string serviceName)
    : manager_(manager), clock_(clock), serviceName_(std::move(serviceName)) {}

ServiceController::~ServiceController() {
    // No lock: a worker still running needs it to finish.
    if (worker_.joinable()) {
        worker_.join();
    }
}

ServerState ServiceController::QueryServerState() {
    // A service we could not start is as good as absent to the user, whatever its status says.
    if (Failed(manager_.CheckAccess(serviceName_, ServiceAccessStart))) {
        return ServerState::NotResponding;
    }
    ServiceStatus status;
    if (Failed(manager_.QueryStatus(serviceName_, status))) {
        return ServerState::NotResponding;
    }
    return ServerStateFromServiceState(status.currentState);
}

HResult ServiceController::StartServerService(const std::u16string& name, std::uint32_t timeoutMs) {
    HResult result = manager_.CheckAccess(name, ServiceAccessQueryStatus | ServiceAccessStart);
    if (Failed(result)) {
        return result;
    }
    result = manager_.Start(name);
    if (Failed(result)) {
        return result;
    }
    return WaitForServiceState(name, ServiceRunning, timeoutMs) ? SOk : SFalse;
}

HResult ServiceController::StopServerService(const std::u16string& name, std::uint32_t timeoutMs) {
    HResult result = manager_.CheckAccess(name, ServiceAccessStop | ServiceAccessQueryStatus);
    if (Failed(result)) {
        return result;
    }
    // A refused stop (say, one already under way) still ends well if the service stops.
    manager_.Stop(name);
    return WaitForServiceState(name, ServiceStopped, timeoutMs) ? SOk : SFalse;
}

bool ServiceController::WaitForServiceState(const std::u16string& name, std::uint32_t wanted,
                                            std::uint32_t timeoutMs) {
    const bool hasDeadline = timeoutMs != InfiniteTimeoutMs;
    const std::uint64_t deadline = clock_.NowMs() + timeoutMs;
    bool firstPass = true;
    std::uint32_t lastState = 0;
    std::uint32_t lastCheckPoint = 0;
    for (;;) {
        ServiceStatus status;
        if (Failed(manager_.QueryStatus(name, status))) {
            return false;
        }
        if (status.currentState == wanted) {
            return true;
        }
        if (hasDeadline && clock_.NowMs() > deadline) {
            return false;
        }
        // A service that reports a new state is progressing; one whose check point falls back
        // within the same state has lost its way and will not get there.
        if (firstPass || status.currentState != lastState) {
            firstPass = false;
            lastState = status.currentState;
        } else if (status.checkPoint < lastCheckPoint) {
            return false;
        }
        lastCheckPoint = status.checkPoint;
        clock_.SleepMs(StatusPollIntervalMs(status.waitHint));
    }
}

HResult ServiceController::QueueServiceOperation(ServiceOperation operation,
                                                 std::uint32_t timeoutMs,
                                                 ServiceCallback callback) {
    if (operation != ServiceOperation::Start && operation != ServiceOperation::Stop) {
        return EInvalidArg;
    }
    std::lock_guard lock(workerMutex_);
    if (busy_) {
        return ServiceWorkerBusy;
    }
    // The previous worker has done its work; only its thread's exit may still be pending.
    if (worker_.joinable()) {
        worker_.join();
    }
    busy_ = true;
    everQueued_ = true;
    lastTimeoutMs_ = timeoutMs;
    workItemDone_.Reset();
    try {
        worker_ = std::thread(&ServiceController::RunWorker, this, operation, timeoutMs,
                              serviceName_, std::move(callback));
    } catch (const std::system_error& error) {
        busy_ = false;
        workItemDone_.Set();
        return error.code().value() > 0 ? HResultFromError(error.code().value()) : EFail;
    } catch (...) {
        busy_ = false;
        workItemDone_.Set();
        return EFail;
    }
    return SOk;
}

void ServiceController::RunWorker(ServiceOperation operation, std::uint32_t timeoutMs,
                                  std::u16string name, ServiceCallback callback) {
    HResult result = EUnexpected;
    try {
        result = operation == ServiceOperation::Start ? StartServerService(name, timeoutMs)
                                                      : StopServerService(name, timeoutMs);
    } catch (...) {
        result = EUnexpected;
    }
    if (callback) {
        try {
            callback(name, operation, result);
        } catch (...) {
            // Nothing on this thread could report it; the next poll shows the real state.
        }
    }
    std::lock_guard lock(workerMutex_);
    busy_ = false;
    workItemDone_.Set();
}

bool ServiceController::WaitForWorker(std::uint32_t maxMs) {
    {
        std::lock_guard lock(workerMutex_);
        if (!everQueued_) {
            return true;
        }
    }
    if (!workItemDone_.WaitFor(maxMs)) {
        return false;
    }
    std::lock_guard lock(workerMutex_);
    if (!busy_ && worker_.joinable()) {
        worker_.join();
    }
    return true;
}

std::uint32_t ServiceController::CloseWaitMs() const {
    std::lock_guard lock(workerMutex_);
    if (!everQueued_) {
        return 0;
    }
    if (lastTimeoutMs_ == InfiniteTimeoutMs) {
        return InfiniteTimeoutMs;
    }
    const std::uint64_t wait = std::uint64_t{lastTimeoutMs_} * WorkerCloseWaitFactor;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(wait, InfiniteTimeoutMs - 1));
}

bool ServiceController::IsOperationRunning() const {
    std::lock_guard lock(workerMutex_);
    return busy_;
}

}  // namespace vantor
