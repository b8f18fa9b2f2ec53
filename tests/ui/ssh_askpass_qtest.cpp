// The dialogs that answer ssh's questions for a window administering another machine.

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include "ui/qt_when_up.h"
#include "ui/ssh_askpass_dialog.h"

namespace vantor {
namespace {

using test::WhenUp;

}  // namespace

class SshAskpassTest : public QObject {
    Q_OBJECT

private slots:
    void PassphrasesAreMaskedAndCancelAnswersNothing() {
        QString answer;
        QTextStream out(&answer);
        QString shownPrompt;
        bool masked = false;
        WhenUp<QInputDialog>([&](QInputDialog& dialog) {
            shownPrompt = dialog.labelText();
            masked = dialog.textEchoMode() == QLineEdit::Password;
            dialog.setTextValue(QStringLiteral("s3cret passphrase"));
            dialog.accept();
        });
        QCOMPARE(
            RunSshAskpass(QStringLiteral("Enter passphrase for key '/home/ann/.ssh/id':"), out), 0);
        out.flush();
        QCOMPARE(answer, QStringLiteral("s3cret passphrase\n"));
        QCOMPARE(shownPrompt, QStringLiteral("Enter passphrase for key '/home/ann/.ssh/id':"));
        QVERIFY(masked);

        answer.clear();
        WhenUp<QInputDialog>([](QInputDialog& dialog) { dialog.reject(); });
        QCOMPARE(RunSshAskpass(QStringLiteral("ann@rack-7's password:"), out), 1);
        out.flush();
        QCOMPARE(answer, QString());
    }

    void AnUnknownHostKeyIsAcceptedOnlyOnYes() {
        const QString question = QStringLiteral(
            "The authenticity of host 'rack-7 (192.0.2.7)' can't be established.\nED25519 key "
            "fingerprint is SHA256:abc.\nAre you sure you want to continue connecting "
            "(yes/no/[fingerprint])?");
        for (const bool yes : {true, false}) {
            QString answer;
            QTextStream out(&answer);
            QString shown;
            WhenUp<QMessageBox>([&](QMessageBox& box) {
                shown = box.text();
                box.button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            QCOMPARE(RunSshAskpass(question, out), 0);
            out.flush();
            QCOMPARE(answer, yes ? QStringLiteral("yes\n") : QStringLiteral("no\n"));
            QCOMPARE(shown, question);
        }
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::SshAskpassTest)
#include "ssh_askpass_qtest.moc"
