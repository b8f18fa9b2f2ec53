#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editors/control_state.h"
#include "editors/sub_dialog.h"
#include "monitor/restrictions_document.h"
#include "platform/file_store.h"

namespace vantor {

class AutomationFactory;
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
// Other programs (vantorctl, another administrator's window) may change the file while the
// dialog is open. OK takes the file's update lock and, when the file is no longer the one that
// was read, applies the user's own changes (the addresses added and removed, the mode when it
// was changed) to the new content instead, so that both survive. Where they cannot both
// survive, nothing is written: the dialog shows the file's content with the user's changes that
// still fit, and says why. (Two changes of the mode cannot disagree: from the same mode, both
// lead to the other one.)
//
// Binding: the view reads the file off the user-interface thread (ReadRestrictionsFile with
// Path()) and hands the result to OnLoaded (a false return means it already said why and the
// dialog ends cancelled), showing UnreadableMessage() when there is one; OnOpen does both at
// once. Until then only Cancel is enabled. The view copies every State() and both lists' Rows()
// and Selected() into its widgets, and does so again after every handler. A list that gets the
// focus reports OnModeSelected with its mode.
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

    // Shown when OK finds the update lock held by another program for too long.
    static constexpr std::u16string_view kBusyMessage =
        u"Another program is changing the restrictions file. Nothing was saved; click OK again "
        u"in a moment.";
    // Shown when the user's changes and another program's cannot both be written: the allowed
    // list would be left empty while it is the mode, or a list the user added to is gone.
    static constexpr std::u16string_view kChangesDoNotFitMessage =
        u"Another program changed the restrictions file while this dialog was open, and your "
        u"changes no longer fit it (for instance, the allowed list would be empty). Nothing was "
        u"saved. The dialog now shows the file as it is, with those of your changes that still "
        u"fit.";
    // Shown when the unreadable file could not be kept before it would be replaced.
    static constexpr std::u16string_view kCopyFailedMessage =
        u"The unreadable restrictions file could not be kept as a copy, so it was not replaced. "
        u"Nothing was saved.";

    // The text that says the file could not be read and what OK will do with it.
    static std::u16string UnreadableText(const std::string& path, const std::string& copy);

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

    // The located path of the file; empty when it cannot be located.
    std::string Path() const;
    // Takes the file's update lock now and holds it until OK has written (or the model goes), so
    // that a read made after this cannot be overtaken by another writer. Unavailable: no lock can
    // be made there, and OK goes on without one.
    LockStatus HoldUpdateLock();
    // Shows what was read, or starts a new document when the file is missing or unreadable.
    // False when not even that could be made: the message is shown and the dialog should end
    // cancelled.
    bool OnLoaded(RestrictionsSnapshot snapshot);
    // Reads the file where the model is and calls OnLoaded.
    bool OnOpen();
    // Whether the file that OK will replace could not be read; then OK first keeps it as
    // DamagedCopyPath().
    bool FileUnreadable() const {
        return loaded_ && base_.state == RestrictionsFileState::Unreadable;
    }
    const std::string& DamagedCopyPath() const { return base_.damagedCopy; }
    // Where the last OK kept the unreadable file it replaced; empty when it replaced none.
    const std::string& KeptCopyPath() const { return keptCopy_; }
    // UnreadableText for the file read, or nothing when it was read (or is missing).
    std::u16string UnreadableMessage() const;
    // A radio was clicked or a list got the focus.
    void OnModeSelected(DelegateAccessMode mode);
    // The selection of a list changed (nothing: no row selected); it also selects its mode.
    void OnRowSelected(DelegateAccessMode list, std::optional<std::size_t> row);
    // "+": asks for an address and adds it to the current mode's list.
    void OnAdd();
    // "-": removes the selected row of the current mode's list.
    void OnRemove();
    // False while OK cannot be confirmed (the allowed list is the mode and is empty), when the
    // lock stayed busy, or when the changes did not fit a file changed meanwhile (the message is
    // shown; the dialog stays open). Otherwise writes the mode when it changed and saves the
    // file (SaveResult()), and returns true.
    bool OnOk();

private:
    static std::size_t Index(DelegateAccessMode list) { return ListNumber(list) - 1; }
    ControlState& At(RestrictionsControl control) {
        return states_[static_cast<std::size_t>(control)];
    }
    void SetMode(DelegateAccessMode mode) override;
    void AddRow(int list, std::u16string address) override;
    using Addresses = std::array<std::vector<std::u16string>, 2>;
    // Moves the model onto current, another program's version of the file, with the user's
    // changes applied to it; false (with the message shown) when they do not all fit.
    bool MergeInto(RestrictionsSnapshot current);
    // Shows document; snapshot, which showed baseAddresses in baseMode, becomes what OK compares
    // the file with and what the user's changes are counted from.
    void Rebase(RestrictionsSnapshot snapshot, RestrictionsDocument document,
                Addresses baseAddresses, DelegateAccessMode baseMode);
    Addresses CurrentAddresses() const;
    bool KeepDamagedFile(const std::string& path);
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
    bool loaded_ = false;
    // The file as last read (its document is not kept), and the addresses it showed.
    RestrictionsSnapshot base_;
    Addresses baseAddresses_;
    std::string keptCopy_;
    std::unique_ptr<FileLock> lock_;
    std::string lockedPath_;
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
