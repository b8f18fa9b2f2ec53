#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/service_manager.h"
#include "server/manual_reset_event.h"
#include "server/server_state.h"
#include "server/server_state_display.h"
#include "server/service_controller.h"
#include "ui/context_menu.h"

namespace vantor {

// The frame's title; its first SingleInstanceNameLength characters also name the single-instance
// lock and channel.
inline constexpr char16_t FrameTitle[] = u"Configuration of Media Server";
inline constexpr int FrameWidth = 700;
inline constexpr int FrameHeight = 525;

// Command ids of the frame menu beyond those the tree's context menu shares with it
// (NewOrEditFolderCommand 204, NewOrEditLiveBroadcastCommand 205, ServerPropertiesCommand 215,
// DeleteResourceCommand 57635, which the Delete key sends).
inline constexpr int StartStopServerCommand = 32773;
inline constexpr int HelpContentsCommand = 32786;
inline constexpr int AboutCommand = 57664;
// Opens a window for the server of another machine (reached over ssh).
inline constexpr int ConnectToServerCommand = 33001;
inline constexpr char16_t MenuConnectToServerText[] = u"&Connect to server...";
// Makes the lost link of a window for another machine again.
inline constexpr int ReconnectCommand = 33002;
inline constexpr char16_t MenuReconnectText[] = u"&Reconnect";

// The menu, in order. A command of 0 is a separator.
struct FrameMenuEntry {
    int command;
    std::u16string_view text;
};
struct FrameMenuPopup {
    std::u16string_view title;
    std::span<const FrameMenuEntry> entries;
};
inline constexpr FrameMenuEntry FileMenuEntries[] = {
    {NewOrEditLiveBroadcastCommand, MenuNewLiveBroadcastText},
    {NewOrEditFolderCommand, MenuNewVirtualFolderText},
    {ServerPropertiesCommand, MenuPropertiesText},
    {0, u""},
    {StartStopServerCommand, StartServerItemText},
    {0, u""},
    {ConnectToServerCommand, MenuConnectToServerText},
    {ReconnectCommand, MenuReconnectText},
};
inline constexpr FrameMenuEntry HelpMenuEntries[] = {
    {HelpContentsCommand, u"&Contents..."},
    {AboutCommand, u"&About VantorConfig..."},
};
inline constexpr FrameMenuPopup FrameMenu[] = {
    {u"&File", FileMenuEntries},
    {u"&Help", HelpMenuEntries},
};

// The status bar: the message pane takes the rest of the width, the state pane a fixed width.
inline constexpr int MessagePaneId = 0;
inline constexpr int StatePaneId = 216;
inline constexpr int StatePaneWidth = 180;
inline constexpr char16_t ReadyText[] = u"Ready";
inline constexpr char16_t OkText[] = u"OK";

// The splitters: the tree's width, and the contents list's height above the activity monitor.
inline constexpr int TreePaneWidth = 180;
inline constexpr int ContentsPaneHeight = 300;

// The state-polling timer: its id, its period until the first start or stop completes, and its
// period from then on.
inline constexpr int StatePollTimerId = 255;
inline constexpr std::uint32_t InitialPollPeriodMs = 1000;
inline constexpr std::uint32_t FastPollPeriodMs = 250;

// The event a finished start or stop posts to the frame, with the state found afterwards.
inline constexpr int OperationCompletedEventId = 25000;

// The prompt the message pane shows while a menu item is highlighted ("Ready" for any other).
std::u16string_view MenuPrompt(int command);

// What the frame model changes in its window. Everything but PostCompletion is called on the
// user-interface thread.
class MainFrameDisplay {
public:
    virtual ~MainFrameDisplay() = default;
    virtual void ShowStateIcon(ServerState state) = 0;
    virtual void ShowStateText(std::u16string_view text) = 0;
    virtual void ShowMessageText(std::u16string_view text) = 0;
    virtual void SetStartStopItem(std::u16string_view text, bool enabled) = 0;
    virtual void StartTimer(int timerId, std::uint32_t periodMs) = 0;
    virtual void StopTimer(int timerId) = 0;
    // Called on the service worker thread when a start or stop has ended: hands the state found
    // afterwards to the user-interface thread, which then calls OnOperationCompleted with it.
    virtual void PostCompletion(ServerState state) = 0;
};

// The main frame's rules without widgets: the server state and its display, the Start/Stop
// command, the polling timer, the settled-state event and the message pane.
class MainFrameModel {
public:
    MainFrameModel(MainFrameDisplay& display, ServiceManager& serviceManager, Clock& clock);
    // Stops the worker from reporting to a display that is going away, then waits for it.
    ~MainFrameModel();
    MainFrameModel(const MainFrameModel&) = delete;
    MainFrameModel& operator=(const MainFrameModel&) = delete;

    // The current state; the configuration store and the panes keep a reference to it.
    const ServerState& State() const { return state_; }
    // Set whenever a settled state (0, 1, 2) is shown, reset while the state changes.
    ManualResetEvent& SettledEvent() { return settledEvent_; }
    ServiceController& Controller() { return controller_; }

    // Frame creation: shows the state as unknown (asking nothing: the first poll answers) and
    // starts polling once a second.
    void OnCreate();
    // A poll of the state made off this thread (the poll timer's tick): its state, shown unless
    // a start or stop began or ended since pollEpoch was read (the state would be stale);
    // treeStatusText goes into the message pane.
    std::uint64_t PollEpoch() const { return pollEpoch_; }
    void OnStatePolled(std::uint64_t pollEpoch, ServerState state,
                       std::u16string_view treeStatusText);
    // The Start/Stop command: starts a stopped server or stops a running one on the worker
    // thread. False, and nothing done, in any other state.
    bool OnStartStop();
    // The worker's result, back on the user-interface thread.
    void OnOperationCompleted(ServerState state);
    // Closing: waits for a running start or stop, at most four times its time-out, and polls no
    // more. False when the worker did not finish in time.
    bool OnClose();

    // The message pane: its own text, overlaid by a menu prompt while a menu is open.
    void SetMessageText(std::u16string_view text);
    // command 0: a menu is open with nothing highlighted.
    void OnMenuItemHighlighted(int command);
    void OnMenuClosed();
    const std::u16string& MessageText() const { return messageText_; }
    std::u16string_view MessagePaneText() const;

    // For the dialogs that need the user manager: resets the settled event and keeps calling
    // dispatchEvents (which runs the thread's pending events for a short while and returns false
    // when it cannot go on) until a settled state has been shown. Returns false at once when
    // nothing could set the event any more (no polling and no start or stop under way).
    bool WaitForSettledState(const std::function<bool()>& dispatchEvents);

    // The Start/Stop item as last shown.
    std::u16string_view StartStopText() const { return startStopText_; }
    bool StartStopEnabled() const { return startStopEnabled_; }
    // The polling period, or nothing while the timer is stopped.
    std::optional<std::uint32_t> PollPeriodMs() const { return pollPeriodMs_; }
    bool IsOperationUnderWay() const { return operationUnderWay_; }

private:
    struct CompletionRelay;

    void ShowServerState(StateDirection direction);
    void ShowStartStopItem();
    void StartPolling(std::uint32_t periodMs);
    void StopPolling();
    void ShowMessagePane();

    MainFrameDisplay& display_;
    ServerState state_ = ServerState::NotResponding;
    // False from creation to the first answer of a poll or an operation.
    bool stateKnown_ = false;
    ManualResetEvent settledEvent_{true};
    std::shared_ptr<CompletionRelay> relay_;
    std::u16string_view startStopText_ = StartServerItemText;
    bool startStopEnabled_ = true;
    bool operationUnderWay_ = false;
    std::uint64_t pollEpoch_ = 0;
    bool closed_ = false;
    std::optional<std::uint32_t> pollPeriodMs_;
    std::u16string messageText_ = ReadyText;
    std::optional<int> highlightedCommand_;
    // Last: destroyed first, so its worker has finished before the rest goes.
    ServiceController controller_;
};

}  // namespace vantor
