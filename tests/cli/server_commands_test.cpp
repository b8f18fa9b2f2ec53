// `vantorctl server show|set` run as a program on a named file: what it writes is what the
// server properties dialog's OK writes, driven here directly; a refusal writes nothing.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "cli/vantorctl_fixture.h"
#include "config/config_bytes.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "config/text_codec.h"
#include "platform/linux_file_store.h"
#include "platform/linux_network_adapters.h"
#include "platform/logging_component_probe.h"
#include "server/password_hash.h"
#include "server/server_properties_model.h"
#include "server/user_manager.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clicks = std::function<void(ServerPropertiesModel&)>;

// A version 55 file (so that any save shows as a rewrite in version 60) with custom logging,
// three limits on and an archival password; its interface is "Any available".
Bytes SampleFile() {
    return test::ConfigBytes()
        .Header(55)
        .Record(55, 1, u"Music")
        .Record(55, 2, u"News", u"225.0.0.1:5000")
        .Bytes();
}

struct FailingProbe : LoggingComponentProbe {
    bool CanCreate(const std::u16string&) override { return false; }
};

// No bus: the logging component test fails, as FailingProbe does.
class ServerCommand : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        file = At("config.vtr");
        ASSERT_TRUE(LinuxFileStore().ReplaceFile(file, SampleFile()));
    }
    std::string Environment() const {
        return "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + Quoted(At("no-bus"));
    }
    ProgramRun Set(const std::string& options, const std::string& input = "") const {
        return RunWithInput(input, "server set --file " + Quoted(file) + " " + options,
                            Environment());
    }
    Bytes FileBytes() const { return ReadWhole<Bytes>(file); }

    // What the dialog's OK writes after the clicks, over the sample file: nothing when it
    // writes nothing.
    Bytes DialogBytes(const Clicks& clicks, std::vector<std::u16string>& shown) const {
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        MulticastTable multicastTable;
        const ServerState stopped = ServerState::Stopped;
        LinuxFileStore files;
        NoAutomation noServer;
        test::RecordingPrompter prompter, usersPrompter;
        ConfigStore store(defaultAuthMethod, multicastTable, stopped, files, noServer, prompter,
                          file);
        store.LoadConfiguration();
        UserManager users(noServer, usersPrompter, {}, {}, {});
        FailingProbe probe;
        ServerPropertiesModel model(
            store.Server(), defaultAuthMethod, LinuxNetworkAdapters().Ipv4Addresses(), users, probe,
            prompter, [](std::u16string& hash) { return HashPassword(u"s3cret!", hash); });
        model.OnOpen();
        clicks(model);
        EXPECT_EQ(model.OnOk(), u"");
        bool saved = false;
        CommitServerProperties(model.Form(), store.Server(), defaultAuthMethod, prompter,
                               [&saved] { saved = true; });
        for (const auto& message : prompter.shown) {
            shown.push_back(message.caption + u": " + message.text);
        }
        return saved ? store.FileBytes() : Bytes();
    }

    std::string file;
};

// What the dialog's interface list offers on this machine.
std::string OfferedText() {
    std::string text = "Any available";
    for (const std::string& address : LinuxNetworkAdapters().Ipv4Addresses()) {
        text += address == "0.0.0.0" ? "" : ", " + address;
    }
    return text;
}

const std::string LoggingWarning = "Warning: Testing of custom logging component failed\n";
const std::string RestartWarning =
    "Warning: New settings will only be used when Media Server restarts\n";

TEST_F(ServerCommand, AcceptedChangesWriteWhatTheDialogsOkWrites) {
    using Limit = ServerLimit;
    const struct {
        std::string options, input;
        Clicks clicks;
        std::string err;  // the dialog's warnings, in order
    } cases[] = {
        {"--max-connections none --max-connections-per-user 0012 --max-anonymous-connections 4 "
         "--max-throughput 900 --logging standard --logging-component Acme.Logger --player-port "
         "7001 --auth session --archival-password --archival-address archive.example "
         "--archival-port 9090 --interface 'Any available'",
         "s3cret!\r\ns3cret!\r\n",
         [](ServerPropertiesModel& m) {
             m.OnLimitToggled(Limit::TotalConnections, false);
             m.SetEditText(ServerControl::PerUserEdit, u"0012");
             m.OnLimitToggled(Limit::AnonymousConnections, true);
             m.SetEditText(ServerControl::AnonymousEdit, u"4");
             m.SetEditText(ServerControl::ThroughputEdit, u"900");
             m.SetEditText(ServerControl::ProgIdEdit, u"Acme.Logger");
             m.OnLoggingSelected(LoggingMode::Standard);
             m.SetEditText(ServerControl::PlayerPortEdit, u"7001");
             m.OnAuthMethodSelected(AuthMethod::SessionBased);
             m.OnSetPassword();
             m.SetEditText(ServerControl::ArchivalAddressEdit, u"archive.example");
             m.SetEditText(ServerControl::ArchivalPortEdit, u"9090");
         },
         RestartWarning},
        // Nothing changed: nothing written, the old version stays.
        {"--player-port 6001 --auth internal", "", [](ServerPropertiesModel&) {}, LoggingWarning},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(LinuxFileStore().ReplaceFile(file, SampleFile()));
        std::vector<std::u16string> shown;
        const Bytes expected = DialogBytes(c.clicks, shown);
        const ProgramRun run = Set(c.options, c.input);
        EXPECT_EQ(run.exitCode, ExitOk) << c.options << '\n' << run.err;
        EXPECT_EQ(run.err, c.err) << c.options;
        std::string dialogShown;
        for (const std::u16string& message : shown) {
            dialogShown += Utf16ToUtf8(message) + "\n";
        }
        EXPECT_EQ(dialogShown, c.err) << c.options;
        EXPECT_EQ(FileBytes(), expected.empty() ? SampleFile() : expected) << c.options;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(ServerCommand, RefusalsPrintTheDialogsMessageAndWriteNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {"--max-connections 0 --player-port ''",
         "Error: No port for client connections is specified\n"},
        // The password dialog refuses before OK is pressed.
        {"--archival-password --player-port ''",
         "Error: The minimal password length is 5 characters\n"},
        {"--interface 198.51.100.77",
         "vantorctl: the network interface list offers only: " + OfferedText() + "\n"},
    };
    for (const auto& [options, err] : cases) {
        const ProgramRun run = Set(options, "abcd\nabcd\n");
        EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitFailure, err)) << options;
        EXPECT_EQ(FileBytes(), SampleFile()) << options;
    }
}

// The dialog shows a stored interface that is not an address of this machine as "Any available",
// and its OK stores that; the command says so.
TEST_F(ServerCommand, AnInterfaceThisMachineLacksBecomesAnyAvailableAsInTheDialog) {
    ServerConfig foreign;
    foreign.networkInterface = u"198.51.100.77";
    ASSERT_TRUE(LinuxFileStore().ReplaceFile(
        file,
        WriteConfigFile(foreign, AuthMethod::Anonymous, std::span<const ResourceRecord* const>())));
    const std::string note =
        "vantorctl: note: the stored network interface is not an address "
        "of this machine: 198.51.100.77; \"Any available\" is used\n";
    std::vector<std::u16string> shown;
    const Bytes expected = DialogBytes([](ServerPropertiesModel&) {}, shown);
    const ProgramRun run = Set("");
    EXPECT_EQ(run.exitCode, ExitOk);
    EXPECT_EQ(run.err, note + RestartWarning);
    EXPECT_EQ(FileBytes(), expected);
}

TEST_F(ServerCommand, ShowPrintsTheFieldsAsTheDialogOpensOnThem) {
    ProgramRun run = Run("server show --file " + Quoted(file), Environment());
    EXPECT_EQ(run.exitCode, ExitOk);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Network Interface: Any available\n"
              "Network interfaces offered: " +
                  OfferedText() +
                  "\n"
                  "TCP port for player connections: 6001\n"
                  "TCP port for dynamic live sources: 6002\n"
                  "Limit total concurrent connections number: 4464\n"
                  "Limit concurrent connections per each authenticated user: 5\n"
                  "Limit concurrent connections per all anonymous users: none (0)\n"
                  "Do not accept new connections if throughput exceeds (kByte/sec): 305419896\n"
                  "User Logging: Custom logging\n"
                  "ProgID of Logging component: \n"
                  "Archival Server password: set\n"
                  "Archival Server IP Address: \n"
                  "Archival Server Port: \n"
                  "Default authentication method: Internal authentication\n");

    run = Run("server show --file " + Quoted(At("missing.vtr")), Environment());
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_EQ(run.err, "vantorctl: " + At("missing.vtr") + ": no such file\n");
}

}  // namespace
}  // namespace vantor
