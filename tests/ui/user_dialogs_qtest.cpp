// The set password, new user and update user dialogs bound to their models, offscreen (the rules
// are tested on the models in server_tests).

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include "server/new_user_dialog.h"
#include "server/set_password_dialog.h"
#include "server/update_user_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class UserDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void setPasswordSubDialogRefusesThenReturnsTheHashAndCancelKeepsTheValue() {
        test::RecordingPrompter prompter;
        const SubDialog<std::u16string> setPassword = SetPasswordSubDialog(prompter, nullptr);
        std::u16string hashText = u"old";
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QVERIFY(!setPassword(hashText));
        QCOMPARE(hashText, u"old");

        // A refused OK shows the model's message and empties both edits; the dialog stays.
        QTimer::singleShot(0, [&prompter] {
            auto* dialog = qobject_cast<SetPasswordDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            // However the checks end, the dialog does not stay open.
            const auto close = qScopeGuard([dialog] { dialog->close(); });
            auto* password =
                qobject_cast<QLineEdit*>(dialog->Widget(PasswordControl::PasswordEdit));
            auto* confirm = qobject_cast<QLineEdit*>(dialog->Widget(PasswordControl::ConfirmEdit));
            QCOMPARE(confirm->echoMode(), QLineEdit::Password);
            QTest::keyClicks(password, QStringLiteral("abcde"));
            QTest::keyClicks(confirm, QStringLiteral("abcdE"));
            QTest::keyClick(confirm, Qt::Key_Return);
            QCOMPARE(prompter.shown.size(), std::size_t{1});
            QCOMPARE(prompter.shown[0].text, u"Confirmed password is incorrect!");
            QCOMPARE(prompter.shown[0].caption, u"Error");
            QVERIFY(dialog->isVisible());
            QCOMPARE(password->text() + confirm->text(), QString());
            QTest::keyClicks(password, QStringLiteral("abcde"));
            QTest::keyClicks(confirm, QStringLiteral("abcde"));
            QTest::keyClick(confirm, Qt::Key_Return);
        });
        QVERIFY(setPassword(hashText));
        QCOMPARE(hashText, u"03de6c570bfe24bfc328ccd7ca46b76eadaf4334");
        QCOMPARE(prompter.shown.size(), std::size_t{1});
    }

    void newUserRefusesAShortPasswordThenAccepts() {
        test::RecordingPrompter prompter;
        NewUserModel model;
        NewUserDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto edit = [&](NewUserControl control) {
            return qobject_cast<QLineEdit*>(dialog.Widget(control));
        };
        QTest::keyClicks(edit(NewUserControl::NameEdit), QStringLiteral("ann"));
        QTest::keyClicks(edit(NewUserControl::PasswordEdit), QStringLiteral("abcd"));
        QTest::keyClicks(edit(NewUserControl::ConfirmEdit), QStringLiteral("abcd"));
        QTest::keyClick(edit(NewUserControl::ConfirmEdit), Qt::Key_Return);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"The minimal password length is 5 characters");
        QCOMPARE(edit(NewUserControl::PasswordEdit)->text(), QString());

        QTest::keyClicks(edit(NewUserControl::PasswordEdit), QStringLiteral("abcde"));
        QTest::keyClicks(edit(NewUserControl::ConfirmEdit), QStringLiteral("abcde"));
        qobject_cast<QAbstractButton*>(dialog.Widget(NewUserControl::Advanced))->click();
        QTest::keyClick(edit(NewUserControl::ConfirmEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Entry(), (NewUserEntry{u"ann", u"abcde", u"", AdvancedGroup}));
    }

    void updateUserSwitchesModesAndReturnsTheSettings() {
        test::RecordingPrompter prompter;
        UpdateUserModel model({u"ann", UserUpdateMode::ChangePassword, u"", u"desk", MediumGroup});
        UpdateUserDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto widget = [&](UpdateUserControl control) { return dialog.Widget(control); };
        auto* name = qobject_cast<QLineEdit*>(widget(UpdateUserControl::NameEdit));
        QCOMPARE(name->text(), QStringLiteral("ann"));
        QVERIFY(name->isReadOnly());
        QVERIFY(!widget(UpdateUserControl::InfoEdit)->isEnabled());
        QVERIFY(qobject_cast<QAbstractButton*>(widget(UpdateUserControl::Medium))->isChecked());
        // Tab follows the layout: the checked mode radio sits between the name and the passwords.
        name->setFocus();
        QTest::keyClick(&dialog, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), widget(UpdateUserControl::ChangePassword));
        QTest::keyClick(&dialog, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), widget(UpdateUserControl::NewEdit));

        qobject_cast<QAbstractButton*>(widget(UpdateUserControl::ChangeSettings))->click();
        QVERIFY(widget(UpdateUserControl::InfoEdit)->isEnabled());
        QVERIFY(!widget(UpdateUserControl::NewEdit)->isEnabled());
        auto* info = qobject_cast<QLineEdit*>(widget(UpdateUserControl::InfoEdit));
        info->selectAll();
        QTest::keyClicks(info, QStringLiteral("stage"));
        QTest::keyClick(info, Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Entry(), (UserUpdateEntry{u"ann", UserUpdateMode::ChangeSettings, u"",
                                                 u"stage", MediumGroup}));
        QVERIFY(prompter.shown.empty());
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::UserDialogsTest)
#include "user_dialogs_qtest.moc"
