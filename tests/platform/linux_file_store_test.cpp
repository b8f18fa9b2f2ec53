#include "platform/linux_file_store.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantor {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class LinuxFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vantor-store-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }

    void WriteRaw(const std::string& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good());
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static mode_t ModeOf(const std::string& path) {
        struct stat status {};
        EXPECT_EQ(stat(path.c_str(), &status), 0);
        return status.st_mode & 07777;
    }

    static Bytes Pattern(std::size_t size, std::uint8_t seed) {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<std::uint8_t>(seed + i * 31 + (i >> 8));
        }
        return bytes;
    }

    std::string dir_;
    LinuxFileStore store_;
};

TEST_F(LinuxFileStoreTest, ReadGivesAllBytesOrNothing) {
    const Bytes large = Pattern(300 * 1024 + 17, 3);
    WriteRaw(PathOf("large.vtr"), large);
    EXPECT_EQ(store_.ReadFile(PathOf("large.vtr")), large);

    WriteRaw(PathOf("empty.vtr"), {});
    const auto empty = store_.ReadFile(PathOf("empty.vtr"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());

    EXPECT_FALSE(store_.ReadFile(PathOf("missing.vtr")).has_value());
    EXPECT_FALSE(store_.ReadFile(dir_).has_value());
    EXPECT_FALSE(store_.ReadFile(PathOf("no-folder/config.vtr")).has_value());
    EXPECT_FALSE(store_.ReadFile("").has_value());
}

TEST_F(LinuxFileStoreTest, ReplaceCreatesOrReplacesKeepingPermissions) {
    const mode_t oldMask = umask(027);
    const Bytes first = Pattern(1000, 1);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("config.vtr"), first));
    EXPECT_EQ(store_.ReadFile(PathOf("config.vtr")), first);
    EXPECT_EQ(ModeOf(PathOf("config.vtr")), 0640u);

    umask(022);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("other.vtr"), first));
    EXPECT_EQ(ModeOf(PathOf("other.vtr")), 0644u);
    umask(oldMask);

    ASSERT_EQ(chmod(PathOf("config.vtr").c_str(), 0604), 0);
    const Bytes second = Pattern(10, 9);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("config.vtr"), second));
    EXPECT_EQ(store_.ReadFile(PathOf("config.vtr")), second);
    EXPECT_EQ(ModeOf(PathOf("config.vtr")), 0604u);

    EXPECT_TRUE(store_.ReplaceFile(PathOf("config.vtr"), {}));
    EXPECT_EQ(fs::file_size(PathOf("config.vtr")), 0u);

    // A link to the file stays a link; its target gets the content.
    ASSERT_EQ(symlink(PathOf("other.vtr").c_str(), PathOf("link.vtr").c_str()), 0);
    EXPECT_TRUE(store_.ReplaceFile(PathOf("link.vtr"), second));
    EXPECT_TRUE(fs::is_symlink(PathOf("link.vtr")));
    EXPECT_EQ(store_.ReadFile(PathOf("other.vtr")), second);

    EXPECT_EQ(Names(), (std::vector<std::string>{"config.vtr", "link.vtr", "other.vtr"}));
}

TEST_F(LinuxFileStoreTest, UnwritableTargetFailsAndKeepsTheOldFile) {
    EXPECT_FALSE(store_.ReplaceFile(PathOf("no-folder/config.vtr"), Pattern(10, 1)));
    EXPECT_FALSE(store_.ReplaceFile("", Pattern(10, 1)));

    ASSERT_TRUE(fs::create_directory(PathOf("config.vtr")));
    EXPECT_FALSE(store_.ReplaceFile(PathOf("config.vtr"), Pattern(10, 1)));
    EXPECT_TRUE(fs::is_directory(PathOf("config.vtr")));
    EXPECT_EQ(Names(), std::vector<std::string>{"config.vtr"});

    if (geteuid() != 0) {
        // Only an ordinary user is stopped by the folder's permissions.
        const Bytes old = Pattern(100, 5);
        const std::string locked = PathOf("locked");
        ASSERT_TRUE(fs::create_directory(locked));
        WriteRaw(locked + "/config.vtr", old);
        ASSERT_EQ(chmod(locked.c_str(), 0500), 0);
        EXPECT_FALSE(store_.ReplaceFile(locked + "/config.vtr", Pattern(10, 1)));
        EXPECT_EQ(store_.ReadFile(locked + "/config.vtr"), old);
        ASSERT_EQ(chmod(locked.c_str(), 0700), 0);
    }
}

TEST_F(LinuxFileStoreTest, ShortWriteFailsAndKeepsTheOldFile) {
    const std::string path = PathOf("config.vtr");
    const Bytes old = Pattern(5000, 7);
    WriteRaw(path, old);
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
    EXPECT_EQ(Names(), std::vector<std::string>{"config.vtr"});
}

}  // namespace
}  // namespace vantor
