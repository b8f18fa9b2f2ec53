#pragma once

#include <string>

#include <QDBusMessage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>

#include "bus_harness.h"
#include "ui/ui_fakes.h"

namespace vantor::integration {

// Messages are recorded and questions answered from a queue (No when it runs out).
using RecordingPrompter = test::RecordingPrompter;

// Each test gets a fresh vantor-sim, on the program's private bus (DBUS_SYSTEM_BUS_ADDRESS),
// with a data folder of its own.
class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { sim_.Stop(); }

    // Starts the sim with short start and stop delays and the options; false (and the test
    // failed) when it does not come up.
    bool StartSim(const QStringList& options = {});
    // A control call that must succeed; its reply values.
    QVariantList Control(const char* method, const QVariantList& arguments = {});
    // The calls the sim received, oldest first.
    QStringList CallLog();
    // How many logged calls start with "Interface.Method".
    qsizetype CountCalls(const QString& call);

    // vantorctl with the arguments (split at spaces) and input, the data folder as the common
    // one.
    ProgramRun Vantorctl(const QString& arguments, const QString& input = {}) const;

    QString DataDir() const { return dataDir_.path(); }
    // Where the sim reads, and the tool writes, config.vtr.
    std::string ConfigPath() const;

private:
    QTemporaryDir dataDir_;
    SimProcess sim_;
};

}  // namespace vantor::integration
