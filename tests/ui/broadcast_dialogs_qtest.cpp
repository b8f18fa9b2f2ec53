// The type chooser and the live broadcast dialog (with its metadata dialog) bound to their
// models, offscreen (the rules are tested on the models in editors_tests).

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/live_editor_dialog.h"
#include "editors/live_type_chooser_dialog.h"
#include "editors/metadata_dialog.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// What a broadcast editor needs besides its model.
struct Parts {
    Catalogue catalogue;
    MulticastTable table;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    test::RecordingPrompter prompter;
    BroadcastSubDialogs subDialogs;
};

QAbstractButton* Button(QWidget* widget) {
    return qobject_cast<QAbstractButton*>(widget);
}

}  // namespace

class BroadcastDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // (The main window's tests reach the delegate editor through the chooser.)
    void chooserOffersRebroadcastOnlyWhenAllowed() {
        LiveTypeChooserModel model(false);
        LiveTypeChooserDialog dialog(model);
        QVERIFY(Button(dialog.Widget(LiveTypeControl::StaticRadio))->isChecked());
        QVERIFY(!dialog.Widget(LiveTypeControl::RebroadcastRadio)->isEnabled());
    }

    void staticBroadcastWidgetsFollowTheModelThroughToOk() {
        Parts p;
        p.subDialogs.metadata = MetadataSubDialog(nullptr);
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Static), p.table,
                              p.catalogue, p.defaultAuthMethod, p.subDialogs);
        LiveEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New live broadcast"));
        QVERIFY(!dialog.Widget(LiveControl::SetPasswordButton)->isEnabled());

        // Tab goes down the dialog, the source controls in their place after the name.
        QTest::keyClick(dialog.Widget(BroadcastControl::NameEdit), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.IdList());

        // A refused OK shows the model's message and keeps the dialog and its input.
        QTest::keyClicks(dialog.Widget(LiveControl::AddressEdit), QStringLiteral("192.168.0.10"));
        Button(dialog.Widget(BroadcastControl::OkButton))->click();
        QCOMPARE(p.prompter.shown.size(), std::size_t{1});
        QCOMPARE(p.prompter.shown[0].text, u"No name for new live broadcast is specified");
        QCOMPARE(p.prompter.shown[0].caption, u"Error");
        QVERIFY(dialog.isVisible());

        // A click in the shared part reaches the model, and its decision shows in the panel.
        Button(dialog.Widget(BroadcastControl::Unicast))->click();
        QVERIFY(!dialog.Widget(AccessControl::Metadata)->isEnabled());
        Button(dialog.Widget(BroadcastControl::Unicast))->click();

        // "Metadata" opens its dialog; OK there keeps what was typed.
        QTimer::singleShot(0, [] {
            auto* metadata = qobject_cast<MetadataDialog*>(QApplication::activeModalWidget());
            QVERIFY(metadata != nullptr);
            QTest::keyClicks(metadata->Widget(MetadataControl::TitleEdit),
                             QStringLiteral("Evening"));
            Button(metadata->Widget(MetadataControl::OkButton))->click();
        });
        Button(dialog.Widget(AccessControl::Metadata))->click();

        dialog.IdList()->setFocus();
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClick(dialog.IdList(), Qt::Key_Down);
        QTest::keyClicks(dialog.Widget(BroadcastControl::NameEdit), QStringLiteral("News"));
        QTest::keyClick(dialog.Widget(BroadcastControl::NameEdit), Qt::Key_Return);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(model.Form().source, u"3@192.168.0.10");
        QCOMPARE(model.Form().metadata.title, u"Evening");
    }

    void dynamicBroadcastOffersThePasswordAndCancelFreesTheGroup() {
        Parts p;
        int passwordRuns = 0;
        p.subDialogs.setPassword = [&](std::u16string&) { return ++passwordRuns, false; };
        LiveEditorModel model(LiveEditorMode::Create, NewLiveForm(LiveType::Dynamic), p.table,
                              p.catalogue, p.defaultAuthMethod, p.subDialogs);
        LiveEditorDialog dialog(model, p.prompter);
        dialog.show();
        QVERIFY(!dialog.IdList()->isEnabled());
        Button(dialog.Widget(LiveControl::SetPasswordButton))->click();
        QCOMPARE(passwordRuns, 1);
        QCOMPARE(p.table.Associations().size(), std::size_t{1});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(p.table.Associations().size(), std::size_t{0});
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::BroadcastDialogsTest)
#include "broadcast_dialogs_qtest.moc"
