// `vantorctl password` run as a program: two lines in, the hash text or the
// dialog's message out.

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "cli/config_commands.h"
#include "cli/vantorctl_fixture.h"

namespace vantor {
namespace {

TEST_F(Vantorctl, PasswordPrintsTheHashTextOrTheDialogsMessage) {
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {"abcde\nabcde\n", ExitOk, "03de6c570bfe24bfc328ccd7ca46b76eadaf4334\n", ""},
        // CRLF lines, and UTF-8 input turned into the code page's bytes (é is
        // 0xE9).
        {"caf\xC3\xA9!\r\ncaf\xC3\xA9!\r\n", ExitOk, "70040efe31485dbc330de05155fc8db3f0a321c0\n",
         ""},
        {"abcde\nABCDE\n", ExitFailure, "", "Confirmed password is incorrect!\n"},
    };
    for (const auto& [input, exitCode, out, err] : cases) {
        const ProgramRun run = Run("password", "", input);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(exitCode, out, err))
            << input;
    }
}

}  // namespace
}  // namespace vantor
