#include "server/server_properties_model.h"

#include <string>
#include <utility>

#include "editors/limits_panel.h"
#include "platform/logging_component_probe.h"
#include "platform/prompter.h"
#include "server/user_manager.h"

namespace vantor {
namespace {

// The anonymous limit is told apart from the per-user one by its second line only; it shares
// its messages with the total limit.
constexpr std::u16string_view AnonymousSecondLineText = u"per all anonymous users";

struct LimitInfo {
    ServerControl check;
    ServerControl edit;
    std::u16string_view missing;
    std::u16string_view minimum;
    std::u16string_view maximum;  // empty: the file holds any number the reading gives
};

LimitInfo Info(ServerLimit limit) {
    // The three connection limits are kept in 16 bits of the file; the throughput in 32.
    switch (limit) {
        case ServerLimit::ConnectionsPerUser:
            return {ServerControl::PerUserCheck, ServerControl::PerUserEdit,
                    LimitsPanel::kConnectionsPerUserMissing,
                    LimitsPanel::kConnectionsPerUserMinimum,
                    LimitsPanel::kConnectionsPerUserMaximum};
        case ServerLimit::AnonymousConnections:
            return {ServerControl::AnonymousCheck, ServerControl::AnonymousEdit,
                    LimitsPanel::kTotalConnectionsMissing, LimitsPanel::kTotalConnectionsMinimum,
                    LimitsPanel::kTotalConnectionsMaximum};
        case ServerLimit::Throughput:
            return {ServerControl::ThroughputCheck,
                    ServerControl::ThroughputEdit,
                    LimitsPanel::kThroughputMissing,
                    LimitsPanel::kThroughputMinimum,
                    {}};
        case ServerLimit::TotalConnections:
            break;
    }
    return {ServerControl::TotalCheck, ServerControl::TotalEdit,
            LimitsPanel::kTotalConnectionsMissing, LimitsPanel::kTotalConnectionsMinimum,
            LimitsPanel::kTotalConnectionsMaximum};
}

std::u16string Decimal(std::int32_t value) {
    const std::string ascii = std::to_string(value);
    return std::u16string(ascii.begin(), ascii.end());
}

constexpr std::pair<ServerControl, std::u16string_view> FixedTexts[] = {
    {ServerControl::NetworkGroup, u"Network Settings"},
    {ServerControl::InterfaceLabel, u"Network Interface"},
    {ServerControl::PlayerPortLabel, u"TCP port for player connections"},
    {ServerControl::LiveSourcePortLabel, u"TCP port for dynamic live sources"},
    {ServerControl::LimitsGroup, u" Limit Player Connections"},
    {ServerControl::TotalCheck, LimitsPanel::kTotalConnectionsText},
    {ServerControl::PerUserCheck, LimitsPanel::kConnectionsPerUserText},
    {ServerControl::PerUserSecondLine, LimitsPanel::kConnectionsPerUserSecondLineText},
    {ServerControl::AnonymousCheck, LimitsPanel::kConnectionsPerUserText},
    {ServerControl::AnonymousSecondLine, AnonymousSecondLineText},
    {ServerControl::ThroughputCheck, LimitsPanel::kThroughputText},
    {ServerControl::LoggingGroup, u"User Logging"},
    {ServerControl::DisableLogging, u"Disable logging"},
    {ServerControl::StandardLogging, u"Standard logging"},
    {ServerControl::CustomLogging, u"Custom logging"},
    {ServerControl::ProgIdLabel, u"ProgID of Logging component"},
    {ServerControl::ArchivalGroup, u"Archival Server"},
    {ServerControl::ArchivalCaption,
     u"Archival Server for sending notifications to record active streams"},
    {ServerControl::ArchivalAddressLabel, u"IP Address"},
    {ServerControl::ArchivalPortLabel, u"Port"},
    {ServerControl::SetPassword, u"Set Password..."},
    {ServerControl::AuthGroup, u"Authentication Method and User Management"},
    {ServerControl::AuthLabel, u"Default authentication method"},
    {ServerControl::AnonymousAccess, u"Anonymous access"},
    {ServerControl::InternalAuthentication, u"Internal authentication"},
    {ServerControl::SessionAuthentication, u"Session-based authentication"},
    {ServerControl::AddUser, u"Add User"},
    {ServerControl::RemoveUser, u"Remove User"},
    {ServerControl::UpdateUser, u"Update User"},
    {ServerControl::Help, u"Help"},
    {ServerControl::OkButton, u"OK"},
    {ServerControl::CancelButton, u"Cancel"},
};

constexpr ServerLimit AllLimits[] = {ServerLimit::TotalConnections, ServerLimit::ConnectionsPerUser,
                                     ServerLimit::AnonymousConnections, ServerLimit::Throughput};

}  // namespace

ServerPropertiesModel::ServerPropertiesModel(const ServerConfig& config,
                                             AuthMethod defaultAuthMethod,
                                             std::vector<std::string> adapterAddresses,
                                             UserManager& users,
                                             LoggingComponentProbe& loggingProbe,
                                             Prompter& prompter,
                                             SubDialog<std::u16string> setPasswordDialog)
    : form_{config, defaultAuthMethod},
      adapterAddresses_(std::move(adapterAddresses)),
      users_(users),
      loggingProbe_(loggingProbe),
      prompter_(prompter),
      setPasswordDialog_(std::move(setPasswordDialog)) {
    for (const auto& [control, text] : FixedTexts) {
        At(control).text = text;
    }
}

bool ServerPropertiesModel::DigitsOnly(ServerControl control) {
    return control == ServerControl::PlayerPortEdit || control == ServerControl::TotalEdit ||
           control == ServerControl::ThroughputEdit || control == ServerControl::ArchivalPortEdit;
}

ServerControl ServerPropertiesModel::CheckBoxOf(ServerLimit limit) {
    return Info(limit).check;
}

ServerControl ServerPropertiesModel::EditOf(ServerLimit limit) {
    return Info(limit).edit;
}

const UserList& ServerPropertiesModel::Users() const {
    return users_.List();
}

std::optional<std::size_t> ServerPropertiesModel::TakeUserRowToShow() {
    return users_.List().TakeRowToShow();
}

void ServerPropertiesModel::OnOpen() {
    const ServerConfig& settings = form_.settings;
    At(ServerControl::PlayerPortEdit).text = settings.playerPort;
    At(ServerControl::LiveSourcePortEdit).text = settings.liveSourcePort;
    At(ServerControl::ArchivalAddressEdit).text = settings.archivalServerAddress;
    At(ServerControl::ArchivalPortEdit).text = settings.archivalServerPort;
    LoadLimit(ServerLimit::TotalConnections, settings.limitConnections, settings.maxConnections);
    LoadLimit(ServerLimit::ConnectionsPerUser, settings.limitConnectionsPerUser,
              settings.maxConnectionsPerUser);
    LoadLimit(ServerLimit::AnonymousConnections, settings.limitAnonymousConnections,
              settings.maxAnonymousConnections);
    LoadLimit(ServerLimit::Throughput, settings.limitThroughput, settings.maxThroughputKBps);

    At(ServerControl::ProgIdEdit).text = settings.loggingProgId;
    OnLoggingSelected(settings.loggingMode == 1   ? LoggingMode::Disabled
                      : settings.loggingMode == 3 ? LoggingMode::Custom
                                                  : LoggingMode::Standard);
    OnAuthMethodSelected(form_.defaultAuthMethod);

    users_.Open();
    SyncUserButtons();

    interfaces_ = BuildNetworkInterfaceChoices(adapterAddresses_, settings.networkInterface);
    OnInterfaceSelected(interfaces_.selected);
}

void ServerPropertiesModel::LoadLimit(ServerLimit limit, bool enabled, std::uint32_t value) {
    const LimitInfo info = Info(limit);
    At(info.check).checked = enabled;
    At(info.edit).enabled = enabled;
    At(info.edit).text = Decimal(static_cast<std::int32_t>(value));
}

void ServerPropertiesModel::SetEditText(ServerControl edit, std::u16string text) {
    At(edit).text = std::move(text);
}

void ServerPropertiesModel::OnInterfaceSelected(std::size_t index) {
    if (index < interfaces_.entries.size()) {
        interfaces_.selected = index;
        At(ServerControl::InterfaceCombo).text = interfaces_.entries[index];
    }
}

void ServerPropertiesModel::OnLimitToggled(ServerLimit limit, bool checked) {
    const LimitInfo info = Info(limit);
    At(info.check).checked = checked;
    At(info.edit).enabled = checked;
}

void ServerPropertiesModel::OnLoggingSelected(LoggingMode mode) {
    At(ServerControl::DisableLogging).checked = mode == LoggingMode::Disabled;
    At(ServerControl::StandardLogging).checked = mode == LoggingMode::Standard;
    At(ServerControl::CustomLogging).checked = mode == LoggingMode::Custom;
    At(ServerControl::ProgIdEdit).enabled = mode == LoggingMode::Custom;
}

void ServerPropertiesModel::OnAuthMethodSelected(AuthMethod method) {
    At(ServerControl::AnonymousAccess).checked = method == AuthMethod::Anonymous;
    At(ServerControl::InternalAuthentication).checked = method == AuthMethod::Internal;
    At(ServerControl::SessionAuthentication).checked =
        method != AuthMethod::Anonymous && method != AuthMethod::Internal;
}

void ServerPropertiesModel::OnSetPassword() {
    std::u16string hash;
    if (RunSubDialog(setPasswordDialog_, hash) && !hash.empty()) {
        form_.settings.archivalPassword = std::move(hash);
    }
}

void ServerPropertiesModel::OnUserSelected(std::optional<std::size_t> row) {
    users_.OnSelectionChanged(row);
    SyncUserButtons();
}

void ServerPropertiesModel::OnUserColumnClicked(UserColumn column) {
    users_.OnColumnClicked(column);
}

void ServerPropertiesModel::OnAddUser() {
    users_.AddUserCommand();
}

void ServerPropertiesModel::OnRemoveUser() {
    users_.RemoveUserCommand();
    SyncUserButtons();
}

void ServerPropertiesModel::OnUpdateUser() {
    users_.UpdateUserCommand();
}

void ServerPropertiesModel::SyncUserButtons() {
    At(ServerControl::RemoveUser).enabled = users_.RowCommandsEnabled();
    At(ServerControl::UpdateUser).enabled = users_.RowCommandsEnabled();
}

std::u16string ServerPropertiesModel::ReadLimit(ServerLimit limit, bool& enabled,
                                                std::uint32_t& value) const {
    const LimitInfo info = Info(limit);
    enabled = State(info.check).checked;
    if (!enabled) {
        return {};  // the number stays as it was
    }
    LimitTextReading read = ReadServerLimitText(limit, State(info.edit).text);
    if (read.message.empty()) {
        value = static_cast<std::uint32_t>(read.value);
    }
    return std::move(read.message);
}

LimitTextReading ReadServerLimitText(ServerLimit limit, std::u16string_view text) {
    const LimitInfo info = Info(limit);
    return ReadLimitText(text, info.missing, info.minimum, info.maximum);
}

std::u16string CheckServerPorts(std::u16string_view playerPort,
                                std::u16string_view liveSourcePort) {
    if (playerPort.empty()) {
        return std::u16string(ServerPropertiesModel::NoPlayerPortText);
    }
    if (liveSourcePort.empty()) {
        return std::u16string(ServerPropertiesModel::NoLiveSourcePortText);
    }
    return {};
}

std::u16string ServerPropertiesModel::OnOk() {
    if (std::u16string message = CheckServerPorts(State(ServerControl::PlayerPortEdit).text,
                                                  State(ServerControl::LiveSourcePortEdit).text);
        !message.empty()) {
        return message;
    }
    // Read into a copy: a later failure must leave the form as it was.
    ServerConfig read = form_.settings;
    read.playerPort = State(ServerControl::PlayerPortEdit).text;
    read.liveSourcePort = State(ServerControl::LiveSourcePortEdit).text;
    struct Target {
        ServerLimit limit;
        bool& enabled;
        std::uint32_t& value;
    };
    const Target targets[] = {
        {ServerLimit::TotalConnections, read.limitConnections, read.maxConnections},
        {ServerLimit::ConnectionsPerUser, read.limitConnectionsPerUser, read.maxConnectionsPerUser},
        {ServerLimit::AnonymousConnections, read.limitAnonymousConnections,
         read.maxAnonymousConnections},
        {ServerLimit::Throughput, read.limitThroughput, read.maxThroughputKBps},
    };
    for (const Target& target : targets) {
        if (std::u16string message = ReadLimit(target.limit, target.enabled, target.value);
            !message.empty()) {
            return message;
        }
    }

    read.loggingProgId = State(ServerControl::ProgIdEdit).text;
    if (State(ServerControl::CustomLogging).checked &&
        !loggingProbe_.CanCreate(read.loggingProgId)) {
        // Only a warning: the component may be installed after the settings are made.
        prompter_.ShowMessage(std::u16string(LoggingTestFailedText),
                              std::u16string(ServerPropertiesWarningCaption));
    }

    read.loggingMode = static_cast<std::uint32_t>(
        State(ServerControl::DisableLogging).checked  ? LoggingMode::Disabled
        : State(ServerControl::CustomLogging).checked ? LoggingMode::Custom
                                                      : LoggingMode::Standard);
    form_.defaultAuthMethod = State(ServerControl::AnonymousAccess).checked ? AuthMethod::Anonymous
                              : State(ServerControl::InternalAuthentication).checked
                                  ? AuthMethod::Internal
                                  : AuthMethod::SessionBased;
    read.networkInterface = State(ServerControl::InterfaceCombo).text;
    read.archivalServerAddress = State(ServerControl::ArchivalAddressEdit).text;
    read.archivalServerPort = State(ServerControl::ArchivalPortEdit).text;
    form_.settings = std::move(read);
    users_.List().Clear();
    return {};
}

void ServerPropertiesModel::OnCancel() {
    users_.List().Clear();
}

ServerPropertiesChange CommitServerProperties(const ServerPropertiesForm& form,
                                              ServerConfig& config, AuthMethod& defaultAuthMethod,
                                              Prompter& prompter,
                                              const std::function<void()>& save) {
    ServerPropertiesChange change = ServerPropertiesChange::None;
    if (form.settings != config) {
        prompter.ShowMessage(std::u16string(RestartNeededText),
                             std::u16string(ServerPropertiesWarningCaption));
        change = ServerPropertiesChange::Settings;
    } else if (form.defaultAuthMethod != defaultAuthMethod) {
        change = ServerPropertiesChange::AuthMethodOnly;
    } else {
        return change;
    }
    config = form.settings;
    defaultAuthMethod = form.defaultAuthMethod;
    if (save) {
        save();
    }
    return change;
}

}  // namespace vantor
