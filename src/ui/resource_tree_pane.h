#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include <QWidget>

#include "config/resource_record.h"
#include "editors/broadcast_settings.h"
#include "editors/folder_editor_dialog.h"
#include "server/server_state.h"
#include "ui/app_services.h"
#include "ui/folder_export_commands.h"
#include "ui/resource_commands.h"
#include "ui/tree_position.h"

class QFileSystemWatcher;
class QMenu;
class QPoint;
class QTimer;
class QTreeView;

namespace vantor {

class AutomationFactory;
class CatalogueItem;
class CatalogueItemModel;
class ConfigStore;
class ContentsListPane;
class MulticastTable;
class Prompter;

// The resource tree on the left of the main window: the catalogue of a ConfigStore shown through
// a CatalogueItemModel. Selecting an item lists it in the contents pane. The pane owns the
// resource commands (they act on its selection) with their multicast status line, and hosts
// them: it runs their editors and drops the users of a resource they change.
class ResourceTreePane : public QWidget, private ResourceCommandHost {
    Q_OBJECT
public:
    // The references must outlive the pane.
    ResourceTreePane(ConfigStore& store, const ServerState& serverState,
                     const AppServices& services, ContentsListPane& contents,
                     QWidget* parent = nullptr);
    ~ResourceTreePane() override;

    // Reads the configuration file into the tree and expands the root and both branches. From
    // then on the pane follows the file: when another program replaces it, the tree shows the
    // new content (once no dialog or menu is open), keeping the selection and the expanded
    // branches where those items still exist.
    void LoadConfiguration();
    // Reads the file again if another program changed it; true when it did. unchanged: read it
    // again even so (what was shown may differ from it, after changes it could not take).
    bool FollowFile(bool unchanged = false);
    // The file is on another machine, whose folder this one cannot watch: the window asks
    // instead and calls FollowFile when the file changed.
    void StopWatchingFolder();
    // Selects the root and gives the tree the keyboard focus.
    void SelectRoot();
    // Expands the item's branch and selects the item.
    void SelectItem(CatalogueItem& item) override;
    CatalogueItem* SelectedItem() const override;
    // The line the frame copies into its message pane on every tick ("OK" when nothing to say).
    const std::u16string& StatusText() const { return commands_->StatusText(); }
    ResourceCommands& Commands() { return *commands_; }
    // Lists the selected item again, for texts that follow the server's default method.
    void RelistSelection() { RefreshSelection(); }
    QTreeView* View() const;

    // The context menu for an item (which the caller has selected), each action carrying its
    // menu id as data. Not shown; the caller owns it.
    std::unique_ptr<QMenu> ContextMenuFor(CatalogueItem& item);
    // A chosen context menu item: a frame command goes out as CommandRequested, the pane's own
    // ones run here.
    void OnContextMenuCommand(int menuId);
    // Where the folder editor's "Browse..." looks for folders (tests pass their own).
    void SetFolderBrowser(FolderBrowser browser) { folderBrowser_ = std::move(browser); }
    // Where the folder exports ask for their file (tests pass their own).
    void SetSaveFileDialog(SaveFileDialog dialog) { saveFileDialog_ = std::move(dialog); }
    // The dialogs a live broadcast editor opens on top of itself; the window passes the
    // password and restrictions dialogs, tests their own.
    void SetBroadcastSubDialogs(BroadcastSubDialogs dialogs) {
        broadcastSubDialogs_ = std::move(dialogs);
    }
    // The context menu of the selected item, placed at that item: the Menu key and Shift+F10.
    void ShowContextMenuForSelection();

signals:
    // Another item is selected (its status line is for the window to ask about).
    void SelectionChanged();
    // A frame command with its parameter (for instance 205 with -1: edit the selected broadcast).
    void CommandRequested(int command, int parameter);

private:
    void ShowSelection();
    // Around a reset of the tree: where the selection and the open branches were, and putting
    // them back once the new items are in.
    void RememberPosition();
    void RestorePosition();
    void WatchFolder();
    void OnFolderChanged();
    // 32785 and 32788 on the folder the contents list shows; false for any other command.
    bool RunFolderExport(int command);
    // A right click in the tree at pos (viewport coordinates).
    void ShowContextMenu(const QPoint& pos);
    // The item whose picture or label is at pos, or nullptr.
    CatalogueItem* ItemWithLabelAt(const QPoint& pos) const;
    // Shows the item's menu at pos (viewport coordinates) and runs the chosen command.
    void RunContextMenu(CatalogueItem& item, const QPoint& pos);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // ResourceCommandHost
    void RefreshSelection() override;
    bool RunFolderEditor(FolderForm& form, bool updateMode) override;
    bool ChooseLiveType(LiveType& type) override;
    bool RunLiveEditor(LiveForm& form, bool updateMode) override;
    bool RunDelegateEditor(DelegateForm& form, bool updateMode) override;
    void DisconnectResourceUsers(const std::u16string& name, bool isFolder) override;

    ConfigStore& store_;
    const AuthMethod& defaultAuthMethod_;
    MulticastTable& multicastTable_;
    AutomationFactory& automation_;
    Prompter& prompter_;
    ContentsListPane& contents_;
    FolderBrowser folderBrowser_ = BrowseWithFileDialog;
    BroadcastSubDialogs broadcastSubDialogs_;
    std::unique_ptr<ResourceCommands> commands_;
    FolderExportCommands exports_;
    SaveFileDialog saveFileDialog_;
    CatalogueItemModel* model_ = nullptr;
    QTreeView* view_ = nullptr;
    std::optional<TreePosition> selectedBeforeReset_;
    // Root, "File resources", "Live broadcasts".
    std::array<bool, 3> expandedBeforeReset_{};
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* followTimer_ = nullptr;
};

}  // namespace vantor
