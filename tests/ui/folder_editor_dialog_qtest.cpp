// The folder editor's widgets bound to its model, offscreen.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "config/catalogue.h"
#include "editors/folder_editor_dialog.h"
#include "editors/multicast_table.h"
#include "editors/qt_control_state.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

QString Q(std::u16string_view text) {
    return ToQString(text);
}

// A dialog over a model over a catalogue and a multicast table, with a browser that answers
// what the test says and remembers how it was asked.
struct Editor {
    explicit Editor(FolderForm form = {}, FolderEditorMode mode = FolderEditorMode::Create,
                    AuthMethod serverMethod = AuthMethod::Anonymous)
        : defaultAuthMethod(serverMethod),
          model(mode, std::move(form), table, catalogue, defaultAuthMethod) {
        dialog = std::make_unique<FolderEditorDialog>(
            model, prompter, [this](QWidget*, const QString& title, const QString& start) {
                browseTitles << title;
                browseStarts << start;
                return browseAnswer;
            });
    }

    void Show() {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }
    template <typename Control>
    QLineEdit* Edit(Control control) {
        return qobject_cast<QLineEdit*>(dialog->Widget(control));
    }
    template <typename Control>
    QAbstractButton* Button(Control control) {
        return qobject_cast<QAbstractButton*>(dialog->Widget(control));
    }
    template <typename Control>
    void Click(Control control) {
        QAbstractButton* button = Button(control);
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    void ClickOk() { Button(FolderControl::OkButton)->click(); }
    std::vector<std::u16string> Messages() const {
        std::vector<std::u16string> texts;
        for (const auto& shown : prompter.shown) {
            texts.push_back(shown.text);
        }
        return texts;
    }

    Catalogue catalogue;
    MulticastTable table;
    AuthMethod defaultAuthMethod;
    FolderEditorModel model;
    test::RecordingPrompter prompter;
    QString browseAnswer;
    QStringList browseTitles;
    QStringList browseStarts;
    std::unique_ptr<FolderEditorDialog> dialog;
};

// Every widget against its control's state in the model.
template <typename Control>
void CompareWithModel(FolderEditorDialog& dialog, Control count,
                      const ControlState& (*state)(const FolderEditorModel&, Control),
                      const FolderEditorModel& model) {
    for (int i = 0; i < static_cast<int>(count); ++i) {
        const auto control = static_cast<Control>(i);
        QWidget* widget = dialog.Widget(control);
        const ControlState& expected = state(model, control);
        const QByteArray where = QByteArray::number(i) + " " + widget->metaObject()->className();
        QVERIFY2(widget != nullptr, where);
        QVERIFY2(widget->isEnabled() == expected.enabled, where);
        QVERIFY2(widget->isHidden() == !expected.visible, where);
        if (!expected.text.empty() || qobject_cast<QLineEdit*>(widget) != nullptr) {
            QCOMPARE(DisplayedText(*widget), Q(expected.text));
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget);
            button && button->isCheckable()) {
            QVERIFY2(button->isChecked() == expected.checked, where);
        }
    }
}

void CompareAllWithModel(Editor& editor) {
    CompareWithModel<FolderControl>(
        *editor.dialog, FolderControl::Count,
        [](const FolderEditorModel& m, FolderControl c) -> const ControlState& {
            return m.State(c);
        },
        editor.model);
    CompareWithModel<AccessControl>(
        *editor.dialog, AccessControl::Count,
        [](const FolderEditorModel& m, AccessControl c) -> const ControlState& {
            return m.Access().State(c);
        },
        editor.model);
    CompareWithModel<LimitsControl>(
        *editor.dialog, LimitsControl::Count,
        [](const FolderEditorModel& m, LimitsControl c) -> const ControlState& {
            return m.Limits().State(c);
        },
        editor.model);
}

}  // namespace

class FolderEditorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void createModeOpensWithTheDefaults();
    void clicksAndTypingGoThroughTheModel();
    void failedOkShowsTheErrorAndKeepsTheInput();
    void browseAndValidOkAccept();
    void refusedGroupComesBackAndCancelFreesTheReservedOne();
    void digitsOnlyEditsRefuseLetters();
    void updateModeShowsTheRecord();
    void mnemonicsAreUniqueAndTabOrderRunsDown();
};

void FolderEditorDialogTest::createModeOpensWithTheDefaults() {
    Editor editor;
    editor.Show();
    QCOMPARE(editor.dialog->windowTitle(), QStringLiteral("New virtual folder"));
    CompareAllWithModel(editor);

    for (FolderControl box : {FolderControl::Unicast, FolderControl::Multicast,
                              FolderControl::Playlist, FolderControl::Alphabetical}) {
        QVERIFY(editor.Button(box)->isChecked());
    }
    QVERIFY(editor.Button(AccessControl::PlayerOption)->isChecked());
    QCOMPARE(editor.Edit(FolderControl::GroupEdit)->text(), QStringLiteral("225.0.0.0:5000"));
    QVERIFY(editor.Edit(FolderControl::PathEdit)->isReadOnly());
    QVERIFY(!editor.Edit(FolderControl::NameEdit)->isReadOnly());
    auto* limits = qobject_cast<QGroupBox*>(editor.dialog->Widget(LimitsControl::GroupBox));
    QCOMPARE(limits->title(), QStringLiteral(" Limit player connections to this virtual folder"));
    // The broadcast editors' controls take no room here.
    QVERIFY(!editor.dialog->Widget(AccessControl::Metadata)->isVisible());
    QVERIFY(!editor.dialog->Widget(LimitsControl::PlayTimeEdit)->isVisible());
    QVERIFY(editor.prompter.shown.empty());
}

void FolderEditorDialogTest::clicksAndTypingGoThroughTheModel() {
    Editor editor;
    editor.Show();
    QLineEdit* group = editor.Edit(FolderControl::GroupEdit);

    editor.Click(FolderControl::Multicast);
    QVERIFY(!editor.model.State(FolderControl::Multicast).checked);
    QCOMPARE(group->text(), QString());
    QVERIFY(!group->isEnabled());
    QVERIFY(editor.Button(FolderControl::Playlist)->isChecked());

    editor.Click(FolderControl::Playlist);
    QVERIFY(!editor.Button(FolderControl::Alphabetical)->isEnabled());
    QVERIFY(!editor.Button(FolderControl::Random)->isEnabled());
    // Multicast brings the playlist back with it, and the group it still holds.
    editor.Click(FolderControl::Multicast);
    QVERIFY(editor.Button(FolderControl::Playlist)->isChecked());
    QVERIFY(editor.Button(FolderControl::Random)->isEnabled());
    QCOMPARE(group->text(), QStringLiteral("225.0.0.0:5000"));

    editor.Click(FolderControl::Random);
    QVERIFY(editor.model.State(FolderControl::Random).checked);
    QVERIFY(!editor.Button(FolderControl::Alphabetical)->isChecked());

    // Internal authentication takes the player option away.
    editor.Click(AccessControl::InternalRadio);
    QVERIFY(!editor.Button(AccessControl::PlayerOption)->isChecked());
    QVERIFY(!editor.dialog->Widget(AccessControl::InheritedMethodLabel)->isVisible());
    editor.Click(AccessControl::MediumUsers);
    QCOMPARE(editor.model.Access().ReadGroups(), UserGroups{5});

    editor.Click(LimitsControl::TotalConnectionsCheck);
    QVERIFY(editor.Edit(LimitsControl::TotalConnectionsEdit)->isEnabled());

    QTest::keyClicks(editor.Edit(FolderControl::NameEdit), QStringLiteral("Films"));
    QTest::keyClicks(editor.Edit(FolderControl::DescriptionEdit), QStringLiteral("Old ones"));
    QCOMPARE(editor.model.State(FolderControl::NameEdit).text, u"Films");
    QCOMPARE(editor.model.State(FolderControl::DescriptionEdit).text, u"Old ones");
    CompareAllWithModel(editor);
}

void FolderEditorDialogTest::failedOkShowsTheErrorAndKeepsTheInput() {
    Editor editor;
    editor.Show();
    QTest::keyClicks(editor.Edit(FolderControl::NameEdit), QStringLiteral("a/b"));

    editor.ClickOk();
    QCOMPARE(editor.prompter.shown.size(), std::size_t{1});
    QCOMPARE(editor.prompter.shown[0].text, u"No physical path is chosen");
    QCOMPARE(editor.prompter.shown[0].caption, u"Error");
    QVERIFY(editor.dialog->isVisible());
    QCOMPARE(editor.dialog->result(), int{QDialog::Rejected});
    QCOMPARE(editor.Edit(FolderControl::NameEdit)->text(), QStringLiteral("a/b"));

    editor.browseAnswer = QStringLiteral("/srv/films");
    editor.Click(FolderControl::BrowseButton);
    editor.ClickOk();
    QCOMPARE(editor.prompter.shown.back().text,
             u"Virtual folder name can not contain characters \"*/\\\"");
    // Enter in an edit is OK as well.
    editor.Click(FolderControl::Unicast);
    editor.Click(FolderControl::Multicast);
    QLineEdit* name = editor.Edit(FolderControl::NameEdit);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("a:b"));
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(editor.prompter.shown.back().text,
             u"Either Unicast or Multicast or both should be checked");
    QCOMPARE(editor.prompter.shown.back().caption, u"Error");
    QCOMPARE(editor.prompter.shown.size(), std::size_t{3});
    QVERIFY(editor.dialog->isVisible());
    QCOMPARE(name->text(), QStringLiteral("a:b"));
    CompareAllWithModel(editor);
}

void FolderEditorDialogTest::browseAndValidOkAccept() {
    Editor editor;
    editor.Show();
    editor.Click(FolderControl::BrowseButton);  // cancelled: nothing changes
    QCOMPARE(editor.Edit(FolderControl::PathEdit)->text(), QString());
    QCOMPARE(editor.browseTitles,
             QStringList{QStringLiteral("Select folder containing media files for streaming")});
    QCOMPARE(editor.browseStarts, QStringList{QString()});

    editor.browseAnswer = QStringLiteral("/srv/média");
    editor.Click(FolderControl::BrowseButton);
    QCOMPARE(editor.Edit(FolderControl::PathEdit)->text(), QStringLiteral("/srv/média"));
    QTest::keyClicks(editor.Edit(FolderControl::NameEdit), QStringLiteral("Films"));
    editor.ClickOk();
    QVERIFY(editor.prompter.shown.empty());
    QCOMPARE(editor.dialog->result(), int{QDialog::Accepted});
    QVERIFY(!editor.dialog->isVisible());
    QCOMPARE(editor.model.Form().name, u"Films");
    QCOMPARE(editor.model.Form().path, u"/srv/média");
    QCOMPARE(editor.model.Form().groupText, u"225.0.0.0:5000");

    // The browser starts where the last OK read the path.
    Editor again;
    again.Show();
    again.browseAnswer = QStringLiteral("/srv/a");
    again.Click(FolderControl::BrowseButton);
    again.ClickOk();  // no name yet
    again.browseAnswer.clear();
    again.Click(FolderControl::BrowseButton);
    QCOMPARE(again.browseStarts, (QStringList{QString(), QStringLiteral("/srv/a")}));
}

void FolderEditorDialogTest::refusedGroupComesBackAndCancelFreesTheReservedOne() {
    Editor editor;
    std::u16string taken = u"226.1.1.1:6000";
    std::u16string message;
    QVERIFY(editor.table.Register(taken, message));
    editor.Show();
    editor.browseAnswer = QStringLiteral("/srv/films");
    editor.Click(FolderControl::BrowseButton);
    QTest::keyClicks(editor.Edit(FolderControl::NameEdit), QStringLiteral("Films"));
    QLineEdit* group = editor.Edit(FolderControl::GroupEdit);
    group->selectAll();
    QTest::keyClicks(group, QStringLiteral("226.1.1.1:7000"));

    editor.ClickOk();
    QCOMPARE(editor.prompter.shown.size(), std::size_t{1});
    QVERIFY(editor.prompter.shown[0].text.starts_with(u"Duplicate Multicast group address"));
    QCOMPARE(editor.prompter.shown[0].caption, u"Error");
    QCOMPARE(group->text(), QStringLiteral("225.0.0.0:5000"));
    QVERIFY(editor.dialog->isVisible());

    // Escape cancels, and the group reserved on opening is free again.
    QTest::keyClick(editor.dialog.get(), Qt::Key_Escape);
    QCOMPARE(editor.dialog->result(), int{QDialog::Rejected});
    QVERIFY(!editor.dialog->isVisible());
    std::u16string reserved = u"225.0.0.0:5000";
    QVERIFY(editor.table.Register(reserved, message));
}

void FolderEditorDialogTest::digitsOnlyEditsRefuseLetters() {
    Editor editor;
    editor.Show();
    for (LimitPair pair :
         {LimitPair::TotalConnections, LimitPair::ConnectionsPerUser, LimitPair::Throughput}) {
        editor.Click(LimitsPanel::CheckBoxOf(pair));
        QLineEdit* edit = editor.Edit(LimitsPanel::EditOf(pair));
        QVERIFY(edit->isEnabled());
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("1x2-a 3"));
    }
    QCOMPARE(editor.Edit(LimitsControl::TotalConnectionsEdit)->text(), QStringLiteral("123"));
    QCOMPARE(editor.Edit(LimitsControl::ThroughputEdit)->text(), QStringLiteral("123"));
    // The per-user box takes any text; its check reads the leading number.
    QCOMPARE(editor.Edit(LimitsControl::ConnectionsPerUserEdit)->text(), QStringLiteral("1x2-a 3"));
    QCOMPARE(editor.model.Limits().State(LimitsControl::ConnectionsPerUserEdit).text, u"1x2-a 3");
    const LimitsReading reading = editor.model.Limits().ReadLimits();
    QCOMPARE(reading.message, std::u16string());
    QCOMPARE(reading.maxConnections.value, 123);
    QCOMPARE(reading.maxConnectionsPerUser.value, 1);
}

void FolderEditorDialogTest::updateModeShowsTheRecord() {
    ResourceRecord record;
    record.kind = ResourceKind::VirtualFolder;
    record.name = u"Music";
    record.source = u"/srv/music";
    record.authMethod = AuthMethod::Internal;
    record.userGroups = 2;
    record.allowMmsPlayers = true;
    record.multicast = false;
    record.playlistOrder = 1;
    record.maxConnectionsPerUser = 5;
    Editor editor(FolderFormFromRecord(record), FolderEditorMode::Update);
    editor.Show();
    QCOMPARE(editor.dialog->windowTitle(), QStringLiteral("Update virtual folder"));
    QCOMPARE(editor.Edit(FolderControl::NameEdit)->text(), QStringLiteral("Music"));
    QCOMPARE(editor.Edit(FolderControl::PathEdit)->text(), QStringLiteral("/srv/music"));
    QVERIFY(editor.Button(AccessControl::InternalRadio)->isChecked());
    QVERIFY(!editor.Button(AccessControl::PlayerOption)->isChecked());
    QVERIFY(editor.Button(FolderControl::Random)->isChecked());
    QVERIFY(editor.Button(LimitsControl::ConnectionsPerUserCheck)->isChecked());
    QCOMPARE(editor.Edit(LimitsControl::ConnectionsPerUserEdit)->text(), QStringLiteral("5"));
    CompareAllWithModel(editor);
    // No group was reserved for a folder without multicast.
    QVERIFY(editor.table.Associations().empty());
}

void FolderEditorDialogTest::mnemonicsAreUniqueAndTabOrderRunsDown() {
    Editor editor;
    editor.Show();
    std::map<QChar, QString> owners;
    for (QWidget* widget : editor.dialog->findChildren<QWidget*>()) {
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
        }
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at < 0 || at + 1 >= text.size() || !widget->isVisibleTo(editor.dialog.get())) {
            continue;
        }
        const QChar letter = text[at + 1].toLower();
        QVERIFY2(owners.count(letter) == 0,
                 qPrintable(text + QStringLiteral(" and ") + owners[letter]));
        owners[letter] = text;
    }
    QVERIFY(owners.size() >= 15);
    QCOMPARE(qobject_cast<QLabel*>(editor.dialog->Widget(FolderControl::NameLabel))->buddy(),
             editor.dialog->Widget(FolderControl::NameEdit));

    // From the name edit the Tab key walks down the dialog to OK and Cancel.
    QWidget* expected[] = {
        editor.dialog->Widget(FolderControl::NameEdit),
        editor.dialog->Widget(FolderControl::BrowseButton),
        editor.dialog->Widget(FolderControl::PathEdit),
        editor.dialog->Widget(FolderControl::DescriptionEdit),
        editor.dialog->Widget(FolderControl::Unicast),
        editor.dialog->Widget(AccessControl::PlayerOption),
    };
    QCOMPARE(QApplication::focusWidget(), expected[0]);
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected[i]);
    }
    QWidget* cancel = editor.dialog->Widget(FolderControl::CancelButton);
    for (int presses = 0; presses < 40 && QApplication::focusWidget() != cancel; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), cancel);
    QTest::keyClick(cancel, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), expected[0]);  // and round again
}

}  // namespace vantor

QTEST_MAIN(vantor::FolderEditorDialogTest)
#include "folder_editor_dialog_qtest.moc"
