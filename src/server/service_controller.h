#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/hresult.h"
#include "platform/service_manager.h"
#include "server/manual_reset_event.h"
#include "server/server_state.h"
#include "server/service_operation.h"

namespace vantor {

// The media server's service.
inline constexpr char16_t ServerServiceName[] = u"Vantor";

// How long a start or stop waits for the service to reach its new state.
inline constexpr std::uint32_t ServiceOperationTimeoutMs = 20000;
// Closing waits for a running start or stop at most this many times the operation's time-out.
inline constexpr std::uint32_t WorkerCloseWaitFactor = 4;
// A time-out that never expires.
inline constexpr std::uint32_t InfiniteTimeoutMs = 0xFFFFFFFFu;

// Bounds of the pause between two status queries while waiting for a state.
inline constexpr std::uint32_t MinStatusPollMs = 1000;
inline constexpr std::uint32_t MaxStatusPollMs = 10000;

// QueueServiceOperation's answer while an operation still runs (ERROR_BUSY).
inline constexpr HResult ServiceWorkerBusy = HResultFromError(170);

// Called once on the worker thread when a queued operation ends, with the service name, the
// operation and its result. It must let no exception escape (the worker swallows any that do).
using ServiceCallback =
    std::function<void(const std::u16string& name, ServiceOperation operation, HResult result)>;

// The displayed state for a service manager's state code.
ServerState ServerStateFromServiceState(std::uint32_t currentState);
// The pause before the next status query: a tenth of the service's wait hint, within
// [MinStatusPollMs, MaxStatusPollMs].
std::uint32_t StatusPollIntervalMs(std::uint32_t waitHint);

// Queries, starts and stops the server's service. Starts and stops run one at a time on a worker
// thread and report back through their callback; the rest runs on the caller's thread.
class ServiceController {
public:
    ServiceController(ServiceManager& manager, Clock& clock,
                      std::u16string serviceName = ServerServiceName);
    // Waits for a running worker to finish.
    ~ServiceController();
    ServiceController(const ServiceController&) = delete;
    ServiceController& operator=(const ServiceController&) = delete;

    const std::u16string& ServiceName() const { return serviceName_; }

    // NotResponding when the service cannot be opened for starting or its status cannot be read.
    ServerState QueryServerState();

    // S_OK when the service reached the wanted state, S_FALSE when the wait gave up, or the
    // failure of opening or starting/stopping it. A service that already runs fails to start;
    // a refused stop is not an error in itself, the wait decides.
    HResult StartServerService(const std::u16string& name, std::uint32_t timeoutMs);
    HResult StopServerService(const std::u16string& name, std::uint32_t timeoutMs);

    // Polls until the service is in the wanted ServiceStatus state (true). False when the status
    // cannot be read, the time-out (InfiniteTimeoutMs: none) has passed, or the service reports
    // the same pending state with a lower check point than before.
    bool WaitForServiceState(const std::u16string& name, std::uint32_t wanted,
                             std::uint32_t timeoutMs);

    // Runs the operation on a worker thread and returns S_OK, or ServiceWorkerBusy while an
    // earlier operation still runs (the caller offers no second one meanwhile, so refusing is
    // safer than queueing behind it), E_INVALIDARG for an unknown operation, or the failure to
    // create the thread. The callback, if any, runs on the worker thread.
    HResult QueueServiceOperation(ServiceOperation operation, std::uint32_t timeoutMs,
                                  ServiceCallback callback);

    // For closing: waits until no operation runs, at most maxMs (InfiniteTimeoutMs: no limit);
    // false when the wait ran out. Returns at once when nothing was ever queued.
    bool WaitForWorker(std::uint32_t maxMs);
    // The same with CloseWaitMs().
    bool WaitForWorker() { return WaitForWorker(CloseWaitMs()); }
    // WorkerCloseWaitFactor times the last queued operation's time-out; 0 when nothing was queued.
    std::uint32_t CloseWaitMs() const;
    bool IsOperationRunning() const;

private:
    void RunWorker(ServiceOperation operation, std::uint32_t timeoutMs, std::u16string name,
                   ServiceCallback callback);

    ServiceManager& manager_;
    Clock& clock_;
    const std::u16string serviceName_;

    mutable std::mutex workerMutex_;
    std::thread worker_;
    bool busy_ = false;
    std::uint32_t lastTimeoutMs_ = 0;
    bool everQueued_ = false;
    // Set while no operation runs; reset when one is queued, set again when it ends. Unlike the
    // auto-reset event of old, a wait does not consume it: the close path may wait twice (close
    // request, then destruction) and the second wait must not sit out its whole time-out.
    ManualResetEvent workItemDone_{true};
};

}  // namespace vantor
