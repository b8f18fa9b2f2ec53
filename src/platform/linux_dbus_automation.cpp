#include "platform/linux_dbus_automation.h"

#include <algorithm>
#include <utility>

#include <QDBusArgument>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/linux_dbus_automation_call.h"

namespace vantor {

namespace {

constexpr char16_t UserCallReply[] = u"usb";
constexpr char16_t ListReply[] = u"ubas";
constexpr char16_t ResultReply[] = u"u";

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QVariant Int(std::int32_t value) {
    return QVariant::fromValue<qint32>(value);
}

// The common part of every object: its bus name and the client that calls it.
class BusObject {
protected:
    BusObject(const char* busName, int callTimeoutMs)
        : busName_(QString::fromLatin1(busName)), client_(callTimeoutMs) {}

    AutomationReply Call(const char* method, const QVariantList& arguments,
                         QStringView replySignature) const {
        return client_.Call(busName_, QString::fromLatin1(method), arguments, replySignature);
    }

    HResult CallForResult(const char* method, const QVariantList& arguments) const {
        return Call(method, arguments, ResultReply).result;
    }

    UserCallResult CallForUser(const char* method, const QVariantList& arguments) const {
        const AutomationReply reply = Call(method, arguments, UserCallReply);
        UserCallResult result;
        result.result = reply.result;
        if (reply.values.size() == 2) {
            result.errorText = reply.values[0].toString().toStdU16String();
            result.success = reply.values[1].toBool();
        }
        return result;
    }

    TextListResult CallForList(const char* method) const {
        const AutomationReply reply = Call(method, {}, ListReply);
        TextListResult result;
        result.result = reply.result;
        // No data at all is told apart from an empty list: callers treat the two differently.
        if (reply.values.size() == 2 && reply.values[0].toBool()) {
            std::vector<std::u16string> records;
            const QStringList texts = reply.values[1].toStringList();
            records.reserve(static_cast<std::size_t>(texts.size()));
            for (const QString& text : texts) {
                records.push_back(text.toStdU16String());
            }
            result.records = std::move(records);
        }
        return result;
    }

    const QString& BusName() const { return busName_; }

private:
    QString busName_;
    AutomationBusClient client_;
};

class DbusVtrConfig final : public VtrConfigObject, BusObject {
public:
    explicit DbusVtrConfig(int timeoutMs) : BusObject(bus::VtrConfigName, timeoutMs) {}
    HResult ReloadConfiguration() override { return CallForResult("ReloadConfiguration", {}); }
};

class DbusUsersAccess final : public UsersAccessObject, BusObject {
public:
    explicit DbusUsersAccess(int timeoutMs) : BusObject(bus::UsersAccessName, timeoutMs) {}

    UserCallResult AddUser(const std::u16string& name, std::int32_t group,
                           const std::u16string& password, const std::u16string& info) override {
        return CallForUser("AddUser", {Q(name), Int(group), Q(password), Q(info)});
    }
    UserCallResult SetUserPassword(const std::u16string& name,
                                   const std::u16string& password) override {
        return CallForUser("SetUserPassword", {Q(name), Q(password)});
    }
    UserCallResult UpdateUser(const std::u16string& name, std::int32_t group,
                              const std::u16string& info) override {
        return CallForUser("UpdateUser", {Q(name), Int(group), Q(info)});
    }
    UserCallResult DeleteUser(const std::u16string& name) override {
        return CallForUser("DeleteUser", {Q(name)});
    }
    TextListResult GetUsers() override { return CallForList("GetUsers"); }
};

// 'ai' arrives as a QDBusArgument from a peer, as a plain list when Qt already decoded it.
QList<qint32> IntList(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) {
        return qdbus_cast<QList<qint32>>(value.value<QDBusArgument>());
    }
    return value.value<QList<qint32>>();
}

class DbusResourcesInUse final : public ResourcesInUseObject, BusObject {
public:
    explicit DbusResourcesInUse(int timeoutMs) : BusObject(bus::ResourcesInUseName, timeoutMs) {}

    TextListResult GetActiveUsers() override { return CallForList("GetActiveUsers"); }
    HResult DisconnectUser(std::int32_t pointer) override {
        return CallForResult("DisconnectUser", {Int(pointer)});
    }
    TextListResult GetLiveConnections() override { return CallForList("GetLiveConnections"); }
    TextListResult GetMediaUsage() override { return CallForList("GetMediaUsage"); }

    ThroughputResult GetThroughput() override {
        const AutomationReply reply = Call("GetThroughput", {}, u"uai");
        ThroughputResult result;
        result.result = reply.result;
        if (reply.values.size() == 1) {
            // Values the server left out stay 0; extra ones mean nothing to us.
            const QList<qint32> values = IntList(reply.values[0]);
            const auto count = std::min<qsizetype>(values.size(), result.values.size());
            std::copy_n(values.begin(), count, result.values.begin());
        }
        return result;
    }
};

class DbusFileMCastTrigger final : public FileMCastTriggerObject, BusObject {
public:
    explicit DbusFileMCastTrigger(int timeoutMs)
        : BusObject(bus::FileMCastTriggerName, timeoutMs) {}

    HResult StartMulticast(const std::u16string& folderName, const std::u16string& folderPath,
                           const std::u16string& groupAddress, std::int32_t port,
                           bool randomOrder) override {
        return CallForResult("StartMulticast", {Q(folderName), Q(folderPath), Q(groupAddress),
                                                Int(port), QVariant(randomOrder)});
    }
    HResult StopMulticast(const std::u16string& folderName) override {
        return CallForResult("StopMulticast", {Q(folderName)});
    }
    MulticastStatusResult GetMulticastStatus(const std::u16string& folderName) override {
        const AutomationReply reply = Call("GetMulticastStatus", {Q(folderName)}, u"uss");
        MulticastStatusResult result;
        result.result = reply.result;
        if (reply.values.size() == 2) {
            result.multicastingText = reply.values[0].toString().toStdU16String();
            result.otherText = reply.values[1].toString().toStdU16String();
        }
        return result;
    }
};

class DbusRestrictionsNotifier final : public RestrictionsNotifierObject, BusObject {
public:
    explicit DbusRestrictionsNotifier(int timeoutMs)
        : BusObject(bus::RestrictionsNotificationName, timeoutMs) {}
    HResult RestrictionsChanged() override { return CallForResult("RestrictionsChanged", {}); }
};

template <typename Object>
std::unique_ptr<Object> CreateIfReachable(const char* busName, int timeoutMs) {
    if (!AutomationBusClient(timeoutMs).CanReach(QString::fromLatin1(busName))) {
        return nullptr;
    }
    return std::make_unique<Object>(timeoutMs);
}

}  // namespace

LinuxDbusAutomationFactory::LinuxDbusAutomationFactory(int callTimeoutMs)
    : callTimeoutMs_(callTimeoutMs) {}

std::unique_ptr<VtrConfigObject> LinuxDbusAutomationFactory::CreateVtrConfig() {
    return CreateIfReachable<DbusVtrConfig>(bus::VtrConfigName, callTimeoutMs_);
}

std::unique_ptr<UsersAccessObject> LinuxDbusAutomationFactory::CreateUsersAccess() {
    return CreateIfReachable<DbusUsersAccess>(bus::UsersAccessName, callTimeoutMs_);
}

std::unique_ptr<ResourcesInUseObject> LinuxDbusAutomationFactory::CreateResourcesInUse() {
    return CreateIfReachable<DbusResourcesInUse>(bus::ResourcesInUseName, callTimeoutMs_);
}

std::unique_ptr<FileMCastTriggerObject> LinuxDbusAutomationFactory::CreateFileMCastTrigger() {
    return CreateIfReachable<DbusFileMCastTrigger>(bus::FileMCastTriggerName, callTimeoutMs_);
}

std::unique_ptr<RestrictionsNotifierObject>
LinuxDbusAutomationFactory::CreateRestrictionsNotifier() {
    return CreateIfReachable<DbusRestrictionsNotifier>(bus::RestrictionsNotificationName,
                                                       callTimeoutMs_);
}

}  // namespace vantor
