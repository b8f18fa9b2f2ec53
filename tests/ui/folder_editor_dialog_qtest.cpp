// The folder editor's widgets bound to its model, offscreen. The editor's rules are tested on
// the model in editors_tests; this checks only that the widgets follow it both ways.

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/folder_editor_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class FolderEditorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsFollowTheModelThroughToOk() {
        Catalogue catalogue;
        MulticastTable table;
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        test::RecordingPrompter prompter;
        FolderEditorModel model(FolderEditorMode::Create, {}, table, catalogue, defaultAuthMethod);
        QString browseAnswer;
        FolderEditorDialog dialog(model, prompter, [&](QWidget*, const QString&, const QString&) {
            return browseAnswer;
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto click = [&](auto control) {
            auto* button = qobject_cast<QAbstractButton*>(dialog.Widget(control));
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        };
        auto edit = [&](auto control) { return qobject_cast<QLineEdit*>(dialog.Widget(control)); };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New virtual folder"));

        // Clicks and keys reach the model, and what the model decides shows in the widgets.
        QVERIFY(!edit(LimitsControl::TotalConnectionsEdit)->isEnabled());
        click(LimitsControl::TotalConnectionsCheck);
        QVERIFY(edit(LimitsControl::TotalConnectionsEdit)->isEnabled());
        edit(LimitsControl::TotalConnectionsEdit)->selectAll();
        QTest::keyClicks(edit(LimitsControl::TotalConnectionsEdit), QStringLiteral("1x2"));
        QCOMPARE(edit(LimitsControl::TotalConnectionsEdit)->text(), QStringLiteral("12"));
        QTest::keyClicks(edit(FolderControl::NameEdit), QStringLiteral("Films"));
        QCOMPARE(model.State(FolderControl::NameEdit).text, u"Films");

        // A refused OK shows the model's message and keeps the dialog and its input.
        click(FolderControl::OkButton);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"No physical path is chosen");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit(FolderControl::NameEdit)->text(), QStringLiteral("Films"));

        // Browse fills the path; Enter in an edit is OK as well.
        browseAnswer = QStringLiteral("/srv/média");
        click(FolderControl::BrowseButton);
        QCOMPARE(edit(FolderControl::PathEdit)->text(), QStringLiteral("/srv/média"));
        edit(FolderControl::NameEdit)->setFocus();
        QTest::keyClick(edit(FolderControl::NameEdit), Qt::Key_Return);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QVERIFY(!dialog.isVisible());
        QCOMPARE(model.Form().path, u"/srv/média");
        QCOMPARE(model.Form().maxConnections.value, 12);

        // Escape cancels, and frees the group the editor reserved when it opened.
        const std::size_t reserved = table.Associations().size();
        FolderEditorModel other(FolderEditorMode::Create, {}, table, catalogue, defaultAuthMethod);
        FolderEditorDialog cancelled(other, prompter, {});
        cancelled.show();
        QCOMPARE(table.Associations().size(), reserved + 1);
        QTest::keyClick(&cancelled, Qt::Key_Escape);
        QCOMPARE(cancelled.result(), int{QDialog::Rejected});
        QCOMPARE(table.Associations().size(), reserved);
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::FolderEditorDialogTest)
#include "folder_editor_dialog_qtest.moc"
