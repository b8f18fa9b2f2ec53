// The built vantorctl, for what only its main() decides: the command line.

#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_test_files.h"
#include "cli/config_commands.h"
#include "config/config_bytes.h"

namespace vantor {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs vantorctl with the arguments, already quoted for the shell.
ProgramRun Vantorctl(const test::TempFolder& folder, const std::string& arguments) {
    const std::string out = folder / "stdout";
    const std::string err = folder / "stderr";
    const std::string command = std::string("'") + VANTOR_CTL_PATH + "' " + arguments + " >'" +
                                out + "' 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadText(out), test::ReadText(err)};
}

TEST(Vantorctl, UsageErrorsExitWithTwo) {
    test::TempFolder folder;
    const std::vector<std::string> wrong = {
        "", "frobnicate", "show --bogus", "show a.vtr b.vtr", "normalize", "start --timeout soon"};
    for (const std::string& arguments : wrong) {
        const ProgramRun run = Vantorctl(folder, arguments);
        EXPECT_EQ(run.exitCode, ExitUsage) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err, "") << arguments;
    }
    const ProgramRun help = Vantorctl(folder, "--help");
    EXPECT_EQ(help.exitCode, ExitOk);
    for (const char* command : {"show", "normalize", "status", "start", "stop", "reload"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
}

TEST(Vantorctl, ShowAndNormalizeFromTheCommandLine) {
    test::TempFolder folder;
    const std::string path = folder / "config.vtr";
    test::ConfigBytes bytes;
    bytes.Header(60).Record(60, 1, u"zeta").Record(60, 1, u"Alpha");
    test::WriteBytes(path, bytes.Bytes());

    ProgramRun run = Vantorctl(folder, "show --json '" + path + "'");
    EXPECT_EQ(run.exitCode, ExitOk) << run.err;
    const nlohmann::json resources = nlohmann::json::parse(run.out)["resources"];
    ASSERT_EQ(resources.size(), 2u) << run.out;
    EXPECT_EQ(resources[0]["displayText"], "Alpha");

    run = Vantorctl(folder, "show '" + folder / "missing.vtr" + "'");
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_EQ(run.err, "vantorctl: " + folder / "missing.vtr" + ": no such file\n");

    const std::string out = folder / "out.vtr";
    run = Vantorctl(folder, "normalize '" + path + "' '" + out + "'");
    EXPECT_EQ(run.exitCode, ExitOk) << run.err;
    EXPECT_EQ(test::ReadBytes(path), bytes.Bytes());
    test::ConfigBytes sorted;
    sorted.Header(60).Record(60, 1, u"Alpha").Record(60, 1, u"zeta");
    EXPECT_EQ(test::ReadBytes(out), sorted.Bytes());
}

}  // namespace
}  // namespace vantor
