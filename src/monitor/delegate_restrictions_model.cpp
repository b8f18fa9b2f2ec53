#include "monitor/delegate_restrictions_model.h"

#include <algorithm>
#include <utility>

#include "monitor/add_address_model.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace vantor {

namespace {

std::u16string_view AccessText(DelegateAccessMode list) {
    return list == DelegateAccessMode::ExceptionList ? DelegateRestrictionsModel::kDeniedText
                                                     : DelegateRestrictionsModel::kAllowedText;
}

}  // namespace

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

bool DelegateRestrictionsModel::OnOpen() {
    if (Succeeded(document_.Load(locate_, files_))) {
        // A document without its mode shows as the exception list, empty, and is kept as it is.
        document_.Read(*this);
    } else if (Failed(document_.CreateNew())) {
        ShowError(kLoadFailedMessage);
        return false;
    }
    UpdateControls();
    return true;
}

void DelegateRestrictionsModel::SetMode(DelegateAccessMode mode) {
    mode_ = mode;
    loadedMode_ = mode;
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

bool DelegateRestrictionsModel::OnOk() {
    if (!State(RestrictionsControl::OkButton).enabled) {
        return false;
    }
    if (mode_ != loadedMode_) {
        // A document without the attribute keeps its shape; the rest is still saved.
        document_.SetMode(mode_);
    }
    saveResult_ = document_.Save(locate_, files_);
    return true;
}

void DelegateRestrictionsModel::UpdateControls() {
    At(RestrictionsControl::ExceptionRadio).checked = mode_ == DelegateAccessMode::ExceptionList;
    At(RestrictionsControl::AllowedRadio).checked = mode_ == DelegateAccessMode::AllowedList;
    At(RestrictionsControl::RemoveButton).enabled = Selected(mode_).has_value();
    // Denying every delegate without a single exception cannot be confirmed.
    At(RestrictionsControl::OkButton).enabled =
        mode_ != DelegateAccessMode::AllowedList || !Rows(DelegateAccessMode::AllowedList).empty();
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
