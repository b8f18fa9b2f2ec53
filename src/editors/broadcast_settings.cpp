#include "editors/broadcast_settings.h"

#include <utility>

namespace vantor {

BroadcastSettings::BroadcastSettings(BroadcastForm& form, MulticastTable& multicastTable,
                                     const Catalogue& catalogue,
                                     const AuthMethod& defaultAuthMethod,
                                     BroadcastSubDialogs subDialogs)
    : form_(form),
      catalogue_(catalogue),
      subDialogs_(std::move(subDialogs)),
      group_(multicastTable, form.groupText, form.assignedAutomatically,
             states_[static_cast<std::size_t>(BroadcastControl::GroupEdit)]),
      access_(true, defaultAuthMethod,
              states_[static_cast<std::size_t>(BroadcastControl::Unicast)]),
      limits_(true) {
    At(BroadcastControl::NameLabel).text = kNameLabelText;
    At(BroadcastControl::DescriptionLabel).text = kDescriptionLabelText;
    At(BroadcastControl::Unicast).text = kUnicastText;
    At(BroadcastControl::Multicast).text = kMulticastText;
    At(BroadcastControl::GroupLabel).text = kGroupLabelText;
    At(BroadcastControl::NotifyArchival).text = kNotifyArchivalText;
    At(BroadcastControl::OkButton).text = kOkText;
    At(BroadcastControl::CancelButton).text = kCancelText;
}

void BroadcastSettings::SetHeader(std::u16string_view text) {
    At(BroadcastControl::Header).text = text;
}

std::u16string BroadcastSettings::Open(bool newBroadcast) {
    At(BroadcastControl::NameEdit).text = form_.name;
    At(BroadcastControl::DescriptionEdit).text = form_.description;
    At(BroadcastControl::Unicast).checked = form_.unicast;
    At(BroadcastControl::Multicast).checked = form_.multicast;
    At(BroadcastControl::NotifyArchival).checked = form_.notifyArchival;

    std::u16string message;
    if (form_.multicast) {
        message = group_.AssignIfEmpty();
    }
    group_.Show(form_.multicast);

    if (newBroadcast) {
        form_.method = AuthMethod::InheritDefault;
        form_.groups = AllUsers;
    }
    access_.Load(form_.method, form_.groups, form_.playerOption, form_.allowDelegates);
    auto recordValue = [](const LimitSetting& limit) { return limit.enabled ? limit.value : 0; };
    limits_.Load(recordValue(form_.maxConnections), recordValue(form_.maxConnectionsPerUser),
                 recordValue(form_.maxThroughputKBps), form_.playTime);
    return message;
}

std::u16string BroadcastSettings::OnMulticastClicked(bool checked) {
    At(BroadcastControl::Multicast).checked = checked;
    std::u16string message;
    if (checked) {
        message = group_.AssignIfEmpty();
    }
    // Unchecked, the form keeps its group until OK releases it.
    group_.Show(checked);
    return message;
}

void BroadcastSettings::OnUnicastClicked(bool checked) {
    At(BroadcastControl::Unicast).checked = checked;
    access_.OnUnicastToggled();
}

void BroadcastSettings::OnMethodSelected(AuthMethod method) {
    access_.OnMethodSelected(method);
}

void BroadcastSettings::OnLimitToggled(LimitPair pair, bool checked) {
    limits_.OnPairToggled(pair, checked);
}

void BroadcastSettings::OnNotifyArchivalToggled(bool checked) {
    At(BroadcastControl::NotifyArchival).checked = checked;
}

void BroadcastSettings::OnMetadataClicked() {
    BroadcastMetadata edited = form_.metadata;
    if (RunSubDialog(subDialogs_.metadata, edited)) {
        form_.metadata = std::move(edited);
    }
}

void BroadcastSettings::OnAccessRestrictionsClicked() {
    if (subDialogs_.accessRestrictions) {
        subDialogs_.accessRestrictions();
    }
}

void BroadcastSettings::SetNameText(std::u16string text) {
    At(BroadcastControl::NameEdit).text = std::move(text);
}

void BroadcastSettings::SetDescriptionText(std::u16string text) {
    At(BroadcastControl::DescriptionEdit).text = std::move(text);
}

void BroadcastSettings::SetGroupText(std::u16string text) {
    At(BroadcastControl::GroupEdit).text = std::move(text);
}

std::u16string BroadcastSettings::ReadDescriptionAndCheckName() {
    form_.description = State(BroadcastControl::DescriptionEdit).text;
    const std::u16string& name = State(BroadcastControl::NameEdit).text;
    if (std::u16string message = CheckNameText(name, {kNoNameMessage, kBadNameMessage});
        !message.empty()) {
        return message;
    }
    return CheckNameFree(name, form_.openingName, catalogue_);
}

std::u16string BroadcastSettings::ReadSettings() {
    form_.method = access_.ReadMethod();
    form_.groups = access_.ReadGroups();
    if (std::u16string message = access_.CheckGroups(form_.method, form_.groups);
        !message.empty()) {
        return message;
    }
    const PlayTimeReading playTime = limits_.ReadPlayTime();
    if (!playTime.message.empty()) {
        return playTime.message;
    }
    form_.playTime = playTime.playTimeLimit;

    form_.unicast = State(BroadcastControl::Unicast).checked;
    form_.multicast = State(BroadcastControl::Multicast).checked;
    if (std::u16string message = CheckDelivery(form_.unicast, form_.multicast); !message.empty()) {
        return message;
    }
    form_.playerOption = access_.ReadPlayerOption();

    if (std::u16string message = group_.Apply(form_.multicast); !message.empty()) {
        return message;
    }

    const LimitsReading limits = limits_.ReadLimits();
    if (!limits.message.empty()) {
        return limits.message;
    }
    form_.maxConnections = limits.maxConnections;
    form_.maxConnectionsPerUser = limits.maxConnectionsPerUser;
    form_.maxThroughputKBps = limits.maxThroughputKBps;

    form_.name = State(BroadcastControl::NameEdit).text;
    form_.allowDelegates = access_.ReadAllowDelegates();
    form_.notifyArchival = State(BroadcastControl::NotifyArchival).checked;
    return {};
}

void BroadcastSettings::OnCancel() {
    group_.ReleaseAssigned();
}

}  // namespace vantor
