// The live broadcast dialog and its metadata dialog bound to their models, offscreen. The rules
// are tested on the models in editors_tests; this checks only that the widgets follow them.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/live_editor_dialog.h"
#include "editors/metadata_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {

class LiveEditorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void staticBroadcastWidgetsFollowTheModelThroughToOk() {
        Catalogue catalogue;
        MulticastTable table;
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        test::RecordingPrompter prompter;
        BroadcastSubDialogs subDialogs;
        subDialogs.metadata = MetadataSubDialog(nullptr);
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Static), table,
                              catalogue, defaultAuthMethod, subDialogs);
        LiveEditorDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto edit = [&](auto control) { return qobject_cast<QLineEdit*>(dialog.Widget(control)); };
        auto button = [&](auto control) {
            return qobject_cast<QAbstractButton*>(dialog.Widget(control));
        };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New live broadcast"));
        QCOMPARE(qobject_cast<QLabel*>(dialog.Widget(BroadcastControl::Header))->text(),
                 QString::fromStdU16String(std::u16string(LiveEditorModel::kStaticHeader)));
        QCOMPARE(dialog.IdList()->count(), 255);
        QCOMPARE(dialog.IdList()->currentText(), QStringLiteral("1"));
        QVERIFY(!button(LiveControl::SetPasswordButton)->isEnabled());
        QCOMPARE(edit(BroadcastControl::GroupEdit)->text(), QStringLiteral("225.0.0.0:5000"));

        // Tab goes down the dialog, the source controls in their place after the name.
        QCOMPARE(QApplication::focusWidget(), dialog.Widget(BroadcastControl::NameEdit));
        QWidgetList visited;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, (QWidgetList{dialog.Widget(LiveControl::AddressEdit), dialog.IdList(),
                                       dialog.Widget(BroadcastControl::DescriptionEdit),
                                       dialog.Widget(BroadcastControl::Unicast)}));

        // A refused OK shows the model's message and keeps the dialog and its input.
        QTest::keyClicks(edit(LiveControl::AddressEdit), QStringLiteral("192.168.0.10"));
        button(BroadcastControl::OkButton)->click();
        QCOMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text, u"No name for new live broadcast is specified");
        QCOMPARE(prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());

        // Unchecking unicast takes the options that depend on it away.
        button(BroadcastControl::Unicast)->click();
        QVERIFY(!button(AccessControl::Metadata)->isEnabled());
        QVERIFY(!button(AccessControl::AllowDelegates)->isEnabled());
        button(BroadcastControl::Unicast)->click();
        QVERIFY(button(AccessControl::Metadata)->isEnabled());

        // "Metadata" opens its dialog with the form's texts; OK there keeps what was typed.
        QString metadataTitle;
        QTimer::singleShot(0, [&metadataTitle] {
            auto* metadata = qobject_cast<MetadataDialog*>(QApplication::activeModalWidget());
            QVERIFY(metadata != nullptr);
            metadataTitle = metadata->windowTitle();
            QTest::keyClicks(metadata->Widget(MetadataControl::TitleEdit),
                             QStringLiteral("Evening"));
            qobject_cast<QAbstractButton*>(metadata->Widget(MetadataControl::OkButton))->click();
        });
        button(AccessControl::Metadata)->click();
        QCOMPARE(metadataTitle, QStringLiteral("MMS / Flash Metadata"));

        dialog.IdList()->setFocus();
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QCOMPARE(model.SelectedId(), 2);
        QTest::keyClicks(edit(BroadcastControl::NameEdit), QStringLiteral("News"));
        QTest::keyClick(edit(BroadcastControl::NameEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().source, u"3@192.168.0.10");
        QCOMPARE(model.Form().metadata.title, u"Evening");
        QCOMPARE(prompter.shown.size(), std::size_t{1});
    }

    void dynamicBroadcastOffersThePasswordAndCancelFreesTheGroup() {
        Catalogue catalogue;
        MulticastTable table;
        AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
        test::RecordingPrompter prompter;
        BroadcastSubDialogs subDialogs;
        int passwordRuns = 0;
        subDialogs.setPassword = [&](std::u16string&) { return ++passwordRuns, false; };
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Dynamic), table,
                              catalogue, defaultAuthMethod, subDialogs);
        LiveEditorDialog dialog(model, prompter);
        dialog.show();
        QVERIFY(!dialog.Widget(LiveControl::AddressEdit)->isEnabled());
        QVERIFY(!dialog.IdList()->isEnabled());
        QCOMPARE(dialog.IdList()->count(), 0);
        qobject_cast<QAbstractButton*>(dialog.Widget(LiveControl::SetPasswordButton))->click();
        QCOMPARE(passwordRuns, 1);
        QCOMPARE(table.Associations().size(), std::size_t{1});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(table.Associations().size(), std::size_t{0});
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::LiveEditorDialogTest)
#include "live_editor_dialog_qtest.moc"
