// The QMessageBox prompter, offscreen: the title the platform window is given.

#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "ui/prompter_dialog.h"

namespace vantor {
namespace {

struct Seen {
    QString windowTitle;
    QString text;
};

}  // namespace

class PrompterDialogTest : public QObject {
    Q_OBJECT

private slots:
    void anEmptyCaptionIsABlankTitleNotTheProgramsName() {
        QApplication::setApplicationName(QStringLiteral("vantorconfig"));
        PrompterDialog prompter;
        auto read = std::make_shared<Seen>();
        const auto answer = [read](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [read, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr && box->windowHandle() != nullptr);
                read->windowTitle = box->windowHandle()->title();
                read->text = box->text();
                box->button(button)->click();
            });
        };
        // An empty title would be replaced by the application's name in the title bar.
        answer(QMessageBox::Ok);
        prompter.ShowMessage(u"Unable to connect", u"", MessageIcon::Error);
        QCOMPARE(read->text, QStringLiteral("Unable to connect"));
        QVERIFY(!read->windowTitle.isEmpty());
        QCOMPARE(read->windowTitle.trimmed(), QString());

        answer(QMessageBox::Yes);
        QVERIFY(prompter.AskYesNo(u"Delete?", u"", MessageIcon::Question));
        QVERIFY(!read->windowTitle.isEmpty());
        QCOMPARE(read->windowTitle.trimmed(), QString());

        // Any other caption is the title as it is.
        answer(QMessageBox::No);
        QVERIFY(!prompter.AskYesNo(u"Delete?", u"Confirmation", MessageIcon::Question));
        QCOMPARE(read->windowTitle, QStringLiteral("Confirmation"));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::PrompterDialogTest)
#include "prompter_dialog_qtest.moc"
