#include "sim/config_reloader.h"

#include <cstdint>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "config/config_file.h"

namespace vantor::sim {
namespace {

bool WriteFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

TEST(ConfigReloader, RemembersWhatTheLastReadableFileHeld) {
    EXPECT_EQ(ConfigFilePath("/srv/data/"), "/srv/data/Quorvane/config.vtr");
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("Quorvane"));
    ConfigReloader reloader(ConfigFilePath(dir.path()));
    EXPECT_EQ(reloader.Path(), dir.path() + "/Quorvane/config.vtr");

    EXPECT_FALSE(reloader.Reload());  // nothing read yet
    EXPECT_EQ(reloader.Loaded().reloads, 0u);
    ResourceRecord folder;
    folder.kind = ResourceKind::VirtualFolder;
    folder.name = u"M\u00fcsic";
    ResourceRecord live;
    live.kind = ResourceKind::LiveBroadcast;
    live.name = u"Evening news";
    const ResourceRecord* records[] = {&live, &folder};
    ASSERT_TRUE(WriteFile(reloader.Path(),
                          WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records)));
    EXPECT_TRUE(reloader.Reload());
    EXPECT_EQ(reloader.Loaded().reloads, 1u);
    EXPECT_EQ(reloader.Loaded().version, ConfigWriteVersion);
    EXPECT_EQ(reloader.Loaded().names,
              (QStringList{"Evening news", QString::fromUtf8("M\u00fcsic")}));

    // A file that went away keeps what was read before.
    ASSERT_TRUE(QFile::remove(reloader.Path()));
    EXPECT_FALSE(reloader.Reload());
    EXPECT_EQ(reloader.Loaded().reloads, 1u);
    EXPECT_EQ(reloader.Loaded().names.size(), 2);
}

}  // namespace
}  // namespace vantor::sim
