#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/resource_record.h"
#include "config/server_config.h"
#include "editors/control_state.h"
#include "editors/limits_panel.h"
#include "editors/sub_dialog.h"
#include "server/network_interface_choices.h"
#include "server/user_list.h"

namespace vantor {

class LoggingComponentProbe;
class Prompter;
class UserManager;

// The server-wide settings as the dialog edits them: a copy of ServerConfig and of the
// process-wide defaultAuthMethod.
struct ServerPropertiesForm {
    ServerConfig settings;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;

    bool operator==(const ServerPropertiesForm&) const = default;
};

enum class ServerLimit { TotalConnections, ConnectionsPerUser, AnonymousConnections, Throughput };

enum class LoggingMode : std::uint32_t { Disabled = 1, Standard = 2, Custom = 3 };

enum class ServerControl {
    NetworkGroup,  // "Network Settings"
    InterfaceLabel,
    InterfaceCombo,  // text: the selected entry
    PlayerPortLabel,
    PlayerPortEdit,
    LiveSourcePortLabel,
    LiveSourcePortEdit,
    LimitsGroup,  // " Limit Player Connections"
    TotalCheck,
    TotalEdit,
    PerUserCheck,  // "Limit concurrent connections" over "per each authenticated user"
    PerUserSecondLine,
    PerUserEdit,
    AnonymousCheck,  // "Limit concurrent connections" over "per all anonymous users"
    AnonymousSecondLine,
    AnonymousEdit,
    ThroughputCheck,
    ThroughputEdit,
    LoggingGroup,  // "User Logging"
    DisableLogging,
    StandardLogging,
    CustomLogging,
    ProgIdLabel,
    ProgIdEdit,
    ArchivalGroup,  // "Archival Server"
    ArchivalCaption,
    ArchivalAddressLabel,
    ArchivalAddressEdit,
    ArchivalPortLabel,
    ArchivalPortEdit,
    SetPassword,
    AuthGroup,  // "Authentication Method and User Management"
    AuthLabel,
    AnonymousAccess,
    InternalAuthentication,
    SessionAuthentication,
    AddUser,
    RemoveUser,
    UpdateUser,
    Help,
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t ServerControlCount = static_cast<std::size_t>(ServerControl::Count);

inline constexpr std::u16string_view ServerPropertiesErrorCaption = u"Error";
inline constexpr std::u16string_view ServerPropertiesWarningCaption = u"Warning";

// The "Server properties" dialog without its widgets: one state per control, one handler per
// user action, the checks of OK in their order. It works on a copy of the settings; Form() holds
// the accepted settings once OnOk returned no message, and CommitServerProperties then decides
// what reaches the configuration.
//
// The users list beside the settings is the UserManager's; its commands act on the server at
// once, whatever closes the dialog. Binding: the view calls OnOpen, copies Title(), every
// State(), the interface entries and the users list into its widgets, and does so again after
// every handler. Handlers that return a non-empty message want it shown with
// ServerPropertiesErrorCaption; other messages (warnings, the user manager's) go through the
// prompter.
class ServerPropertiesModel {
public:
    static constexpr std::u16string_view Title = u"Server properties";

    static constexpr std::u16string_view NoPlayerPortText =
        u"No port for client connections is specified";
    static constexpr std::u16string_view NoLiveSourcePortText =
        u"No port for dynamic live sources is specified";
    static constexpr std::u16string_view LoggingTestFailedText =
        u"Testing of custom logging component failed";

    // adapterAddresses: the machine's IPv4 addresses in order. The references must outlive the
    // model.
    ServerPropertiesModel(const ServerConfig& config, AuthMethod defaultAuthMethod,
                          std::vector<std::string> adapterAddresses, UserManager& users,
                          LoggingComponentProbe& loggingProbe, Prompter& prompter,
                          SubDialog<std::u16string> setPasswordDialog);
    ServerPropertiesModel(const ServerPropertiesModel&) = delete;
    ServerPropertiesModel& operator=(const ServerPropertiesModel&) = delete;

    const ControlState& State(ServerControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    // Edits that take digits only (the view installs the filter; the rule lives here).
    static bool DigitsOnly(ServerControl control);
    static ServerControl CheckBoxOf(ServerLimit limit);
    static ServerControl EditOf(ServerLimit limit);

    const std::vector<std::u16string>& InterfaceEntries() const { return interfaces_.entries; }
    std::size_t SelectedInterface() const { return interfaces_.selected; }
    const UserList& Users() const;
    // The users row a command wants brought into view, once.
    std::optional<std::size_t> TakeUserRowToShow();
    const ServerPropertiesForm& Form() const { return form_; }

    // Fills the controls, then the users list from the server and the interface list.
    void OnOpen();
    void SetEditText(ServerControl edit, std::u16string text);
    void OnInterfaceSelected(std::size_t index);
    void OnLimitToggled(ServerLimit limit, bool checked);
    void OnLoggingSelected(LoggingMode mode);
    void OnAuthMethodSelected(AuthMethod method);
    // "Set Password...": a non-empty hash from the password dialog becomes the archival password.
    void OnSetPassword();
    void OnUserSelected(std::optional<std::size_t> row);
    void OnUserColumnClicked(UserColumn column);
    void OnAddUser();
    void OnRemoveUser();
    void OnUpdateUser();
    // Runs the checks in order. Empty: accepted, Form() holds the settings and the users list is
    // emptied. Otherwise the first failure's message; the dialog stays open.
    std::u16string OnOk();
    void OnCancel();

private:
    ControlState& At(ServerControl control) { return states_[static_cast<std::size_t>(control)]; }
    void LoadLimit(ServerLimit limit, bool enabled, std::uint32_t value);
    // The message of a checked limit that cannot be read; otherwise stores flag and number.
    std::u16string ReadLimit(ServerLimit limit, bool& enabled, std::uint32_t& value) const;
    void SyncUserButtons();

    ServerPropertiesForm form_;
    std::vector<std::string> adapterAddresses_;
    UserManager& users_;
    LoggingComponentProbe& loggingProbe_;
    Prompter& prompter_;
    SubDialog<std::u16string> setPasswordDialog_;
    NetworkInterfaceChoices interfaces_;
    std::array<ControlState, ServerControlCount> states_;
};

// OK's first checks: neither port edit may be empty. The first failure's message, or empty.
std::u16string CheckServerPorts(std::u16string_view playerPort, std::u16string_view liveSourcePort);
// OK's rule for a server limit whose box is checked, read from its edit's text (the anonymous
// limit shares the total limit's messages).
LimitTextReading ReadServerLimitText(ServerLimit limit, std::u16string_view text);

// What closing the dialog with OK changed.
enum class ServerPropertiesChange {
    None,            // nothing written
    AuthMethodOnly,  // saved without a message
    Settings,        // the restart warning shown, then saved
};

inline constexpr std::u16string_view RestartNeededText =
    u"New settings will only be used when Media Server restarts";

// Compares the accepted form with the configuration. Any settings field that differs (texts
// exactly) shows RestartNeededText as a warning; then, when anything differs, copies the form
// back and calls save (which rewrites the file and has a running server reload it).
ServerPropertiesChange CommitServerProperties(const ServerPropertiesForm& form,
                                              ServerConfig& config, AuthMethod& defaultAuthMethod,
                                              Prompter& prompter,
                                              const std::function<void()>& save);

}  // namespace vantor
