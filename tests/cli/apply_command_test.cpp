// vantorctl dump and apply run as a program on files: the plan, the bytes written, compared with
// what the window's commands write, and the refusals that write nothing.

#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/config_commands.h"
#include "cli/document_commands.h"
#include "cli/vantorctl_fixture.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_literals;

// What tells a file that was replaced from one left alone.
std::tuple<ino_t, std::int64_t, std::int64_t> Identity(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return {st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

class Apply : public Vantorctl {
protected:
    std::string Doc(const std::string& text) const {
        std::ofstream(At("doc.yaml"), std::ios::binary) << text;
        return Quoted(At("doc.yaml"));
    }
    std::string DocName() const { return At("doc.yaml"); }
};

TEST_F(Apply, EachDocumentPlansAndWritesWhatTheWindowWrites) {
    const std::string path = At("config.vtr");
    struct Case {
        std::string document;
        std::string options;
        std::string plan;
        std::function<void(test::WindowFlow&)> inWindow;
    };
    const Case cases[] = {
        {"folders:\n  - name: zulu\n    description: new\n", "",
         // The folder editor stores no archival notice for a folder, and the plan says so.
         "~ folder \"zulu\": description: \"about zulu\" -> \"new\"\n"
         "~ folder \"zulu\": notifyArchival: true -> false\n",
         [](test::WindowFlow& window) {
             window.clicks = [](FolderEditorModel& editor) { editor.SetDescriptionText(u"new"); };
             window.Select(u"zulu");
             window.commands.NewOrEditFolder(EditSelectedParameter);
         }},
        // Left empty, the group is the one the editor reserves on opening.
        {"folders:\n  - name: Extra\n    source: /srv/extra\n", "", "+ folder \"Extra\"\n",
         [](test::WindowFlow& window) {
             window.clicks = [](FolderEditorModel& editor) {
                 editor.SetNameText(u"Extra");
                 editor.OnBrowseResult(u"/srv/extra");
             };
             window.commands.NewOrEditFolder(NewResourceParameter);
         }},
        {"folders:\n  - name: Extra\n    source: /srv/extra\n    multicast: false\n"
         "    userGroups: [basic]\n    authMethod: internal\n    maxThroughputKBps: 64\n",
         "", "+ folder \"Extra\"\n",
         [](test::WindowFlow& window) {
             window.clicks = [](FolderEditorModel& editor) {
                 editor.SetNameText(u"Extra");
                 editor.OnBrowseResult(u"/srv/extra");
                 editor.OnMulticastClicked(false);
                 editor.Access().OnMethodSelected(AuthMethod::Internal);
                 editor.Access().OnGroupToggled(AccessControl::MediumUsers, false);
                 editor.Access().OnGroupToggled(AccessControl::AdvancedUsers, false);
                 editor.Limits().OnPairToggled(LimitPair::Throughput, true);
                 editor.Limits().SetEditText(LimitPair::Throughput, u"64");
             };
             window.commands.NewOrEditFolder(NewResourceParameter);
         }},
        // A name that differs only in case is the same resource, renamed.
        {"folders:\n  - name: ALPHA\n    enabled: true\n", "",
         "~ folder \"Alpha\": name: \"Alpha\" -> \"ALPHA\"\n"
         "~ folder \"Alpha\": enabled: false -> true\n"
         "~ folder \"Alpha\": notifyArchival: true -> false\n",
         [](test::WindowFlow& window) {
             window.clicks = [](FolderEditorModel& editor) { editor.SetNameText(u"ALPHA"); };
             window.Select(u"Alpha");
             window.commands.NewOrEditFolder(EditSelectedParameter);
             window.commands.ToggleEnabled();
         }},
        {"folders:\n  - name: zulu\n  - name: Films\n  - name: Alpha\n", "--prune",
         "- live \"News\"\n",
         [](test::WindowFlow& window) {
             window.Select(u"News");
             window.prompter.answers = {true};
             window.commands.Delete();
         }},
        {"server:\n  playerPort: \"8080\"\n  defaultAuthMethod: anonymous\n", "",
         "~ server: playerPort: \"6001\" -> \"8080\"\n"
         "~ server: defaultAuthMethod: internal -> anonymous\n",
         [](test::WindowFlow& window) {
             window.store.Server().playerPort = u"8080";
             window.defaultAuthMethod = AuthMethod::Anonymous;
             window.store.SaveConfiguration();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        test::WindowFlow window(SampleResources());
        c.inWindow(window);
        ASSERT_NE(window.Bytes(), SampleResources());

        WriteWhole(path, SampleResources());
        const std::string arguments =
            "apply " + Doc(c.document) + " " + c.options + " --file " + Quoted(path);
        ProgramRun run = Run(arguments + " --check");
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitChangesPlanned, c.plan, ""s));
        EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources());

        run = Run(arguments);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, c.plan, ""s));
        EXPECT_EQ(ReadWhole<Bytes>(path), window.Bytes());

        // The second run finds nothing to do.
        run = Run(arguments + " --check");
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s));
    }
}

TEST_F(Apply, EveryRefusalIsListedAndNoByteIsWritten) {
    const std::string path = At("config.vtr");
    WriteWhole(path, SampleResources());
    const auto before = Identity(path);
    const std::string doc =
        Doc("folders:\n"
            "  - name: zulu\n"
            "    source: \"\"\n"
            "  - name: Extra\n"
            "    source: /srv/extra\n"
            "  - name: Films\n"
            "    multicastGroup: \"226.0.0.1\"\n"
            "live:\n"
            "  - name: News\n"
            "    type: static\n"
            "    description: changed\n"
            "  - name: \"Bad*Name\"\n"
            "    type: static\n"
            "    source: \"1@10.0.0.1\"\n"
            "  - name: Alpha\n"
            "    type: static\n"
            "    source: \"1@10.0.0.1\"\n"
            "server:\n"
            "  playerPort: \"\"\n");
    const std::string refusals =
        DocName() + ":2: zulu: No physical path is chosen\n" + DocName() +
        ":6: Films: No port is specified in the multicast group\n" + DocName() +
        ":9: News: No live source IP address is specified\n" + DocName() +
        ":12: Bad*Name: Live broadcast name can not contain characters \"*/\\\"\n" + DocName() +
        ":15: Alpha: Resource with this name already exists. Choose different name\n" + DocName() +
        ":18: server: No port for client connections is specified\n";
    for (const std::string& check : {" --check"s, ""s}) {
        const ProgramRun run = Run("apply " + doc + check + " --file " + Quoted(path));
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
                  std::tuple(ExitFailure, ""s, refusals));
    }
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources());
    EXPECT_EQ(Identity(path), before);
}

// A document from a pipe (`apply <(git show ...)`) is read as it comes, not held whole first.
TEST_F(Apply, ADocumentFromAPipeIsReadAsItComes) {
    const std::string path = At("config.vtr");
    WriteWhole(path, SampleResources());
    const std::string pipe = At("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::thread writer([&pipe] {
        const int fd = open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
        const std::string text = "folders:\n  - name: zulu\n    colour: red\n";
        EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
    });
    // Bounded: a program that opened the pipe and let go of it again, with what was written
    // lost, would wait for another writer.
    const ProgramRun run = Run("apply " + Quoted(pipe) + " --file " + Quoted(path), "timeout 20");
    // A program that never opened the pipe leaves the writer waiting for a reader.
    const int unblock = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    writer.join();
    close(unblock);
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitUsage, ""s, pipe + ":3:13: folder: unknown field \"colour\"\n"));
}

TEST_F(Apply, AnUnreadableDocumentIsAUsageError) {
    const std::string path = At("config.vtr");
    WriteWhole(path, SampleResources());
    ProgramRun run = Run("apply " + Doc("folders:\n  - name: zulu\n    colour: red\n") +
                         " --file " + Quoted(path));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitUsage, ""s, DocName() + ":3:13: folder: unknown field \"colour\"\n"));
    run = Run("apply " + Quoted(At("missing.yaml")) + " --file " + Quoted(path));
    EXPECT_EQ(
        std::tuple(run.exitCode, run.out, run.err),
        std::tuple(ExitUsage, ""s, "vantorctl: " + At("missing.yaml") + ": cannot be read\n"));
    // A folder opens as a file but cannot be read.
    run = Run("apply " + Quoted(At("")) + " --file " + Quoted(path));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitUsage, ""s, "vantorctl: " + At("") + ": cannot be read\n"));
    // The configuration is opened while the document is read; what it says of a file that
    // cannot be read waits behind the document's own errors.
    run = Run("apply " + Doc("folders:\n  - name: zulu\n    colour: red\n") + " --file " +
              Quoted(At("")));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitUsage, ""s, DocName() + ":3:13: folder: unknown field \"colour\"\n"));
    run = Run("apply " + Doc("folders: []\n") + " --file " + Quoted(At("")));
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitFailure, ""s, "vantorctl: " + At("") + ": cannot be read\n"));
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources());
}

TEST_F(Apply, TheDumpOfAFileAppliedToItselfChangesNothing) {
    const std::string path = At("config.vtr");
    WriteWhole(path, SampleResources());
    const auto before = Identity(path);
    const ProgramRun dump = Run("dump --file " + Quoted(path));
    ASSERT_EQ(dump.exitCode, ExitOk) << dump.err;
    for (const std::string& options : {" --check"s, ""s, " --prune"s}) {
        // From standard input this time.
        const ProgramRun run = Run("apply -" + options + " --file " + Quoted(path), "", dump.out);
        EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s));
    }
    EXPECT_EQ(Identity(path), before);
}

// A live broadcast record of every type the editors make, with every field the version stores.
void Broadcast(test::ConfigBytes& bytes, std::uint32_t version, std::u16string_view name,
               std::u16string_view source, std::u16string_view group) {
    bytes.U8(2).U8(1).U8(7).U8(0x07).U8(group.empty() ? 0 : 1).U8(0).U8(0).U32(45);
    // Quotes, a backslash and control characters, which JSON spells as escapes.
    bytes.Str(name).Str(source).Str(u"about \"it\"\t\u0001 \\").Str(group);
    if (version >= 55) {
        bytes.Str(u"Title").Str(u"Author").Str(u"(c)");
    }
    if (version >= 60) {
        bytes.U32(5).U32(1).U32(64).U8(1);
    }
}

TEST_F(Apply, ADumpAppliedToNoFileWritesTheSameBytes) {
    for (const std::uint32_t version : {50u, 55u, 60u}) {
        SCOPED_TRACE(version);
        test::ConfigBytes bytes;
        bytes.Header(version)
            .Record(version, 1, u"zulu")
            .Record(version, 1, u"Films", u"226.0.0.1:6000")
            .Record(version, 1, u"Alpha", u"", 0x09);
        Broadcast(bytes, version, u"Static", u"7@10.0.0.1", u"225.0.0.1:5000");
        Broadcast(bytes, version, u"Dynamic", u"0@5BAA61E4C9B93F3F0682250B6CF8331B7EE68FD8", u"");
        Broadcast(bytes, version, u"Delegate", u"vtr://https:relay.example:443/news", u"");
        const std::string original = At("original.vtr");
        const std::string copy = At("copy.vtr");
        std::filesystem::remove(copy);
        WriteWhole(original, bytes.Bytes());
        ASSERT_EQ(Run("normalize " + Quoted(original) + " " + Quoted(At("saved.vtr"))).exitCode,
                  ExitOk);

        for (const char* format : {"yaml", "json"}) {
            SCOPED_TRACE(format);
            std::filesystem::remove(copy);
            const ProgramRun dump = Run("dump --format "s + format + " --file " + Quoted(original));
            ASSERT_EQ(dump.exitCode, ExitOk) << dump.err;
            if (std::string(format) == "json") {
                // JSON as a JSON parser takes it, not only as YAML reads it.
                EXPECT_TRUE(nlohmann::json::accept(dump.out));
            }
            const ProgramRun run = Run("apply - --file " + Quoted(copy), "", dump.out);
            EXPECT_EQ(run.exitCode, ExitOk) << run.err;
            EXPECT_EQ(ReadWhole<Bytes>(copy), ReadWhole<Bytes>(At("saved.vtr")));
        }
    }
}

TEST_F(Apply, ABroadcastTheEditorWouldRefuseIsRefusedOnTheWayBackToo) {
    // The sample's broadcast has a source without an ID; only its own file keeps it.
    const std::string path = At("config.vtr");
    WriteWhole(path, SampleResources());
    const ProgramRun dump = Run("dump --file " + Quoted(path));
    const ProgramRun run = Run("apply - --file " + Quoted(At("new.vtr")), "", dump.out);
    EXPECT_EQ(run.exitCode, ExitFailure);
    EXPECT_NE(run.err.find("-:"), std::string::npos);
    EXPECT_NE(run.err.find(": News: No live source IP address is specified\n"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(At("new.vtr")));
}

TEST_F(Apply, RestrictionsAreMadeAsTheDialogMakesThem) {
    const std::string path = At("config.vtr");
    const std::string restrictions = At("restrictions.config");
    WriteWhole(path, SampleResources());
    const std::string options =
        " --file " + Quoted(path) + " --restrictions " + Quoted(restrictions);
    const std::string doc =
        Doc("restrictions:\n  mode: AllowedList\n  exceptions: [bad.example]\n"
            "  allowed: [\" 10.0.0.9 \", relay]\n");
    const std::string plan =
        "+ restrictions: exceptions: \"bad.example\"\n"
        "+ restrictions: allowed: \"10.0.0.9\"\n"
        "+ restrictions: allowed: \"relay\"\n"
        "~ restrictions: mode: ExceptionList -> AllowedList\n";
    ProgramRun run = Run("apply " + doc + " --check" + options);
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitChangesPlanned, plan, ""s));
    EXPECT_FALSE(std::filesystem::exists(restrictions));
    run = Run("apply " + doc + options);
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, plan, ""s));
    // The file as the dialog writes it, and the configuration untouched.
    EXPECT_EQ(ReadWhole<std::string>(restrictions),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<IPRestrictionsConfig "
              "xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\"><AccessMode "
              "Active=\"AllowedList\"/><ExceptionMediaServerList><Address>bad.example</Address>"
              "</ExceptionMediaServerList><AllowedMediaServerList><Address>10.0.0.9</Address>"
              "<Address>relay</Address></AllowedMediaServerList></IPRestrictionsConfig>\n");
    EXPECT_EQ(ReadWhole<Bytes>(path), SampleResources());
    const auto written = Identity(restrictions);

    // What dump prints applies as nothing to do; a list left out keeps its rows.
    const ProgramRun dump = Run("dump" + options);
    EXPECT_NE(dump.out.find("restrictions:\n  mode: AllowedList\n  exceptions: [\"bad.example\"]\n"
                            "  allowed: [\"10.0.0.9\", \"relay\"]\n"),
              std::string::npos);
    run = Run("apply -" + options, "", dump.out);
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err), std::tuple(ExitOk, ""s, ""s));
    run = Run("apply -" + options, "", "restrictions:\n  exceptions: []\n");
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitOk, "- restrictions: exceptions: \"bad.example\"\n"s, ""s));
    EXPECT_NE(Identity(restrictions), written);

    // Denying every delegate is refused, as the dialog's OK is disabled then.
    const auto before = Identity(restrictions);
    run = Run("apply -" + options, "", "restrictions:\n  allowed: []\n");
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitFailure, ""s,
                         "-:1: restrictions: the allowed list is empty; add an address to it (add "
                         "--list allow ADDRESS) before denying every other delegate\n"s));
    EXPECT_EQ(Identity(restrictions), before);
    // A test configuration is not the server's: its restrictions are left alone.
    run = Run("apply - --file " + Quoted(path), "", "restrictions:\n  mode: ExceptionList\n");
    EXPECT_EQ(std::tuple(run.exitCode, run.out, run.err),
              std::tuple(ExitOk, ""s,
                         "vantorctl: note: the restrictions are left alone with --file; give "
                         "--restrictions FILE\n"s));
    EXPECT_EQ(Identity(restrictions), before);
}

}  // namespace
}  // namespace vantor
