#include "platform/linux_installation_environment.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QString>
#include <QVariant>

#include "platform/automation_bus.h"
#include "platform/linux_system_bus.h"

namespace vantor {
namespace {

const QString kSystemdService = QString::fromLatin1(bus::SystemdName);
const QString kSystemdPath = QString::fromLatin1(bus::SystemdPath);
const QString kSystemdManager = QString::fromLatin1(bus::SystemdManagerInterface);
const QString kSystemdServiceInterface = QString::fromLatin1(bus::SystemdServiceInterface);
const QString kNoSuchUnitError = QStringLiteral("org.freedesktop.systemd1.NoSuchUnit");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kExecStartSignature = QStringLiteral("a(sasbttttuii)");

constexpr mode_t kSharedFolderMode = 0777;

// A connection of our own for each read, closed afterwards: the address is taken from the
// environment at that moment, and a bus that was missing once is tried again next time.
class SystemBusConnection {
public:
    SystemBusConnection()
        : name_(QStringLiteral("vantor-installation-%1").arg(nextId_.fetch_add(1))),
          connection_(QDBusConnection::connectToBus(SystemBusAddress(), name_)) {}
    ~SystemBusConnection() { QDBusConnection::disconnectFromBus(name_); }
    SystemBusConnection(const SystemBusConnection&) = delete;
    SystemBusConnection& operator=(const SystemBusConnection&) = delete;

    bool IsConnected() const { return connection_.isConnected(); }

    QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                      const QList<QVariant>& arguments) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(kSystemdService, path, interface, method);
        message.setArguments(arguments);
        return CallSystemBus(connection_, message, SystemdCallTimeoutMs);
    }

private:
    static inline std::atomic<unsigned> nextId_{0};
    QString name_;
    QDBusConnection connection_;
};

// The object path of the unit, or empty. A unit that is installed but not loaded at the moment
// is not known to GetUnit, so it is loaded then.
QString UnitObjectPath(SystemBusConnection& bus, const QString& unit) {
    QDBusMessage reply = bus.Call(kSystemdPath, kSystemdManager, QStringLiteral("GetUnit"), {unit});
    if (reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == kNoSuchUnitError) {
        reply = bus.Call(kSystemdPath, kSystemdManager, QStringLiteral("LoadUnit"), {unit});
    }
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    const QVariant first = reply.arguments().constFirst();
    if (first.metaType() != QMetaType::fromType<QDBusObjectPath>()) {
        return {};
    }
    return first.value<QDBusObjectPath>().path();
}

// The path of the first ExecStart entry, or empty.
QString FirstExecStartPath(SystemBusConnection& bus, const QString& unitPath) {
    const QDBusMessage reply = bus.Call(unitPath, kPropertiesInterface, QStringLiteral("Get"),
                                        {kSystemdServiceInterface, QStringLiteral("ExecStart")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    const QVariant outer = reply.arguments().constFirst();
    if (outer.metaType() != QMetaType::fromType<QDBusVariant>()) {
        return {};
    }
    const QVariant inner = outer.value<QDBusVariant>().variant();
    if (inner.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return {};
    }
    const QDBusArgument execStart = inner.value<QDBusArgument>();
    // Anything but the documented shape is not read at all: QDBusArgument does not survive
    // being read as the wrong type.
    if (execStart.currentSignature() != kExecStartSignature) {
        return {};
    }
    // Every begin needs its end: the reader frees its nested state there.
    QString path;
    execStart.beginArray();
    if (!execStart.atEnd()) {
        execStart.beginStructure();
        execStart >> path;
        execStart.endStructure();
    }
    execStart.endArray();
    return path;
}

}  // namespace

OsVersionResult LinuxInstallationEnvironment::QueryOsVersion() {
    return {OsVersion::Later, 0};
}

std::string LinuxInstallationEnvironment::ReadServiceImagePath(const std::string& product) {
    if (product.empty()) {
        return {};
    }
    SystemBusConnection bus;
    if (!bus.IsConnected()) {
        return {};
    }
    const QString unitPath =
        UnitObjectPath(bus, QString::fromStdString(product) + QStringLiteral(".service"));
    if (unitPath.isEmpty()) {
        return {};
    }
    return FirstExecStartPath(bus, unitPath).toStdString();
}

std::optional<FileVersion> LinuxInstallationEnvironment::ReadFileVersion(const std::string&) {
    // Linux executables carry no version resource.
    return std::nullopt;
}

FolderQueryResult LinuxInstallationEnvironment::CommonAppDataFolder() {
    const char* folder = std::getenv(CommonAppDataVariable);
    if (folder != nullptr && *folder != '\0') {
        return {SOk, folder};
    }
    return {SOk, DefaultCommonAppData};
}

std::string LinuxInstallationEnvironment::OwnExecutablePath() {
    constexpr std::size_t kLongestPath = 1 << 16;
    std::vector<char> buffer(256);
    while (buffer.size() <= kLongestPath) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        // Possibly cut short: try again with room to spare.
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

bool LinuxInstallationEnvironment::PathExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

HResult LinuxInstallationEnvironment::CreateSharedFolder(const std::string& path) {
    if (mkdir(path.c_str(), kSharedFolderMode) != 0) {
        return HResultFromError(errno);
    }
    if (chmod(path.c_str(), kSharedFolderMode) != 0) {
        return HResultFromError(errno);
    }
    return SOk;
}

}  // namespace vantor
