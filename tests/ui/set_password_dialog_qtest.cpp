// The "Set password" dialog's widgets bound to its model, offscreen. The rules are tested on the
// model in server_tests; this checks that the widgets follow it both ways.

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "server/set_password_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class SetPasswordDialogTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsFollowTheModelThroughToOk() {
        test::RecordingPrompter prompter;
        SetPasswordModel model;
        SetPasswordDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto edit = [&](PasswordControl control) {
            return qobject_cast<QLineEdit*>(dialog.Widget(control));
        };
        auto type = [&](const QString& password, const QString& confirm) {
            QTest::keyClicks(edit(PasswordControl::PasswordEdit), password);
            QTest::keyClicks(edit(PasswordControl::ConfirmEdit), confirm);
        };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set password"));
        QCOMPARE(edit(PasswordControl::PasswordEdit)->echoMode(), QLineEdit::Password);
        QCOMPARE(edit(PasswordControl::ConfirmEdit)->echoMode(), QLineEdit::Password);
        QCOMPARE(edit(PasswordControl::ConfirmEdit)->accessibleName(), QStringLiteral("Confirm"));

        // A refused OK shows the model's message and empties both edits; the dialog stays.
        type(QStringLiteral("abcde"), QStringLiteral("abcdE"));
        QTest::keyClick(edit(PasswordControl::ConfirmEdit), Qt::Key_Return);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"Confirmed password is incorrect!");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit(PasswordControl::PasswordEdit)->text(), QString());
        QCOMPARE(edit(PasswordControl::ConfirmEdit)->text(), QString());

        type(QStringLiteral("abcde"), QStringLiteral("abcde"));
        dialog.Buttons()->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.HashText(), u"03de6c570bfe24bfc328ccd7ca46b76eadaf4334");
    }

    void subDialogLeavesTheValueAloneWhenCancelled() {
        test::RecordingPrompter prompter;
        // Answer the modal dialog once it is up: first Cancel, then a password and OK.
        bool accept = false;
        auto answer = [&] {
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<SetPasswordDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog != nullptr);
                if (accept) {
                    QTest::keyClicks(dialog->Widget(PasswordControl::PasswordEdit), "abcde");
                    QTest::keyClicks(dialog->Widget(PasswordControl::ConfirmEdit), "abcde");
                    dialog->accept();
                } else {
                    dialog->reject();
                }
            });
        };
        const SubDialog<std::u16string> setPassword = SetPasswordSubDialog(prompter, nullptr);
        std::u16string hashText = u"old";
        answer();
        QVERIFY(!setPassword(hashText));
        QCOMPARE(hashText, u"old");
        accept = true;
        answer();
        QVERIFY(setPassword(hashText));
        QCOMPARE(hashText, u"03de6c570bfe24bfc328ccd7ca46b76eadaf4334");
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::SetPasswordDialogTest)
#include "set_password_dialog_qtest.moc"
