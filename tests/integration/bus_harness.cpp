#include "bus_harness.h"

#include <csignal>

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <sys/prctl.h>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"

namespace vantor::integration {

namespace {

constexpr char HarnessConnectionName[] = "integration_harness";
constexpr int StartupTimeoutMs = 10000;
constexpr int ControlTimeoutMs = 5000;
constexpr int StopTimeoutMs = 3000;

// Whatever happens to the test program (a crash, a kill by ctest's time-out), its helpers go
// with it instead of lingering with the socket.
void DieWithParent(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

void EndProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(StopTimeoutMs)) {
        process.kill();
        process.waitForFinished(StopTimeoutMs);
    }
}

bool WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) >= 0 && file.flush();
}

QString BusConfig(const QString& socketPath, const QString& serviceDir) {
    return QStringLiteral(
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <listen>unix:path=%1</listen>\n"
               "  <auth>EXTERNAL</auth>\n"
               "  <servicedir>%2</servicedir>\n"
               "  <policy context=\"default\">\n"
               "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n"
               "    <allow own=\"*\"/>\n"
               "  </policy>\n"
               "</busconfig>\n")
        .arg(socketPath, serviceDir);
}

}  // namespace

bool PrivateBus::Start(const QString& folder, QString& error) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        error = QStringLiteral("dbus-daemon is not installed (scripts/setup installs it)");
        return false;
    }
    const QDir dir(folder);
    const QString serviceDir = dir.filePath(QStringLiteral("services"));
    const QString configPath = dir.filePath(QStringLiteral("bus.conf"));
    const QString activatable = QString::fromLatin1(ActivatableFailingName);
    if (!dir.mkpath(serviceDir) ||
        !WriteFile(
            QDir(serviceDir).filePath(activatable + QStringLiteral(".service")),
            QStringLiteral("[D-BUS Service]\nName=%1\nExec=/bin/false\n").arg(activatable)) ||
        !WriteFile(configPath, BusConfig(dir.filePath(QStringLiteral("bus")), serviceDir))) {
        error = QStringLiteral("cannot write the bus configuration in ") + folder;
        return false;
    }

    DieWithParent(daemon_);
    // It complains about file descriptor limits it may not raise; nothing to see.
    daemon_.setStandardErrorFile(dir.filePath(QStringLiteral("dbus-daemon.log")));
    daemon_.start(program, {QStringLiteral("--config-file=") + configPath,
                            QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(StartupTimeoutMs)) {
        error = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString();
        return false;
    }
    // It prints its address once it listens.
    QDeadlineTimer deadline(StartupTimeoutMs);
    while (!daemon_.canReadLine() && !deadline.hasExpired() &&
           daemon_.state() == QProcess::Running) {
        daemon_.waitForReadyRead(100);
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        error = QStringLiteral("dbus-daemon printed no address; see ") +
                dir.filePath(QStringLiteral("dbus-daemon.log"));
        EndProcess(daemon_);
        return false;
    }
    return true;
}

void PrivateBus::Stop() {
    if (!address_.isEmpty()) {
        QDBusConnection::disconnectFromBus(QString::fromLatin1(HarnessConnectionName));
    }
    EndProcess(daemon_);
}

QDBusConnection HarnessConnection(const QString& address) {
    return QDBusConnection::connectToBus(address, QString::fromLatin1(HarnessConnectionName));
}

bool WaitForOwner(QDBusConnection& connection, const QString& name, bool owned, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QDBusReply<bool> reply = connection.interface()->isServiceRegistered(name);
        if (reply.isValid() && reply.value() == owned) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(20);
    }
}

bool SimProcess::Start(const QString& busAddress, const QString& dataDir,
                       const QStringList& options, QString& error) {
    connection_ = HarnessConnection(busAddress);
    if (!connection_->isConnected()) {
        error = QStringLiteral("the harness cannot connect to ") + busAddress;
        return false;
    }
    DieWithParent(process_);
    // Its log of state changes helps when a test fails; ctest shows it only then.
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(VANTOR_SIM_PATH), QStringList{QStringLiteral("--bus"), busAddress,
                                                                QStringLiteral("--data"), dataDir} +
                                                        options);
    if (!process_.waitForStarted(StartupTimeoutMs)) {
        error = QStringLiteral("vantor-sim did not start: ") + process_.errorString();
        return false;
    }
    // systemd's name is the last it takes; a control call then proves its event loop runs.
    QDeadlineTimer deadline(StartupTimeoutMs);
    while (!deadline.hasExpired()) {
        if (process_.state() != QProcess::Running) {
            error = QStringLiteral("vantor-sim exited with %1").arg(process_.exitCode());
            return false;
        }
        if (WaitForOwner(*connection_, QString::fromLatin1(bus::SystemdName), true, 50) &&
            Control(sim::control::GetState).type() == QDBusMessage::ReplyMessage) {
            return true;
        }
    }
    error = QStringLiteral("vantor-sim did not appear on the bus");
    return false;
}

void SimProcess::Stop() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    EndProcess(process_);
    if (connection_) {
        WaitForOwner(*connection_, QString::fromLatin1(bus::SimName), false, StopTimeoutMs);
        WaitForOwner(*connection_, QString::fromLatin1(bus::SystemdName), false, StopTimeoutMs);
    }
}

QDBusMessage SimProcess::Control(const char* method, const QVariantList& arguments) {
    if (!connection_) {
        return QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
                                         QStringLiteral("vantor-sim was never started"));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(bus::SimName), QString::fromLatin1(bus::ObjectPath),
        QString::fromLatin1(bus::SimControlInterface), QString::fromLatin1(method));
    call.setArguments(arguments);
    return connection_->call(call, QDBus::Block, ControlTimeoutMs);
}

ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeoutMs) {
    QProcess process;
    DieWithParent(process);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        EndProcess(process);
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.outLines =
        QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace vantor::integration
