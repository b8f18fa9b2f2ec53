#pragma once

// Answers a modal dialog that a test is about to open, once it is up.

#include <QApplication>
#include <QTimer>

namespace vantor::test {

// Runs act on the next modal dialog of that type once it is up.
template <typename Dialog, typename Act>
void WhenUp(Act act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start(10);
}

}  // namespace vantor::test
