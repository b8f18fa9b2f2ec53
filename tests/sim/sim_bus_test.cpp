// vantor-sim as a process on a private bus: the bus-level contract the tool relies on. The
// automation objects' answers are exercised through the tool's own clients in tests/integration.

#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"

namespace vantor::sim {
namespace {

const QString UnitPath = QStringLiteral("/org/freedesktop/systemd1/unit/Vantor_2eservice");
const QString NoSuchUnit = QStringLiteral("org.freedesktop.systemd1.NoSuchUnit");

bool WaitUntil(const std::function<bool()>& condition) {
    for (QDeadlineTimer deadline(5000); !condition(); QThread::msleep(10)) {
        if (deadline.hasExpired()) {
            return false;
        }
    }
    return true;
}

class SimBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "sim_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) {
            new QCoreApplication(argc, argv);  // lives as long as the program
        }
        daemon_.start("dbus-daemon",
                      {"--config-file=" VANTOR_SIM_BUS_CONFIG, "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon_.waitForReadyRead(5000)) << "dbus-daemon did not start";
        const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
        ASSERT_TRUE(QDir(data_.path()).mkdir("Quorvane"));
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "test"));
        ASSERT_TRUE(bus_->isConnected());
        sim_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim_.start(VANTOR_SIM_PATH, {"--bus", address, "--data", data_.path(), "--start-delay",
                                     "50", "--stop-delay", "50"});
        ASSERT_TRUE(WaitUntil([this] { return Owned(bus::SimName); }));
    }
    void TearDown() override {
        if (sim_.state() != QProcess::NotRunning) {
            Control(control::Quit);
            EXPECT_TRUE(sim_.waitForFinished(5000));
            EXPECT_EQ(sim_.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(sim_.exitCode(), 0);
        }
        bus_.reset();
        QDBusConnection::disconnectFromBus("test");
    }

    QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                      const QString& member, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, member);
        call.setArguments(args);
        return bus_->call(call, QDBus::Block, 3000);
    }
    QVariant Reply(const char* object, const char* member, const QVariantList& args = {}) {
        return Call(object, "/", object, member, args).arguments().value(0);
    }
    QDBusMessage Control(const char* member, const QVariantList& args = {}) {
        return Call(bus::SimName, "/", bus::SimControlInterface, member, args);
    }
    QStringList CallLog() { return Control(control::GetCallLog).arguments()[0].toStringList(); }
    QDBusMessage Manager(const char* member, const QVariantList& args) {
        return Call(bus::SystemdName, bus::SystemdPath, bus::SystemdManagerInterface, member, args);
    }
    QDBusMessage ManageServer(const char* member, const char* mode = "replace") {
        return Manager(member, {bus::ServerUnit, mode});
    }
    QVariant Property(const QString& path, const char* interface, const char* name) {
        const QDBusMessage reply = Call(bus::SystemdName, path, "org.freedesktop.DBus.Properties",
                                        "Get", {interface, name});
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QString State() {
        return Property(UnitPath, bus::SystemdUnitInterface, "ActiveState").toString();
    }
    bool Reaches(const char* state) {
        return WaitUntil([this, state] { return State() == state; });
    }
    bool Owned(const char* name) { return bus_->interface()->isServiceRegistered(name).value(); }

    QProcess daemon_;  // killed when the test ends
    QTemporaryDir data_;
    std::unique_ptr<QDBusConnection> bus_;
    QProcess sim_;
};

TEST_F(SimBusTest, UnitGoesThroughItsStatesAndOwnsTheAutomationNamesOnlyWhileActive) {
    const QDBusMessage loaded = Manager("LoadUnit", {bus::ServerUnit});
    EXPECT_EQ(loaded.arguments().value(0).value<QDBusObjectPath>().path(), UnitPath);
    EXPECT_EQ(State(), "inactive");
    EXPECT_EQ(Property(UnitPath, bus::SystemdUnitInterface, "LoadState"), "loaded");
    EXPECT_FALSE(Owned(bus::VtrConfigName));

    // ExecStart names this program first, as the tool reads it.
    const QDBusArgument exec =
        Property(UnitPath, bus::SystemdServiceInterface, "ExecStart").value<QDBusArgument>();
    EXPECT_EQ(exec.currentSignature(), "a(sasbttttuii)");
    QString program;
    exec.beginArray();
    exec.beginStructure();
    exec >> program;
    EXPECT_EQ(QFileInfo(program).canonicalFilePath(),
              QFileInfo(VANTOR_SIM_PATH).canonicalFilePath());

    EXPECT_EQ(ManageServer("StartUnit").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(State(), "activating");
    ASSERT_TRUE(Reaches("active"));
    for (const char* name : {bus::VtrConfigName, bus::UsersAccessName, bus::ResourcesInUseName,
                             bus::FileMCastTriggerName, bus::RestrictionsNotificationName}) {
        EXPECT_TRUE(Owned(name)) << name;
    }
    // Starting a running unit succeeds, as with systemd.
    EXPECT_EQ(ManageServer("StartUnit").type(), QDBusMessage::ReplyMessage);
    ManageServer("StopUnit");
    EXPECT_EQ(State(), "deactivating");
    EXPECT_FALSE(Owned(bus::UsersAccessName));
    ASSERT_TRUE(Reaches("inactive"));

    EXPECT_EQ(Manager("GetUnit", {"Other.service"}).errorName(), NoSuchUnit);
    EXPECT_EQ(ManageServer("StartUnit", "sideways").errorName(), control::InvalidArgsError);
    const QString other =
        Manager("LoadUnit", {"Other.service"}).arguments().value(0).value<QDBusObjectPath>().path();
    EXPECT_EQ(Property(other, bus::SystemdUnitInterface, "LoadState"), "not-found");
    // A failing start ends in "failed" without the automation names.
    Control(control::SetStartFails, {true});
    ManageServer("StartUnit");
    ASSERT_TRUE(Reaches("failed"));
    EXPECT_FALSE(Owned(bus::VtrConfigName));
}

TEST_F(SimBusTest, ReloadsLogsCallsAndEndsCleanly) {
    ManageServer("StartUnit");
    ASSERT_TRUE(Reaches("active"));
    Control(control::ClearCallLog);
    // Reloading re-reads config.vtr: missing it is "file not found", empty it is version 50.
    EXPECT_EQ(Reply(bus::VtrConfigName, "ReloadConfiguration").toUInt(), 0x80070002u);
    QFile config(data_.path() + "/Quorvane/config.vtr");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.close();
    EXPECT_EQ(Reply(bus::VtrConfigName, "ReloadConfiguration").toUInt(), 0u);
    EXPECT_EQ(Control(control::GetLoadedConfig).arguments(),
              (QVariantList{1u, 50u, QStringList{}}));

    // Arguments of the wrong type are refused and not logged; control calls are never logged.
    EXPECT_EQ(Call(bus::UsersAccessName, "/", bus::UsersAccessName, "DeleteUser", {7}).errorName(),
              control::InvalidArgsError);
    EXPECT_EQ(Control(control::SetNoData, {"GetSomething", true}).errorName(),
              control::InvalidArgsError);
    EXPECT_EQ(Control(control::SetUnreachable, {bus::SimName, true}).errorName(),
              control::InvalidArgsError);
    Reply(bus::UsersAccessName, "AddUser", {"ann", 2, "p w d", "the boss"});
    Reply(bus::RestrictionsNotificationName, "RestrictionsChanged");
    EXPECT_EQ(CallLog(), (QStringList{"Vantor.VTRConfig.ReloadConfiguration",
                                      "Vantor.VTRConfig.ReloadConfiguration",
                                      "Vantor.UsersAccess.AddUser ann 2 p w d the boss",
                                      "Vantor.RestrictionsNotification.RestrictionsChanged"}));
    // SIGTERM ends the process normally and gives up every name.
    sim_.terminate();
    ASSERT_TRUE(sim_.waitForFinished(5000));
    EXPECT_EQ(sim_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim_.exitCode(), 0);
    EXPECT_FALSE(Owned(bus::SystemdName));
    EXPECT_FALSE(Owned(bus::VtrConfigName));
}

}  // namespace
}  // namespace vantor::sim
