#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "config/resource_record.h"

namespace vantor {

// Commands of the main frame that act on the catalogue. 204 and 205 take a parameter:
// 0 creates a resource, -1 edits the selected one.
inline constexpr int NewOrEditFolderCommand = 204;
inline constexpr int NewOrEditLiveBroadcastCommand = 205;
inline constexpr int ServerPropertiesCommand = 215;
inline constexpr int DeleteResourceCommand = 57635;
inline constexpr int NewResourceParameter = 0;
inline constexpr int EditSelectedParameter = -1;

// Item ids of the tree's context menu. The ones below the pane's own commands are translated
// into frame commands by TranslateMenuCommand; the four commands after them are handled by the
// tree pane itself and carry the same id as item and as command.
inline constexpr int MenuNewLiveBroadcastId = 210;
inline constexpr int MenuNewVirtualFolderId = 211;
inline constexpr int MenuDeleteLiveBroadcastId = 212;
inline constexpr int MenuLiveBroadcastSettingsId = 213;
inline constexpr int MenuPropertiesId = 214;
inline constexpr int MenuVirtualFolderSettingsId = 32775;
inline constexpr int MenuDeleteVirtualFolderId = 0;
inline constexpr int ToggleEnabledCommand = 32790;
inline constexpr int StartStopMulticastCommand = 32777;
inline constexpr int ExportFolderInfoCommand = 32785;
inline constexpr int GeneratePlaylistCommand = 32788;

// Context menu texts.
inline constexpr std::u16string_view MenuNewVirtualFolderText = u"New &virtual folder...";
inline constexpr std::u16string_view MenuVirtualFolderSettingsText = u"Virtual folder &settings...";
inline constexpr std::u16string_view MenuNewLiveBroadcastText = u"New &live broadcast...";
inline constexpr std::u16string_view MenuLiveBroadcastSettingsText = u"Live broadcast &settings...";
inline constexpr std::u16string_view MenuPropertiesText = u"&Properties...";
inline constexpr std::u16string_view MenuDeleteLiveBroadcastText = u"Delete &live broadcast";
inline constexpr std::u16string_view MenuDeleteVirtualFolderText = u"Delete &virtual folder";
inline constexpr std::u16string_view MenuDisableVirtualFolderText = u"&Disable virtual folder";
inline constexpr std::u16string_view MenuEnableVirtualFolderText = u"&Enable virtual folder";
inline constexpr std::u16string_view MenuDisableLiveBroadcastText = u"&Disable live broadcast";
inline constexpr std::u16string_view MenuEnableLiveBroadcastText = u"&Enable live broadcast";
// The start text has always been spelt this way; administrators' notes refer to it.
inline constexpr std::u16string_view MenuStartMulticastingText = u"&Start muticasting";
inline constexpr std::u16string_view MenuStopMulticastingText = u"&Stop multicasting";
inline constexpr std::u16string_view MenuExportFolderInfoText = u"&Export info to web page...";
inline constexpr std::u16string_view MenuGeneratePlaylistText = u"&Generate WMP playlist...";

// One line of the context menu: a command item (its menu id and text) or a separator.
struct ContextMenuEntry {
    bool separator = false;
    int id = 0;  // menu id; 0 is a real id ("Delete &virtual folder"), so check separator first
    std::u16string_view text;

    bool operator==(const ContextMenuEntry&) const = default;
};

// Whether a virtual folder's menu carries the multicast item, and which way it reads.
enum class MulticastMenuItem {
    Hidden,
    Start,
    Stop,
};

// The menu entries for a record, in menu order, by its kind and enabled state. The multicast
// item needs the server's answer, so the caller decides it; it is ignored for other kinds.
std::vector<ContextMenuEntry> BuildContextMenu(const ResourceRecord& record,
                                               MulticastMenuItem multicastItem);

// Where a chosen context menu item goes.
enum class CommandRoute {
    Frame,  // a frame command with a parameter
    Pane,   // handled by the tree pane under the same id
};

struct RoutedCommand {
    CommandRoute route = CommandRoute::Frame;
    int id = 0;
    int parameter = 0;

    bool operator==(const RoutedCommand&) const = default;
};

// The command a context menu item id stands for; nothing for an id the menu does not have.
std::optional<RoutedCommand> TranslateMenuCommand(int menuId);

}  // namespace vantor
