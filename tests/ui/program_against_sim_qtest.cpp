// The program's own window over the real Linux platform layer, against vantor-sim on a private
// bus: the state pane follows the server through the window's Start/Stop item. Then the built
// vantorconfig itself runs offscreen against the same sim.

#include <algorithm>
#include <vector>

#include <QAction>
#include <QDBusMessage>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "config/config_file.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "integration/bus_harness.h"
#include "integration/real_services.h"
#include "platform/linux_clock.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "platform/linux_systemd_service_manager.h"
#include "sim/sim_control_names.h"
#include "ui/app_services.h"
#include "ui/help_pages.h"
#include "ui/main_frame_window.h"
#include "ui/qt_desktop_services.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// A start or stop: the sim's delay plus the controller's once-a-second wait.
constexpr int SettleTimeoutMs = 10000;

using integration::RealServices;

}  // namespace

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

    void StatePaneFollowsAStartAndAStopFromTheMenu() {
        // Slow enough for a state poll (once a second) to see the unit between two states.
        StartSim({"--start-delay", "2500", "--stop-delay", "2500"});
        RealServices real;
        MainFrameWindow window(real.services);
        window.show();
        // The configuration came from the folder the environment names.
        QCOMPARE(window.Store().Resources().FileResources().Children().size(), std::size_t{1});

        QAction* item = window.CommandAction(StartStopServerCommand);
        QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopped"));
        item->trigger();
        QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));
        QVERIFY(!item->isEnabled());
        // Still starting while the unit is on its way.
        QTRY_COMPARE_WITH_TIMEOUT(
            sim_.Control(sim::control::GetState).arguments().value(0).toString(),
            QStringLiteral("activating"), 3000);
        QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));
        QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                                  QStringLiteral("Media Server is running"), SettleTimeoutMs);
        QCOMPARE(item->text(), QStringLiteral("&Stop Media Server"));
        QVERIFY(item->isEnabled());

        item->trigger();
        QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopping"));
        QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                                  QStringLiteral("Media Server is stopped"), SettleTimeoutMs);
        QCOMPARE(item->text(), QStringLiteral("&Start Media Server"));

        // One start and one stop reached systemd, and nothing needed telling the user.
        const QString unit = QStringLiteral(" Vantor.service replace");
        QCOMPARE(CountCalls("org.freedesktop.systemd1.Manager.StartUnit" + unit), 1);
        QCOMPARE(CountCalls("org.freedesktop.systemd1.Manager.StopUnit" + unit), 1);
        // The whole server goes away: the window keeps polling and says so, without a message.
        sim_.Stop();
        QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                                  QStringLiteral("Media Server does not respond"), 3000);
        QVERIFY(real.prompter.shown.empty());
    }

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
