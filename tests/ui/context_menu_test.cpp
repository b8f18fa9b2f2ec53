#include "ui/context_menu.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

// The menu as one line per entry ("---" for a separator, else "id text"), easy to compare.
std::vector<std::string> Lines(const std::vector<ContextMenuEntry>& entries) {
    std::vector<std::string> lines;
    for (const ContextMenuEntry& entry : entries) {
        if (entry.separator) {
            lines.push_back("---");
        } else {
            lines.push_back(std::to_string(entry.id) + " " +
                            std::string(entry.text.begin(), entry.text.end()));
        }
    }
    return lines;
}

ResourceRecord OfKind(ResourceKind kind, bool enabled = true) {
    ResourceRecord record;
    record.kind = kind;
    record.enabled = enabled;
    return record;
}

using Menu = std::vector<std::string>;

TEST(ContextMenu, FixedItemsAndLiveBroadcasts) {
    const auto hidden = MulticastMenuItem::Hidden;
    EXPECT_EQ(
        Lines(BuildContextMenu(OfKind(ResourceKind::ServerRoot), hidden)),
        (Menu{"210 New &live broadcast...", "211 New &virtual folder...", "214 &Properties..."}));
    EXPECT_EQ(Lines(BuildContextMenu(OfKind(ResourceKind::FileResourcesBranch), hidden)),
              (Menu{"211 New &virtual folder..."}));
    EXPECT_EQ(Lines(BuildContextMenu(OfKind(ResourceKind::LiveBroadcastsBranch), hidden)),
              (Menu{"210 New &live broadcast..."}));

    EXPECT_EQ(Lines(BuildContextMenu(OfKind(ResourceKind::LiveBroadcast), hidden)),
              (Menu{"32790 &Disable live broadcast", "212 Delete &live broadcast",
                    "213 Live broadcast &settings..."}));
    EXPECT_EQ(Lines(BuildContextMenu(OfKind(ResourceKind::LiveBroadcast, false), hidden)),
              (Menu{"32790 &Enable live broadcast", "212 Delete &live broadcast",
                    "213 Live broadcast &settings..."}));
}

TEST(ContextMenu, VirtualFolderWithAndWithoutMulticastItem) {
    EXPECT_EQ(Lines(BuildContextMenu(OfKind(ResourceKind::VirtualFolder, false),
                                     MulticastMenuItem::Hidden)),
              (Menu{"32790 &Enable virtual folder", "0 Delete &virtual folder",
                    "32775 Virtual folder &settings...", "---", "32785 &Export info to web page...",
                    "---", "32788 &Generate WMP playlist..."}));
    EXPECT_EQ(
        Lines(BuildContextMenu(OfKind(ResourceKind::VirtualFolder), MulticastMenuItem::Start)),
        (Menu{"32790 &Disable virtual folder", "0 Delete &virtual folder",
              "32775 Virtual folder &settings...", "---", "32777 &Start muticasting", "---",
              "32785 &Export info to web page...", "32788 &Generate WMP playlist..."}));
    const Menu stop =
        Lines(BuildContextMenu(OfKind(ResourceKind::VirtualFolder), MulticastMenuItem::Stop));
    ASSERT_EQ(stop.size(), 8u);
    EXPECT_EQ(stop[4], "32777 &Stop multicasting");
}

TEST(ContextMenu, TranslatesItemIdsToCommands) {
    auto frame = [](int id, int parameter) {
        return RoutedCommand{.route = CommandRoute::Frame, .id = id, .parameter = parameter};
    };
    EXPECT_EQ(TranslateMenuCommand(211), frame(204, 0));
    EXPECT_EQ(TranslateMenuCommand(32775), frame(204, -1));
    EXPECT_EQ(TranslateMenuCommand(210), frame(205, 0));
    EXPECT_EQ(TranslateMenuCommand(213), frame(205, -1));
    EXPECT_EQ(TranslateMenuCommand(214), frame(215, 0));
    EXPECT_EQ(TranslateMenuCommand(212), frame(57635, 0));
    EXPECT_EQ(TranslateMenuCommand(0), frame(57635, 0));
    for (int paneId : {32790, 32777, 32785, 32788}) {
        EXPECT_EQ(TranslateMenuCommand(paneId),
                  (RoutedCommand{.route = CommandRoute::Pane, .id = paneId, .parameter = 0}));
    }
    EXPECT_EQ(TranslateMenuCommand(204), std::nullopt);
    EXPECT_EQ(TranslateMenuCommand(57635), std::nullopt);
}

}  // namespace
}  // namespace vantor
