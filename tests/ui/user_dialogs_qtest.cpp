// The new user and update user dialogs bound to their models, offscreen.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "server/new_user_dialog.h"
#include "server/update_user_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class UserDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void newUserRefusesAShortPasswordThenAccepts() {
        test::RecordingPrompter prompter;
        NewUserModel model;
        NewUserDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto edit = [&](NewUserControl control) {
            return qobject_cast<QLineEdit*>(dialog.Widget(control));
        };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New user"));
        QCOMPARE(edit(NewUserControl::PasswordEdit)->echoMode(), QLineEdit::Password);
        QTest::keyClicks(edit(NewUserControl::NameEdit), QStringLiteral("ann"));
        QTest::keyClicks(edit(NewUserControl::PasswordEdit), QStringLiteral("abcd"));
        QTest::keyClicks(edit(NewUserControl::ConfirmEdit), QStringLiteral("abcd"));
        QTest::keyClick(edit(NewUserControl::ConfirmEdit), Qt::Key_Return);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"The minimal password length is 5 characters");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QCOMPARE(edit(NewUserControl::PasswordEdit)->text(), QString());
        QVERIFY(dialog.isVisible());

        QTest::keyClicks(edit(NewUserControl::PasswordEdit), QStringLiteral("abcde"));
        QTest::keyClicks(edit(NewUserControl::ConfirmEdit), QStringLiteral("abcde"));
        auto* advanced = qobject_cast<QAbstractButton*>(dialog.Widget(NewUserControl::Advanced));
        QTest::mouseClick(advanced, Qt::LeftButton, {}, QPoint(4, advanced->height() / 2));
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

        auto* settings = qobject_cast<QAbstractButton*>(widget(UpdateUserControl::ChangeSettings));
        QTest::mouseClick(settings, Qt::LeftButton, {}, QPoint(4, settings->height() / 2));
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
