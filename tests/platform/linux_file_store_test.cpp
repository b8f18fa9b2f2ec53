#include "platform/linux_file_store.h"

#include <cstdint>
#include <filesystem>
#include <iterator>
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

class LinuxFileStoreTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }
    unsigned ModeOf(const std::string& path) const {
        return static_cast<unsigned>(fs::status(path).permissions());
    }
    // Entries in the folder: a temporary file left behind shows here.
    long Entries() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    QTemporaryDir temp_;
    const std::string dir_ = temp_.path().toStdString();
    LinuxFileStore store_;
};

TEST_F(LinuxFileStoreTest, ReplaceKeepsPermissionsAndReadGivesAllBytesOrNothing) {
    const mode_t oldMask = umask(027);
    const Bytes large = Pattern(300 * 1024 + 17, 3);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("config.vtr"), large));
    EXPECT_EQ(store_.ReadFile(PathOf("config.vtr")), large);
    EXPECT_EQ(ModeOf(PathOf("config.vtr")), 0640u);
    umask(022);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("other.vtr"), large));
    EXPECT_EQ(ModeOf(PathOf("other.vtr")), 0644u);
    umask(oldMask);

    // A replaced file keeps its own permissions, whatever the umask.
    ASSERT_EQ(chmod(PathOf("config.vtr").c_str(), 0604), 0);
    const Bytes small = Pattern(10, 9);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("config.vtr"), small));
    EXPECT_EQ(store_.ReadFile(PathOf("config.vtr")), small);
    EXPECT_EQ(ModeOf(PathOf("config.vtr")), 0604u);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("config.vtr"), {}));
    EXPECT_EQ(store_.ReadFile(PathOf("config.vtr")), Bytes{});

    // A link to the file stays a link; its target gets the content.
    ASSERT_EQ(symlink(PathOf("other.vtr").c_str(), PathOf("link.vtr").c_str()), 0);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("link.vtr"), small));
    EXPECT_TRUE(fs::is_symlink(PathOf("link.vtr")));
    EXPECT_EQ(store_.ReadFile(PathOf("other.vtr")), small);
    EXPECT_EQ(Entries(), 3);

    for (const std::string& path :
         {PathOf("missing.vtr"), dir_, PathOf("no/config.vtr"), std::string()}) {
        EXPECT_FALSE(store_.ReadFile(path).has_value()) << path;
    }
}

TEST_F(LinuxFileStoreTest, FailedReplaceKeepsTheOldFile) {
    EXPECT_FALSE(store_.ReplaceFile(PathOf("no-folder/config.vtr"), Pattern(10, 1)));
    EXPECT_FALSE(store_.ReplaceFile("", Pattern(10, 1)));
    ASSERT_TRUE(fs::create_directory(PathOf("folder.vtr")));
    EXPECT_FALSE(store_.ReplaceFile(PathOf("folder.vtr"), Pattern(10, 1)));
    EXPECT_TRUE(fs::is_directory(PathOf("folder.vtr")));

    const std::string path = PathOf("config.vtr");
    const Bytes old = Pattern(5000, 7);
    ASSERT_TRUE(store_.ReplaceFile(path, old));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A file-size limit makes the second write fail with EFBIG, as a full disk would.
        const rlimit limit{4096, 4096};
        signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            _exit(2);
        }
        _exit(store_.ReplaceFile(path, Pattern(64 * 1024, 1)) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced despite the limit, 2: no limit set";
    EXPECT_EQ(store_.ReadFile(path), old);
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(Entries(), 2);

    if (geteuid() != 0) {
        // Only an ordinary user is stopped by the folder's permissions.
        ASSERT_EQ(chmod(dir_.c_str(), 0500), 0);
        EXPECT_FALSE(store_.ReplaceFile(path, Pattern(10, 1)));
        ASSERT_EQ(chmod(dir_.c_str(), 0700), 0);
        EXPECT_EQ(store_.ReadFile(path), old);
    }
}

}  // namespace
}  // namespace vantor
