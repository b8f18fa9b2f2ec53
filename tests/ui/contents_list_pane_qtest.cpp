// The contents pane over a real folder, offscreen: a double click on a file whose name is no
// UTF-8 asks to open that very file, and the desktop is handed a URL that still names it.

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "platform/linux_directory_reader.h"
#include "platform/media_probe.h"
#include "ui/contents_folder.h"
#include "ui/contents_list_pane.h"
#include "ui/qt_desktop_services.h"

namespace vantor {
namespace {

// Nothing renders: the summaries do not matter here.
class NoMedia : public MediaProbe {
public:
    MediaFacts Probe(const std::string&, const std::function<bool()>&) override { return {}; }
};

}  // namespace

class ContentsListPaneTest : public QObject {
    Q_OBJECT

private slots:
    void doubleClickOpensTheFileByItsBytes() {
        const QTemporaryDir temp;
        const std::string dir = temp.path().toStdString();
        const std::string file = dir + "/latin\xe9 1.mp3";
        std::ofstream(file) << "x";
        NoMedia probe;
        LinuxDirectoryReader reader;
        ContentsListPane pane(probe, reader);
        QVERIFY(pane.Folder().ShowFolder(dir, true));
        QAbstractItemModel* model = pane.View()->model();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QString::fromUtf8("latin\uFFFD 1.mp3"));

        std::vector<std::string> requested;
        connect(&pane, &ContentsListPane::FileOpenRequested,
                [&requested](const std::string& path) { requested.push_back(path); });
        emit pane.View()->doubleClicked(model->index(0, 0));
        QCOMPARE(requested, std::vector<std::string>{file});
        QVERIFY(std::filesystem::is_regular_file(requested.front()));

        // The byte travels percent-encoded, and decodes back to the name on disk.
        const QUrl url = LocalFileUrl(file);
        QVERIFY(url.isValid());
        QVERIFY2(url.toEncoded().endsWith("/latin%E9%201.mp3"), url.toEncoded().constData());
        QCOMPARE(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()),
                 QByteArray::fromStdString(file));
        std::filesystem::remove(file);  // QTemporaryDir cannot remove a name that is no UTF-8
    }
};

}  // namespace vantor

QTEST_MAIN(vantor::ContentsListPaneTest)
#include "contents_list_pane_qtest.moc"
