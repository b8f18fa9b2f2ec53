#include "platform/linux_installation_environment.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "server/installation_paths.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

// Sets (or with nullptr unsets) an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        value != nullptr ? qputenv(name, value) : qunsetenv(name);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(LinuxInstallationEnvironmentTest, FixedAnswersAndTheCommonFolderVariable) {
    LinuxInstallationEnvironment env;
    EXPECT_EQ(env.QueryOsVersion().version, OsVersion::Later);
    EXPECT_EQ(env.PathSeparator(), '/');
    const std::string own = env.OwnExecutablePath();
    EXPECT_EQ(fs::path(own).filename(), "platform_tests");
    EXPECT_TRUE(fs::path(own).is_absolute());
    EXPECT_FALSE(env.ReadFileVersion(own).has_value());
    EXPECT_TRUE(env.PathExists(own));
    EXPECT_FALSE(env.PathExists(own + ".missing"));

    for (const char* value : {"/srv/shared", "", static_cast<const char*>(nullptr)}) {
        ScopedEnv set(CommonAppDataVariable, value);
        const FolderQueryResult folder = env.CommonAppDataFolder();
        EXPECT_EQ(folder.result, SOk);
        EXPECT_EQ(folder.path, value != nullptr && *value != 0 ? value : "/var/lib");
    }
}

TEST(LinuxInstallationEnvironmentTest, DataFolderIsSharedAndFilesLiveThereWithoutAServer) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const std::string root = temp.path().toStdString();
    ScopedEnv common(CommonAppDataVariable, (root + "/").c_str());
    ScopedEnv bus("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + root + "/no-such-socket").c_str());
    const mode_t oldMask = umask(022);
    LinuxInstallationEnvironment env;
    const std::string folder = root + "/Quorvane";

    EXPECT_EQ(EnsureCommonDataFolder(env), SOk);
    struct stat status {};
    ASSERT_EQ(stat(folder.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 07777, 0777u);
    umask(oldMask);
    // An existing folder keeps its rights.
    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(EnsureCommonDataFolder(env), SOk);
    ASSERT_EQ(stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);

    // No bus, no known server (asked twice: the bus is tried again): the common folder is used.
    EXPECT_EQ(env.ReadServiceImagePath("Vantor"), "");
    EXPECT_EQ(env.ReadServiceImagePath(""), "");
    EXPECT_EQ(LocateConfigFile(env), folder + "/config.vtr");
    std::string path;
    EXPECT_EQ(LocateRestrictionsFile(env, 2, path), SOk);
    EXPECT_EQ(path, folder + "/TavrinIPRestrictions.config");

    // A folder that cannot be made reports the system's error.
    ScopedEnv missingParent(CommonAppDataVariable, (root + "/absent/deeper").c_str());
    EXPECT_EQ(EnsureCommonDataFolder(env), HResultFromError(ENOENT));
}

}  // namespace
}  // namespace vantor
