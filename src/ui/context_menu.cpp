#include "ui/context_menu.h"

namespace vantor {
namespace {

ContextMenuEntry Item(int id, std::u16string_view text) {
    return ContextMenuEntry{.separator = false, .id = id, .text = text};
}

ContextMenuEntry Separator() {
    ContextMenuEntry entry;
    entry.separator = true;
    return entry;
}

}  // namespace

std::vector<ContextMenuEntry> BuildContextMenu(const ResourceRecord& record,
                                               MulticastMenuItem multicastItem) {
    switch (record.kind) {
        case ResourceKind::ServerRoot:
            return {Item(MenuNewLiveBroadcastId, MenuNewLiveBroadcastText),
                    Item(MenuNewVirtualFolderId, MenuNewVirtualFolderText),
                    Item(MenuPropertiesId, MenuPropertiesText)};
        case ResourceKind::FileResourcesBranch:
            return {Item(MenuNewVirtualFolderId, MenuNewVirtualFolderText)};
        case ResourceKind::LiveBroadcastsBranch:
            return {Item(MenuNewLiveBroadcastId, MenuNewLiveBroadcastText)};
        case ResourceKind::LiveBroadcast:
            return {Item(ToggleEnabledCommand, record.enabled ? MenuDisableLiveBroadcastText
                                                              : MenuEnableLiveBroadcastText),
                    Item(MenuDeleteLiveBroadcastId, MenuDeleteLiveBroadcastText),
                    Item(MenuLiveBroadcastSettingsId, MenuLiveBroadcastSettingsText)};
        case ResourceKind::VirtualFolder:
            break;
        default:
            return {};  // a kind no file or tree item has
    }

    std::vector<ContextMenuEntry> entries{
        Item(ToggleEnabledCommand,
             record.enabled ? MenuDisableVirtualFolderText : MenuEnableVirtualFolderText),
        Item(MenuDeleteVirtualFolderId, MenuDeleteVirtualFolderText),
        Item(MenuVirtualFolderSettingsId, MenuVirtualFolderSettingsText),
        Separator(),
    };
    // The multicast item takes the separator of the export/playlist pair with it, so the
    // folder menu has two separators either way.
    if (multicastItem == MulticastMenuItem::Hidden) {
        entries.push_back(Item(ExportFolderInfoCommand, MenuExportFolderInfoText));
        entries.push_back(Separator());
    } else {
        entries.push_back(Item(StartStopMulticastCommand, multicastItem == MulticastMenuItem::Stop
                                                              ? MenuStopMulticastingText
                                                              : MenuStartMulticastingText));
        entries.push_back(Separator());
        entries.push_back(Item(ExportFolderInfoCommand, MenuExportFolderInfoText));
    }
    entries.push_back(Item(GeneratePlaylistCommand, MenuGeneratePlaylistText));
    return entries;
}

std::optional<RoutedCommand> TranslateMenuCommand(int menuId) {
    auto frame = [](int id, int parameter) {
        return RoutedCommand{.route = CommandRoute::Frame, .id = id, .parameter = parameter};
    };
    switch (menuId) {
        case MenuNewVirtualFolderId:
            return frame(NewOrEditFolderCommand, NewResourceParameter);
        case MenuVirtualFolderSettingsId:
            return frame(NewOrEditFolderCommand, EditSelectedParameter);
        case MenuNewLiveBroadcastId:
            return frame(NewOrEditLiveBroadcastCommand, NewResourceParameter);
        case MenuLiveBroadcastSettingsId:
            return frame(NewOrEditLiveBroadcastCommand, EditSelectedParameter);
        case MenuPropertiesId:
            return frame(ServerPropertiesCommand, 0);
        case MenuDeleteLiveBroadcastId:
        case MenuDeleteVirtualFolderId:
            return frame(DeleteResourceCommand, 0);
        case ToggleEnabledCommand:
        case StartStopMulticastCommand:
        case ExportFolderInfoCommand:
        case GeneratePlaylistCommand:
            return RoutedCommand{.route = CommandRoute::Pane, .id = menuId, .parameter = 0};
        default:
            return std::nullopt;
    }
}

}  // namespace vantor
