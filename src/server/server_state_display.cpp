#include "server/server_state_display.h"

namespace vantor {

StateDirection DirectionOf(ServiceOperation operation) {
    return operation == ServiceOperation::Start ? StateDirection::Starting
                                                : StateDirection::Stopping;
}

ServerStateDisplay DisplayServerState(ServerState state, StateDirection direction) {
    switch (state) {
        case ServerState::NotResponding:
            return {ServerNotRespondingText, SettledEventAction::Set};
        case ServerState::Running:
            return {ServerRunningText, SettledEventAction::Set};
        case ServerState::Stopped:
            return {ServerStoppedText, SettledEventAction::Set};
        case ServerState::ChangingState:
            switch (direction) {
                case StateDirection::Starting:
                    return {ServerStartingText, SettledEventAction::Reset};
                case StateDirection::Stopping:
                    return {ServerStoppingText, SettledEventAction::Reset};
                default:
                    return {ServerChangingStateText, SettledEventAction::Reset};
            }
    }
    return {ServerNotRespondingText, SettledEventAction::Untouched};
}

std::u16string_view StartStopItemText(ServerState state) {
    return state == ServerState::Running ? StopServerItemText : StartServerItemText;
}

std::optional<ServiceOperation> StartStopOperation(ServerState state) {
    switch (state) {
        case ServerState::Running:
            return ServiceOperation::Stop;
        case ServerState::Stopped:
            return ServiceOperation::Start;
        default:
            return std::nullopt;
    }
}

int ServerStateIconId(ServerState state) {
    switch (state) {
        case ServerState::Running:
            return RunningIconId;
        case ServerState::Stopped:
            return StoppedIconId;
        case ServerState::ChangingState:
            return ChangingStateIconId;
        default:
            return NotRespondingIconId;
    }
}

}  // namespace vantor
