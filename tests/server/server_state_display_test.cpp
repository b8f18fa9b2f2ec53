#include "server/server_state_display.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr StateDirection AllDirections[] = {StateDirection::None, StateDirection::Starting,
                                            StateDirection::Stopping,
                                            static_cast<StateDirection>(7)};

TEST(ServerStateDisplay, SettledStatesSetTheEventWhateverTheDirection) {
    for (StateDirection direction : AllDirections) {
        auto shown = DisplayServerState(ServerState::NotResponding, direction);
        EXPECT_EQ(shown.text, u"Media Server does not respond");
        EXPECT_EQ(shown.settledEvent, SettledEventAction::Set);
        shown = DisplayServerState(ServerState::Running, direction);
        EXPECT_EQ(shown.text, u"Media Server is running");
        EXPECT_EQ(shown.settledEvent, SettledEventAction::Set);
        shown = DisplayServerState(ServerState::Stopped, direction);
        EXPECT_EQ(shown.text, u"Media Server is stopped");
        EXPECT_EQ(shown.settledEvent, SettledEventAction::Set);
    }
}

TEST(ServerStateDisplay, ChangingStateNamesTheToolsOwnOperationAndResetsTheEvent) {
    const std::pair<StateDirection, std::u16string_view> cases[] = {
        {StateDirection::None, u"Media Server is changing state"},
        {StateDirection::Starting, u"Media Server is starting"},
        {StateDirection::Stopping, u"Media Server is stopping"},
        {static_cast<StateDirection>(7), u"Media Server is changing state"},
    };
    for (const auto& [direction, text] : cases) {
        const auto shown = DisplayServerState(ServerState::ChangingState, direction);
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.settledEvent, SettledEventAction::Reset);
    }
    EXPECT_EQ(DirectionOf(ServiceOperation::Start), StateDirection::Starting);
    EXPECT_EQ(DirectionOf(ServiceOperation::Stop), StateDirection::Stopping);
}

TEST(ServerStateDisplay, UnknownStateShowsNotRespondingAndLeavesTheEvent) {
    for (int value : {-1, 4, 255}) {
        for (StateDirection direction : AllDirections) {
            const auto shown = DisplayServerState(static_cast<ServerState>(value), direction);
            EXPECT_EQ(shown.text, u"Media Server does not respond");
            EXPECT_EQ(shown.settledEvent, SettledEventAction::Untouched);
        }
    }
}

TEST(ServerStateDisplay, StartStopItemFollowsTheState) {
    EXPECT_EQ(StartStopItemText(ServerState::Running), u"&Stop Media Server");
    for (ServerState state : {ServerState::NotResponding, ServerState::Stopped,
                              ServerState::ChangingState, static_cast<ServerState>(9)}) {
        EXPECT_EQ(StartStopItemText(state), u"&Start Media Server");
    }

    EXPECT_EQ(StartStopOperation(ServerState::Stopped), ServiceOperation::Start);
    EXPECT_EQ(StartStopOperation(ServerState::Running), ServiceOperation::Stop);
    EXPECT_TRUE(IsStartStopOffered(ServerState::Stopped));
    EXPECT_TRUE(IsStartStopOffered(ServerState::Running));
    for (ServerState state :
         {ServerState::NotResponding, ServerState::ChangingState, static_cast<ServerState>(9)}) {
        EXPECT_FALSE(StartStopOperation(state).has_value());
        EXPECT_FALSE(IsStartStopOffered(state));
    }

    EXPECT_EQ(ServerStateIconId(ServerState::NotResponding), 218);
    EXPECT_EQ(ServerStateIconId(ServerState::Running), 220);
    EXPECT_EQ(ServerStateIconId(ServerState::Stopped), 219);
    EXPECT_EQ(ServerStateIconId(ServerState::ChangingState), 217);
    EXPECT_EQ(ServerStateIconId(static_cast<ServerState>(9)), 218);
}

}  // namespace
}  // namespace vantor
