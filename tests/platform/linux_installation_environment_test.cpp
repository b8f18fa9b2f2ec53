#include "platform/linux_installation_environment.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "server/installation_paths.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

// Sets (or with nullopt unsets) an environment variable for the scope, restoring it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }

private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(umask(mask)) {}
    ~ScopedUmask() { umask(old_); }

private:
    mode_t old_;
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vantor-paths-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(LinuxInstallationEnvironmentTest, FixedAnswers) {
    LinuxInstallationEnvironment env;
    EXPECT_EQ(env.QueryOsVersion().version, OsVersion::Later);
    EXPECT_EQ(env.PathSeparator(), '/');
    EXPECT_FALSE(env.ReadFileVersion(env.OwnExecutablePath()).has_value());

    const std::string own = env.OwnExecutablePath();
    EXPECT_EQ(fs::path(own).filename(), "platform_tests");
    EXPECT_TRUE(fs::path(own).is_absolute());
    EXPECT_TRUE(env.PathExists(own));
    EXPECT_FALSE(env.PathExists(own + ".missing"));
}

TEST(LinuxInstallationEnvironmentTest, CommonFolderComesFromTheEnvironment) {
    LinuxInstallationEnvironment env;
    {
        ScopedEnv set(kCommonAppDataVariable, "/srv/shared");
        const FolderQueryResult folder = env.CommonAppDataFolder();
        EXPECT_EQ(folder.result, SOk);
        EXPECT_EQ(folder.path, "/srv/shared");
    }
    {
        ScopedEnv empty(kCommonAppDataVariable, "");
        EXPECT_EQ(env.CommonAppDataFolder().path, "/var/lib");
    }
    {
        ScopedEnv unset(kCommonAppDataVariable, std::nullopt);
        EXPECT_EQ(env.CommonAppDataFolder().path, "/var/lib");
    }
}

TEST(LinuxInstallationEnvironmentTest, DataFolderIsSharedAndExistingOneKept) {
    TempDir temp;
    ASSERT_FALSE(temp.Path().empty());
    ScopedEnv common(kCommonAppDataVariable, temp.Path() + "/");
    ScopedUmask mask(022);
    LinuxInstallationEnvironment env;
    const std::string folder = temp.Path() + "/Quorvane";

    EXPECT_EQ(EnsureCommonDataFolder(env), SOk);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ModeOf(folder), 0777u);

    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(EnsureCommonDataFolder(env), SOk);
    EXPECT_EQ(ModeOf(folder), 0700u);

    // A folder that cannot be made reports the system's error.
    ScopedEnv missingParent(kCommonAppDataVariable, temp.Path() + "/absent/deeper");
    EXPECT_EQ(EnsureCommonDataFolder(env), HResultFromError(ENOENT));
}

TEST(LinuxInstallationEnvironmentTest, UnreachableBusGivesNoImagePath) {
    TempDir temp;
    ASSERT_FALSE(temp.Path().empty());
    ScopedEnv bus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + temp.Path() + "/no-such-socket");
    ScopedEnv common(kCommonAppDataVariable, temp.Path());
    LinuxInstallationEnvironment env;

    EXPECT_EQ(env.ReadServiceImagePath("Vantor"), "");
    EXPECT_EQ(env.ReadServiceImagePath(""), "");
    // Asked again, the bus is tried again and is still not there.
    EXPECT_EQ(env.ReadServiceImagePath("Vantor"), "");

    // Without a known server the data files are in the common folder.
    EXPECT_EQ(LocateConfigFile(env), temp.Path() + "/Quorvane/config.vtr");
    std::string path;
    EXPECT_EQ(LocateRestrictionsFile(env, 2, path), SOk);
    EXPECT_EQ(path, temp.Path() + "/Quorvane/TavrinIPRestrictions.config");
}

}  // namespace
}  // namespace vantor
