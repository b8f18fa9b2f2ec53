// Several writers of the restrictions file at once, as real processes: vantorctl runs started
// together, a lock held by another process, and the dialog's OK after vantorctl changed the file.

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "cli/vantorctl_fixture.h"
#include "config/text_codec.h"
#include "monitor/delegate_restrictions_model.h"
#include "monitor/restrictions_fakes.h"
#include "platform/linux_file_store.h"

namespace vantor {
namespace {

class RestrictionsProcesses : public Vantorctl {
protected:
    void SetUp() override {
        Vantorctl::SetUp();
        file = At("VantorIPRestrictions.config");
    }

    // Starts `vantorctl restrictions --file FILE ARGS...` once the pipe gate is closed by the
    // test (or at once without a gate); its output goes to files named after tag.
    pid_t Start(const std::vector<std::string>& args, const std::string& tag,
                const int* gate = nullptr) {
        std::vector<std::string> all = {VANTOR_CTL_PATH, "restrictions", "--file", file};
        all.insert(all.end(), args.begin(), args.end());
        const std::string out = At(tag + ".out"), err = At(tag + ".err");
        const std::string bus = "unix:path=" + At("no-bus");
        const pid_t pid = fork();
        if (pid == 0) {
            if (gate != nullptr) {
                close(gate[1]);
                char byte;
                while (read(gate[0], &byte, 1) > 0) {
                }
            }
            const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(outFd, 1);
            dup2(errFd, 2);
            // No server to tell: the notification fails at once.
            setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.c_str(), 1);
            std::vector<char*> argv;
            for (std::string& arg : all) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        return pid;
    }
    static int Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ProgramRun RunOne(const std::vector<std::string>& args) {
        ProgramRun run;
        run.exitCode = Wait(Start(args, "one"));
        run.out = ReadWhole<std::string>(At("one.out"));
        run.err = ReadWhole<std::string>(At("one.err"));
        return run;
    }
    std::string Text() const { return ReadWhole<std::string>(file); }

    std::string file;
};

TEST_F(RestrictionsProcesses, WritersStartedTogetherKeepEveryChange) {
    for (const char* address : {"first.example", "r0", "r1", "r2", "r3", "r4"}) {
        ASSERT_EQ(RunOne({"add", address}).exitCode, 0);
    }
    // 20 adds, half to each list, 5 removes and 3 runs that set the mode the file has.
    std::vector<std::vector<std::string>> runs;
    for (int i = 0; i < 20; ++i) {
        runs.push_back({"add", "--list", i % 2 ? "allow" : "except", "d" + std::to_string(i)});
    }
    for (int i = 0; i < 5; ++i) {
        runs.push_back({"remove", "r" + std::to_string(i)});
    }
    for (int i = 0; i < 3; ++i) {
        runs.push_back({"mode", "except"});
    }
    int gate[2];
    ASSERT_EQ(pipe2(gate, O_CLOEXEC), 0);
    std::vector<pid_t> pids;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        pids.push_back(Start(runs[i], "w" + std::to_string(i), gate));
    }
    close(gate[0]);
    close(gate[1]);  // all of them go now
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(Wait(pids[i]), 0) << ReadWhole<std::string>(At("w" + std::to_string(i) + ".err"));
    }
    const ProgramRun list = RunOne({"list"});
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = list.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(list.out.substr(start, end - start));
    }
    std::vector<std::string> expected = {"ExceptionList", "1 first.example"};
    for (int i = 0; i < 20; ++i) {
        expected.push_back((i % 2 ? "2 d" : "1 d") + std::to_string(i));
    }
    ASSERT_FALSE(lines.empty());
    std::sort(lines.begin() + 1, lines.end());
    std::sort(expected.begin() + 1, expected.end());
    EXPECT_EQ(lines, expected);
}

TEST_F(RestrictionsProcesses, ALockHeldElsewhereMakesAChangeWaitThenGiveUp) {
    ASSERT_EQ(RunOne({"add", "kept.example"}).exitCode, 0);
    const std::string before = Text();
    // Another process holds the lock until its pipe closes.
    int ready[2], release[2];
    ASSERT_EQ(pipe2(ready, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(release, O_CLOEXEC), 0);
    const std::string lockPath = file + ".lock";
    const pid_t holder = fork();
    if (holder == 0) {
        close(ready[0]);
        close(release[1]);
        const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT, 0666);
        if (fd < 0 || flock(fd, LOCK_EX) != 0) {
            _exit(1);
        }
        char byte = 'x';
        (void)!write(ready[1], &byte, 1);
        while (read(release[0], &byte, 1) > 0) {
        }
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);

    const auto start = std::chrono::steady_clock::now();
    const ProgramRun run = RunOne({"add", "late.example"});
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "vantorctl: nothing was changed: another program is changing " + file + "\n");
    EXPECT_EQ(Text(), before);
    // It waited for the holder before giving up, rather than failing at once.
    EXPECT_GE(waited, std::chrono::seconds(4));

    close(release[1]);
    close(ready[0]);
    EXPECT_EQ(Wait(holder), 0);
    EXPECT_EQ(RunOne({"add", "late.example"}).exitCode, 0);
}

TEST_F(RestrictionsProcesses, TheDialogsOkKeepsWhatVantorctlWroteMeanwhile) {
    ASSERT_EQ(RunOne({"add", "--list", "allow", "c.example"}).exitCode, 0);
    LinuxFileStore files;
    test::RecordingPrompter prompter;
    std::u16string typed;
    DelegateRestrictionsModel model(files, FixedRestrictionsFile(file), prompter,
                                    [&typed](std::u16string& address) {
                                        address = typed;
                                        return true;
                                    });
    ASSERT_TRUE(model.OnOpen());
    typed = u"mine.example";
    model.OnAdd();
    ASSERT_EQ(RunOne({"add", "theirs.example"}).exitCode, 0);
    EXPECT_TRUE(model.OnOk());
    EXPECT_TRUE(Succeeded(model.SaveResult()));
    EXPECT_EQ(RunOne({"list"}).out,
              "ExceptionList\n1 theirs.example\n1 mine.example\n2 c.example\n");

    // The dialog would deny all but c.example, which vantorctl has just removed.
    ASSERT_TRUE(model.OnOpen());
    model.OnModeSelected(DelegateAccessMode::AllowedList);
    ASSERT_EQ(RunOne({"remove", "--list", "allow", "c.example"}).exitCode, 0);
    const std::string theirs = Text();
    EXPECT_FALSE(model.OnOk());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              u"Another program changed the restrictions file while this dialog was open, and "
              u"your changes no longer fit it (for instance, the allowed list would be empty). "
              u"Nothing was saved. The dialog now shows the file as it is, with those of your "
              u"changes that still fit.");
    EXPECT_EQ(Text(), theirs);
}

}  // namespace
}  // namespace vantor
