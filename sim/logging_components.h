#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>

namespace vantor::sim {

class CallPolicy;
class MethodTable;

// Custom logging components the sim plays on request, each on a bus connection of its own so
// that its well-known name leads to its own object at "/": with the logging interface
// (bus::LoggingInterface, LogEvent(s text) -> (u result), recorded in the call log), or, to
// stand for a service that is not a logging component, with an unrelated interface only.
class LoggingComponents : public QObject {
public:
    // busAddress: where the sim itself is connected; empty for the system bus.
    LoggingComponents(QString busAddress, CallPolicy& policy, QObject* parent = nullptr);
    ~LoggingComponents() override;

    // Owns busName with an object that implements logging or not. False, with the reason, when
    // the name is the sim's own or the bus refuses it.
    bool Add(const QString& busName, bool implementsLogging, QString& error);
    // Gives the name up; false when the sim does not play it.
    bool Remove(const QString& busName);
    void RemoveAll();

private:
    QString busAddress_;
    CallPolicy& policy_;
    struct Component {
        QString connectionName;
        MethodTable* object = nullptr;
    };
    QHash<QString, Component> connections_;  // by bus name
    int nextConnection_ = 0;
};

}  // namespace vantor::sim
