#pragma once

#include <functional>
#include <string>

#include "ui/resource_commands.h"

namespace vantor {

class ConfigSession;

// The window's side of the resource commands without a window: the selection is the resource
// named on the command line, and the editors are functions that play the command line's options
// into the same form models the dialogs use. An editor left empty is cancelled.
class HeadlessResourceHost : public ResourceCommandHost {
public:
    explicit HeadlessResourceHost(ConfigSession& session) : session_(session) {}

    std::function<bool(FolderForm& form, bool updateMode)> folderEditor;
    std::function<bool(LiveType& type)> liveTypeChooser;
    std::function<bool(LiveForm& form, bool updateMode)> liveEditor;
    std::function<bool(DelegateForm& form, bool updateMode)> delegateEditor;

    void Select(CatalogueItem* item) { selected_ = item; }

    CatalogueItem* SelectedItem() const override { return selected_; }
    void SelectItem(CatalogueItem& item) override { selected_ = &item; }
    void RefreshSelection() override {}
    bool RunFolderEditor(FolderForm& form, bool updateMode) override;
    bool ChooseLiveType(LiveType& type) override;
    bool RunLiveEditor(LiveForm& form, bool updateMode) override;
    bool RunDelegateEditor(DelegateForm& form, bool updateMode) override;
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override;

private:
    ConfigSession& session_;
    CatalogueItem* selected_ = nullptr;
};

}  // namespace vantor
