#include "sim/config_reloader.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <span>
#include <string>

#include "config/config_file.h"
#include "server/installation_paths.h"

namespace vantor::sim {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString ConfigFilePath(const QString& dataDir) {
    return QDir(dataDir).filePath(FromView(CommonDataFolderName) + u'/' +
                                  FromView(ConfigFileName));
}

bool ConfigReloader::Reload() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    const ConfigFileContents contents = ReadConfigFile(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size())));
    loaded_.reloads += 1;
    loaded_.version = contents.version;
    loaded_.names.clear();
    for (const ResourceRecord& record : contents.records) {
        loaded_.names.append(QString::fromStdU16String(record.name));
    }
    return true;
}

}  // namespace vantor::sim
