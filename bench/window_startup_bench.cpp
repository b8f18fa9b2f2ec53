// How long the main window takes to come up over a very large catalogue, and to list its
// largest branch. Targets: the window up and idle in under 1.5 s with 100,000 resources;
// "File resources" listed (100,000 rows) with no noticeable pause, under 200 ms.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include "config/config_file.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "ui/contents_list.h"
#include "ui/contents_list_pane.h"
#include "ui/main_frame_window.h"
#include "ui/resource_selection.h"
#include "ui/resource_tree_pane.h"
#include "ui/ui_fakes.h"

namespace {

using Clock = std::chrono::steady_clock;
using vantor::test::FakeInstallationEnvironment;

constexpr int ResourceCount = 100000;

// A config.vtr with ResourceCount virtual folders (names in no particular order, some
// disabled, mixed authentication) and a few live broadcasts, made once per run.
std::vector<std::uint8_t> LargeConfig() {
    std::vector<vantor::ResourceRecord> records;
    records.reserve(ResourceCount + 10);
    unsigned seed = 12345;
    for (int i = 0; i < ResourceCount; ++i) {
        seed = seed * 1103515245u + 12345u;
        vantor::ResourceRecord record;
        record.kind = vantor::ResourceKind::VirtualFolder;
        record.enabled = i % 9 != 0;
        record.authMethod = static_cast<vantor::AuthMethod>(1 + i % 4);
        record.userGroups = static_cast<vantor::UserGroups>(i % 8);
        const std::string name =
            "Folder " + std::to_string(seed % 1000000) + "-" + std::to_string(i);
        record.name.assign(name.begin(), name.end());
        record.source = u"/srv/media/" + record.name;
        record.description = u"Published media";
        records.push_back(std::move(record));
    }
    for (int i = 0; i < 10; ++i) {
        vantor::ResourceRecord record;
        record.kind = vantor::ResourceKind::LiveBroadcast;
        record.name = u"Live " + std::u16string(1, static_cast<char16_t>(u'A' + i));
        record.source = u"7@10.0.0.1";
        records.push_back(std::move(record));
    }
    std::vector<const vantor::ResourceRecord*> pointers;
    for (const auto& record : records) {
        pointers.push_back(&record);
    }
    return vantor::WriteConfigFile(vantor::ServerConfig{}, vantor::AuthMethod::Internal,
                                   std::span(pointers));
}

const std::vector<std::uint8_t>& ConfigBytes() {
    static const std::vector<std::uint8_t> bytes = LargeConfig();
    return bytes;
}

// The program's services, faked (no server installed), with the large file in place.
struct App {
    App() { fakes.files.files[FakeInstallationEnvironment::DefaultConfigPath] = ConfigBytes(); }
    vantor::test::FakeApp fakes;
};

// Runs the event loop until a pass finds nothing to do: layouts, paints and posted events are
// all done and the window would answer the next input at once.
void ProcessUntilIdle() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    for (int pass = 0; pass < 10000; ++pass) {
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents)) {
            return;
        }
    }
}

// Counts the paints a widget receives, to make sure a timed run drew what it claims to show.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// From nothing to a shown, idle main window: the frame with its menus, status bar and panes,
// the file loaded, the root and both branches expanded, the root selected and listed.
void BM_WindowStartup(benchmark::State& state) {
    ConfigBytes();
    double create = 0;
    double idle = 0;
    for (auto _ : state) {
        auto app = std::make_unique<App>();
        const Clock::time_point start = Clock::now();
        auto window = std::make_unique<vantor::MainFrameWindow>(app->fakes.services);
        auto* treePaints = new PaintCounter(window->TreePane().View()->viewport());
        auto* listPaints = new PaintCounter(window->ContentsPane().View()->viewport());
        window->show();
        const Clock::time_point shown = Clock::now();
        ProcessUntilIdle();
        const Clock::time_point end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        create += Ms(shown - start);
        idle += Ms(end - shown);
        if (window->Store().Resources().FileResources().Children().size() != ResourceCount ||
            window->ContentsPane().Contents().RowCount() != 2 || treePaints->paints == 0 ||
            listPaints->paints == 0) {
            state.SkipWithError("the window did not show the catalogue");
        }
        window.reset();
        ProcessUntilIdle();
    }
    const auto average = benchmark::Counter::kAvgIterations;
    state.counters["create_show_ms"] = benchmark::Counter(create, average);
    state.counters["until_idle_ms"] = benchmark::Counter(idle, average);
}
BENCHMARK(BM_WindowStartup)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Selecting "File resources" in the window: 100,000 rows into the contents list, shown and
// idle.
void BM_ListFileResources(benchmark::State& state) {
    App app;
    vantor::MainFrameWindow window(app.fakes.services);
    window.show();
    ProcessUntilIdle();
    vantor::ResourceTreePane& tree = window.TreePane();
    vantor::CatalogueItem& files = window.Store().Resources().FileResources();
    auto* listPaints = new PaintCounter(window.ContentsPane().View()->viewport());
    double fill = 0;
    for (auto _ : state) {
        tree.SelectRoot();
        ProcessUntilIdle();
        const int paintsBefore = listPaints->paints;
        const Clock::time_point start = Clock::now();
        tree.SelectItem(files);
        const Clock::time_point filled = Clock::now();
        ProcessUntilIdle();
        const Clock::time_point end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        fill += Ms(filled - start);
        if (window.ContentsPane().Contents().RowCount() != ResourceCount ||
            listPaints->paints == paintsBefore) {
            state.SkipWithError("the list does not hold every folder");
        }
    }
    state.counters["fill_ms"] = benchmark::Counter(fill, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ListFileResources)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// The logic part of that listing alone: the rows for 100,000 folders.
void BM_FileResourcesRows(benchmark::State& state) {
    App app;
    vantor::MulticastTable multicast;
    vantor::ServerState serverState = vantor::ServerState::NotResponding;
    vantor::ConfigStore store(app.fakes.defaultAuthMethod, multicast, serverState, app.fakes.files,
                              app.fakes.automation, app.fakes.prompter,
                              FakeInstallationEnvironment::DefaultConfigPath);
    store.LoadConfiguration();
    vantor::CatalogueItem& files = store.Resources().FileResources();
    for (auto _ : state) {
        std::vector<vantor::ContentsRow> rows =
            vantor::SelectionRows(files, vantor::AuthMethod::Anonymous);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_FileResourcesRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // No display needed unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
