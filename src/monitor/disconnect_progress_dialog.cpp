#include "monitor/disconnect_progress_dialog.h"

#include <limits>
#include <utility>

#include <QMetaObject>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

namespace vantor {

namespace {

QString FromModel(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DisconnectProgressDialog::DisconnectProgressDialog(QWidget& owner, Done done)
    : QObject(&owner), done_(std::move(done)) {}

DisconnectProgressDialog* DisconnectProgressDialog::Start(AutomationFactory& automation,
                                                          QWidget& owner, ActiveUserMatch match,
                                                          const std::u16string& text, Done done) {
    auto* run = new DisconnectProgressDialog(owner, std::move(done));
    auto* progress =
        new QProgressDialog(FromModel(text), QProgressDialog::tr("Cancel"), 0, 0, &owner);
    progress->setObjectName(QStringLiteral("disconnectProgress"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    // Shown by the run's own timer below, never by the dialog's guess of the time left.
    progress->setMinimumDuration(std::numeric_limits<int>::max());
    progress->hide();
    run->progress_ = progress;
    connect(progress, &QProgressDialog::canceled, run, [run] { run->stop_ = true; });
    QTimer::singleShot(ShowAfterMs, run, [run] {
        if (!run->progress_.isNull()) {
            run->progress_->show();
        }
    });

    run->thread_ = std::thread([run, &automation, match = std::move(match)] {
        DisconnectOutcome outcome = DisconnectMatchingUsers(
            automation, match, &run->clock_, [run](std::size_t done, std::size_t total) {
                QMetaObject::invokeMethod(
                    run,
                    [run, done, total] {
                        run->OnProgress(static_cast<int>(done), static_cast<int>(total));
                    },
                    Qt::QueuedConnection);
                return !run->stop_.load();
            });
        // Dropped with the run's pending events if the run is deleted first.
        QMetaObject::invokeMethod(
            run, [run, outcome = std::move(outcome)] { run->OnFinished(outcome); },
            Qt::QueuedConnection);
    });
    return run;
}

DisconnectProgressDialog::~DisconnectProgressDialog() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    delete progress_.data();
}

void DisconnectProgressDialog::OnProgress(int done, int total) {
    if (progress_.isNull()) {
        return;
    }
    progress_->setRange(0, total);
    progress_->setValue(done);
}

void DisconnectProgressDialog::OnFinished(const DisconnectOutcome& outcome) {
    delete progress_.data();
    // The report may be a message box: it comes after the progress has gone.
    const Done done = std::move(done_);
    deleteLater();
    if (done) {
        done(outcome);
    }
}

}  // namespace vantor
