#include "server/server_state_display.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(ServerStateDisplay, PaneMenuAndSettledEventFollowStateAndDirection) {
    constexpr auto None = StateDirection::None, Starting = StateDirection::Starting,
                   Stopping = StateDirection::Stopping, Bad = static_cast<StateDirection>(7);
    constexpr auto Set = SettledEventAction::Set, Reset = SettledEventAction::Reset,
                   Untouched = SettledEventAction::Untouched;
    constexpr std::optional<ServiceOperation> No, Start = ServiceOperation::Start,
                                                  Stop = ServiceOperation::Stop;
    const struct {
        int state;
        StateDirection direction;
        std::u16string_view text;
        SettledEventAction settled;
        int icon;
        std::optional<ServiceOperation> operation;
    } cases[] = {
        {0, Starting, u"Media Server does not respond", Set, 218, No},
        {1, Stopping, u"Media Server is running", Set, 220, Stop},
        {2, Starting, u"Media Server is stopped", Set, 219, Start},
        {2, Bad, u"Media Server is stopped", Set, 219, Start},
        {3, None, u"Media Server is changing state", Reset, 217, No},
        {3, Starting, u"Media Server is starting", Reset, 217, No},
        {3, Stopping, u"Media Server is stopping", Reset, 217, No},
        {3, Bad, u"Media Server is changing state", Reset, 217, No},
        // Outside 0-3: shown as not responding, the event left alone.
        {-1, None, u"Media Server does not respond", Untouched, 218, No},
        {4, Starting, u"Media Server does not respond", Untouched, 218, No},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state * 10 + static_cast<int>(c.direction));
        const auto state = static_cast<ServerState>(c.state);
        const auto shown = DisplayServerState(state, c.direction);
        EXPECT_EQ(shown.text, c.text);
        EXPECT_EQ(shown.settledEvent, c.settled);
        EXPECT_EQ(ServerStateIconId(state), c.icon);
        EXPECT_EQ(StartStopOperation(state), c.operation);
        EXPECT_EQ(IsStartStopOffered(state), c.operation.has_value());
        EXPECT_EQ(StartStopItemText(state),
                  c.state == 1 ? u"&Stop Media Server" : u"&Start Media Server");
    }
    EXPECT_EQ(DirectionOf(ServiceOperation::Start), Starting);
    EXPECT_EQ(DirectionOf(ServiceOperation::Stop), Stopping);
}

}  // namespace
}  // namespace vantor
