// The contents list pane over a real folder: double clicks step in and out, summaries arrive
// from the worker, a file asks to be opened.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "config/catalogue.h"
#include "platform/linux_directory_reader.h"
#include "platform/media_probe.h"
#include "ui/contents_folder.h"
#include "ui/contents_list.h"
#include "ui/contents_list_pane.h"

namespace vantor {
namespace {

// Every file is a ten-second sound of 1 024 000 bytes.
class TenSecondProbe : public MediaProbe {
public:
    MediaFacts Probe(const std::string&, const std::function<bool()>&) override {
        MediaFacts facts;
        facts.renders = true;
        facts.hasAudio = true;
        facts.fileSize = 1'024'000;
        facts.duration = 100'000'000;
        return facts;
    }
};

// As a mouse delivers it: mouseDClick alone is only the second press.
void DoubleClick(QTreeView& view, int row) {
    const QPoint at = view.visualRect(view.model()->index(row, 0)).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class ContentsNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void DoubleClicksStepThroughTheFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("extras/deeper"));
        for (const char* name : {"clip.mp4", ".hidden.mp4", "extras/intro.avi"}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Catalogue catalogue;
        ResourceRecord record;
        record.kind = ResourceKind::VirtualFolder;
        record.name = u"Media";
        record.source = dir.path().toStdU16String();
        CatalogueItem* item = catalogue.InsertResourceItem(record);

        TenSecondProbe probe;
        LinuxDirectoryReader reader;
        ContentsListPane pane(probe, reader);
        pane.resize(800, 300);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QTreeView& view = *pane.View();
        auto description = [&view](int row) {
            return view.model()
                ->index(row, static_cast<int>(ContentsColumn::Description))
                .data()
                .toString();
        };
        QSignalSpy opened(&pane, &ContentsListPane::FileOpenRequested);

        pane.Folder().ShowSelection(item, AuthMethod::Anonymous);
        QCOMPARE(view.model()->index(1, 0).data().toString(), QStringLiteral("clip.mp4"));
        QTRY_COMPARE(description(1), QStringLiteral("Size: 1.00 MB; Time: 00:00:10. Audio - 0.0 "
                                                    "kByte/s; 0.0 kHz; Mono."));
        DoubleClick(view, 0);
        QCOMPARE(QString::fromStdString(pane.Folder().CurrentFolder()), dir.filePath("extras"));
        QTRY_VERIFY(!description(2).isEmpty());  // intro.avi
        DoubleClick(view, 2);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), dir.filePath("extras/intro.avi"));
        DoubleClick(view, 0);  // up
        QCOMPARE(QString::fromStdString(pane.Folder().CurrentFolder()), dir.path());
        QCOMPARE(view.model()->index(0, 0).data().toString(), QStringLiteral("extras"));
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::ContentsNavigationTest)
#include "contents_navigation_qtest.moc"
