#pragma once

// Runs the built vantorctl in a temporary folder of its own, for the tests of its commands.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {

// The whole file as text or as bytes.
template <typename Contents>
Contents ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Contents(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary) << std::string(bytes.begin(), bytes.end());
}

struct ProgramRun {
    int exitCode = -1;
    std::string out, err;
};

// Each test in a folder of its own under the system's temporary folder, removed afterwards.
class Vantorctl : public ::testing::Test {
protected:
    void SetUp() override {
        folder = (std::filesystem::temp_directory_path() / "vantor_cli_XXXXXX").string();
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // A path inside the folder.
    std::string At(const std::string& name) const { return folder + "/" + name; }
    static std::string Quoted(const std::string& path) { return "'" + path + "'"; }

    // Runs vantorctl with the arguments (paths among them in single quotes) and the environment
    // assignments given.
    ProgramRun Run(const std::string& arguments, const std::string& environment = "") const {
        return RunFrom("/dev/null", arguments, environment);
    }
    // The same with input on standard input.
    ProgramRun RunWithInput(const std::string& input, const std::string& arguments,
                            const std::string& environment = "") const {
        std::ofstream(At("stdin"), std::ios::binary) << input;
        return RunFrom(At("stdin"), arguments, environment);
    }

    std::string folder;

private:
    ProgramRun RunFrom(const std::string& in, const std::string& arguments,
                       const std::string& environment) const {
        const std::string command = environment + " '" + VANTOR_CTL_PATH + "' " + arguments +
                                    " >'" + At("stdout") + "' 2>'" + At("stderr") + "' <'" + in +
                                    "'";
        const int status = system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole<std::string>(At("stdout")),
                ReadWhole<std::string>(At("stderr"))};
    }
};

}  // namespace vantor
