#include "platform/linux_systemd_service_manager.h"

#include <algorithm>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QString>
#include <QVariant>

#include "platform/linux_system_bus.h"

namespace vantor {

namespace {

constexpr char ConnectionName[] = "vantor_systemd_service_manager";
constexpr char PropertiesInterface[] = "org.freedesktop.DBus.Properties";
constexpr char UnitSuffix[] = ".service";
constexpr char ReplaceMode[] = "replace";
constexpr char LoadedState[] = "loaded";

// A start or stop may wait for the administrator to answer polkit's password prompt; the
// controller's worker makes these calls, so a long wait never holds the window up. Still bounded,
// and within the time the closing window waits for that worker.
constexpr int AuthorizedCallTimeoutMs = 60000;

// The status of a unit in a state this tool does not know; shown as not responding.
constexpr std::uint32_t UnknownServiceState = 0;

QDBusConnection SystemBus() {
    return ConnectSystemBus(QString(ConnectionName));
}

QString UnitName(const std::u16string& name) {
    return QString::fromStdU16String(name) + QString(UnitSuffix);
}

HResult ResultOfError(const QDBusMessage& reply) {
    const QString error = reply.errorName();
    if (error == u"org.freedesktop.DBus.Error.NoReply" ||
        error == u"org.freedesktop.DBus.Error.Timeout") {
        return HResultFromError(ErrorTimeout);
    }
    if (error == u"org.freedesktop.DBus.Error.ServiceUnknown" ||
        error == u"org.freedesktop.DBus.Error.NameHasNoOwner" ||
        error == u"org.freedesktop.DBus.Error.Disconnected") {
        return HResultFromError(ErrorServerUnavailable);
    }
    if (error == u"org.freedesktop.systemd1.NoSuchUnit") {
        return HResultFromError(ErrorServiceDoesNotExist);
    }
    if (error == u"org.freedesktop.systemd1.UnitMasked") {
        return HResultFromError(ErrorServiceDisabled);
    }
    if (error == u"org.freedesktop.DBus.Error.AccessDenied" ||
        error == u"org.freedesktop.DBus.Error.InteractiveAuthorizationRequired") {
        return HResultFromError(ErrorAccessDenied);
    }
    return EFail;
}

class SystemdCall {
public:
    explicit SystemdCall(int timeoutMs) : timeoutMs_(timeoutMs), bus_(SystemBus()) {}

    bool Connected() const { return bus_.isConnected(); }

    // The reply's first argument, or a failure.
    HResult Call(const QString& path, const char* interface, const char* method,
                 const QList<QVariant>& arguments, QVariant& firstResult) {
        QDBusMessage message = QDBusMessage::createMethodCall(QString(bus::SystemdName), path,
                                                              QString(interface), QString(method));
        message.setArguments(arguments);
        return Send(message, timeoutMs_, firstResult);
    }

    // A job request that systemd may let polkit authorize by asking the user.
    HResult CallJob(const char* method, const QString& unit, QVariant& job) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QString(bus::SystemdName), QString(bus::SystemdPath),
                                           QString(bus::SystemdManagerInterface), QString(method));
        message.setArguments({unit, QString(ReplaceMode)});
        message.setInteractiveAuthorizationAllowed(true);
        return Send(message, std::max(timeoutMs_, AuthorizedCallTimeoutMs), job);
    }

    HResult Send(const QDBusMessage& message, int timeoutMs, QVariant& firstResult) {
        const QDBusMessage reply = CallSystemBus(bus_, message, timeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            return ResultOfError(reply);
        }
        firstResult = reply.arguments().value(0);
        return SOk;
    }

    HResult CallManager(const char* method, const QList<QVariant>& arguments,
                        QVariant& firstResult) {
        return Call(QString(bus::SystemdPath), bus::SystemdManagerInterface, method, arguments,
                    firstResult);
    }

    HResult UnitProperty(const QString& unitPath, const char* property, QString& value) {
        QVariant result;
        const HResult hr = Call(unitPath, PropertiesInterface, "Get",
                                {QString(bus::SystemdUnitInterface), QString(property)}, result);
        if (Failed(hr)) {
            return hr;
        }
        if (!result.canConvert<QDBusVariant>()) {
            return EFail;
        }
        value = result.value<QDBusVariant>().variant().toString();
        return SOk;
    }

    // The unit's object, as opening a service would: it must be known and loaded.
    HResult OpenUnit(const QString& unit, QString& unitPath) {
        if (!Connected()) {
            return HResultFromError(ErrorServerUnavailable);
        }
        QVariant result;
        HResult hr = CallManager("LoadUnit", {unit}, result);
        if (Failed(hr)) {
            return hr;
        }
        if (!result.canConvert<QDBusObjectPath>()) {
            return EFail;
        }
        unitPath = result.value<QDBusObjectPath>().path();
        QString loadState;
        hr = UnitProperty(unitPath, "LoadState", loadState);
        if (Failed(hr)) {
            return hr;
        }
        return loadState == QString(LoadedState) ? SOk : HResultFromError(ErrorServiceDoesNotExist);
    }

private:
    int timeoutMs_;
    QDBusConnection bus_;
};

std::uint32_t ServiceStateOf(const QString& activeState) {
    if (activeState == u"active") {
        return ServiceRunning;
    }
    if (activeState == u"inactive" || activeState == u"failed") {
        return ServiceStopped;
    }
    if (activeState == u"activating") {
        return ServiceStartPending;
    }
    if (activeState == u"deactivating") {
        return ServiceStopPending;
    }
    if (activeState == u"reloading") {
        return ServiceContinuePending;
    }
    return UnknownServiceState;
}

// The unit's state in the service vocabulary; it must be known and loaded.
HResult QueryUnitState(SystemdCall& call, const QString& unit, std::uint32_t& state) {
    QString unitPath;
    HResult hr = call.OpenUnit(unit, unitPath);
    if (Failed(hr)) {
        return hr;
    }
    QString activeState;
    hr = call.UnitProperty(unitPath, "ActiveState", activeState);
    if (Failed(hr)) {
        return hr;
    }
    state = ServiceStateOf(activeState);
    return SOk;
}

}  // namespace

LinuxSystemdServiceManager::LinuxSystemdServiceManager(int callTimeoutMs)
    : callTimeoutMs_(callTimeoutMs) {}

HResult LinuxSystemdServiceManager::CheckAccess(const std::u16string& name, std::uint32_t) {
    SystemdCall call(callTimeoutMs_);
    QString unitPath;
    return call.OpenUnit(UnitName(name), unitPath);
}

HResult LinuxSystemdServiceManager::QueryStatus(const std::u16string& name, ServiceStatus& status) {
    SystemdCall call(callTimeoutMs_);
    std::uint32_t state = 0;
    const HResult hr = QueryUnitState(call, UnitName(name), state);
    if (Failed(hr)) {
        return hr;
    }
    // systemd reports no progress; with no wait hint the controller polls once a second.
    status = ServiceStatus{state, 0, 0};
    return SOk;
}

HResult LinuxSystemdServiceManager::Start(const std::u16string& name) {
    SystemdCall call(callTimeoutMs_);
    const QString unit = UnitName(name);
    std::uint32_t state = 0;
    const HResult hr = QueryUnitState(call, unit, state);
    if (Failed(hr)) {
        return hr;
    }
    // systemd would accept the job and do nothing; a running service refuses a start instead,
    // so the caller does not wait for a change that already happened.
    if (state == ServiceRunning || state == ServiceContinuePending) {
        return HResultFromError(ErrorServiceAlreadyRunning);
    }
    QVariant job;
    return call.CallJob("StartUnit", unit, job);
}

HResult LinuxSystemdServiceManager::Stop(const std::u16string& name) {
    SystemdCall call(callTimeoutMs_);
    if (!call.Connected()) {
        return HResultFromError(ErrorServerUnavailable);
    }
    QVariant job;
    return call.CallJob("StopUnit", UnitName(name), job);
}

}  // namespace vantor
