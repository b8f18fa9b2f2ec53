#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/resource_record.h"
#include "editors/broadcast_form.h"
#include "server/automation.h"
#include "server/server_state.h"
#include "ui/context_menu.h"

namespace vantor {

class CatalogueItem;
class ConfigStore;
class Prompter;
struct FolderForm;

// The tree pane's status line when there is nothing to report.
inline constexpr std::u16string_view ResourceStatusOkText = u"OK";
inline constexpr std::u16string_view CurrentlyMulticastingText = u"Currently multicasting: ";

inline constexpr std::u16string_view ResourceWarningCaption = u"Warning";
inline constexpr std::u16string_view DeleteConfirmationCaption = u"Confirmation";
inline constexpr std::u16string_view EditWhileMulticastingText =
    u"Settings can not be updated because this folder is currently being multicasted. Please "
    u"stop multicasting first";
inline constexpr std::u16string_view DeleteWhileMulticastingText =
    u"Folder can not be deleted because it is currently being multicasted. Please stop "
    u"multicasting first";
inline constexpr std::u16string_view DisableWhileMulticastingText =
    u"Folder can not be disabled because it is currently being multicasted. Please stop "
    u"multicasting first";
// A command that a multicasting folder refuses, when the server's answer never came: it may be
// multicasting, and a folder disabled or deleted under a multicast cannot be stopped any more.
inline constexpr std::u16string_view MulticastUnknownText =
    u"Media Server did not answer whether this folder is being multicasted, so nothing was "
    u"changed. Please try again when it answers";
inline constexpr std::u16string_view DeleteQuestionStart = u"Are you sure to delete ";
inline constexpr std::u16string_view DeleteFolderQuestionEnd = u" virtual folder?";
inline constexpr std::u16string_view DeleteBroadcastQuestionEnd = u" live broadcast?";

// What the server said of a folder's multicasting.
enum class MulticastState {
    Idle,
    Multicasting,
    // It did not answer in time: as good as multicasting for what a multicast blocks.
    Unknown,
};

// "Are you sure to delete NAME virtual folder?" or "... live broadcast?".
std::u16string DeleteQuestion(const ResourceRecord& record);

// What the resource commands need from the window that hosts the tree.
class ResourceCommandHost {
public:
    virtual ~ResourceCommandHost() = default;
    // The tree's selected item, or nullptr.
    virtual CatalogueItem* SelectedItem() const = 0;
    // Expands the item's branch and selects the item, which lists it in the contents pane.
    virtual void SelectItem(CatalogueItem& item) = 0;
    // Lists the selected item again after its record was edited.
    virtual void RefreshSelection() = 0;
    // Runs the virtual folder editor modally on form; true when the administrator accepted, and
    // then the form holds the accepted settings.
    virtual bool RunFolderEditor(FolderForm& form, bool updateMode) = 0;
    // Asks which kind of live broadcast to create; false when the administrator cancelled.
    virtual bool ChooseLiveType(LiveType& type) = 0;
    // Run the live broadcast (static, dynamic, MMS) or the delegate editor modally on form, as
    // RunFolderEditor does.
    virtual bool RunLiveEditor(LiveForm& form, bool updateMode) = 0;
    virtual bool RunDelegateEditor(DelegateForm& form, bool updateMode) = 0;
    // Drops the players connected to a resource that was deleted or switched on or off. Called
    // only while the server runs.
    virtual void DisconnectResourceUsers(const std::u16string& name, bool isFolder) = 0;
};

// The commands the administrator applies to the catalogue from the main window, and the tree
// pane's multicast status line. Every command acts on the host's selected item; each one that
// changes the catalogue saves the configuration at once.
class ResourceCommands {
public:
    ResourceCommands(ConfigStore& store, const ServerState& serverState,
                     AutomationFactory& automation, Prompter& prompter, ResourceCommandHost& host);
    ResourceCommands(const ResourceCommands&) = delete;
    ResourceCommands& operator=(const ResourceCommands&) = delete;

    // Runs a frame or pane command; false when it is not one of these commands (or not yet
    // handled here), so the caller may pass it on.
    bool OnCommand(int id, int parameter);

    // 204: parameter -1 edits the selected virtual folder, anything else creates one.
    void NewOrEditFolder(int parameter);
    // 205: parameter -1 edits the selected live broadcast in the editor its source calls for;
    // anything else asks for the kind and creates one.
    void NewOrEditLiveBroadcast(int parameter);
    // 57635: asks, then deletes the selected resource. Always saves, even when nothing was
    // deleted.
    void Delete();
    // 32790: switches the selected resource on or off.
    void ToggleEnabled();
    // 32777: starts or stops multicasting the selected folder, as the last context menu offered.
    void StartStopMulticast();

    // The context menu for an item, which the pane has just selected. Asks the server whether an
    // eligible folder is multicasting, and remembers which way the multicast item reads.
    std::vector<ContextMenuEntry> ContextMenuItems(const CatalogueItem& item);

    // Asks the server about the selected item and refreshes the status line (Idle for anything
    // but an eligible folder).
    MulticastState QueryMulticastStatus();
    // Called by the tree pane on every selection change: the status line goes back to "OK"
    // until the window's background query for the new selection answers.
    void OnSelectionChanged();

    // The status query split for a caller that asks the server off this thread: the folder to
    // ask about (the status line becomes "OK" at once when there is none), then the answer
    // (nothing: the object could not be created), applied only while that folder is still the
    // eligible selection.
    std::optional<std::u16string> MulticastStatusFolder();
    void ApplyMulticastStatus(const std::u16string& folder,
                              const std::optional<MulticastStatusResult>& status);

    // The line the frame copies into its status bar on its next tick.
    const std::u16string& StatusText() const { return statusText_; }
    // True when the next start/stop command starts multicasting.
    bool StartRequested() const { return startRequested_; }

private:
    MulticastState QueryMulticastStatusOf(const CatalogueItem* item);
    // The item's name when its multicast status may be asked for now.
    std::optional<std::u16string> EligibleFolder(const CatalogueItem* item) const;
    // Sets the status line from an answer.
    MulticastState ShowMulticastStatus(const std::optional<MulticastStatusResult>& status);
    // Warns and returns true when the state blocks a command that a multicast blocks.
    bool BlockedByMulticast(MulticastState state, std::u16string_view multicastingText);
    // After an accepted edit of the selected resource: its row and the status line anew.
    void ShowSelectionAgain();
    // Puts an accepted broadcast form into the catalogue (item: the edited one, or nullptr for
    // a new broadcast) and saves.
    void CommitBroadcast(CatalogueItem* item, const BroadcastForm& form);
    CatalogueItem* SelectedResource() const;
    void Warn(std::u16string_view text);

    ConfigStore& store_;
    const ServerState& serverState_;
    AutomationFactory& automation_;
    Prompter& prompter_;
    ResourceCommandHost& host_;
    std::u16string statusText_{ResourceStatusOkText};
    bool startRequested_ = false;
};

// Asks the server whether a folder is being multicast; nothing when its object cannot be
// created. Touches nothing but the factory, so it may run on any thread.
std::optional<MulticastStatusResult> QueryFolderMulticastStatus(AutomationFactory& automation,
                                                                const std::u16string& folder);

// How the start command passes a folder's "address:port" group to the server. A group without
// ':' never comes from the editor; it is passed whole as the address, with port 0, and the
// server has the last word. A port that is not a number also reads as 0.
struct MulticastGroupParts {
    std::u16string address;
    int port = 0;

    bool operator==(const MulticastGroupParts&) const = default;
};
MulticastGroupParts SplitMulticastGroup(std::u16string_view group);

}  // namespace vantor
