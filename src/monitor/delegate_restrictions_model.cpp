#include "monitor/delegate_restrictions_model.h"

#include <algorithm>
#include <map>
#include <utility>

#include "config/text_codec.h"
#include "monitor/add_address_model.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

namespace {

std::u16string_view AccessText(DelegateAccessMode list) {
    return list == DelegateAccessMode::ExceptionList ? DelegateRestrictionsModel::kDeniedText
                                                     : DelegateRestrictionsModel::kAllowedText;
}

constexpr DelegateAccessMode kLists[] = {DelegateAccessMode::ExceptionList,
                                         DelegateAccessMode::AllowedList};

// Each address of from, as often as it stands there more than in other, in from's order.
std::vector<std::u16string> Beyond(const std::vector<std::u16string>& from,
                                   const std::vector<std::u16string>& other) {
    std::map<std::u16string, int> left;
    for (const std::u16string& address : other) {
        ++left[address];
    }
    std::vector<std::u16string> extra;
    for (const std::u16string& address : from) {
        if (left[address] > 0) {
            --left[address];
        } else {
            extra.push_back(address);
        }
    }
    return extra;
}

// A document's mode and addresses as reading delivers them.
struct Content : RestrictionsReceiver {
    void SetMode(DelegateAccessMode read) override { mode = read; }
    void AddRow(int list, std::u16string address) override {
        addresses[list == 1 ? 0 : 1].push_back(std::move(address));
    }
    DelegateAccessMode mode = DelegateAccessMode::ExceptionList;
    std::array<std::vector<std::u16string>, 2> addresses;
};

}  // namespace

std::u16string DelegateRestrictionsModel::UnreadableText(const std::string& path,
                                                         const std::string& copy) {
    return u"The restrictions file " + Utf8ToUtf16(path) +
           u" could not be read: it is cut short, is not well-formed XML, is larger than 16 MiB "
           u"or may not be read by you. OK will replace it with the lists shown here, and the "
           u"unreadable file will be kept as " +
           Utf8ToUtf16(copy) + u".";
}

DelegateRestrictionsModel::DelegateRestrictionsModel(FileStore& files, RestrictionsLocator locate,
                                                     Prompter& prompter,
                                                     SubDialog<std::u16string> addDialog)
    : files_(files),
      locate_(std::move(locate)),
      prompter_(prompter),
      addDialog_(std::move(addDialog)) {
    At(RestrictionsControl::ModeGroup).text = kModeGroupText;
    At(RestrictionsControl::ExceptionRadio).text = kExceptionRadioText;
    At(RestrictionsControl::AllowedRadio).text = kAllowedRadioText;
    At(RestrictionsControl::AddButton).text = kAddText;
    At(RestrictionsControl::RemoveButton).text = kRemoveText;
    At(RestrictionsControl::OkButton).text = kOkText;
    At(RestrictionsControl::CancelButton).text = kCancelText;
    UpdateControls();
}

std::string DelegateRestrictionsModel::Path() const {
    std::string path;
    if (!locate_ || Failed(locate_(path))) {
        return {};
    }
    return path;
}

LockStatus DelegateRestrictionsModel::HoldUpdateLock() {
    const std::string path = Path();
    if (path.empty()) {
        return LockStatus::Unavailable;
    }
    LockResult result = files_.LockForUpdate(path);
    if (result.status == LockStatus::Locked) {
        lock_ = std::move(result.lock);
        lockedPath_ = path;
    }
    return result.status;
}

bool DelegateRestrictionsModel::OnOpen() {
    return OnLoaded(ReadRestrictionsFile(Path(), files_));
}

bool DelegateRestrictionsModel::OnLoaded(RestrictionsSnapshot snapshot) {
    RestrictionsDocument document = std::move(snapshot.document);
    if (snapshot.state != RestrictionsFileState::Read && Failed(document.CreateNew())) {
        ShowError(kLoadFailedMessage);
        return false;
    }
    // A document without its mode shows as the exception list, empty, and is kept as it is.
    Content content;
    document.Read(content);
    Rebase(std::move(snapshot), std::move(document), content.addresses, content.mode);
    loaded_ = true;
    UpdateControls();
    return true;
}

std::u16string DelegateRestrictionsModel::UnreadableMessage() const {
    return FileUnreadable() ? UnreadableText(base_.path, base_.damagedCopy) : std::u16string();
}

void DelegateRestrictionsModel::Rebase(RestrictionsSnapshot snapshot, RestrictionsDocument document,
                                       Addresses baseAddresses, DelegateAccessMode baseMode) {
    document_ = std::move(document);
    snapshot.document = RestrictionsDocument();
    base_ = std::move(snapshot);
    baseAddresses_ = std::move(baseAddresses);
    rows_ = {};
    selected_ = {};
    mode_ = DelegateAccessMode::ExceptionList;
    document_.Read(*this);
    loadedMode_ = baseMode;
}

void DelegateRestrictionsModel::SetMode(DelegateAccessMode mode) {
    mode_ = mode;
}

void DelegateRestrictionsModel::AddRow(int list, std::u16string address) {
    const DelegateAccessMode mode =
        list == 1 ? DelegateAccessMode::ExceptionList : DelegateAccessMode::AllowedList;
    rows_[Index(mode)].push_back({std::u16string(AccessText(mode)), std::move(address)});
}
void DelegateRestrictionsModel::OnModeSelected(DelegateAccessMode mode) {
    mode_ = mode;
    UpdateControls();
}

void DelegateRestrictionsModel::OnRowSelected(DelegateAccessMode list,
                                              std::optional<std::size_t> row) {
    if (row && *row >= Rows(list).size()) {
        row.reset();
    }
    selected_[Index(list)] = row;
    OnModeSelected(list);
}

void DelegateRestrictionsModel::OnAdd() {
    std::u16string address;
    if (!RunSubDialog(addDialog_, address)) {
        return;
    }
    address = TrimAddress(address);
    if (address.empty()) {
        return;
    }
    if (Failed(document_.AddAddress(mode_, address))) {
        ShowError(kAddFailedMessage);
    } else {
        rows_[Index(mode_)].push_back({std::u16string(AccessText(mode_)), std::move(address)});
    }
    UpdateControls();
}

void DelegateRestrictionsModel::OnRemove() {
    std::optional<std::size_t>& selected = selected_[Index(mode_)];
    std::vector<RestrictionsRow>& rows = rows_[Index(mode_)];
    if (!selected) {
        return;
    }
    const std::u16string& shown = rows[*selected].address;
    const std::u16string address = shown.substr(0, std::min(shown.size(), kAddressRoom));
    if (Failed(document_.RemoveAddress(mode_, address))) {
        ShowError(kRemoveFailedMessage);
    } else {
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(*selected));
        selected.reset();
    }
    UpdateControls();
}

DelegateRestrictionsModel::Addresses DelegateRestrictionsModel::CurrentAddresses() const {
    Addresses addresses;
    for (DelegateAccessMode list : kLists) {
        for (const RestrictionsRow& row : Rows(list)) {
            addresses[Index(list)].push_back(row.address);
        }
    }
    return addresses;
}

bool DelegateRestrictionsModel::MergeInto(RestrictionsSnapshot current) {
    RestrictionsDocument merged = std::move(current.document);
    if (current.state != RestrictionsFileState::Read && Failed(merged.CreateNew())) {
        ShowError(kChangesDoNotFitMessage);
        return false;
    }
    Content now;
    merged.Read(now);
    const Addresses mine = CurrentAddresses();
    bool fits = true;
    for (DelegateAccessMode list : kLists) {
        const std::size_t i = Index(list);
        // An address that is gone already was removed by both.
        for (const std::u16string& removed : Beyond(baseAddresses_[i], mine[i])) {
            merged.RemoveAddress(list, removed);
        }
        // One that is there already was added by both.
        for (const std::u16string& added : Beyond(mine[i], baseAddresses_[i])) {
            if (std::find(now.addresses[i].begin(), now.addresses[i].end(), added) ==
                    now.addresses[i].end() &&
                Failed(merged.AddAddress(list, added))) {
                fits = false;
            }
        }
    }
    // The user's mode when they chose one, else the file's.
    const DelegateAccessMode mode = mode_ != loadedMode_ ? mode_ : now.mode;
    Rebase(std::move(current), std::move(merged), now.addresses, now.mode);
    mode_ = mode;
    UpdateControls();
    // The rule OK enforces holds for the merged lists too.
    if (!fits || !State(RestrictionsControl::OkButton).enabled) {
        ShowError(kChangesDoNotFitMessage);
        return false;
    }
    return true;
}

bool DelegateRestrictionsModel::KeepDamagedFile(const std::string& path) {
    // The copy is the whole file, however large: it is the user's data.
    const auto bytes = files_.ReadFile(path);
    if (!bytes) {
        return !files_.Stamp(path);  // gone meanwhile: nothing left to keep
    }
    return files_.ReplaceFile(base_.damagedCopy, *bytes);
}

bool DelegateRestrictionsModel::OnOk() {
    if (!loaded_ || !State(RestrictionsControl::OkButton).enabled) {
        return false;
    }
    const std::string path = Path();
    if (path.empty()) {
        saveResult_ = EFail;
        return true;
    }
    // Held from the check below to the replace, so no other writer comes in between.
    std::unique_ptr<FileLock> lock;
    if (lock_ != nullptr && lockedPath_ == path) {
        lock = std::move(lock_);
    } else {
        LockResult taken = files_.LockForUpdate(path);
        if (taken.status == LockStatus::Busy) {
            ShowError(kBusyMessage);
            return false;
        }
        lock = std::move(taken.lock);
    }
    lock_.reset();

    // The stamp is enough to see that nothing happened; the bytes decide when it moved.
    if (path != base_.path || files_.Stamp(path) != base_.stamp) {
        RestrictionsSnapshot current = ReadRestrictionsFile(path, files_);
        if (!current.SameContent(base_)) {
            if (current.state != RestrictionsFileState::Unreadable) {
                if (!MergeInto(std::move(current))) {
                    return false;
                }
            } else {
                const bool warned = base_.state == RestrictionsFileState::Unreadable;
                current.document = RestrictionsDocument();
                base_ = std::move(current);
                if (!warned) {
                    prompter_.ShowMessage(UnreadableMessage(), std::u16string(kMessageCaption),
                                          MessageIcon::Warning);
                    return false;
                }
            }
        }
    }
    keptCopy_.clear();
    if (base_.state == RestrictionsFileState::Unreadable) {
        if (!KeepDamagedFile(path)) {
            ShowError(kCopyFailedMessage);
            return false;
        }
        keptCopy_ = base_.damagedCopy;
    }
    if (mode_ != loadedMode_) {
        // A document without the attribute keeps its shape; the rest is still saved.
        document_.SetMode(mode_);
    }
    std::vector<std::uint8_t> bytes = document_.Serialize();
    saveResult_ = !bytes.empty() && files_.ReplaceFile(path, bytes) ? SOk : EFail;
    if (Succeeded(saveResult_)) {
        // What was written is what the next OK compares the file with.
        base_.path = path;
        base_.state = RestrictionsFileState::Read;
        base_.bytes = std::move(bytes);
        base_.stamp = files_.Stamp(path);
        baseAddresses_ = CurrentAddresses();
        loadedMode_ = mode_;
    }
    return true;
}

void DelegateRestrictionsModel::UpdateControls() {
    // Until the file has been read only Cancel does anything.
    for (RestrictionsControl control :
         {RestrictionsControl::ModeGroup, RestrictionsControl::ExceptionRadio,
          RestrictionsControl::ExceptionList, RestrictionsControl::AllowedRadio,
          RestrictionsControl::AllowedList, RestrictionsControl::AddButton}) {
        At(control).enabled = loaded_;
    }
    At(RestrictionsControl::ExceptionRadio).checked = mode_ == DelegateAccessMode::ExceptionList;
    At(RestrictionsControl::AllowedRadio).checked = mode_ == DelegateAccessMode::AllowedList;
    At(RestrictionsControl::RemoveButton).enabled = loaded_ && Selected(mode_).has_value();
    // Denying every delegate without a single exception cannot be confirmed.
    At(RestrictionsControl::OkButton).enabled =
        loaded_ && (mode_ != DelegateAccessMode::AllowedList ||
                    !Rows(DelegateAccessMode::AllowedList).empty());
}

void DelegateRestrictionsModel::ShowError(std::u16string_view message) {
    prompter_.ShowMessage(std::u16string(message), std::u16string(kMessageCaption),
                          MessageIcon::Error);
}

bool RunDelegateRestrictions(DelegateRestrictionsModel& model,
                             const RestrictionsDialogRunner& runDialog,
                             AutomationFactory& automation) {
    if (!runDialog || !runDialog(model)) {
        return false;
    }
    if (const auto notifier = automation.CreateRestrictionsNotifier()) {
        notifier->RestrictionsChanged();
    }
    return true;
}

}  // namespace vantor
