#include <QCoreApplication>
#include <gtest/gtest.h>

#include "sim_fixture.h"

// Qt's D-Bus support wants an application object before the first connection, as in the tool;
// the private bus is started before any test connects to it.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new vantor::integration::BusEnvironment);
    return RUN_ALL_TESTS();
}
