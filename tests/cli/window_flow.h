#pragma once

// The main window's side of the resource commands driven directly, with fakes: the same form
// models and the same commit, on the same file, to compare with what vantorctl writes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/headless_services.h"
#include "config/catalogue.h"
#include "config/config_bytes.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "editors/delegate_editor_model.h"
#include "editors/folder_editor_model.h"
#include "editors/live_editor_model.h"
#include "ui/context_menu.h"
#include "ui/resource_commands.h"
#include "ui/ui_fakes.h"

namespace vantor::test {

// Internal authentication is the server's default; zulu and Alpha (disabled) are plain
// folders, Films is multicast on 226.0.0.1:6000, News a live broadcast on 225.0.0.1:5000. Every
// record has internal authentication for medium and advanced users and limits 11, 2 and 900.
inline std::vector<std::uint8_t> SampleResources(std::uint32_t version = 60) {
    ConfigBytes bytes;
    bytes.Header(version)
        .Record(version, 1, u"zulu")
        .Record(version, 1, u"Films", u"226.0.0.1:6000");
    bytes.Record(version, 2, u"News", u"225.0.0.1:5000", 0x03);
    return bytes.Record(version, 1, u"Alpha", u"", 0x09).Bytes();
}

class WindowFlow : public ResourceCommandHost {
public:
    static constexpr char Path[] = "/window/config.vtr";

    explicit WindowFlow(const std::vector<std::uint8_t>& bytes) {
        files.files[Path] = bytes;
        store.LoadConfiguration();
    }

    // Selects the resource with exactly that name in the tree.
    void Select(std::u16string_view name) {
        for (CatalogueItem* branch :
             {&store.Resources().FileResources(), &store.Resources().LiveBroadcasts()}) {
            for (const auto& child : branch->Children()) {
                if (child->Record().name == name) {
                    selected = child.get();
                }
            }
        }
    }
    // "New live broadcast..." of that type, or its settings for the named one.
    std::vector<std::uint8_t> EditLive(std::u16string_view name, LiveType type) {
        liveType = type;
        Select(name);
        commands.NewOrEditLiveBroadcast(name.empty() ? NewResourceParameter
                                                     : EditSelectedParameter);
        return Bytes();
    }
    std::vector<std::uint8_t> Bytes() const { return store.FileBytes(); }

    CatalogueItem* SelectedItem() const override { return selected; }
    void SelectItem(CatalogueItem& item) override { selected = &item; }
    void RefreshSelection() override {}
    // The administrator's clicks, then OK; a refused OK cancels.
    bool RunFolderEditor(FolderForm& form, bool updateMode) override {
        FolderEditorModel model(updateMode ? FolderEditorMode::Update : FolderEditorMode::Create,
                                form, multicastTable, store.Resources(), defaultAuthMethod);
        model.OnOpen();
        clicks(model);
        if (!model.OnOk().empty()) {
            model.OnCancel();
            return false;
        }
        form = model.Form();
        return true;
    }
    bool ChooseLiveType(LiveType& type) override {
        type = liveType;
        return true;
    }
    bool RunLiveEditor(LiveForm& form, bool updateMode) override {
        LiveEditorModel model(updateMode ? LiveEditorMode::Update : LiveEditorMode::Create, form,
                              multicastTable, store.Resources(), defaultAuthMethod, dialogs);
        model.OnOpen();
        liveClicks(model);
        return model.OnOk().empty() && (form = model.Form(), true);
    }
    bool RunDelegateEditor(DelegateForm& form, bool updateMode) override {
        DelegateEditorModel model(
            updateMode ? DelegateEditorMode::Update : DelegateEditorMode::Create, form,
            multicastTable, store.Resources(), defaultAuthMethod, dialogs);
        model.OnOpen();
        delegateClicks(model);
        return model.OnOk().empty() && (form = model.Form(), true);
    }
    void DisconnectResourceUsers(const std::u16string&, bool) override {}

    std::function<void(FolderEditorModel&)> clicks = [](FolderEditorModel&) {};
    std::function<void(LiveEditorModel&)> liveClicks = [](LiveEditorModel&) {};
    std::function<void(DelegateEditorModel&)> delegateClicks = [](DelegateEditorModel&) {};
    BroadcastSubDialogs dialogs;
    LiveType liveType = LiveType::Static;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState serverState = ServerState::Stopped;
    FakeFileStore files;
    NoAutomation automation;
    RecordingPrompter prompter;
    ConfigStore store{defaultAuthMethod, multicastTable, serverState, files,
                      automation,        prompter,       Path};
    ResourceCommands commands{store, serverState, automation, prompter, *this};
    CatalogueItem* selected = nullptr;
};

}  // namespace vantor::test
