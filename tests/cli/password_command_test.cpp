// `vantorctl password` run as a program: two lines in, the hash text or the dialog's message out.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "cli/config_commands.h"

namespace vantor {
namespace {

struct PasswordRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs vantorctl with arguments and input on standard input, in a temporary folder of its own.
PasswordRun RunVantorctl(const std::string& arguments, const std::string& input) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "vantor_password_XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        return {};
    }
    std::ofstream(folder + "/stdin", std::ios::binary) << input;
    const std::string command = "'" + std::string(VANTOR_CTL_PATH) + "' " + arguments + " <'" +
                                folder + "/stdin' >'" + folder + "/stdout' 2>'" + folder +
                                "/stderr'";
    const int status = system(command.c_str());
    auto read = [&](const char* name) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    PasswordRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("stdout"), read("stderr")};
    std::filesystem::remove_all(folder);
    return run;
}

TEST(VantorctlPassword, PrintsTheHashTextOrTheDialogsMessage) {
    const struct {
        std::string input;
        PasswordRun expected;
    } cases[] = {
        {"abcde\nabcde\n", {ExitOk, "03de6c570bfe24bfc328ccd7ca46b76eadaf4334\n", ""}},
        // CRLF lines, and UTF-8 input turned into the code page's bytes (é is 0xE9).
        {"caf\xC3\xA9!\r\ncaf\xC3\xA9!\r\n",
         {ExitOk, "70040efe31485dbc330de05155fc8db3f0a321c0\n", ""}},
        {"abcde\nabcde", {ExitOk, "03de6c570bfe24bfc328ccd7ca46b76eadaf4334\n", ""}},
        {"abcd\nabcd\n", {ExitFailure, "", "The minimal password length is 5 characters\n"}},
        {"abcde\nABCDE\n", {ExitFailure, "", "Confirmed password is incorrect!\n"}},
        {"abcde\n", {ExitFailure, "", "Confirmed password is incorrect!\n"}},
        {"", {ExitFailure, "", "The minimal password length is 5 characters\n"}},
    };
    for (const auto& c : cases) {
        const PasswordRun run = RunVantorctl("password", c.input);
        EXPECT_EQ(run.exitCode, c.expected.exitCode) << c.input;
        EXPECT_EQ(run.out, c.expected.out) << c.input;
        EXPECT_EQ(run.err, c.expected.err) << c.input;
    }
}

TEST(VantorctlPassword, RefusesAPasswordOnTheCommandLine) {
    const PasswordRun run = RunVantorctl("password abcde", "abcde\nabcde\n");
    EXPECT_EQ(run.exitCode, ExitUsage);
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace vantor
