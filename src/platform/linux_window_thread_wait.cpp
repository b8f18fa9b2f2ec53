#include "platform/linux_window_thread_wait.h"

#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

namespace vantor {
namespace {

// Only the window's thread touches it.
int waitDepth = 0;

bool OnWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    // inherits() tells a windowed program without linking the GUI module here.
    return app != nullptr && QThread::currentThread() == app->thread() &&
           app->inherits("QGuiApplication");
}

}  // namespace

void RunOffWindowThread(const std::function<void()>& work) {
    if (!OnWindowThread()) {
        work();
        return;
    }
    QEventLoop loop;
    std::thread worker([&work, &loop] {
        work();
        // Queued: delivered once the loop runs, even when the work ends before it starts.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    ++waitDepth;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    --waitDepth;
    worker.join();
}

bool WindowThreadWaiting() {
    return waitDepth > 0 && OnWindowThread();
}

}  // namespace vantor
