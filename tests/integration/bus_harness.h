#pragma once

#include <optional>

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace vantor::integration {

// A dbus-daemon of our own that allows everything, listening on a socket in a folder the
// caller owns.
class PrivateBus {
public:
    ~PrivateBus();
    // False, with the reason, when the daemon cannot be started.
    bool Start(const QString& folder, QString& error);
    const QString& Address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

// vantor-sim on a bus, with its data folder and options.
class SimProcess {
public:
    ~SimProcess() { Stop(); }
    // Starts the sim and waits until it answers on the bus; false, with the reason, otherwise.
    bool Start(const QString& busAddress, const QString& dataDir, const QStringList& options,
               QString& error);
    // Ends the sim (SIGTERM) and waits until its names are gone, so a new one can take them;
    // true when it was running and ended cleanly, with exit code 0, giving up its names.
    bool Stop();
    // A call to the sim's control interface; the reply (or error) message.
    QDBusMessage Control(const char* method, const QVariantList& arguments = {});
    // The sim's process, for signals (0 when it does not run).
    qint64 ProcessId() const { return process_.processId(); }

private:
    QProcess process_;
    std::optional<QDBusConnection> connection_;
};

// A finished run of a program.
struct ProgramRun {
    int exitCode = -1;  // -1: it did not finish (or crashed)
    QStringList outLines;
    QString err;
};

// Runs program to its end (at most timeoutMs) with the given environment and standard input.
ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeoutMs,
                      const QByteArray& input = {});

}  // namespace vantor::integration
