#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "config/resource_record.h"
#include "editors/access_panel.h"
#include "editors/control_state.h"
#include "editors/folder_form.h"
#include "editors/limits_panel.h"
#include "editors/multicast_group_field.h"
#include "editors/resource_rules.h"

namespace vantor {

class Catalogue;
class MulticastTable;

enum class FolderEditorMode { Create, Update };

// The folder editor's own controls, top to bottom; the access and limits panels have theirs.
enum class FolderControl {
    NameLabel,  // "Folder name"
    NameEdit,
    BrowseButton,
    PathEdit,  // read-only: changed only by the folder browser
    DescriptionLabel,
    DescriptionEdit,
    Unicast,    // check box "Unicast delivery"
    Multicast,  // check box "Multicast delivery"
    GroupLabel,
    GroupEdit,
    Playlist,  // check box "Allow to treat folder as a Playlist"
    OrderLabel,
    Alphabetical,  // radio
    Random,        // radio
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t kFolderControlCount = static_cast<std::size_t>(FolderControl::Count);

// The model of the dialog that creates a virtual folder or changes one. It works on its own copy
// of the folder's settings (Form()), which holds the accepted settings once OnOk returned no
// message; the caller then commits it with ApplyFolderForm.
//
// Binding: after constructing, the view calls OnOpen, then copies Title() and every control's
// State() (the folder's own, Access()'s and Limits()'s) into its widgets; it does the same after
// every handler. Typed text goes back through the Set*Text calls on every change; clicks on the
// panels' controls go to Access() and Limits() directly (their views do that). A handler that
// returns a non-empty message wants it shown in a box captioned kErrorCaption with an OK button;
// OnOk returning an empty message means the dialog closes accepted.
//
// The multicast table is changed as the user goes: a group is reserved on opening and on
// checking "Multicast delivery" when the folder has none, and OK swaps a typed group for the held
// one at once, even if a later check then fails. Cancel frees only a group reserved by this
// dialog.
class FolderEditorModel {
public:
    static constexpr std::u16string_view kCreateTitle = u"New virtual folder";
    static constexpr std::u16string_view kUpdateTitle = u"Update virtual folder";
    static constexpr std::u16string_view kBrowseTitle =
        u"Select folder containing media files for streaming";
    static constexpr std::u16string_view kErrorCaption = u"Error";

    static constexpr std::u16string_view kNameLabelText = u"Folder name";
    static constexpr std::u16string_view kBrowseText = u"Browse...";
    static constexpr std::u16string_view kDescriptionLabelText = u"Description";
    static constexpr std::u16string_view kUnicastText = u"Unicast delivery";
    static constexpr std::u16string_view kMulticastText = u"Multicast delivery";
    static constexpr std::u16string_view kGroupLabelText = u"Group";
    static constexpr std::u16string_view kPlaylistText = u"Allow to treat folder as a Playlist";
    static constexpr std::u16string_view kOrderLabelText = u"Order";
    static constexpr std::u16string_view kAlphabeticalText = u"Alphabetical";
    static constexpr std::u16string_view kRandomText = u"Random";
    static constexpr std::u16string_view kOkText = u"OK";
    static constexpr std::u16string_view kCancelText = u"Cancel";

    // OK's messages, in the order OK checks them.
    static constexpr std::u16string_view kNoPathMessage = u"No physical path is chosen";
    static constexpr std::u16string_view kNoNameMessage = u"No name is provided";
    static constexpr std::u16string_view kBadNameMessage =
        u"Virtual folder name can not contain characters \"*/\\\"";
    static constexpr std::u16string_view kNameExistsMessage = NameExistsMessage;
    static constexpr std::u16string_view kNoDeliveryMessage = NoDeliveryMessage;
    static constexpr std::u16string_view kEmptyGroupMessage = EmptyMulticastGroupMessage;
    static constexpr std::u16string_view kNoPortMessage = NoMulticastPortMessage;

    // form: the record's settings (FolderFormFromRecord) in update mode, the defaults in create
    // mode. The references must outlive the model.
    FolderEditorModel(FolderEditorMode mode, FolderForm form, MulticastTable& multicastTable,
                      const Catalogue& catalogue, const AuthMethod& defaultAuthMethod);
    FolderEditorModel(const FolderEditorModel&) = delete;
    FolderEditorModel& operator=(const FolderEditorModel&) = delete;

    FolderEditorMode Mode() const { return mode_; }
    const FolderForm& Form() const { return form_; }
    const std::u16string& Title() const { return title_; }
    const ControlState& State(FolderControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    static bool ReadOnly(FolderControl control) { return control == FolderControl::PathEdit; }
    AccessPanel& Access() { return access_; }
    const AccessPanel& Access() const { return access_; }
    LimitsPanel& Limits() { return limits_; }
    const LimitsPanel& Limits() const { return limits_; }
    // Where the folder browser starts: the path the dialog opened with, or the one read at the
    // last OK attempt. Its title is kBrowseTitle.
    const std::u16string& BrowseStartPath() const { return form_.path; }

    // Fills the controls from the form; reserves a group when multicast is on without one.
    // Returns a message only when no group is left to reserve.
    std::u16string OnOpen();
    // The folder browser returned a path (an empty path, a cancelled browser, changes nothing).
    void OnBrowseResult(std::u16string path);
    // Returns a message only when a group should be reserved and none is left.
    std::u16string OnMulticastClicked(bool checked);
    void OnPlaylistClicked(bool checked);
    void OnUnicastClicked(bool checked);
    void OnOrderSelected(bool random);
    void SetNameText(std::u16string text);
    void SetDescriptionText(std::u16string text);
    void SetGroupText(std::u16string text);
    // Runs the checks in order. Empty: accepted, Form() holds the settings. Otherwise the first
    // failure's message; the dialog stays open.
    std::u16string OnOk();
    void OnCancel();

private:
    ControlState& At(FolderControl control) { return states_[static_cast<std::size_t>(control)]; }
    void EnableOrder(bool enabled);

    FolderEditorMode mode_;
    FolderForm form_;
    const Catalogue& catalogue_;
    std::u16string title_;
    std::array<ControlState, kFolderControlCount> states_;
    MulticastGroupField group_;  // after form_ and states_: it works on both
    AccessPanel access_;         // after states_: it refers to the unicast box
    LimitsPanel limits_;
};

}  // namespace vantor
