#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringView>
#include <QVariantList>

#include "platform/automation_bus.h"
#include "platform/hresult.h"
#include "platform/service_manager.h"
#include "server/automation.h"

namespace vantor {

// What a call that never got the server's own answer returns (AutomationCallTimedOut and
// AutomationServerUnavailable are in server/automation.h, for the models that tell them apart).
// The server's result code is passed on as it is whenever a reply arrives.
//   a reply whose values are not what the interface promises
inline constexpr HResult AutomationBadReply = EUnexpected;
//   any other D-Bus error (unknown method, wrong arguments, access denied, ...): EFail

// One answer of an automation object: the result code and the reply's values after it. values is
// empty unless the reply had exactly the expected signature.
struct AutomationReply {
    HResult result = EFail;
    QVariantList values;
};

// The system bus as the automation objects use it: a connection of our own to the address in
// DBUS_SYSTEM_BUS_ADDRESS (else the standard system bus socket), made on first use and made
// again after it failed, so a bus that comes up after the tool is still found. Every call waits
// at most the time-out. Usable from any thread; a QCoreApplication must exist.
class AutomationBusClient {
public:
    explicit AutomationBusClient(int callTimeoutMs);

    int CallTimeoutMs() const { return callTimeoutMs_; }

    // True when the well-known name has an owner now, or the bus can start one for it.
    bool CanReach(const QString& busName) const;

    // Calls method on busName's object "/" in the interface named busName. replySignature is the
    // whole reply's, its first value the result code ('u').
    AutomationReply Call(const QString& busName, const QString& method,
                         const QVariantList& arguments, QStringView replySignature) const;

private:
    int callTimeoutMs_;
};

// The connection the automation objects share; not connected when the bus cannot be reached.
QDBusConnection AutomationBusConnection();

}  // namespace vantor
