#include "cli/document_restrictions.h"

#include <algorithm>
#include <ostream>
#include <tuple>
#include <utility>

#include "cli/restrictions_command.h"
#include "monitor/add_address_model.h"
#include "server/installation_paths.h"

namespace vantor {

std::optional<RestrictionsLocator> RestrictionsAt(const std::optional<std::string>& restrictions,
                                                  const ConfigSessionOptions& session,
                                                  SessionPlatform& platform) {
    if (restrictions) {
        return FixedRestrictionsFile(*restrictions);
    }
    if (session.file) {
        return std::nullopt;
    }
    return LocateRestrictions(platform.environment, RestrictionsSelectorVantor);
}

std::string WithoutProgramName(std::string_view text) {
    constexpr std::string_view prefix = "vantorctl: ";
    return std::string(text.starts_with(prefix) ? text.substr(prefix.size()) : text);
}

DocumentRestrictions RestrictionsOf(const DelegateRestrictionsModel& model) {
    DocumentRestrictions shown;
    shown.mode = std::string(ModeText(model.Mode()));
    for (const RestrictionsRow& row : model.Rows(DelegateAccessMode::ExceptionList)) {
        shown.exceptions.push_back(row.address);
    }
    for (const RestrictionsRow& row : model.Rows(DelegateAccessMode::AllowedList)) {
        shown.allowed.push_back(row.address);
    }
    return shown;
}

RestrictionsDialog::RestrictionsDialog(FileStore& files, RestrictionsLocator locate,
                                       Prompter& prompter)
    : model(files, std::move(locate), prompter, [this](std::u16string& typed) {
          typed = pending;
          return true;
      }) {}

std::string RestrictionsDialog::Load(FileStore& files, bool forChange) {
    const std::string path = model.Path();
    if (forChange && model.HoldUpdateLock() == LockStatus::Busy) {
        return WithoutProgramName(RestrictionsBusyText) + path;
    }
    RestrictionsSnapshot snapshot = ReadRestrictionsFile(path, files);
    if (snapshot.state == RestrictionsFileState::Unreadable) {
        return path + RestrictionsUnreadableText;
    }
    if (!model.OnLoaded(std::move(snapshot))) {
        return path + ": cannot be read";
    }
    return {};
}

DelegateAccessMode ModeNamed(const std::string& text) {
    return text == AllowedListModeText ? DelegateAccessMode::AllowedList
                                       : DelegateAccessMode::ExceptionList;
}

RestrictionsStep PlanRestrictions(const DocumentRestrictions& now,
                                  const DocumentRestrictions& wanted) {
    RestrictionsStep step;
    for (const auto& [list, have, want] :
         {std::tuple{DelegateAccessMode::ExceptionList, &now.exceptions, &wanted.exceptions},
          std::tuple{DelegateAccessMode::AllowedList, &now.allowed, &wanted.allowed}}) {
        std::vector<std::u16string> left = *want;
        for (const std::u16string& address : *have) {
            const auto found = std::find(left.begin(), left.end(), address);
            if (found != left.end()) {
                left.erase(found);
            } else {
                step.removals.push_back({list, address});
            }
        }
        for (std::u16string& address : left) {
            step.additions.push_back({list, std::move(address)});
        }
    }
    if (now.mode != wanted.mode) {
        step.mode = ModeNamed(wanted.mode);
    }
    return step;
}

std::string ListKey(DelegateAccessMode list) {
    return list == DelegateAccessMode::ExceptionList ? "exceptions" : "allowed";
}

bool PlayRestrictions(RestrictionsDialog& dialog, const RestrictionsStep& step,
                      DelegateAccessMode currentMode, AutomationFactory& automation,
                      std::ostream& err) {
    const DelegateAccessMode finalMode = step.mode.value_or(currentMode);
    return RunDelegateRestrictions(
        dialog.model,
        [&](DelegateRestrictionsModel& model) {
            for (const RestrictionsStep::Row& row : step.removals) {
                const auto& rows = model.Rows(row.list);
                std::size_t index = 0;
                while (index < rows.size() && rows[index].address != row.address) {
                    ++index;
                }
                model.OnRowSelected(row.list, index);
                model.OnRemove();
            }
            for (const RestrictionsStep::Row& row : step.additions) {
                model.OnModeSelected(row.list);
                dialog.pending = row.address;
                model.OnAdd();
            }
            model.OnModeSelected(finalMode);
            if (!model.OnOk()) {
                return false;
            }
            if (Failed(model.SaveResult())) {
                err << RestrictionsNotWrittenText << model.Path() << '\n';
                return false;
            }
            return true;
        },
        automation);
}

}  // namespace vantor
