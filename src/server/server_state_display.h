#pragma once

#include <optional>
#include <string_view>

#include "server/server_state.h"
#include "server/service_operation.h"

namespace vantor {

// The Start/Stop menu item.
inline constexpr char16_t StartServerItemText[] = u"&Start Media Server";
inline constexpr char16_t StopServerItemText[] = u"&Stop Media Server";
// The state pane.
inline constexpr char16_t ServerRunningText[] = u"Media Server is running";
inline constexpr char16_t ServerStoppedText[] = u"Media Server is stopped";
inline constexpr char16_t ServerChangingStateText[] = u"Media Server is changing state";
inline constexpr char16_t ServerNotRespondingText[] = u"Media Server does not respond";
inline constexpr char16_t ServerStoppingText[] = u"Media Server is stopping";
inline constexpr char16_t ServerStartingText[] = u"Media Server is starting";
// Until the first answer after start-up: the window shows before a hung server has answered.
inline constexpr char16_t ServerStateUnknownText[] = u"Media Server state is unknown";

// Which way a state change shown as ChangingState is going: the tool's own start or stop, or
// none (a poll). Values match ServiceOperation.
enum class StateDirection {
    None = 0,
    Starting = 1,
    Stopping = 2,
};

StateDirection DirectionOf(ServiceOperation operation);

// What showing a state does to the process-wide server-state-settled event.
enum class SettledEventAction {
    Set,
    Reset,
    Untouched,
};

struct ServerStateDisplay {
    std::u16string_view text;
    SettledEventAction settledEvent = SettledEventAction::Untouched;
};

// The state pane's text for the state and the settled event's fate: a settled state (0, 1, 2)
// sets it, ChangingState resets it, a value outside 0-3 shows as not responding and leaves it.
ServerStateDisplay DisplayServerState(ServerState state, StateDirection direction);

// "&Stop Media Server" while the server runs, "&Start Media Server" otherwise.
std::u16string_view StartStopItemText(ServerState state);

// The operation the Start/Stop command queues in this state: a stopped server is started, a
// running one stopped; nothing otherwise (the command then does nothing).
std::optional<ServiceOperation> StartStopOperation(ServerState state);
inline bool IsStartStopOffered(ServerState state) {
    return StartStopOperation(state).has_value();
}

// Icon resource numbers of the state pane, by state; out-of-range states get the
// not-responding icon.
inline constexpr int NotRespondingIconId = 218;
inline constexpr int RunningIconId = 220;
inline constexpr int StoppedIconId = 219;
inline constexpr int ChangingStateIconId = 217;
int ServerStateIconId(ServerState state);

}  // namespace vantor
