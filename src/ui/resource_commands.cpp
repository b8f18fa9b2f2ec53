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

bool ResourceCommands::QueryMulticastStatus() {
    return QueryMulticastStatusOf(host_.SelectedItem());
}

bool ResourceCommands::QueryMulticastStatusOf(const CatalogueItem* item) {
    statusText_ = ResourceStatusOkText;
    const std::optional<std::u16string> folder = EligibleFolder(item);
    if (!folder) {
        return false;
    }
    return ShowMulticastStatus(QueryFolderMulticastStatus(automation_, *folder));
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

bool ResourceCommands::ShowMulticastStatus(const std::optional<MulticastStatusResult>& status) {
    statusText_ = ResourceStatusOkText;
    if (!status) {
        return false;
    }
    const bool multicasting = status->result == SOk;
    statusText_ = multicasting
                      ? std::u16string(CurrentlyMulticastingText) + status->multicastingText
                      : status->otherText;
    if (statusText_.empty()) {
        statusText_ = ResourceStatusOkText;
    }
    return multicasting;
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
    const CatalogueItem* item = host_.SelectedItem();
    if (item != nullptr && item->Record().kind == ResourceKind::VirtualFolder) {
        QueryMulticastStatusOf(item);
    } else {
        statusText_ = ResourceStatusOkText;
    }
}

std::vector<ContextMenuEntry> ResourceCommands::ContextMenuItems(const CatalogueItem& item) {
    const ResourceRecord& record = item.Record();
    MulticastMenuItem multicastItem = MulticastMenuItem::Hidden;
    if (record.kind == ResourceKind::VirtualFolder && record.playlist && record.multicast &&
        record.enabled && serverState_ == ServerState::Running) {
        // The menu offers what the server's current answer makes sensible; the command then
        // does what the menu said, even if the state changed while the menu was open.
        startRequested_ = true;
        if (QueryMulticastStatusOf(&item)) {
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
    if (updateMode) {
        ResourceRecord& record = item->Record();
        // The server streams by name and path; changing either under a running multicast would
        // leave it publishing something the configuration no longer has.
        if (QueryMulticastStatusOf(item) &&
            (form.name != record.name || form.path != record.source ||
             form.multicast != record.multicast)) {
            Warn(EditWhileMulticastingText);
            return;
        }
        ApplyFolderForm(form, record);
        catalogue.SetItemText(*item, DisplayText(record));
        ShowSelectionAgain();
    } else {
        ResourceRecord record;
        record.enabled = true;
        ApplyFolderForm(form, record);
        CatalogueItem* added = catalogue.InsertResourceItem(std::move(record));
        if (added != nullptr) {
            host_.SelectItem(*added);
        }
    }
    store_.SaveConfiguration();
}

void ResourceCommands::ShowSelectionAgain() {
    host_.RefreshSelection();
    OnSelectionChanged();
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
    if (item != nullptr) {
        ResourceRecord& record = item->Record();
        ApplyBroadcastForm(form, record);
        store_.Resources().SetItemText(*item, DisplayText(record));
        ShowSelectionAgain();
    } else {
        // A new record starts enabled, with playlist false and order 0, which a broadcast keeps.
        ResourceRecord record;
        ApplyBroadcastForm(form, record);
        if (CatalogueItem* added = store_.Resources().InsertResourceItem(std::move(record))) {
            host_.SelectItem(*added);
        }
    }
    store_.SaveConfiguration();
}

void ResourceCommands::Delete() {
    // Saves whatever happened before: no selection, a fixed item, a refusal or No alike.
    if (CatalogueItem* item = SelectedResource()) {
        const ResourceRecord& record = item->Record();
        const bool isFolder = record.kind == ResourceKind::VirtualFolder;
        const std::u16string question = DeleteQuestion(record);
        if (QueryMulticastStatusOf(item)) {
            Warn(DeleteWhileMulticastingText);
        } else if (prompter_.AskYesNo(question, std::u16string(DeleteConfirmationCaption))) {
            // The record goes with its item, so keep what the disconnect needs first. The
            // multicast group stays registered until the program ends.
            const std::u16string name = record.name;
            store_.Resources().RemoveItem(*item);
            if (serverState_ == ServerState::Running) {
                host_.DisconnectResourceUsers(name, isFolder);
            }
        }
    }
    store_.SaveConfiguration();
}

void ResourceCommands::ToggleEnabled() {
    CatalogueItem* item = SelectedResource();
    if (item == nullptr) {
        return;
    }
    // The server's word decides, so enabling is refused as well while it still multicasts.
    if (QueryMulticastStatusOf(item)) {
        Warn(DisableWhileMulticastingText);
        return;
    }
    ResourceRecord& record = item->Record();
    record.enabled = !record.enabled;
    store_.Resources().SetItemText(*item, DisplayText(record));
    // Either way the players connected under the old setting are dropped, so the server's
    // reload applies to everyone.
    if (serverState_ == ServerState::Running) {
        host_.DisconnectResourceUsers(record.name, record.kind == ResourceKind::VirtualFolder);
    }
    store_.SaveConfiguration();
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
