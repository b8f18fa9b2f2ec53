// The folder editor's widgets bound to its model, offscreen (the rules are tested on the model in
// editors_tests, the panels' widgets in panel_views_qtest; the main window's tests browse, name
// and accept a new folder).

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
    void refusedOkKeepsTheInputAndEscapeFreesTheGroup() {
        Catalogue catalogue;
        MulticastTable table;
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        test::RecordingPrompter prompter;
        FolderEditorModel model(FolderEditorMode::Create, {}, table, catalogue, defaultAuthMethod);
        FolderEditorDialog dialog(model, prompter, {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(table.Associations().size(), std::size_t{1});
        auto* name = qobject_cast<QLineEdit*>(dialog.Widget(FolderControl::NameEdit));
        QTest::keyClicks(name, QStringLiteral("Films"));
        QCOMPARE(model.State(FolderControl::NameEdit).text, u"Films");

        // Enter is OK; refused, it shows the model's message and keeps the dialog and its input.
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"No physical path is chosen");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());
        QCOMPARE(name->text(), QStringLiteral("Films"));

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(table.Associations().size(), std::size_t{0});
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::FolderEditorDialogTest)
#include "folder_editor_dialog_qtest.moc"
