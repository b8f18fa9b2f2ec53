#include "ui/context_menu.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

using enum ResourceKind;
using enum MulticastMenuItem;

// The menu of a record of kind, enabled or not, as one string: "id text" per entry, "-" per
// separator, joined by "|".
std::string Menu(ResourceKind kind, bool enabled, MulticastMenuItem multicast) {
    ResourceRecord record;
    record.kind = kind;
    record.enabled = enabled;
    std::string lines;
    for (const ContextMenuEntry& entry : BuildContextMenu(record, multicast)) {
        const std::string text(entry.text.begin(), entry.text.end());
        lines += (lines.empty() ? "" : "|") +
                 (entry.separator ? "-" : std::to_string(entry.id) + " " + text);
    }
    return lines;
}

TEST(ContextMenu, ItemsPerKindAndState) {
    const std::string folder = "0 Delete &virtual folder|32775 Virtual folder &settings...|-|";
    const std::string tail = "32785 &Export info to web page...|";
    const std::string broadcast = "212 Delete &live broadcast|213 Live broadcast &settings...";
    EXPECT_EQ(Menu(ServerRoot, true, Hidden),
              "210 New &live broadcast...|211 New &virtual folder...|214 &Properties...");
    EXPECT_EQ(Menu(FileResourcesBranch, true, Hidden), "211 New &virtual folder...");
    EXPECT_EQ(Menu(LiveBroadcastsBranch, true, Hidden), "210 New &live broadcast...");
    EXPECT_EQ(Menu(LiveBroadcast, true, Hidden), "32790 &Disable live broadcast|" + broadcast);
    EXPECT_EQ(Menu(LiveBroadcast, false, Hidden), "32790 &Enable live broadcast|" + broadcast);
    EXPECT_EQ(Menu(VirtualFolder, false, Hidden), "32790 &Enable virtual folder|" + folder + tail +
                                                      "-|32788 &Generate WMP playlist...");
    EXPECT_EQ(Menu(VirtualFolder, true, Start), "32790 &Disable virtual folder|" + folder +
                                                    "32777 &Start muticasting|-|" + tail +
                                                    "32788 &Generate WMP playlist...");
    EXPECT_EQ(Menu(VirtualFolder, true, Stop), "32790 &Disable virtual folder|" + folder +
                                                   "32777 &Stop multicasting|-|" + tail +
                                                   "32788 &Generate WMP playlist...");
}

TEST(ContextMenu, TranslatesItemIdsToCommands) {
    using enum CommandRoute;
    const std::pair<int, std::optional<RoutedCommand>> cases[] = {
        {211, RoutedCommand{Frame, 204, 0}},
        {32775, RoutedCommand{Frame, 204, -1}},
        {210, RoutedCommand{Frame, 205, 0}},
        {213, RoutedCommand{Frame, 205, -1}},
        {214, RoutedCommand{Frame, 215, 0}},
        {212, RoutedCommand{Frame, 57635, 0}},
        {0, RoutedCommand{Frame, 57635, 0}},
        {32790, RoutedCommand{Pane, 32790, 0}},
        {32777, RoutedCommand{Pane, 32777, 0}},
        {32785, RoutedCommand{Pane, 32785, 0}},
        {32788, RoutedCommand{Pane, 32788, 0}},
        {204, std::nullopt},
        {57635, std::nullopt},
    };
    for (const auto& [id, command] : cases) {
        EXPECT_EQ(TranslateMenuCommand(id), command) << id;
    }
}

}  // namespace
}  // namespace vantor
