// vantor-sim: stands in for the Vantor media server on a D-Bus bus, for the demo and the
// integration tests. See sim_options.h for the command line and control_interface.h for how
// tests drive it.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <cstdio>

#include "sim/sim_options.h"
#include "sim/sim_server.h"
#include "sim/termination_signals.h"

namespace {

const QString BusConnectionName = QStringLiteral("vantor-sim");

QDBusConnection ConnectToBus(const QString& address) {
    if (address.isEmpty()) {
        return QDBusConnection::systemBus();
    }
    return QDBusConnection::connectToBus(address, BusConnectionName);
}

void PrintError(const QString& text) {
    std::fprintf(stderr, "vantor-sim: %s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    using namespace vantor::sim;

    const ParsedOptions parsed = ParseSimOptions(app.arguments().mid(1));
    if (!parsed.options) {
        if (!parsed.error.isEmpty()) {
            PrintError(parsed.error);
        }
        std::fputs(UsageText, parsed.error.isEmpty() ? stdout : stderr);
        return parsed.error.isEmpty() ? 0 : 2;
    }

    QDBusConnection bus = ConnectToBus(parsed.options->busAddress);
    if (!bus.isConnected()) {
        PrintError(QStringLiteral("cannot connect to the bus: %1").arg(bus.lastError().message()));
        return 1;
    }

    SimServer server(*parsed.options, bus);
    QString error;
    if (!server.Open(error)) {
        PrintError(error);
        server.Close();
        return 1;
    }

    TerminationSignals termination;
    if (!termination.Install()) {
        PrintError(QStringLiteral("cannot watch for SIGTERM and SIGINT"));
    }
    QObject::connect(&termination, &TerminationSignals::Received, &app, &QCoreApplication::quit);
    QObject::connect(&server, &SimServer::QuitRequested, &app, &QCoreApplication::quit);

    std::fprintf(stderr, "vantor-sim: ready, config %s\n", qPrintable(server.Config().Path()));
    const int status = app.exec();
    server.Close();
    return status;
}
