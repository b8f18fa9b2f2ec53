#include <QCoreApplication>
#include <gtest/gtest.h>

// Qt's D-Bus support wants an application object before the first connection, as in the tool.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
