// The delegate restrictions dialog's OK and Cancel, and vantorctl restrictions, against
// vantor-sim: the file in the common data folder and the server's notification.

#include <cstdlib>
#include <string>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "monitor/delegate_restrictions_model.h"
#include "platform/linux_dbus_automation.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

const QString ChangedCall = QStringLiteral("Vantor.RestrictionsNotification.RestrictionsChanged");

// The sim runs with the server's objects up; the common data folder is the test's own.
class DelegateRestrictions : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        setenv(CommonAppDataVariable, DataDir().toUtf8().constData(), 1);
        ASSERT_TRUE(StartSim({QStringLiteral("--running")}));
    }
    void TearDown() override {
        unsetenv(CommonAppDataVariable);
        SimTest::TearDown();
    }
    QString FilePath() const {
        return QDir(DataDir()).filePath(QStringLiteral("Quorvane/VantorIPRestrictions.config"));
    }
    // Opens the dialog's model on the located file, adds an address, and ends with OK or Cancel.
    bool AddAndClose(bool ok) {
        LinuxFileStore files;
        LinuxInstallationEnvironment environment;
        LinuxDbusAutomationFactory automation;
        RecordingPrompter prompter;
        DelegateRestrictionsModel model(files, LocateRestrictions(environment, 1), prompter,
                                        [](std::u16string& address) {
                                            address = u"10.9.8.7";
                                            return true;
                                        });
        const bool accepted = RunDelegateRestrictions(
            model,
            [ok](DelegateRestrictionsModel& opened) {
                return opened.OnOpen() && (opened.OnAdd(), ok) && opened.OnOk();
            },
            automation);
        EXPECT_TRUE(prompter.shown.empty());
        return accepted;
    }
};

TEST_F(DelegateRestrictions, OkWritesTheFileAndTellsTheServerOnceCancelNeither) {
    EXPECT_FALSE(AddAndClose(false));
    EXPECT_FALSE(QFile::exists(FilePath()));
    EXPECT_EQ(CountCalls(ChangedCall), 0);

    EXPECT_TRUE(AddAndClose(true));
    QFile file(FilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<ExceptionMediaServerList><Address>10.9.8.7</Address>"));
    EXPECT_EQ(CountCalls(ChangedCall), 1);
}

TEST_F(DelegateRestrictions, VantorctlChangesTheLocatedFileAndTellsTheServer) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    auto vantorctl = [&](const QString& arguments) {
        return RunProgram(VANTOR_CTL_PATH, arguments.split(u' '), environment, 30000);
    };
    EXPECT_EQ(vantorctl("restrictions add --list allow relay.example").exitCode, 0);
    EXPECT_EQ(vantorctl("restrictions mode allow").exitCode, 0);
    const ProgramRun run = vantorctl("restrictions list");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, (QStringList{"AllowedList", "2 relay.example"}));
    EXPECT_TRUE(QFile::exists(FilePath()));
    EXPECT_EQ(CountCalls(ChangedCall), 2);

    // With the server stopped the change is still written, and nobody is told.
    ASSERT_EQ(vantorctl("stop --timeout 10000").exitCode, 0);
    EXPECT_EQ(vantorctl("restrictions add second.example").exitCode, 0);
    EXPECT_EQ(vantorctl("restrictions list").outLines,
              (QStringList{"AllowedList", "2 relay.example", "2 second.example"}));
    EXPECT_EQ(CountCalls(ChangedCall), 2);
}

}  // namespace
}  // namespace vantor::integration
