#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "bus_harness.h"

// Qt's D-Bus support wants an application object before the first connection, as in the tool;
// the private bus is up, and named in DBUS_SYSTEM_BUS_ADDRESS, before anything connects to a bus.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const QTemporaryDir busFolder(QDir::temp().filePath("vantor-bus-XXXXXX"));
    vantor::integration::PrivateBus bus;
    QString error;
    if (!bus.Start(busFolder.path(), error)) {
        qCritical("%s", qPrintable(error));
        return 1;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().toUtf8().constData(), 1);
    return RUN_ALL_TESTS();
}
