// vantor-sim as a process on a private bus: what the tool and the integration tests rely on.

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
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"

namespace vantor::sim {
namespace {

const QString UnitPath = QStringLiteral("/org/freedesktop/systemd1/unit/Vantor_2eservice");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

bool WaitUntil(const std::function<bool()>& condition, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

class SimBusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "sim_tests";
            static char* argv[] = {name, nullptr};
            app_ = new QCoreApplication(argc, argv);
        }
        daemon_ = new QProcess();
        daemon_->start("dbus-daemon",
                       {"--config-file=" VANTOR_SIM_BUS_CONFIG, "--nofork", "--print-address=1"});
        if (daemon_->waitForReadyRead(5000)) {
            address_ = QString::fromUtf8(daemon_->readLine()).trimmed();
        }
    }

    static void TearDownTestSuite() {
        daemon_->kill();
        daemon_->waitForFinished();
        delete daemon_;
    }

    void SetUp() override {
        ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon did not start";
        ASSERT_TRUE(data_.isValid());
        ASSERT_TRUE(QDir(data_.path()).mkdir("Quorvane"));
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, "test"));
        ASSERT_TRUE(bus_->isConnected());
        sim_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim_.start(VANTOR_SIM_PATH, {"--bus", address_, "--data", data_.path(), "--start-delay",
                                     "50", "--stop-delay", "50"});
        ASSERT_TRUE(sim_.waitForStarted());
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
                      const QString& member, const QVariantList& args = {}, int timeoutMs = 3000) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, member);
        call.setArguments(args);
        return bus_->call(call, QDBus::Block, timeoutMs);
    }
    QDBusMessage Automation(const char* object, const char* member, const QVariantList& args = {}) {
        return Call(object, "/", object, member, args);
    }
    QDBusMessage Control(const char* member, const QVariantList& args = {}) {
        return Call(bus::SimName, "/", bus::SimControlInterface, member, args);
    }
    QDBusMessage Manager(const char* member, const QVariantList& args) {
        return Call(bus::SystemdName, bus::SystemdPath, bus::SystemdManagerInterface, member, args);
    }
    QVariant UnitProperty(const QString& path, const char* interface, const char* name) {
        const QDBusMessage reply =
            Call(bus::SystemdName, path, Properties, "Get", {interface, name});
        return reply.type() == QDBusMessage::ReplyMessage
                   ? reply.arguments().value(0).value<QDBusVariant>().variant()
                   : QVariant();
    }
    QString State() {
        return UnitProperty(UnitPath, bus::SystemdUnitInterface, "ActiveState").toString();
    }
    bool Owned(const char* name) { return bus_->interface()->isServiceRegistered(name).value(); }
    void StartServer() {
        ASSERT_EQ(Manager("StartUnit", {bus::ServerUnit, "replace"}).type(),
                  QDBusMessage::ReplyMessage);
        ASSERT_TRUE(WaitUntil([this] { return State() == "active"; }));
    }

    static inline QCoreApplication* app_ = nullptr;
    static inline QProcess* daemon_ = nullptr;
    static inline QString address_;
    QTemporaryDir data_;
    std::unique_ptr<QDBusConnection> bus_;
    QProcess sim_;
};

TEST_F(SimBusTest, UnitStartsAndStopsWithTheAutomationNames) {
    const QDBusMessage loaded = Manager("LoadUnit", {bus::ServerUnit});
    ASSERT_EQ(loaded.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(loaded.arguments()[0].value<QDBusObjectPath>().path(), UnitPath);
    EXPECT_EQ(State(), "inactive");
    EXPECT_EQ(UnitProperty(UnitPath, bus::SystemdUnitInterface, "LoadState"), "loaded");
    EXPECT_FALSE(Owned(bus::VtrConfigName));

    // ExecStart names this program first, as the tool reads it.
    const QDBusArgument exec =
        UnitProperty(UnitPath, bus::SystemdServiceInterface, "ExecStart").value<QDBusArgument>();
    EXPECT_EQ(exec.currentSignature(), "a(sasbttttuii)");
    QString program;
    exec.beginArray();
    exec.beginStructure();
    exec >> program;
    EXPECT_EQ(QFileInfo(program).canonicalFilePath(),
              QFileInfo(VANTOR_SIM_PATH).canonicalFilePath());

    const QDBusMessage job = Manager("StartUnit", {bus::ServerUnit, "replace"});
    ASSERT_EQ(job.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(State(), "activating");
    ASSERT_TRUE(WaitUntil([this] { return State() == "active"; }));
    for (const char* name : {bus::VtrConfigName, bus::UsersAccessName, bus::ResourcesInUseName,
                             bus::FileMCastTriggerName, bus::RestrictionsNotificationName}) {
        EXPECT_TRUE(Owned(name)) << name;
    }
    EXPECT_EQ(Manager("StartUnit", {bus::ServerUnit, "replace"}).type(),
              QDBusMessage::ReplyMessage);

    Manager("StopUnit", {bus::ServerUnit, "replace"});
    EXPECT_EQ(State(), "deactivating");
    EXPECT_FALSE(Owned(bus::UsersAccessName));
    ASSERT_TRUE(WaitUntil([this] { return State() == "inactive"; }));

    EXPECT_EQ(Manager("GetUnit", {"Other.service"}).errorName(),
              "org.freedesktop.systemd1.NoSuchUnit");
    EXPECT_EQ(Manager("StartUnit", {"Other.service", "replace"}).errorName(),
              "org.freedesktop.systemd1.NoSuchUnit");
    EXPECT_EQ(Manager("StartUnit", {bus::ServerUnit, "sideways"}).errorName(),
              "org.freedesktop.DBus.Error.InvalidArgs");
    const QString other =
        Manager("LoadUnit", {"Other.service"}).arguments().value(0).value<QDBusObjectPath>().path();
    EXPECT_EQ(UnitProperty(other, bus::SystemdUnitInterface, "LoadState"), "not-found");

    EXPECT_EQ(Control(control::GetCallLog).arguments()[0].toStringList().filter("Manager."),
              (QStringList{"org.freedesktop.systemd1.Manager.LoadUnit Vantor.service",
                           "org.freedesktop.systemd1.Manager.StartUnit Vantor.service replace",
                           "org.freedesktop.systemd1.Manager.StartUnit Vantor.service replace",
                           "org.freedesktop.systemd1.Manager.StopUnit Vantor.service replace",
                           "org.freedesktop.systemd1.Manager.GetUnit Other.service",
                           "org.freedesktop.systemd1.Manager.StartUnit Other.service replace",
                           "org.freedesktop.systemd1.Manager.StartUnit Vantor.service sideways",
                           "org.freedesktop.systemd1.Manager.LoadUnit Other.service"}));
}

TEST_F(SimBusTest, FailingStartsHangingStopsAndMissingUnits) {
    Control(control::SetStartFails, {true});
    Manager("StartUnit", {bus::ServerUnit, "replace"});
    ASSERT_TRUE(WaitUntil([this] { return State() == "failed"; }));
    EXPECT_FALSE(Owned(bus::VtrConfigName));

    Control(control::SetStartFails, {false});
    StartServer();
    Control(control::SetStopHangs, {true});
    Manager("StopUnit", {bus::ServerUnit, "replace"});
    QThread::msleep(200);
    EXPECT_EQ(Control(control::GetState).arguments()[0], "deactivating");
    Control(control::SetStopHangs, {false});
    EXPECT_TRUE(WaitUntil([this] { return State() == "inactive"; }));

    Control(control::SetUnitMissing, {true});
    EXPECT_EQ(UnitProperty(UnitPath, bus::SystemdUnitInterface, "LoadState"), "not-found");
    EXPECT_EQ(Manager("GetUnit", {bus::ServerUnit}).errorName(),
              "org.freedesktop.systemd1.NoSuchUnit");
}

TEST_F(SimBusTest, AutomationObjectsAnswerFromWhatTheyKeep) {
    StartServer();
    EXPECT_EQ(Automation(bus::VtrConfigName, "ReloadConfiguration").arguments()[0].toUInt(),
              0x80070002u);
    QFile config(data_.path() + "/Quorvane/config.vtr");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.close();
    EXPECT_EQ(Automation(bus::VtrConfigName, "ReloadConfiguration").arguments()[0].toUInt(), 0u);
    EXPECT_EQ(Control(control::GetLoadedConfig).arguments(),
              (QVariantList{1u, 50u, QStringList{}}));

    QDBusMessage reply =
        Automation(bus::UsersAccessName, "AddUser", {"ann", 2, "p w d", "the boss"});
    EXPECT_EQ(reply.arguments(), (QVariantList{0u, "", true}));
    reply = Automation(bus::UsersAccessName, "AddUser", {"ANN", 1, "x", ""});
    EXPECT_EQ(reply.arguments()[2], false);
    EXPECT_FALSE(reply.arguments()[1].toString().isEmpty());
    reply = Automation(bus::UsersAccessName, "GetUsers");
    EXPECT_EQ(reply.arguments(), (QVariantList{0u, true, QStringList{"ann Medium the boss"}}));
    EXPECT_EQ(Control(control::GetUserAccounts).arguments()[0],
              QStringList{"ann\t2\tp w d\tthe boss"});
    Control(control::SetNoData, {"GetUsers", true});
    EXPECT_EQ(Automation(bus::UsersAccessName, "GetUsers").arguments()[1], false);
    EXPECT_EQ(Control(control::SetNoData, {"GetSomething", true}).errorName(),
              control::InvalidArgsError);

    EXPECT_EQ(Automation(bus::ResourcesInUseName, "GetActiveUsers").arguments()[1], false);
    const QString record = QStringLiteral("<\u0001User\u0001>ann<\u0001Pointer\u0001>");
    Control(control::FeedActiveUsers, {QStringList{record + "3", record + "4"}});
    Automation(bus::ResourcesInUseName, "DisconnectUser", {4});
    EXPECT_EQ(Automation(bus::ResourcesInUseName, "GetActiveUsers").arguments(),
              (QVariantList{0u, true, QStringList{record + "3"}}));
    Control(control::SetThroughput, {QVariant::fromValue(QList<qint32>{5, 0, 1})});
    const QDBusArgument throughput =
        Automation(bus::ResourcesInUseName, "GetThroughput").arguments()[1].value<QDBusArgument>();
    EXPECT_EQ(qdbus_cast<QList<qint32>>(throughput), (QList<qint32>{5, 0, 1, 0, 0, 0, 0, 0, 0, 0}));

    Automation(bus::FileMCastTriggerName, "StartMulticast",
               {"Music", "/m", "225.0.0.1", 5000, true});
    EXPECT_EQ(Automation(bus::FileMCastTriggerName, "GetMulticastStatus", {"Music"}).arguments(),
              (QVariantList{0u, "225.0.0.1:5000", ""}));
    Automation(bus::FileMCastTriggerName, "StopMulticast", {"Music"});
    EXPECT_EQ(Automation(bus::FileMCastTriggerName, "GetMulticastStatus", {"Music"}).arguments(),
              (QVariantList{1u, "", "Not multicasting"}));
    Control(control::SetMulticastAnswer, {"Music", 0u, "busy", "idle"});
    EXPECT_EQ(Automation(bus::FileMCastTriggerName, "GetMulticastStatus", {"Music"}).arguments(),
              (QVariantList{0u, "busy", "idle"}));

    EXPECT_EQ(Automation(bus::UsersAccessName, "DeleteUser", {7}).errorName(),
              "org.freedesktop.DBus.Error.InvalidArgs");
    const QStringList log = Control(control::GetCallLog).arguments()[0].toStringList();
    EXPECT_TRUE(log.contains("Vantor.UsersAccess.AddUser ann 2 p w d the boss"));
    EXPECT_TRUE(log.contains("Vantor.ResourcesInUse.DisconnectUser 4"));
    EXPECT_TRUE(
        log.contains("Vantor.FileMCastTrigger.StartMulticast Music /m 225.0.0.1 5000 true"));
    EXPECT_TRUE(log.filter("Vantor.Sim").isEmpty());
    EXPECT_FALSE(log.contains("Vantor.UsersAccess.DeleteUser 7"));
    Automation(bus::RestrictionsNotificationName, "RestrictionsChanged");
    EXPECT_EQ(Control(control::GetCallLog).arguments()[0].toStringList().last(),
              "Vantor.RestrictionsNotification.RestrictionsChanged");
    Control(control::ClearCallLog);
    EXPECT_TRUE(Control(control::GetCallLog).arguments()[0].toStringList().isEmpty());
}

TEST_F(SimBusTest, HangsResultsUnreachableNamesAndTermination) {
    StartServer();
    Control(control::SetHang, {"Vantor.VTRConfig.ReloadConfiguration", true});
    const QDBusMessage hung =
        Call(bus::VtrConfigName, "/", bus::VtrConfigName, "ReloadConfiguration", {}, 300);
    EXPECT_EQ(hung.errorName(), "org.freedesktop.DBus.Error.NoReply");
    EXPECT_EQ(Control(control::GetState).arguments()[0], "active");
    EXPECT_EQ(Control(control::GetCallLog).arguments()[0].toStringList().last(),
              "Vantor.VTRConfig.ReloadConfiguration");

    Control(control::SetResult, {"Vantor.UsersAccess.GetUsers", 0x80004005u});
    EXPECT_EQ(Automation(bus::UsersAccessName, "GetUsers").arguments()[0].toUInt(), 0x80004005u);
    Control(control::ClearResult, {"Vantor.UsersAccess.GetUsers"});
    EXPECT_EQ(Automation(bus::UsersAccessName, "GetUsers").arguments()[0].toUInt(), 0u);

    Control(control::SetUnreachable, {bus::UsersAccessName, true});
    EXPECT_FALSE(Owned(bus::UsersAccessName));
    EXPECT_TRUE(Owned(bus::VtrConfigName));
    Control(control::SetUnreachable, {bus::UsersAccessName, false});
    EXPECT_TRUE(Owned(bus::UsersAccessName));
    EXPECT_EQ(Control(control::SetUnreachable, {bus::SimName, true}).errorName(),
              control::InvalidArgsError);

    sim_.terminate();
    ASSERT_TRUE(sim_.waitForFinished(5000));
    EXPECT_EQ(sim_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim_.exitCode(), 0);
    EXPECT_FALSE(Owned(bus::SystemdName));
    EXPECT_FALSE(Owned(bus::VtrConfigName));
}

}  // namespace
}  // namespace vantor::sim
