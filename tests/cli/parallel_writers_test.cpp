// Many vantorctl runs writing one config.vtr at once, and a run that finds the file locked by
// another program: every change is kept, or refused with a word, never lost in silence.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/vantorctl_fixture.h"
#include "config/config_file.h"
#include "config/text_codec.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::set<std::string> NamesIn(const std::string& path) {
    std::set<std::string> names;
    for (const ResourceRecord& record : ReadConfigFile(ReadWhole<Bytes>(path)).records) {
        names.insert(Utf16ToUtf8(record.name));
    }
    return names;
}

TEST_F(Vantorctl, WritersStartedAtOnceEachKeepTheirResource) {
    const std::string config = At("config.vtr");
    WriteWhole(config, SampleResources());
    std::filesystem::create_directory(At("media"));
    // 20 folders and 10 broadcasts, all started before any has finished; each records its exit
    // code beside the file.
    const std::string ctl = std::string("'") + VANTOR_CTL_PATH + "'";
    const std::string script =
        "cd " + Quoted(folder) + " && for i in $(seq 1 20); do (" + ctl +
        " folder add \"Folder $i\" --path media --file config.vtr 2>err.f$i; echo $? >rc.f$i) & "
        "done; for i in $(seq 1 10); do (" +
        ctl +
        " live add \"Live $i\" --address 10.0.0.$i --file config.vtr 2>err.l$i; "
        "echo $? >rc.l$i) & done; wait";
    ASSERT_EQ(system(("bash -c " + Quoted(script)).c_str()), 0);

    std::set<std::string> expected = {"zulu", "Films", "News", "Alpha"};
    for (int i = 1; i <= 20; ++i) {
        expected.insert("Folder " + std::to_string(i));
        EXPECT_EQ(ReadWhole<std::string>(At("rc.f" + std::to_string(i))), "0\n")
            << ReadWhole<std::string>(At("err.f" + std::to_string(i)));
    }
    for (int i = 1; i <= 10; ++i) {
        expected.insert("Live " + std::to_string(i));
        EXPECT_EQ(ReadWhole<std::string>(At("rc.l" + std::to_string(i))), "0\n")
            << ReadWhole<std::string>(At("err.l" + std::to_string(i)));
    }
    EXPECT_EQ(NamesIn(config), expected);
}

TEST_F(Vantorctl, AWriterWaitsForAHeldLockThenGivesUpChangingNothing) {
    const std::string config = At("config.vtr");
    WriteWhole(config, SampleResources());
    const Bytes before = ReadWhole<Bytes>(config);
    std::filesystem::create_directory(At("media"));
    // Another program holds the lock for a moment: the writer waits its turn and succeeds.
    const std::string brief = "flock " + Quoted(config + ".lock") + " sleep 1 & sleep 0.2; ";
    const ProgramRun waited =
        Run("folder add Late --path " + Quoted(At("media")) + " --file " + Quoted(config), brief);
    EXPECT_EQ(waited.exitCode, 0) << waited.err;
    EXPECT_EQ(NamesIn(config).count("Late"), 1u);

    // It holds the lock for longer than a writer waits: the writer says so and writes nothing.
    const Bytes held = ReadWhole<Bytes>(config);
    const std::string hold = "flock " + Quoted(config + ".lock") + " sleep 8 & sleep 0.2; ";
    const auto started = std::chrono::steady_clock::now();
    const ProgramRun refused =
        Run("folder add Never --path " + Quoted(At("media")) + " --file " + Quoted(config), hold);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err,
              "vantorctl: Another program is changing the configuration file. Nothing was "
              "changed; try again in a moment.\n");
    EXPECT_EQ(ReadWhole<Bytes>(config), held);
    EXPECT_NE(held, before);
}

}  // namespace
}  // namespace vantor
