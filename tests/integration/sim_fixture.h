#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QDBusMessage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>

#include "bus_harness.h"
#include "platform/prompter.h"

namespace vantor::integration {

// The program's private bus, started before the first test and pointed to by
// DBUS_SYSTEM_BUS_ADDRESS before anything in the process connects to a bus.
class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
    static const QString& Address();
};

// Remembers every message instead of showing it.
class RecordingPrompter : public Prompter {
public:
    void ShowMessage(const std::u16string& text, const std::u16string& caption) override {
        messages.emplace_back(text, caption);
    }
    bool AskYesNo(const std::u16string& text, const std::u16string& caption) override {
        messages.emplace_back(text, caption);
        return false;
    }
    std::vector<std::pair<std::u16string, std::u16string>> messages;
};

// Each test gets a fresh vantor-sim with a data folder of its own.
class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the sim with short start and stop delays and the options; false (and the test
    // failed) when it does not come up.
    bool StartSim(const QStringList& options = {});
    // A control call that must succeed; its reply values.
    QVariantList Control(const char* method, const QVariantList& arguments = {});
    // The calls the sim received, oldest first.
    QStringList CallLog();
    // How many logged calls start with "Interface.Method".
    qsizetype CountCalls(const QString& call);

    QString DataDir() const { return dataDir_.path(); }
    // Where the sim reads, and the tool writes, config.vtr.
    std::string ConfigPath() const;

private:
    QTemporaryDir dataDir_;
    SimProcess sim_;
};

}  // namespace vantor::integration
