// The built vantorconfig over the real Linux platform layer, offscreen, against vantor-sim on a
// private bus.

#include <algorithm>
#include <vector>

#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "config/config_file.h"
#include "integration/bus_harness.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "sim/sim_control_names.h"

namespace vantor {

class ProgramAgainstSimTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { sim_.Stop(); }
    void initTestCase() {
        QString error;
        QVERIFY2(bus_.Start(busDir_.path(), error), qPrintable(error));
        // Read by the platform layer at every call, as the program reads them.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus_.Address().toUtf8());
        qputenv(CommonAppDataVariable, dataDir_.path().toUtf8());
        ResourceRecord folder;
        folder.name = u"Clips";
        folder.source = dataDir_.path().toStdU16String();
        const ResourceRecord* records[] = {&folder};
        QVERIFY(QDir(dataDir_.path()).mkpath(QStringLiteral("Quorvane")));
        QVERIFY(LinuxFileStore().ReplaceFile(
            dataDir_.filePath("Quorvane/config.vtr").toStdString(),
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records)));
    }

    // (The window's start and stop are tested over fakes in main_frame_qtest, the platform layer's
    // against the sim in integration_tests.)
    void SecondCopyOfTheProgramEndsWithOne() {
        StartSim({QStringLiteral("--running")});
        QTemporaryDir runtimeDir;  // the single-instance lock and channel, away from a real session
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
        const QString program = QStringLiteral(VANTOR_CONFIG_PATH);

        // Up and polling the unit once a second: its event loop runs.
        QProcess first;
        first.setProcessEnvironment(environment);
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(program, {});
        QVERIFY2(first.waitForStarted(5000), qPrintable(first.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(CountCalls("org.freedesktop.DBus.Properties.Get") >= 3, 10000);

        // A second copy brings the first forward and ends with 1.
        QCOMPARE(integration::RunProgram(program, {}, environment, 10000).exitCode, 1);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
    }

private:
    void StartSim(const QStringList& options) {
        QString error;
        QVERIFY2(sim_.Start(bus_.Address(), dataDir_.path(), options, error), qPrintable(error));
    }
    // How many logged calls the sim received that start with call.
    qsizetype CountCalls(const QString& call) {
        const QStringList log =
            sim_.Control(sim::control::GetCallLog).arguments().value(0).toStringList();
        return std::count_if(log.begin(), log.end(), [&](const QString& entry) {
            return entry == call || entry.startsWith(call + u' ');
        });
    }

    QTemporaryDir busDir_;
    QTemporaryDir dataDir_;
    integration::PrivateBus bus_;
    integration::SimProcess sim_;
};

}  // namespace vantor

QTEST_MAIN(vantor::ProgramAgainstSimTest)
#include "program_against_sim_qtest.moc"
