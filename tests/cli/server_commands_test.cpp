// `vantorctl server show|set` run as a program on a named file: what it writes
// is what the server properties dialog's OK writes, driven here directly; a
// refusal writes nothing.

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/headless_services.h"
#include "cli/vantorctl_fixture.h"
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
using namespace std::string_literals;

struct FailingProbe : LoggingComponentProbe {
    bool CanCreate(const std::u16string&) override { return false; }
};

// No bus: the logging component test fails, as FailingProbe does.
class ServerCommand : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        file = At("config.vtr");
        WriteWhole(file, SampleResources(55));
    }
    std::string Environment() const {
        return "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + Quoted(At("no-bus"));
    }
    ProgramRun Set(const std::string& options, const std::string& input = "") const {
        return Run("server set --file " + Quoted(file) + " " + options, Environment(), input);
    }
    Bytes FileBytes() const { return ReadWhole<Bytes>(file); }

    // What the dialog's OK writes after the clicks, over the sample file: nothing
    // when it writes nothing.
    Bytes DialogBytes(const Clicks& clicks, std::string& shown) const {
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
            shown += Utf16ToUtf8(message.caption + u": " + message.text) + "\n";
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

const std::string RestartWarning =
    "Warning: New settings will only be used when Media Server restarts\n";

TEST_F(ServerCommand, AnAcceptedSetWritesWhatTheDialogsOkWrites) {
    using Limit = ServerLimit;
    std::string shown;
    const Bytes expected = DialogBytes(
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
        shown);
    const ProgramRun run =
        Set("--max-connections none --max-connections-per-user 0012 "
            "--max-anonymous-connections 4 "
            "--max-throughput 900 --logging standard --logging-component "
            "Acme.Logger --player-port "
            "7001 --auth session --archival-password --archival-address "
            "archive.example "
            "--archival-port 9090 --interface 'Any available'",
            "s3cret!\r\ns3cret!\r\n");
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, RestartWarning));
    EXPECT_EQ(shown, RestartWarning);
    EXPECT_NE(expected, SampleResources(55));
    EXPECT_EQ(FileBytes(), expected);
}

TEST_F(ServerCommand, ARefusalPrintsTheDialogsMessageAndWritesNothing) {
    const ProgramRun run = Set("--max-connections 0 --player-port ''");
    EXPECT_EQ(std::pair(run.exitCode, run.err),
              std::pair(ExitFailure, "Error: No port for client connections is specified\n"s));
    EXPECT_EQ(FileBytes(), SampleResources(55));
    // The connection limits are kept in 16 bits: 65536 would come back as no limit at all.
    for (const char* option : {"--max-connections", "--max-anonymous-connections"}) {
        const ProgramRun big = Set(std::string(option) + " 65536");
        EXPECT_EQ(std::pair(big.exitCode, big.err),
                  std::pair(ExitFailure, "Error: Maximal number of connections is 65535\n"s));
    }
    const ProgramRun perUser = Set("--max-connections-per-user 70000");
    EXPECT_EQ(std::pair(perUser.exitCode, perUser.err),
              std::pair(ExitFailure, "Error: Maximal number of connections per user is 65535\n"s));
    EXPECT_EQ(FileBytes(), SampleResources(55));
}

TEST_F(ServerCommand, ShowPrintsTheFieldsAsTheDialogOpensOnThem) {
    const ProgramRun run = Run("server show --file " + Quoted(file), Environment());
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(ExitOk, ""s));
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
                  "Do not accept new connections if throughput exceeds (kByte/sec): "
                  "305419896\n"
                  "User Logging: Custom logging\n"
                  "ProgID of Logging component: \n"
                  "Archival Server password: set\n"
                  "Archival Server IP Address: \n"
                  "Archival Server Port: \n"
                  "Default authentication method: Internal authentication\n");
}

}  // namespace
}  // namespace vantor
