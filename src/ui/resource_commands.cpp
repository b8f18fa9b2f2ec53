#include "ui/resource_commands.h"

#include <memory>
#include <utility>

#include "config/catalogue.h"
#include "config/config_store.h"
#include "config/decimal_reader.h"
#include "config/resource_texts.h"
#include "editors/folder_form.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

MulticastGroupParts SplitMulticastGroup(std::u16string_view group) {
    const std::size_t colon = group.find(u':');
    if (colon == std::u16string_view::npos) {
        return MulticastGroupParts{.address = std::u16string(group), .port = 0};
    }
    const DecimalReading port = ReadDecimal(group.substr(colon + 1));
    return MulticastGroupParts{.address = std::u16string(group.substr(0, colon)),
                               .port = port.read ? port.value : 0};
}

std::u16string DeleteQuestion(const ResourceRecord& record) {
    const bool isFolder = record.kind == ResourceKind::VirtualFolder;
    return std::u16string(DeleteQuestionStart) + record.name +
           std::u16string(isFolder ? DeleteFolderQuestionEnd : DeleteBroadcastQuestionEnd);
}

std::optional<MulticastStatusResult> QueryFolderMulticastStatus(AutomationFactory& automation,
                                                                const std::u16string& folder) {
    std::unique_ptr<FileMCastTriggerObject> trigger = automation.CreateFileMCastTrigger();
    if (trigger == nullptr) {
        return std::nullopt;
    }
    return trigger->GetMulticastStatus(folder);
}

ResourceCommands::ResourceCommands(ConfigStore& store, const ServerState& serverState,
                                   AutomationFactory& automation, Prompter& prompter,
                                   ResourceCommandHost& host)
    : store_(store),
      serverState_(serverState),
      automation_(automation),
      prompter_(prompter),
      host_(host) {}

bool ResourceCommands::OnCommand(int id, int parameter) {
    switch (id) {
        case NewOrEditFolderCommand:
            NewOrEditFolder(parameter);
            return true;
        case NewOrEditLiveBroadcastCommand:
            NewOrEditLiveBroadcast(parameter);
            return true;
        case DeleteResourceCommand:
            Delete();
            return true;
        case ToggleEnabledCommand:
            ToggleEnabled();
            return true;
        case StartStopMulticastCommand:
            StartStopMulticast();
            return true;
        default:
            // Server properties (215) and the folder export commands
            // (32785, 32788) have their own handlers.
            return false;
    }
}

CatalogueItem* ResourceCommands::SelectedResource() const {
    CatalogueItem* item = host_.SelectedItem();
    if (item == nullptr || IsFixedKind(item->Record().kind)) {
        return nullptr;
    }
    return item;
}

void ResourceCommands::Warn(std::u16string_view text) {
    prompter_.ShowMessage(std::u16string(text), std::u16string(ResourceWarningCaption));
}

MulticastState ResourceCommands::QueryMulticastStatus() {
    return QueryMulticastStatusOf(host_.SelectedItem());
}

MulticastState ResourceCommands::QueryMulticastStatusOf(const CatalogueItem* item) {
    statusText_ = ResourceStatusOkText;
    const std::optional<std::u16string> folder = EligibleFolder(item);
    if (!folder) {
        return MulticastState::Idle;
    }
    return ShowMulticastStatus(QueryFolderMulticastStatus(automation_, *folder));
}

bool ResourceCommands::BlockedByMulticast(MulticastState state,
                                          std::u16string_view multicastingText) {
    if (state == MulticastState::Idle) {
        return false;
    }
    Warn(state == MulticastState::Multicasting ? multicastingText : MulticastUnknownText);
    return true;
}

std::optional<std::u16string> ResourceCommands::EligibleFolder(const CatalogueItem* item) const {
    if (serverState_ != ServerState::Running || item == nullptr) {
        return std::nullopt;
    }
    const ResourceRecord& record = item->Record();
    if (record.kind != ResourceKind::VirtualFolder || !record.playlist || !record.multicast) {
        return std::nullopt;
    }
    return record.name;
}

MulticastState ResourceCommands::ShowMulticastStatus(
    const std::optional<MulticastStatusResult>& status) {
    statusText_ = ResourceStatusOkText;
    if (!status) {
        return MulticastState::Idle;
    }
    if (status->result == AutomationCallTimedOut) {
        return MulticastState::Unknown;
    }
    const bool multicasting = status->result == SOk;
    statusText_ = multicasting
                      ? std::u16string(CurrentlyMulticastingText) + status->multicastingText
                      : status->otherText;
    if (statusText_.empty()) {
        statusText_ = ResourceStatusOkText;
    }
    return multicasting ? MulticastState::Multicasting : MulticastState::Idle;
}

std::optional<std::u16string> ResourceCommands::MulticastStatusFolder() {
    std::optional<std::u16string> folder = EligibleFolder(host_.SelectedItem());
    if (!folder) {
        statusText_ = ResourceStatusOkText;
    }
    return folder;
}

void ResourceCommands::ApplyMulticastStatus(const std::u16string& folder,
                                            const std::optional<MulticastStatusResult>& status) {
    // The selection or the server's state may have changed while the server was asked.
    const std::optional<std::u16string> current = EligibleFolder(host_.SelectedItem());
    if (current && *current == folder) {
        ShowMulticastStatus(status);
    }
}

void ResourceCommands::OnSelectionChanged() {
    // Asking here would hold the window on a hung server at every arrow key; the window asks
    // off its thread and the answer comes through ApplyMulticastStatus.
    statusText_ = ResourceStatusOkText;
}

std::vector<ContextMenuEntry> ResourceCommands::ContextMenuItems(const CatalogueItem& item) {
    const ResourceRecord& record = item.Record();
    MulticastMenuItem multicastItem = MulticastMenuItem::Hidden;
    if (record.kind == ResourceKind::VirtualFolder && record.playlist && record.multicast &&
        record.enabled && serverState_ == ServerState::Running) {
        // The menu offers what the server's current answer makes sensible; the command then
        // does what the menu said, even if the state changed while the menu was open.
        startRequested_ = true;
        if (QueryMulticastStatusOf(&item) == MulticastState::Multicasting) {
            startRequested_ = false;
            multicastItem = MulticastMenuItem::Stop;
        } else {
            multicastItem = MulticastMenuItem::Start;
        }
    }
    return BuildContextMenu(record, multicastItem);
}

void ResourceCommands::NewOrEditFolder(int parameter) {
    const bool updateMode = parameter == EditSelectedParameter;
    CatalogueItem* item = nullptr;
    FolderForm form;
    if (updateMode) {
        item = SelectedResource();
        if (item == nullptr || item->Record().kind != ResourceKind::VirtualFolder) {
            return;
        }
        form = FolderFormFromRecord(item->Record());
    }
    if (!host_.RunFolderEditor(form, updateMode)) {
        return;
    }

    Catalogue& catalogue = store_.Resources();
    ResourceChange change;
    if (updateMode) {
        ResourceRecord& record = item->Record();
        // The server streams by name and path; changing either under a running multicast would
        // leave it publishing something the configuration no longer has.
        const MulticastState multicast = QueryMulticastStatusOf(item);
        if ((form.name != record.name || form.path != record.source ||
             form.multicast != record.multicast) &&
            BlockedByMulticast(multicast, EditWhileMulticastingText)) {
            return;
        }
        change.before = record;
        ApplyFolderForm(form, record);
        change.after = record;
        catalogue.SetItemText(*item, DisplayText(record));
        ShowSelectionAgain();
    } else {
        ResourceRecord record;
        ApplyFolderForm(form, record);
        CatalogueItem* added = catalogue.InsertResourceItem(std::move(record));
        if (added != nullptr) {
            change.after = added->Record();
            host_.SelectItem(*added);
        }
    }
    store_.SaveConfiguration(change);
}

void ResourceCommands::ShowSelectionAgain() {
    host_.RefreshSelection();
    // The administrator's own command, which waits for the server anyway.
    QueryMulticastStatusOf(host_.SelectedItem());
}

void ResourceCommands::NewOrEditLiveBroadcast(int parameter) {
    const bool updateMode = parameter == EditSelectedParameter;
    CatalogueItem* item = nullptr;
    LiveType type = LiveType::Static;
    if (updateMode) {
        item = SelectedResource();
        if (item == nullptr || item->Record().kind != ResourceKind::LiveBroadcast) {
            return;
        }
        type = LiveTypeOfSource(item->Record().source);
    } else if (!host_.ChooseLiveType(type)) {
        return;
    }

    if (type == LiveType::Delegate) {
        DelegateForm form = updateMode ? DelegateFormFromRecord(item->Record()) : DelegateForm{};
        if (host_.RunDelegateEditor(form, updateMode)) {
            CommitBroadcast(item, form);
        }
    } else {
        LiveForm form = updateMode ? LiveFormFromRecord(item->Record()) : NewLiveForm(type);
        if (host_.RunLiveEditor(form, updateMode)) {
            CommitBroadcast(item, form);
        }
    }
}

void ResourceCommands::CommitBroadcast(CatalogueItem* item, const BroadcastForm& form) {
    ResourceChange change;
    if (item != nullptr) {
        ResourceRecord& record = item->Record();
        change.before = record;
        ApplyBroadcastForm(form, record);
        change.after = record;
        store_.Resources().SetItemText(*item, DisplayText(record));
        ShowSelectionAgain();
    } else {
        // A new record starts enabled, with playlist false and order 0, which a broadcast keeps.
        ResourceRecord record;
        ApplyBroadcastForm(form, record);
        if (CatalogueItem* added = store_.Resources().InsertResourceItem(std::move(record))) {
            change.after = added->Record();
            host_.SelectItem(*added);
        }
    }
    store_.SaveConfiguration(change);
}

void ResourceCommands::Delete() {
    // Saves whatever happened before: no selection, a fixed item, a refusal or No alike.
    ResourceChange change;
    if (CatalogueItem* item = SelectedResource()) {
        const ResourceRecord& record = item->Record();
        const bool isFolder = record.kind == ResourceKind::VirtualFolder;
        const std::u16string question = DeleteQuestion(record);
        if (BlockedByMulticast(QueryMulticastStatusOf(item), DeleteWhileMulticastingText)) {
            // Warned.
        } else if (prompter_.AskYesNo(question, std::u16string(DeleteConfirmationCaption))) {
            // The record goes with its item, so keep what the disconnect needs first. The
            // multicast group stays registered until the program ends.
            const std::u16string name = record.name;
            change.before = record;
            store_.Resources().RemoveItem(*item);
            if (serverState_ == ServerState::Running) {
                host_.DisconnectResourceUsers(name, isFolder);
            }
        }
    }
    store_.SaveConfiguration(change);
}

void ResourceCommands::ToggleEnabled() {
    CatalogueItem* item = SelectedResource();
    if (item == nullptr) {
        return;
    }
    // The server's word decides, so enabling is refused as well while it still multicasts.
    if (BlockedByMulticast(QueryMulticastStatusOf(item), DisableWhileMulticastingText)) {
        return;
    }
    ResourceRecord& record = item->Record();
    ResourceChange change{.before = record, .after = std::nullopt};
    record.enabled = !record.enabled;
    change.after = record;
    store_.Resources().SetItemText(*item, DisplayText(record));
    // Either way the players connected under the old setting are dropped, so the server's
    // reload applies to everyone.
    if (serverState_ == ServerState::Running) {
        host_.DisconnectResourceUsers(record.name, record.kind == ResourceKind::VirtualFolder);
    }
    store_.SaveConfiguration(change);
}

void ResourceCommands::StartStopMulticast() {
    const CatalogueItem* item = SelectedResource();
    if (item == nullptr || item->Record().kind != ResourceKind::VirtualFolder) {
        return;
    }
    const ResourceRecord& record = item->Record();
    {
        std::unique_ptr<FileMCastTriggerObject> trigger = automation_.CreateFileMCastTrigger();
        if (trigger == nullptr) {
            return;
        }
        // The server's answer is not shown: the status query below says what really happened.
        if (!startRequested_) {
            trigger->StopMulticast(record.name);
        } else {
            const MulticastGroupParts group = SplitMulticastGroup(record.multicastGroup);
            trigger->StartMulticast(record.name, record.source, group.address, group.port,
                                    record.playlistOrder == 1);
        }
    }
    QueryMulticastStatusOf(item);
}

}  // namespace vantor
