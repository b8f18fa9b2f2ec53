// The folder editor's widgets bound to its model, offscreen. The editor's rules are tested on
// the model in editors_tests; this checks only that the widgets follow it both ways.

#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include "config/catalogue.h"
#include "editors/folder_editor_dialog.h"
#include "editors/multicast_table.h"
#include "editors/qt_control_state.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

// A shown dialog over a model, with a browser that answers browseAnswer.
struct Editor {
    explicit Editor(FolderForm form = {}, FolderEditorMode mode = FolderEditorMode::Create)
        : model(mode, std::move(form), table, catalogue, defaultAuthMethod) {
        dialog = std::make_unique<FolderEditorDialog>(
            model, prompter,
            [this](QWidget*, const QString&, const QString&) { return browseAnswer; });
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }

    template <typename Control>
    QLineEdit* Edit(Control control) {
        return qobject_cast<QLineEdit*>(dialog->Widget(control));
    }
    template <typename Control>
    void Click(Control control) {
        auto* button = qobject_cast<QAbstractButton*>(dialog->Widget(control));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }

    // Every widget against its control's state in the model.
    template <typename Control, typename StateOf>
    void Compare(Control count, StateOf state) {
        for (int i = 0; i < static_cast<int>(count); ++i) {
            QWidget* widget = dialog->Widget(static_cast<Control>(i));
            const ControlState& expected = state(static_cast<Control>(i));
            const QByteArray where =
                QByteArray::number(i) + " " + widget->metaObject()->className();
            QVERIFY2(widget->isEnabled() == expected.enabled, where);
            QVERIFY2(widget->isHidden() == !expected.visible, where);
            if (!expected.text.empty() || qobject_cast<QLineEdit*>(widget) != nullptr) {
                QCOMPARE(DisplayedText(*widget), ToQString(expected.text));
            }
            if (auto* button = qobject_cast<QAbstractButton*>(widget);
                button && button->isCheckable()) {
                QVERIFY2(button->isChecked() == expected.checked, where);
            }
        }
    }
    void CompareAll() {
        Compare(FolderControl::Count, [&](FolderControl c) { return model.State(c); });
        Compare(AccessControl::Count, [&](AccessControl c) { return model.Access().State(c); });
        Compare(LimitsControl::Count, [&](LimitsControl c) { return model.Limits().State(c); });
    }

    Catalogue catalogue;
    MulticastTable table;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    FolderEditorModel model;
    test::RecordingPrompter prompter;
    QString browseAnswer;
    std::unique_ptr<FolderEditorDialog> dialog;
};

}  // namespace

class FolderEditorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsFollowTheModelThroughToOk();
    void updateModeShowsTheRecordAndEscapeCancels();
};

void FolderEditorDialogTest::widgetsFollowTheModelThroughToOk() {
    Editor editor;
    QCOMPARE(editor.dialog->windowTitle(), QStringLiteral("New virtual folder"));
    editor.CompareAll();

    editor.Click(FolderControl::Multicast);
    QVERIFY(!editor.model.State(FolderControl::Multicast).checked);
    editor.Click(AccessControl::InternalRadio);
    editor.Click(LimitsControl::TotalConnectionsCheck);
    editor.Edit(LimitsControl::TotalConnectionsEdit)->selectAll();
    QTest::keyClicks(editor.Edit(LimitsControl::TotalConnectionsEdit), QStringLiteral("1x2"));
    QCOMPARE(editor.Edit(LimitsControl::TotalConnectionsEdit)->text(), QStringLiteral("12"));
    QTest::keyClicks(editor.Edit(FolderControl::NameEdit), QStringLiteral("Films"));
    QCOMPARE(editor.model.State(FolderControl::NameEdit).text, u"Films");
    editor.CompareAll();

    // A refused OK shows the model's message and keeps the dialog and its input.
    editor.Click(FolderControl::OkButton);
    QCOMPARE(editor.prompter.shown.size(), std::size_t{1});
    QCOMPARE(editor.prompter.shown[0].text, u"No physical path is chosen");
    QCOMPARE(editor.prompter.shown[0].caption, u"Error");
    QVERIFY(editor.dialog->isVisible());
    QCOMPARE(editor.Edit(FolderControl::NameEdit)->text(), QStringLiteral("Films"));

    // Browse fills the path; Enter in an edit is OK as well.
    editor.browseAnswer = QStringLiteral("/srv/média");
    editor.Click(FolderControl::BrowseButton);
    QCOMPARE(editor.Edit(FolderControl::PathEdit)->text(), QStringLiteral("/srv/média"));
    editor.Edit(FolderControl::NameEdit)->setFocus();
    QTest::keyClick(editor.Edit(FolderControl::NameEdit), Qt::Key_Return);
    QCOMPARE(editor.prompter.shown.size(), std::size_t{1});
    QCOMPARE(editor.dialog->result(), int{QDialog::Accepted});
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.model.Form().path, u"/srv/média");
    QCOMPARE(editor.model.Form().maxConnections.value, 12);
}

void FolderEditorDialogTest::updateModeShowsTheRecordAndEscapeCancels() {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = u"Music";
    record.source = u"/srv/music";
    record.authMethod = AuthMethod::Internal;
    record.userGroups = MediumUsers;
    record.multicast = true;
    record.playlist = true;
    record.playlistOrder = 1;
    record.maxConnectionsPerUser = 5;
    Editor editor(FolderFormFromRecord(record), FolderEditorMode::Update);
    QCOMPARE(editor.dialog->windowTitle(), QStringLiteral("Update virtual folder"));
    QCOMPARE(editor.Edit(FolderControl::NameEdit)->text(), QStringLiteral("Music"));
    QCOMPARE(editor.Edit(LimitsControl::ConnectionsPerUserEdit)->text(), QStringLiteral("5"));
    editor.CompareAll();

    // The group reserved on opening is free again after Escape.
    QCOMPARE(editor.table.Associations().size(), std::size_t{1});
    QTest::keyClick(editor.dialog.get(), Qt::Key_Escape);
    QCOMPARE(editor.dialog->result(), int{QDialog::Rejected});
    QVERIFY(editor.table.Associations().empty());
}

}  // namespace vantor

QTEST_MAIN(vantor::FolderEditorDialogTest)
#include "folder_editor_dialog_qtest.moc"
