// The program's own window over the real Linux platform layer, against vantor-sim on a private
// bus: the state pane follows the server through the window's Start/Stop item and through changes
// made elsewhere. Last, the built vantorconfig itself runs offscreen against the same sim.

#include <vector>

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "config/config_file.h"
#include "config/config_store.h"
#include "editors/multicast_table.h"
#include "integration/bus_harness.h"
#include "platform/automation_bus.h"
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

constexpr char SystemBusVariable[] = "DBUS_SYSTEM_BUS_ADDRESS";
constexpr char CommonAppDataVariable[] = "VANTOR_COMMON_APPDATA";
// Long enough for a state poll (once a second) to see the unit between two states.
const QStringList SlowUnit = {QStringLiteral("--start-delay"), QStringLiteral("2500"),
                              QStringLiteral("--stop-delay"), QStringLiteral("2500")};
// A start or stop: the delay plus the controller's once-a-second wait.
constexpr int SettleTimeoutMs = 10000;
constexpr char StartCall[] = "org.freedesktop.systemd1.Manager.StartUnit Vantor.service replace";
constexpr char StopCall[] = "org.freedesktop.systemd1.Manager.StopUnit Vantor.service replace";
constexpr char StatePollCall[] = "org.freedesktop.DBus.Properties.Get";

// What main() builds, with a recording prompter so that a message shows up in the test.
struct RealServices {
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    LinuxFileStore files;
    LinuxInstallationEnvironment installation;
    LinuxSystemdServiceManager serviceManager;
    LinuxClock clock;
    LinuxDbusAutomationFactory automation;
    test::RecordingPrompter prompter;
    QtDesktopServices desktop;
    HelpPages help{desktop, installation, ChooseHelpFolder(installation, "")};
    AppServices services{
        defaultAuthMethod, multicastTable, files,   installation, serviceManager, clock,
        automation,        prompter,       desktop, help};
};

qsizetype CountCalls(const QStringList& log, const QString& call) {
    qsizetype count = 0;
    for (const QString& entry : log) {
        if (entry == call || entry.startsWith(call + u' ')) {
            ++count;
        }
    }
    return count;
}

}  // namespace

class ProgramAgainstSimTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void StatePaneFollowsAStartAndAStopFromTheMenu();
    void StatePaneFollowsChangesMadeElsewhere();
    void ProgramRunsOnceAndEndsOnTerminate();

private:
    void StartSim(const QStringList& options);
    QString UnitState();
    QStringList CallLog();
    QString ConfigPath() const;

    QTemporaryDir busDir_;
    QTemporaryDir dataDir_;
    integration::PrivateBus bus_;
    integration::SimProcess sim_;
};

void ProgramAgainstSimTest::initTestCase() {
    QVERIFY(busDir_.isValid());
    QVERIFY(dataDir_.isValid());
    QString error;
    QVERIFY2(bus_.Start(busDir_.path(), error), qPrintable(error));
    // Read by the platform layer at every call, as the program reads them.
    qputenv(SystemBusVariable, bus_.Address().toUtf8());
    qputenv(CommonAppDataVariable, dataDir_.path().toUtf8());

    ResourceRecord folder;
    folder.kind = ResourceKind::VirtualFolder;
    folder.name = u"Clips";
    folder.source = dataDir_.path().toStdU16String();
    folder.unicast = true;
    ResourceRecord broadcast;
    broadcast.kind = ResourceKind::LiveBroadcast;
    broadcast.name = u"studio";
    broadcast.source = u"3@192.168.10.5";
    broadcast.unicast = true;
    const ResourceRecord* records[] = {&folder, &broadcast};
    const std::vector<std::uint8_t> bytes =
        WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records);
    QVERIFY(QDir(dataDir_.path()).mkpath(QStringLiteral("Quorvane")));
    QFile file(ConfigPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())),
             qint64(bytes.size()));
}

void ProgramAgainstSimTest::cleanup() {
    sim_.Stop();
}

void ProgramAgainstSimTest::StartSim(const QStringList& options) {
    QString error;
    QVERIFY2(sim_.Start(bus_.Address(), dataDir_.path(), options, error), qPrintable(error));
}

QString ProgramAgainstSimTest::UnitState() {
    const QDBusMessage reply = sim_.Control(sim::control::GetState);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toString()
                                                      : reply.errorMessage();
}

QStringList ProgramAgainstSimTest::CallLog() {
    return sim_.Control(sim::control::GetCallLog).arguments().value(0).toStringList();
}

QString ProgramAgainstSimTest::ConfigPath() const {
    return QDir(dataDir_.path()).filePath(QStringLiteral("Quorvane/config.vtr"));
}

void ProgramAgainstSimTest::StatePaneFollowsAStartAndAStopFromTheMenu() {
    StartSim(SlowUnit);
    RealServices real;
    MainFrameWindow window(real.services);
    window.show();

    // The configuration came from the folder the environment names.
    QCOMPARE(QString::fromStdString(window.Store().ConfigPath()), ConfigPath());
    QCOMPARE(window.Store().Resources().FileResources().Children().size(), std::size_t{1});
    QCOMPARE(window.Store().Resources().LiveBroadcasts().Children().size(), std::size_t{1});

    QAction* item = window.CommandAction(StartStopServerCommand);
    QVERIFY(item != nullptr);
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopped"));
    QCOMPARE(item->text(), QStringLiteral("&Start Media Server"));
    QVERIFY(item->isEnabled());

    item->trigger();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));
    QVERIFY(!item->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(UnitState(), QStringLiteral("activating"), 3000);
    // Still starting while the unit is on its way.
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is starting"));
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is running"),
                              SettleTimeoutMs);
    QCOMPARE(UnitState(), QStringLiteral("active"));
    QCOMPARE(item->text(), QStringLiteral("&Stop Media Server"));
    QVERIFY(item->isEnabled());

    item->trigger();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopping"));
    QVERIFY(!item->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(UnitState(), QStringLiteral("deactivating"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is stopped"),
                              SettleTimeoutMs);
    QCOMPARE(UnitState(), QStringLiteral("inactive"));
    QCOMPARE(item->text(), QStringLiteral("&Start Media Server"));
    QVERIFY(item->isEnabled());

    // One start and one stop reached systemd, and nothing needed telling the user.
    const QStringList log = CallLog();
    QCOMPARE(CountCalls(log, QString::fromLatin1(StartCall)), qsizetype{1});
    QCOMPARE(CountCalls(log, QString::fromLatin1(StopCall)), qsizetype{1});
    QVERIFY(real.prompter.shown.empty());
}

void ProgramAgainstSimTest::StatePaneFollowsChangesMadeElsewhere() {
    StartSim(SlowUnit);
    RealServices real;
    MainFrameWindow window(real.services);
    window.show();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server is stopped"));

    // Someone else starts the server (as `vantorctl start` does); the polls show it.
    QDBusConnection other = integration::HarnessConnection(bus_.Address());
    QDBusMessage start = QDBusMessage::createMethodCall(
        QString::fromLatin1(bus::SystemdName), QStringLiteral("/org/freedesktop/systemd1"),
        QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("StartUnit"));
    start << QStringLiteral("Vantor.service") << QStringLiteral("replace");
    QCOMPARE(other.call(start, QDBus::Block, 5000).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                              QStringLiteral("Media Server is changing state"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is running"),
                              SettleTimeoutMs);
    QCOMPARE(window.CommandAction(StartStopServerCommand)->text(),
             QStringLiteral("&Stop Media Server"));

    // systemd forgets the unit, then knows it again.
    QCOMPARE(sim_.Control(sim::control::SetUnitMissing, {true}).type(), QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                              QStringLiteral("Media Server does not respond"), 3000);
    QCOMPARE(sim_.Control(sim::control::SetUnitMissing, {false}).type(),
             QDBusMessage::ReplyMessage);
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(), QStringLiteral("Media Server is running"),
                              3000);

    // The whole server goes away: the window keeps polling and says so, without a message box.
    sim_.Stop();
    QTRY_COMPARE_WITH_TIMEOUT(window.StateText()->text(),
                              QStringLiteral("Media Server does not respond"), 3000);
    // A Start/Stop now does nothing.
    window.CommandAction(StartStopServerCommand)->trigger();
    QCOMPARE(window.StateText()->text(), QStringLiteral("Media Server does not respond"));
    QVERIFY(!window.Model().IsOperationUnderWay());
    QVERIFY(real.prompter.shown.empty());
}

void ProgramAgainstSimTest::ProgramRunsOnceAndEndsOnTerminate() {
    StartSim({QStringLiteral("--running")});
    QTemporaryDir runtimeDir;  // the single-instance lock and channel, away from a real session
    QVERIFY(runtimeDir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    environment.insert(QString::fromLatin1(SystemBusVariable), bus_.Address());
    environment.insert(QString::fromLatin1(CommonAppDataVariable), dataDir_.path());
    const QString program = QStringLiteral(VANTOR_CONFIG_PATH);

    // Up and polling the unit once a second: its event loop runs.
    const auto startAndWaitForPolls = [&](QProcess& process) {
        QCOMPARE(sim_.Control(sim::control::ClearCallLog).type(), QDBusMessage::ReplyMessage);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(program, {});
        QVERIFY2(process.waitForStarted(5000), qPrintable(process.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(CountCalls(CallLog(), QString::fromLatin1(StatePollCall)) >= 3,
                                 10000);
        QCOMPARE(process.state(), QProcess::Running);
    };

    QProcess first;
    startAndWaitForPolls(first);
    if (QTest::currentTestFailed()) {
        return;
    }

    // A second copy brings the first forward and ends with 1.
    const integration::ProgramRun second = integration::RunProgram(program, {}, environment, 10000);
    QCOMPARE(second.exitCode, 1);
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    QVERIFY(first.waitForFinished(5000));
    // Its lock went with it: the next copy runs instead of looking for the first.
    QProcess third;
    startAndWaitForPolls(third);
    third.terminate();
    QVERIFY(third.waitForFinished(5000));
}

}  // namespace vantor

QTEST_MAIN(vantor::ProgramAgainstSimTest)
#include "program_against_sim_qtest.moc"
