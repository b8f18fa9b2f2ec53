#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "config/catalogue.h"

namespace {

// Names as an administrator with a very large catalogue might have them: mixed case, shared
// prefixes, numbers, some accented letters.
std::vector<vantor::ResourceRecord> MakeRecords(int count) {
    const char16_t* stems[] = {u"Music",   u"music",   u"Concert ",
                               u"Lecture", u"News",    u"\u00c9v\u00e9nement",
                               u"Radio",   u"Archive "};
    std::mt19937 random(42);
    std::vector<vantor::ResourceRecord> records(count);
    for (int i = 0; i < count; ++i) {
        vantor::ResourceRecord& record = records[i];
        record.kind =
            i % 3 == 0 ? vantor::ResourceKind::LiveBroadcast : vantor::ResourceKind::VirtualFolder;
        record.enabled = i % 7 != 0;
        record.name = stems[random() % std::size(stems)];
        for (char c : std::to_string(random() % 1000000)) {
            record.name += static_cast<char16_t>(c);
        }
    }
    return records;
}

// Loading a configuration file with a large catalogue.
void BM_InsertLoaded(benchmark::State& state) {
    const std::vector<vantor::ResourceRecord> records = MakeRecords(state.range(0));
    for (auto _ : state) {
        vantor::Catalogue catalogue;
        catalogue.InsertLoaded(records);
        benchmark::DoNotOptimize(catalogue.FileResources().Children().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertLoaded)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One comparison of the sorted insertion (a new resource, a change that re-inserts one).
void BM_CompareDisplayText(benchmark::State& state) {
    const std::vector<vantor::ResourceRecord> records = MakeRecords(1024);
    const vantor::Catalogue catalogue;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& a = records[i % 1024].name;
        const auto& b = records[(i * 7 + 3) % 1024].name;
        benchmark::DoNotOptimize(catalogue.CompareDisplayText(a, b));
        ++i;
    }
}
BENCHMARK(BM_CompareDisplayText);

// Inserting one resource into a large branch: a linear scan of collations.
void BM_InsertResourceItemInto(benchmark::State& state) {
    const std::vector<vantor::ResourceRecord> records = MakeRecords(state.range(0) + 64);
    vantor::Catalogue catalogue;
    catalogue.InsertLoaded({records.begin(), records.end() - 64});
    std::size_t i = 0;
    for (auto _ : state) {
        vantor::ResourceRecord record = records[records.size() - 64 + i % 64];
        record.kind = vantor::ResourceKind::VirtualFolder;
        vantor::CatalogueItem* item = catalogue.InsertResourceItem(std::move(record));
        state.PauseTiming();
        catalogue.RemoveItem(*item);
        state.ResumeTiming();
        ++i;
    }
}
BENCHMARK(BM_InsertResourceItemInto)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
