#include "server/server_state_display.h"

#include <gtest/gtest.h>

using namespace vantor;

TEST(ServerStateDisplay, PaneMenuAndSettledEventFollowStateAndDirection) {
    using enum StateDirection;
    using enum SettledEventAction;
    constexpr auto Bad = static_cast<StateDirection>(7);
    constexpr std::optional<ServiceOperation> No, Start = ServiceOperation::Start,
                                                  Stop = ServiceOperation::Stop;
    const std::u16string_view start = u"&Start Media Server";
    // State, direction; the pane text, the settled event, the icon, the menu item's operation
    // and text.
    using Row = std::tuple<int, StateDirection, std::u16string_view, SettledEventAction, int,
                           std::optional<ServiceOperation>, std::u16string_view>;
    const Row rows[] = {
        {0, Starting, u"Media Server does not respond", Set, 218, No, start},
        {1, Stopping, u"Media Server is running", Set, 220, Stop, u"&Stop Media Server"},
        {2, Starting, u"Media Server is stopped", Set, 219, Start, start},
        {3, None, u"Media Server is changing state", Reset, 217, No, start},
        {3, Stopping, u"Media Server is stopping", Reset, 217, No, start},
        {3, Bad, u"Media Server is changing state", Reset, 217, No, start},
        // Outside 0-3: shown as not responding, the event left alone.
        {-1, None, u"Media Server does not respond", Untouched, 218, No, start},
        {4, Starting, u"Media Server does not respond", Untouched, 218, No, start},
    };
    for (const Row& row : rows) {
        const auto state = static_cast<ServerState>(std::get<0>(row));
        const auto shown = DisplayServerState(state, std::get<1>(row));
        EXPECT_EQ(
            Row(std::get<0>(row), std::get<1>(row), shown.text, shown.settledEvent,
                ServerStateIconId(state), StartStopOperation(state), StartStopItemText(state)),
            row)
            << "row " << (&row - rows);
    }
    EXPECT_EQ(std::pair(DirectionOf(ServiceOperation::Start), DirectionOf(ServiceOperation::Stop)),
              std::pair(Starting, Stopping));
}
