#include "sim_fixture.h"

#include <algorithm>

#include <QDir>
#include <QProcessEnvironment>

#include "platform/linux_installation_environment.h"
#include "sim/sim_control_names.h"

namespace vantor::integration {

void SimTest::SetUp() {
    ASSERT_TRUE(QDir(dataDir_.path()).mkpath(QStringLiteral("Quorvane")));
}

bool SimTest::StartSim(const QStringList& options) {
    // Short delays, so that a start or stop takes one status poll of the controller.
    const QStringList shortDelays = {QStringLiteral("--start-delay"), QStringLiteral("200"),
                                     QStringLiteral("--stop-delay"), QStringLiteral("200")};
    QString error;
    const bool started = sim_.Start(qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"),
                                    dataDir_.path(), shortDelays + options, error);
    EXPECT_TRUE(started) << error.toStdString();
    return started;
}

QVariantList SimTest::Control(const char* method, const QVariantList& arguments) {
    const QDBusMessage reply = sim_.Control(method, arguments);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method << ": " << reply.errorMessage().toStdString();
    return reply.arguments();
}

QStringList SimTest::CallLog() {
    return Control(sim::control::GetCallLog).value(0).toStringList();
}

qsizetype SimTest::CountCalls(const QString& call) {
    const QStringList log = CallLog();
    return std::count_if(log.begin(), log.end(), [&](const QString& entry) {
        return entry == call || entry.startsWith(call + u' ');
    });
}

ProgramRun SimTest::Vantorctl(const QString& arguments, const QString& input) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(CommonAppDataVariable, DataDir());
    return RunProgram(VANTOR_CTL_PATH, arguments.split(u' '), environment, 30000, input.toUtf8());
}

std::string SimTest::ConfigPath() const {
    return QDir(dataDir_.path()).filePath(QStringLiteral("Quorvane/config.vtr")).toStdString();
}

}  // namespace vantor::integration
