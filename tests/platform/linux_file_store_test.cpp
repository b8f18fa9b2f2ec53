#include "platform/linux_file_store.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vantor {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Varies with the position, so a misplaced block shows.
Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 31 + (i >> 8));
    }
    return bytes;
}

TEST(LinuxFileStore, ReplaceIsAllOrNothingAndKeepsPermissionsAndLinks) {
    const QTemporaryDir temp;
    const std::string dir = temp.path().toStdString(), path = dir + "/config.vtr";
    const auto mode = [&] { return static_cast<unsigned>(fs::status(path).permissions()); };
    // Entries in the folder: a temporary file left behind shows here.
    const auto entries = [&] { return std::distance(fs::directory_iterator(dir), {}); };
    LinuxFileStore store;
    const Bytes large = Pattern(300 * 1024 + 17, 3), small = Pattern(10, 9);
    // A new file is writable by everyone, as the shared data folder is, whatever the umask.
    const mode_t oldMask = umask(077);
    EXPECT_TRUE(store.ReplaceFile(path, large));
    umask(oldMask);
    EXPECT_EQ(mode(), 0666u);
    EXPECT_EQ(store.ReadFile(path), large);
    // A replaced file keeps its own permissions, whatever the umask; a link stays a link.
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    EXPECT_TRUE(store.ReplaceFile(path, {}));
    EXPECT_EQ(store.ReadFile(path), Bytes{});
    ASSERT_EQ(symlink(path.c_str(), (dir + "/link.vtr").c_str()), 0);
    EXPECT_TRUE(store.ReplaceFile(dir + "/link.vtr", small));
    EXPECT_TRUE(fs::is_symlink(dir + "/link.vtr"));
    EXPECT_EQ(store.ReadFile(path), small);
    EXPECT_EQ(mode(), 0604u);
    ASSERT_TRUE(fs::create_directory(dir + "/folder.vtr"));
    for (const std::string& bad : {dir + "/no/config.vtr", std::string(), dir + "/folder.vtr"}) {
        EXPECT_FALSE(store.ReplaceFile(bad, small)) << bad;
        EXPECT_FALSE(store.ReadFile(bad).has_value()) << bad;
    }
    EXPECT_FALSE(store.ReadFile(dir + "/missing.vtr").has_value());
    EXPECT_TRUE(fs::is_directory(dir + "/folder.vtr"));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A file-size limit makes a write fail with EFBIG, as a full disk would.
        const rlimit limit{4096, 4096};
        signal(SIGXFSZ, SIG_IGN);
        _exit(setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 2 : store.ReplaceFile(path, large) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced despite the limit, 2: no limit set";
    EXPECT_EQ(store.ReadFile(path), small);
    EXPECT_EQ(mode(), 0604u);
    EXPECT_EQ(entries(), 3);
}

TEST(LinuxFileStore, TheUpdateLockKeepsOutOtherProcessesThroughAnyPath) {
    const QTemporaryDir temp;
    const std::string dir = temp.path().toStdString(), path = dir + "/config.vtr";
    LinuxFileStore store(std::chrono::milliseconds(300));
    ASSERT_TRUE(store.ReplaceFile(path, Pattern(10, 1)));
    ASSERT_EQ(symlink(path.c_str(), (dir + "/link.vtr").c_str()), 0);

    // A child takes the lock through the link, says so, and holds it until the pipe closes.
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const mode_t oldMask = umask(077);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        close(release[1]);  // else the read below never sees the parent close its end
        LockResult held = store.LockForUpdate(dir + "/link.vtr");
        const char status = held.status == LockStatus::Locked ? 'L' : 'x';
        char ignored = 0;
        _exit(write(ready[1], &status, 1) == 1 && read(release[0], &ignored, 1) >= 0 ? 0 : 1);
    }
    umask(oldMask);
    close(ready[1]);
    close(release[0]);
    char status = 0;
    ASSERT_EQ(read(ready[0], &status, 1), 1);
    EXPECT_EQ(status, 'L');
    // Shared as the data files are, whatever the umask of the one that made it.
    EXPECT_EQ(static_cast<unsigned>(fs::status(path + ".lock").permissions()), 0666u);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(store.LockForUpdate(path).status, LockStatus::Busy);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    close(release[1]);
    int exitStatus = 0;
    ASSERT_EQ(waitpid(child, &exitStatus, 0), child);
    LockResult mine = store.LockForUpdate(path);
    EXPECT_EQ(mine.status, LockStatus::Locked);
    // A folder where no lock file can be made: no lock, and no waiting for one.
    EXPECT_EQ(store.LockForUpdate(dir + "/no/config.vtr").status, LockStatus::Unavailable);
}

TEST(LinuxFileStore, AStampMovesWithEveryReplaceAndOnlyThen) {
    const QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/config.vtr";
    LinuxFileStore store;
    EXPECT_EQ(store.Stamp(path), std::nullopt);
    ASSERT_TRUE(store.ReplaceFile(path, Pattern(10, 1)));
    const std::optional<FileStamp> first = store.Stamp(path);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(store.Stamp(path), first);
    // The same bytes again are still a new version of the file.
    ASSERT_TRUE(store.ReplaceFile(path, Pattern(10, 1)));
    EXPECT_NE(store.Stamp(path), first);
}

// A file of the user's own gets the mode the umask leaves, and keeps its own when replaced.
TEST(LinuxFileStore, UserFilesTakeTheUmask) {
    const QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/page.html";
    const auto mode = [&] { return static_cast<unsigned>(fs::status(path).permissions()); };
    LinuxFileStore store;
    const Bytes page = Pattern(100, 5);
    const mode_t oldMask = umask(077);
    EXPECT_TRUE(store.ReplaceUserFile(path, page));
    EXPECT_EQ(mode(), 0600u);
    umask(022);
    EXPECT_TRUE(store.ReplaceUserFile(path, {}));
    EXPECT_EQ(mode(), 0600u);
    fs::remove(path);
    EXPECT_TRUE(store.ReplaceUserFile(path, page));
    umask(oldMask);
    EXPECT_EQ(mode(), 0644u);
    EXPECT_EQ(store.ReadFile(path), page);
}

}  // namespace
}  // namespace vantor
