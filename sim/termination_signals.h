#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace vantor::sim {

// Turns SIGTERM and SIGINT into a Qt signal on the event loop (through a self-pipe), so the sim
// can give up its bus names and exit normally instead of dying inside a handler.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or the handlers could not be set up.
    bool Install();

signals:
    void Received();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vantor::sim
