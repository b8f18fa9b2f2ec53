// vantor-sim's own bus contract, which the tool's clients rely on without showing it: the unit's
// states and the names it owns only while active, ExecStart and a clean end.

#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include "platform/automation_bus.h"
#include "platform/linux_installation_environment.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                  const QString& member, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, member);
    call.setArguments(args);
    return QDBusConnection::systemBus().call(call, QDBus::Block, 3000);
}

QDBusMessage Manage(const char* member, const char* mode = "replace") {
    return Call(bus::SystemdName, bus::SystemdPath, bus::SystemdManagerInterface, member,
                {bus::ServerUnit, mode});
}

QString State() {
    const QDBusMessage reply =
        Call(bus::SystemdName, "/org/freedesktop/systemd1/unit/Vantor_2eservice",
             "org.freedesktop.DBus.Properties", "Get", {bus::SystemdUnitInterface, "ActiveState"});
    return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
}

bool Reaches(const QString& state) {
    for (QDeadlineTimer deadline(5000); State() != state; QThread::msleep(10)) {
        if (deadline.hasExpired()) {
            return false;
        }
    }
    return true;
}

bool Owned(const char* name) {
    return QDBusConnection::systemBus().interface()->isServiceRegistered(name).value();
}

using SimBus = SimTest;

TEST_F(SimBus, OwnsTheAutomationNamesOnlyWhileActiveAndEndsCleanly) {
    ASSERT_TRUE(StartSim());
    // ExecStart names this program first, as the tool reads it.
    EXPECT_EQ(LinuxInstallationEnvironment().ReadServiceImagePath("Vantor"),
              QFileInfo(VANTOR_SIM_PATH).canonicalFilePath().toStdString());
    EXPECT_EQ(State(), "inactive");
    EXPECT_FALSE(Owned(bus::VtrConfigName));
    EXPECT_EQ(Manage("StartUnit").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(State(), "activating");
    ASSERT_TRUE(Reaches("active"));
    for (const char* name : {bus::VtrConfigName, bus::UsersAccessName, bus::ResourcesInUseName,
                             bus::FileMCastTriggerName, bus::RestrictionsNotificationName}) {
        EXPECT_TRUE(Owned(name)) << name;
    }
    EXPECT_EQ(Manage("StartUnit").type(), QDBusMessage::ReplyMessage);  // as with systemd

    Manage("StopUnit");
    EXPECT_EQ(State(), "deactivating");
    EXPECT_FALSE(Owned(bus::UsersAccessName));
    ASSERT_TRUE(Reaches("inactive"));
    // A failing start ends in "failed" without the automation names.
    Control(sim::control::SetStartFails, {true});
    Manage("StartUnit");
    ASSERT_TRUE(Reaches("failed"));
    EXPECT_FALSE(Owned(bus::VtrConfigName));
    EXPECT_TRUE(StopSim());  // SIGTERM: a normal end with code 0, every name given up
}

}  // namespace
}  // namespace vantor::integration
