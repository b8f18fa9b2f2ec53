#include "platform/linux_installation_environment.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "server/installation_paths.h"

namespace vantor {
namespace {

unsigned FolderMode(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? status.st_mode & 07777 : 0;
}

TEST(LinuxInstallationEnvironmentTest, DataFolderIsSharedAndFilesLiveThereWithoutAServer) {
    LinuxInstallationEnvironment env;
    const std::string own = env.OwnExecutablePath();
    EXPECT_EQ(own, std::filesystem::canonical("/proc/self/exe"));
    EXPECT_TRUE(env.PathExists(own));
    EXPECT_FALSE(env.PathExists(own + ".missing"));
    // The variables set here are read by nothing else in this program.
    qunsetenv(CommonAppDataVariable);
    EXPECT_EQ(env.CommonAppDataFolder().path, "/var/lib");
    qputenv(CommonAppDataVariable, "");
    EXPECT_EQ(env.CommonAppDataFolder().path, "/var/lib");

    QTemporaryDir temp;
    const std::string root = temp.path().toStdString(), folder = root + "/Quorvane";
    qputenv(CommonAppDataVariable, (root + "/").c_str());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + root + "/no-such-socket").c_str());
    const mode_t oldMask = umask(022);
    EXPECT_EQ(EnsureCommonDataFolder(env), SOk);
    umask(oldMask);
    EXPECT_EQ(FolderMode(folder), 0777u);
    // An existing folder keeps its rights.
    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(EnsureCommonDataFolder(env), SOk);
    EXPECT_EQ(FolderMode(folder), 0700u);

    // No bus, no known server (asked twice: the bus is tried again): the common folder is used.
    EXPECT_EQ(env.ReadServiceImagePath("Vantor"), "");
    EXPECT_EQ(env.ReadServiceImagePath("Vantor"), "");
    EXPECT_EQ(LocateConfigFile(env), folder + "/config.vtr");

    // A folder that cannot be made reports the system's error.
    qputenv(CommonAppDataVariable, (root + "/absent/deeper").c_str());
    EXPECT_EQ(EnsureCommonDataFolder(env), HResultFromError(ENOENT));
    qunsetenv(CommonAppDataVariable);
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
}  // namespace vantor
