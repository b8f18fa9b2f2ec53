#pragma once

#include <QString>
#include <QStringList>
#include <utility>

namespace vantor::sim {

// The configuration file the server reads, given the data folder it was started with: the same
// place the tool uses when the common application data folder is dataDir.
QString ConfigFilePath(const QString& dataDir);

// What the server made of the configuration the last time it read it.
struct LoadedConfig {
    quint32 reloads = 0;  // successful reads so far
    quint32 version = 0;  // of the last file read; 0 before the first
    QStringList names;    // resource names in file order
};

// Re-reads config.vtr with the tool's own reader, as the server does when told to reload.
class ConfigReloader {
public:
    explicit ConfigReloader(QString path) : path_(std::move(path)) {}

    // False when the file cannot be read; what was loaded before is then kept.
    bool Reload();

    const LoadedConfig& Loaded() const { return loaded_; }
    const QString& Path() const { return path_; }

private:
    QString path_;
    LoadedConfig loaded_;
};

}  // namespace vantor::sim
