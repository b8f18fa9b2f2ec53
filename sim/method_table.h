#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

#include "sim/call_policy.h"

namespace vantor::sim {

// A method's answer: the reply's values, or a D-Bus error.
struct CallAnswer {
    QVariantList values;
    QString errorName;  // set: answer with this error instead
    QString errorText;

    static CallAnswer Values(QVariantList values) { return CallAnswer{std::move(values), {}, {}}; }
    static CallAnswer Error(const QString& name, const QString& text) {
        return CallAnswer{{}, name, text};
    }
};

using MethodHandler = std::function<CallAnswer(const QDBusMessage& call)>;

struct MethodEntry {
    QString interface;
    QString member;
    QString inSignature;
    QString outSignature;  // for introspection
    MethodHandler handler;
    // Observed calls are recorded in the call log and obey the hang and result settings; the
    // control interface is not observed, so driving the sim leaves no trace in what it records.
    bool observed = true;
};

// The objects at one path (or, with SubPath registration, a path and everything below it): each
// call is checked against its method's signature, recorded, and answered by its handler. A call
// set to hang is never answered; the caller's time-out ends it while the sim stays responsive.
class MethodTable : public QDBusVirtualObject {
public:
    explicit MethodTable(CallPolicy& policy, QObject* parent = nullptr)
        : QDBusVirtualObject(parent), policy_(policy) {}

    void Add(MethodEntry entry) { methods_.append(std::move(entry)); }
    // A property listed in the introspection data; reading it is up to the methods.
    void AddPropertyDescription(const QString& interface, const QString& name,
                                const QString& signature);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    struct PropertyDescription {
        QString interface;
        QString name;
        QString signature;
    };

    const MethodEntry* Find(const QString& interface, const QString& member) const;

    CallPolicy& policy_;
    QList<MethodEntry> methods_;
    QList<PropertyDescription> properties_;
};

}  // namespace vantor::sim
