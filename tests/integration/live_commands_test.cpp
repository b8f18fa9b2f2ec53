// `vantorctl live` against vantor-sim: the save of an accepted broadcast makes the running
// server reload, a refusal and a named file leave the server alone.

#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "platform/linux_installation_environment.h"
#include "sim/sim_control_names.h"
#include "sim_fixture.h"

namespace vantor::integration {
namespace {

const QString ReloadCall = QStringLiteral("Vantor.VTRConfig.ReloadConfiguration");

using LiveCommandAgainstSim = SimTest;

TEST_F(LiveCommandAgainstSim, OnlyAnAcceptedChangeOfTheLocatedFileIsReloaded) {
    ASSERT_TRUE(StartSim());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(CommonAppDataVariable, DataDir());
    auto vantorctl = [&environment](const QString& arguments) {
        return RunProgram(VANTOR_CTL_PATH, arguments.split(u' '), environment, 30000);
    };
    LinuxFileStore files;
    ASSERT_TRUE(
        files.ReplaceFile(ConfigPath(), WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous,
                                                        std::span<const ResourceRecord* const>())));
    ASSERT_EQ(vantorctl("start --timeout 10000").exitCode, 0);
    Control(sim::control::ClearCallLog);

    ProgramRun run = vantorctl("live add News --address 10.0.0.5 --id 2");
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(0, QString()));
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    EXPECT_EQ(Control(sim::control::GetLoadedConfig).value(2).toStringList(), QStringList{"News"});
    const auto saved = files.ReadFile(ConfigPath());
    EXPECT_EQ(ReadConfigFile(*saved).records.at(0).source, u"2@10.0.0.5");

    // The same name in other letters is taken: nothing is written, the server is not asked.
    run = vantorctl("live add NEWS --address 10.0.0.6");
    EXPECT_EQ(std::pair(run.exitCode, run.err),
              std::pair(1, QString("Error: Resource with this name already exists. Choose "
                                   "different name\n")));
    // With --file the server is left alone even when the file is its own.
    run =
        vantorctl("live edit News --description x --file " + QString::fromStdString(ConfigPath()));
    EXPECT_EQ(std::pair(run.exitCode, run.err), std::pair(0, QString()));
    EXPECT_EQ(CountCalls(ReloadCall), 1);
    EXPECT_EQ(ReadConfigFile(*files.ReadFile(ConfigPath())).records.at(0).description, u"x");
}

}  // namespace
}  // namespace vantor::integration
