// Disconnects run off the user-interface thread with a progress dialog, offscreen, against a
// server whose DisconnectUser hangs until the test lets it answer.

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "monitor/activity_fakes.h"
#include "monitor/disconnect_progress_dialog.h"
#include "server/manual_reset_event.h"

namespace vantor {
namespace {

// Each DisconnectUser waits for the gate (bounded, so a failing test cannot hang).
struct HangingServer : test::FakeActivityServer {
    HangingServer() {
        users = std::vector<std::u16string>{test::UserRecord(u"news", u"1", u"ann"),
                                            test::UserRecord(u"news", u"2", u"bob"),
                                            test::UserRecord(u"news", u"3", u"cy")};
        onDisconnect = [this](std::int32_t) {
            ++calls;
            gate.WaitFor(20000);
        };
    }
    std::atomic<int> calls = 0;
    ManualResetEvent gate{false};
};

struct Run {
    explicit Run(HangingServer& server) {
        owner->resize(300, 200);
        owner->show();
        dialog = DisconnectProgressDialog::Start(
            server, *owner, UsersOfResourceText(u"news"), u"Disconnecting users of news...",
            [this](const DisconnectOutcome& done) { outcome = done; });
    }
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    QPointer<DisconnectProgressDialog> dialog;
    std::optional<DisconnectOutcome> outcome;
};

}  // namespace

class DisconnectProgressTest : public QObject {
    Q_OBJECT

private slots:
    void runsInTheBackgroundWithProgressAndHandsBackTheOutcome() {
        HangingServer server;
        Run run(server);
        // Start came back while the first call still hangs on its worker.
        QTRY_COMPARE(server.calls.load(), 1);
        QVERIFY(!run.outcome);
        QPointer<QProgressDialog> progress = run.dialog->Progress();
        QVERIFY(!progress->isVisible());  // not for a run that ends at once
        QTRY_VERIFY_WITH_TIMEOUT(progress->isVisible(), 3000);
        QCOMPARE(progress->labelText(), QStringLiteral("Disconnecting users of news..."));
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->maximum(), 3);
        QCOMPARE(progress->value(), 0);
        server.gate.Set();
        QTRY_VERIFY(run.outcome.has_value());
        QCOMPARE(run.outcome->disconnected.size(), std::size_t{3});
        QVERIFY(progress.isNull());
        QTRY_VERIFY(run.dialog.isNull());  // the run deletes itself
    }

    void cancelStopsBeforeTheNextUser() {
        HangingServer server;
        Run run(server);
        QTRY_COMPARE(server.calls.load(), 1);
        auto* cancel = run.dialog->Progress()->findChild<QPushButton*>();
        QVERIFY(cancel != nullptr);
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        cancel->click();
        server.gate.Set();
        QTRY_VERIFY(run.outcome.has_value());
        QCOMPARE(server.calls.load(), 1);
        QCOMPARE(run.outcome->disconnected.size(), std::size_t{1});
        QCOMPARE(run.outcome->notTried.size(), std::size_t{2});
        QVERIFY(run.outcome->stopped);
    }

    void anOwnerClosedMidRunWaitsForTheCallAndDropsTheOutcome() {
        HangingServer server;
        Run run(server);
        QTRY_COMPARE(server.calls.load(), 1);
        std::thread answer([&server] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            server.gate.Set();
        });
        run.owner.reset();
        answer.join();
        QVERIFY(run.dialog.isNull());
        QTest::qWait(50);
        QVERIFY(!run.outcome.has_value());
        QCOMPARE(server.calls.load(), 1);  // stopped: the others were not started
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::DisconnectProgressTest)
#include "disconnect_progress_qtest.moc"
