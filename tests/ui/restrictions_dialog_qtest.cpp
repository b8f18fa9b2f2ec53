// The restrictions dialog reads its file on a thread of its own: the window is not held up
// while it does, only Cancel works until the lists arrive, and an unreadable file is reported
// when they do.

#include <chrono>
#include <future>
#include <thread>

#include <QAbstractButton>
#include <QTest>
#include <QTreeWidget>

#include "monitor/delegate_restrictions_dialog.h"
#include "monitor/restrictions_fakes.h"

namespace vantor {
namespace {

const std::string Path = "/data/VantorIPRestrictions.config";

// Holds every read until released, and remembers the thread it ran on.
class SlowFileStore : public test::FakeFileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
        readOn = std::this_thread::get_id();
        released.wait();
        return FakeFileStore::ReadFile(path);
    }
    void Put(const std::string& text) { files[Path].assign(text.begin(), text.end()); }

    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread::id readOn;
};

}  // namespace

class RestrictionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void theListsArriveFromAReadOffTheWindowsThread() {
        SlowFileStore files;
        files.Put(test::RestrictionsFile(test::RestrictionsBody("ExceptionList", {"a"}, {"b"})));
        test::RecordingPrompter prompter;
        DelegateRestrictionsModel model(files, FixedRestrictionsFile(Path), prompter, {});
        DelegateRestrictionsDialog dialog(model);
        dialog.LoadInBackground(files, prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // The window goes on while the read waits; only Cancel can be used meanwhile.
        QTest::qWait(50);
        QVERIFY(!dialog.Widget(RestrictionsControl::OkButton)->isEnabled());
        QVERIFY(!dialog.Widget(RestrictionsControl::AddButton)->isEnabled());
        QVERIFY(dialog.Widget(RestrictionsControl::CancelButton)->isEnabled());
        QCOMPARE(dialog.List(DelegateAccessMode::ExceptionList)->topLevelItemCount(), 0);

        files.release.set_value();
        QTRY_COMPARE(dialog.List(DelegateAccessMode::ExceptionList)->topLevelItemCount(), 1);
        QCOMPARE(dialog.List(DelegateAccessMode::AllowedList)->topLevelItem(0)->text(1),
                 QStringLiteral("b"));
        QVERIFY(dialog.Widget(RestrictionsControl::OkButton)->isEnabled());
        QVERIFY(files.readOn != std::this_thread::get_id());
        QVERIFY(prompter.shown.empty());
    }

    void anUnreadableFileIsReportedWhenItArrives() {
        SlowFileStore files;
        files.Put("<?xml version=\"1.0\"?><IPRestrictionsConfig");
        files.release.set_value();
        test::RecordingPrompter prompter;
        DelegateRestrictionsModel model(files, FixedRestrictionsFile(Path), prompter, {});
        DelegateRestrictionsDialog dialog(model);
        dialog.LoadInBackground(files, prompter);
        QTRY_COMPARE(prompter.shown.size(), std::size_t{1});
        QCOMPARE(prompter.shown[0].text,
                 u"The restrictions file /data/VantorIPRestrictions.config could not be read: it "
                 u"is cut short, is not well-formed XML, is larger than 16 MiB or may not be read "
                 u"by you. OK will replace it with the lists shown here, and the unreadable file "
                 u"will be kept as /data/VantorIPRestrictions.config.damaged.");
        QCOMPARE(prompter.shown[0].caption, u"Configuration of Media Server");
        QVERIFY(prompter.shown[0].icon == MessageIcon::Warning);
        QVERIFY(dialog.Widget(RestrictionsControl::OkButton)->isEnabled());
    }

    void closingBeforeTheReadEndsWaitsForIt() {
        SlowFileStore files;
        test::RecordingPrompter prompter;
        DelegateRestrictionsModel model(files, FixedRestrictionsFile(Path), prompter, {});
        std::thread releaser;
        {
            DelegateRestrictionsDialog dialog(model);
            dialog.LoadInBackground(files, prompter);
            releaser = std::thread([&files] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                files.release.set_value();
            });
        }
        releaser.join();
        // The result went with the dialog.
        QCoreApplication::processEvents();
        QVERIFY(!model.State(RestrictionsControl::OkButton).enabled);
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::RestrictionsDialogTest)
#include "restrictions_dialog_qtest.moc"
