#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editors/control_state.h"
#include "editors/sub_dialog.h"
#include "monitor/restrictions_document.h"

namespace vantor {

class AutomationFactory;
class FileStore;
class Prompter;

enum class RestrictionsControl {
    ModeGroup,       // "Select Delegate Media Servers access mode"
    ExceptionRadio,  // mode 1
    ExceptionList,
    AllowedRadio,  // mode 2
    AllowedList,
    AddButton,     // "+"
    RemoveButton,  // "-"
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t kRestrictionsControlCount =
    static_cast<std::size_t>(RestrictionsControl::Count);

// One row of a list: "Denied" or "Allowed", then the address.
struct RestrictionsRow {
    std::u16string access;
    std::u16string address;

    bool operator==(const RestrictionsRow&) const = default;
};

// The model of "Connection Restrictions for Delegate Media Servers". It holds the restrictions
// document while the dialog is open: every add and remove goes to the document and to the list
// at once, and only OK writes the file. Failures are shown through the prompter with
// kMessageCaption and the error icon.
//
// Binding: the view calls OnOpen (a false return means it already said why and the dialog ends
// cancelled), then copies Title(), every State() and both lists' Rows() and Selected() into its
// widgets, and does so again after every handler. A list that gets the focus reports
// OnModeSelected with its mode.
class DelegateRestrictionsModel : private RestrictionsReceiver {
public:
    static constexpr std::u16string_view kTitle =
        u"Connection Restrictions for Delegate Media Servers";
    static constexpr std::u16string_view kModeGroupText =
        u"Select Delegate Media Servers access mode";
    static constexpr std::u16string_view kExceptionRadioText =
        u"All delegates will be allowed access to this Media Server except:";
    static constexpr std::u16string_view kAllowedRadioText =
        u"All delegates will be denied access to this Media Server except:";
    static constexpr std::u16string_view kAccessColumnText = u"Access";
    static constexpr std::u16string_view kAddressColumnText = u"Media Server address";
    static constexpr std::u16string_view kDeniedText = u"Denied";
    static constexpr std::u16string_view kAllowedText = u"Allowed";
    static constexpr std::u16string_view kAddText = u"+";
    static constexpr std::u16string_view kRemoveText = u"-";
    static constexpr std::u16string_view kOkText = u"OK";
    static constexpr std::u16string_view kCancelText = u"Cancel";

    static constexpr std::u16string_view kMessageCaption = u"Configuration of Media Server";
    static constexpr std::u16string_view kAddFailedMessage =
        u"Error adding Media Server address to the server's list";
    static constexpr std::u16string_view kRemoveFailedMessage =
        u"Error removing Media Server address from the server's list";
    static constexpr std::u16string_view kLoadFailedMessage =
        u"Error loading Tavrin configuration file. Make sure Tavrin folder has read/write access.";

    // Removing reads the selected row's address into room for this many characters; a longer
    // address is searched for cut, and so is not found.
    static constexpr std::size_t kAddressRoom = 79;

    // addDialog asks for an address ("Add Media Server address"): it receives an empty text and,
    // when accepted, leaves the address in it. The references must outlive the model.
    DelegateRestrictionsModel(FileStore& files, RestrictionsLocator locate, Prompter& prompter,
                              SubDialog<std::u16string> addDialog);
    DelegateRestrictionsModel(const DelegateRestrictionsModel&) = delete;
    DelegateRestrictionsModel& operator=(const DelegateRestrictionsModel&) = delete;

    const ControlState& State(RestrictionsControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    DelegateAccessMode Mode() const { return mode_; }
    const std::vector<RestrictionsRow>& Rows(DelegateAccessMode list) const {
        return rows_[Index(list)];
    }
    std::optional<std::size_t> Selected(DelegateAccessMode list) const {
        return selected_[Index(list)];
    }
    // The result of the last save; SOk before any.
    HResult SaveResult() const { return saveResult_; }

    // Loads the file, or starts a new document when it cannot be loaded. False when not even
    // that could be made: the message is shown and the dialog should end cancelled.
    bool OnOpen();
    // A radio was clicked or a list got the focus.
    void OnModeSelected(DelegateAccessMode mode);
    // The selection of a list changed (nothing: no row selected); it also selects its mode.
    void OnRowSelected(DelegateAccessMode list, std::optional<std::size_t> row);
    // "+": asks for an address and adds it to the current mode's list.
    void OnAdd();
    // "-": removes the selected row of the current mode's list.
    void OnRemove();
    // False while OK cannot be confirmed (the allowed list is the mode and is empty); otherwise
    // writes the mode when it changed and saves the file (SaveResult()), and returns true.
    bool OnOk();

private:
    static std::size_t Index(DelegateAccessMode list) { return ListNumber(list) - 1; }
    ControlState& At(RestrictionsControl control) {
        return states_[static_cast<std::size_t>(control)];
    }
    void SetMode(DelegateAccessMode mode) override;
    void AddRow(int list, std::u16string address) override;
    void UpdateControls();
    void ShowError(std::u16string_view message);

    FileStore& files_;
    RestrictionsLocator locate_;
    Prompter& prompter_;
    SubDialog<std::u16string> addDialog_;
    RestrictionsDocument document_;
    DelegateAccessMode mode_ = DelegateAccessMode::ExceptionList;
    DelegateAccessMode loadedMode_ = DelegateAccessMode::ExceptionList;
    std::array<std::vector<RestrictionsRow>, 2> rows_;
    std::array<std::optional<std::size_t>, 2> selected_;
    std::array<ControlState, kRestrictionsControlCount> states_;
    HResult saveResult_ = SOk;
};

// Drives the dialog over model: runDialog shows it (or, in tests and vantorctl, plays the user)
// and returns true when it ended with OK. After OK the server is told once through its
// restrictions notification object; an object that cannot be created, and its answer, are
// ignored. Returns what runDialog returned.
using RestrictionsDialogRunner = std::function<bool(DelegateRestrictionsModel& model)>;
bool RunDelegateRestrictions(DelegateRestrictionsModel& model,
                             const RestrictionsDialogRunner& runDialog,
                             AutomationFactory& automation);

}  // namespace vantor
