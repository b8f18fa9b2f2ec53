// The built vantorctl, for what only its main() decides: the command line.

#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

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
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = test::ReadText(out);
    run.err = test::ReadText(err);
    return run;
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
    bytes.U32(60).BaseHeader().Str(u"hash").Str(u"eth0").Str(u"").Str(u"");
    bytes.BaseRecord(1, u"zeta").NewerRecordFields();
    bytes.BaseRecord(1, u"Alpha").NewerRecordFields();
    test::WriteBytes(path, bytes.Bytes());

    ProgramRun run = Vantorctl(folder, "show --json '" + path + "'");
    EXPECT_EQ(run.exitCode, ExitOk) << run.err;
    const auto alpha = run.out.find("\"displayText\": \"Alpha\"");
    const auto zeta = run.out.find("\"displayText\": \"zeta\"");
    ASSERT_NE(alpha, std::string::npos) << run.out;
    ASSERT_NE(zeta, std::string::npos) << run.out;
    EXPECT_LT(alpha, zeta);

    run = Vantorctl(folder, "show '" + folder / "missing.vtr" + "'");
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_NE(run.err.find("missing.vtr: no such file"), std::string::npos) << run.err;

    const std::string out = folder / "out.vtr";
    run = Vantorctl(folder, "normalize '" + path + "' '" + out + "'");
    EXPECT_EQ(run.exitCode, ExitOk) << run.err;
    EXPECT_EQ(test::ReadBytes(path), bytes.Bytes());
    const std::vector<std::uint8_t> normalised = test::ReadBytes(out);
    ASSERT_GE(normalised.size(), 4u);
    EXPECT_EQ(normalised[0], 60);
}

}  // namespace
}  // namespace vantor
