#include "ui/main_frame_model.h"

#include <mutex>
#include <utility>

namespace vantor {

namespace {

constexpr char16_t NewVirtualFolderPrompt[] = u"Create new virtual folder";
constexpr char16_t NewLiveBroadcastPrompt[] = u"Create new live broadcast configuration";
constexpr char16_t ServerPropertiesPrompt[] = u"Display Media Server properties";
constexpr char16_t StartStopServerPrompt[] = u"Send request command to Media Server";
constexpr char16_t ConnectToServerPrompt[] =
    u"Open a window for the media server of another machine, reached with ssh";
constexpr char16_t ReconnectPrompt[] = u"Connect again to the server of this window, over ssh";
// How long the Start/Stop command waits for the previous worker to finish after its report.
constexpr std::uint32_t WorkerWindDownWaitMs = 2000;

constexpr char16_t AboutPrompt[] = u"Display program information, version number and copyright";

}  // namespace

std::u16string_view MenuPrompt(int command) {
    switch (command) {
        case NewOrEditFolderCommand:
            return NewVirtualFolderPrompt;
        case NewOrEditLiveBroadcastCommand:
            return NewLiveBroadcastPrompt;
        case ServerPropertiesCommand:
            return ServerPropertiesPrompt;
        case StartStopServerCommand:
            return StartStopServerPrompt;
        case AboutCommand:
            return AboutPrompt;
        case ConnectToServerCommand:
            return ConnectToServerPrompt;
        case ReconnectCommand:
            return ReconnectPrompt;
        default:
            return ReadyText;
    }
}

// The worker thread reaches the display only through this, so that a display going away can cut
// it off: the worker may outlive the wait at close.
struct MainFrameModel::CompletionRelay {
    explicit CompletionRelay(MainFrameDisplay& target) : display(&target) {}

    bool Attached() {
        std::lock_guard lock(mutex);
        return display != nullptr;
    }
    void Post(ServerState state) {
        std::lock_guard lock(mutex);
        if (display != nullptr) {
            display->PostCompletion(state);
        }
    }
    void Detach() {
        std::lock_guard lock(mutex);
        display = nullptr;
    }

    std::mutex mutex;
    MainFrameDisplay* display;
};

MainFrameModel::MainFrameModel(MainFrameDisplay& display, ServiceManager& serviceManager,
                               Clock& clock)
    : display_(display),
      relay_(std::make_shared<CompletionRelay>(display)),
      controller_(serviceManager, clock) {}

MainFrameModel::~MainFrameModel() {
    // The controller, destroyed next, joins a worker that may still be on its way.
    relay_->Detach();
}

void MainFrameModel::OnCreate() {
    // Not asked here: a server that hangs would keep the window from showing. Until the first
    // poll answers, the state reads as not responding (nothing is asked of the server) and the
    // pane says it is unknown.
    state_ = ServerState::NotResponding;
    stateKnown_ = false;
    ShowServerState(StateDirection::None);
    ShowStartStopItem();
    StartPolling(InitialPollPeriodMs);
}

void MainFrameModel::OnStatePolled(std::uint64_t pollEpoch, ServerState state,
                                   std::u16string_view treeStatusText) {
    if (closed_ || pollEpoch != pollEpoch_) {
        return;
    }
    state_ = state;
    stateKnown_ = true;
    ShowServerState(StateDirection::None);
    ShowStartStopItem();
    SetMessageText(treeStatusText);
}

bool MainFrameModel::OnStartStop() {
    const std::optional<ServiceOperation> operation = StartStopOperation(state_);
    if (!operation || operationUnderWay_ || closed_) {
        return false;
    }
    // The previous worker reports before it ends: a command given right after its report may
    // find it still winding down.
    controller_.WaitForWorker(WorkerWindDownWaitMs);
    StopPolling();
    startStopEnabled_ = false;
    ShowStartStopItem();
    state_ = ServerState::ChangingState;
    operationUnderWay_ = true;
    ++pollEpoch_;

    // Runs on the worker thread once the operation has ended, whatever its result: the state
    // found afterwards is all the frame shows of it.
    auto report = [relay = relay_, controller = &controller_](const std::u16string&,
                                                              ServiceOperation, HResult) {
        if (relay->Attached()) {
            relay->Post(controller->QueryServerState());
        }
    };
    const HResult queued =
        controller_.QueueServiceOperation(*operation, ServiceOperationTimeoutMs, report);
    ShowServerState(DirectionOf(*operation));
    if (Failed(queued)) {
        // No worker will report back; without this the item would stay grey and polling off.
        OnOperationCompleted(controller_.QueryServerState());
    }
    return true;
}

void MainFrameModel::OnOperationCompleted(ServerState state) {
    operationUnderWay_ = false;
    ++pollEpoch_;
    state_ = state;
    stateKnown_ = true;
    ShowServerState(StateDirection::None);
    startStopEnabled_ = true;
    ShowStartStopItem();
    if (!closed_) {
        StartPolling(FastPollPeriodMs);
    }
}

bool MainFrameModel::OnClose() {
    closed_ = true;
    StopPolling();
    return controller_.WaitForWorker();
}

void MainFrameModel::SetMessageText(std::u16string_view text) {
    messageText_ = text;
    ShowMessagePane();
}

void MainFrameModel::OnMenuItemHighlighted(int command) {
    highlightedCommand_ = command;
    ShowMessagePane();
}

void MainFrameModel::OnMenuClosed() {
    highlightedCommand_.reset();
    ShowMessagePane();
}

std::u16string_view MainFrameModel::MessagePaneText() const {
    return highlightedCommand_ ? MenuPrompt(*highlightedCommand_)
                               : std::u16string_view(messageText_);
}

bool MainFrameModel::WaitForSettledState(const std::function<bool()>& dispatchEvents) {
    // Only a poll or the end of a start or stop sets the event; without either the wait
    // would never end.
    auto canSettle = [this] { return !closed_ && (pollPeriodMs_ || operationUnderWay_); };
    if (!canSettle()) {
        return false;
    }
    settledEvent_.Reset();
    while (!settledEvent_.IsSet()) {
        if (!dispatchEvents()) {
            return settledEvent_.IsSet();
        }
        if (!canSettle()) {
            return settledEvent_.IsSet();
        }
    }
    return true;
}

void MainFrameModel::ShowServerState(StateDirection direction) {
    if (!stateKnown_) {
        // Settles nothing: a wait for a settled state goes on until a real answer.
        display_.ShowStateIcon(state_);
        display_.ShowStateText(ServerStateUnknownText);
        return;
    }
    const ServerStateDisplay shown = DisplayServerState(state_, direction);
    display_.ShowStateIcon(state_);
    switch (shown.settledEvent) {
        case SettledEventAction::Set:
            settledEvent_.Set();
            break;
        case SettledEventAction::Reset:
            settledEvent_.Reset();
            break;
        case SettledEventAction::Untouched:
            break;
    }
    display_.ShowStateText(shown.text);
}

void MainFrameModel::ShowStartStopItem() {
    // While a start or stop runs the item keeps the text it had, greyed.
    if (!operationUnderWay_) {
        startStopText_ = StartStopItemText(state_);
    }
    display_.SetStartStopItem(startStopText_, startStopEnabled_);
}

void MainFrameModel::StartPolling(std::uint32_t periodMs) {
    pollPeriodMs_ = periodMs;
    display_.StartTimer(StatePollTimerId, periodMs);
}

void MainFrameModel::StopPolling() {
    if (pollPeriodMs_) {
        pollPeriodMs_.reset();
        display_.StopTimer(StatePollTimerId);
    }
}

void MainFrameModel::ShowMessagePane() {
    display_.ShowMessageText(MessagePaneText());
}

}  // namespace vantor
