#include "bus_harness.h"

#include <csignal>
#include <sys/prctl.h>

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include "platform/automation_bus.h"
#include "sim/sim_control_names.h"

namespace vantor::integration {

namespace {

constexpr char HarnessConnectionName[] = "integration_harness";
constexpr int StartupTimeoutMs = 10000;
constexpr int StopTimeoutMs = 3000;

// Whatever happens to the test program (a crash, a kill by ctest's time-out), its helpers go
// with it instead of lingering with the socket.
void DieWithParent(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// True when the process ended on SIGTERM by itself, normally and with exit code 0.
bool EndProcess(QProcess& process) {
    process.terminate();
    if (process.waitForFinished(StopTimeoutMs)) {
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    process.kill();
    process.waitForFinished(StopTimeoutMs);
    return false;
}

// Polls until name has (owned true) or has not (false) an owner; false when timeoutMs passed.
bool WaitForOwner(QDBusConnection& connection, const char* name, bool owned, int timeoutMs) {
    for (QDeadlineTimer deadline(timeoutMs);; QThread::msleep(20)) {
        const QDBusReply<bool> reply = connection.interface()->isServiceRegistered(name);
        if (reply.isValid() && reply.value() == owned) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
    }
}

}  // namespace

bool PrivateBus::Start(const QString& folder, QString& error) {
    const QString configPath = QDir(folder).filePath("bus.conf");
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(QStringLiteral("<busconfig><listen>unix:path=%1</listen><auth>EXTERNAL</auth>"
                                    "<policy context=\"default\"><allow send_destination=\"*\" "
                                    "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                    "<allow own=\"*\"/></policy></busconfig>\n")
                         .arg(QDir(folder).filePath("bus"))
                         .toUtf8()) < 0) {
        error = "cannot write bus.conf in " + folder;
        return false;
    }
    config.close();
    DieWithParent(daemon_);
    // It complains about file descriptor limits it may not raise; nothing to see.
    daemon_.setStandardErrorFile(QProcess::nullDevice());
    daemon_.start("dbus-daemon", {"--config-file=" + configPath, "--nofork", "--print-address"});
    // It prints its address, in one line, once it listens.
    daemon_.waitForReadyRead(StartupTimeoutMs);
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        error =
            "dbus-daemon (scripts/setup installs it) printed no address: " + daemon_.errorString();
        EndProcess(daemon_);
    }
    return !address_.isEmpty();
}

PrivateBus::~PrivateBus() {
    QDBusConnection::disconnectFromBus(HarnessConnectionName);
    EndProcess(daemon_);
}

bool SimProcess::Start(const QString& busAddress, const QString& dataDir,
                       const QStringList& options, QString& error) {
    connection_ = QDBusConnection::connectToBus(busAddress, HarnessConnectionName);
    DieWithParent(process_);
    // Its log of state changes helps when a test fails; ctest shows it only then.
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(VANTOR_SIM_PATH, QStringList{"--bus", busAddress, "--data", dataDir} + options);
    // systemd's name is the last it takes; a control call then proves its event loop runs.
    QDeadlineTimer deadline(StartupTimeoutMs);
    while (connection_->isConnected() && process_.waitForStarted(StartupTimeoutMs) &&
           process_.state() == QProcess::Running && !deadline.hasExpired()) {
        if (WaitForOwner(*connection_, bus::SystemdName, true, 50) &&
            Control(sim::control::GetState).type() == QDBusMessage::ReplyMessage) {
            return true;
        }
    }
    error = QStringLiteral("vantor-sim did not come up on %1: %2 (exit code %3)")
                .arg(busAddress, process_.errorString())
                .arg(process_.exitCode());
    return false;
}

bool SimProcess::Stop() {
    if (process_.state() == QProcess::NotRunning) {
        return false;
    }
    const bool clean = EndProcess(process_);
    return WaitForOwner(*connection_, bus::SimName, false, StopTimeoutMs) &&
           WaitForOwner(*connection_, bus::SystemdName, false, StopTimeoutMs) &&
           WaitForOwner(*connection_, bus::VtrConfigName, false, StopTimeoutMs) && clean;
}

QDBusMessage SimProcess::Control(const char* method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(bus::SimName, bus::ObjectPath,
                                                       bus::SimControlInterface, method);
    call.setArguments(arguments);
    return connection_ ? connection_->call(call, QDBus::Block, 5000)
                       : QDBusMessage::createError(QDBusError::Disconnected, "no sim started");
}

ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeoutMs,
                      const QByteArray& input) {
    QProcess process;
    DieWithParent(process);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
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
