// The restrictions dialog on a file of 10,000 addresses (half in each list): opening it (load
// and fill both lists), then adding one address and removing the last one, the slowest to find;
// OK over the file as it was read (the lock and the stamp, then the write) and over a file that
// another program changed meanwhile (read, merge, write).

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "cli/headless_services.h"
#include "monitor/delegate_restrictions_model.h"
#include "platform/file_store.h"

namespace {

using vantor::DelegateAccessMode;
using vantor::DelegateRestrictionsModel;

constexpr int AddressCount = 10000;
const std::string Path = "/bench/VantorIPRestrictions.config";

// Holds the one file in memory, so only the document's own work is measured.
class MemoryFileStore : public vantor::FileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string&) override { return bytes; }
    bool ReplaceFile(const std::string&, std::span<const std::uint8_t> written) override {
        bytes.assign(written.begin(), written.end());
        ++generation;
        return true;
    }
    bool ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> written) override {
        return ReplaceFile(path, written);
    }
    vantor::LockResult LockForUpdate(const std::string&) override {
        return {vantor::LockStatus::Locked, std::make_unique<vantor::FileLock>()};
    }
    std::optional<vantor::FileStamp> Stamp(const std::string&) override {
        return vantor::FileStamp{.inode = generation, .size = bytes.size()};
    }
    std::vector<std::uint8_t> bytes;
    std::uint64_t generation = 0;
};

MemoryFileStore& File() {
    static MemoryFileStore files = [] {
        std::string text =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<IPRestrictionsConfig "
            "xmlns=\"http://www.quorvane.example/IPRestrictionsConfig\"><AccessMode "
            "Active=\"ExceptionList\"/>";
        for (const char* list : {"ExceptionMediaServerList", "AllowedMediaServerList"}) {
            text += std::string("<") + list + ">";
            for (int i = 0; i < AddressCount / 2; ++i) {
                text += "<Address>delegate-" + std::to_string(i) + ".media.example</Address>";
            }
            text += std::string("</") + list + ">";
        }
        text += "</IPRestrictionsConfig>";
        MemoryFileStore store;
        store.bytes.assign(text.begin(), text.end());
        return store;
    }();
    return files;
}

struct Opened {
    Opened()
        : model(files, vantor::FixedRestrictionsFile(Path), prompter, [](std::u16string& address) {
              address = u"new-delegate.media.example";
              return true;
          }) {}
    MemoryFileStore files = File();
    vantor::StreamPrompter prompter;
    DelegateRestrictionsModel model;
};

void BM_OpenAndFillBothLists(benchmark::State& state) {
    for (auto _ : state) {
        Opened opened;
        opened.model.OnOpen();
        benchmark::DoNotOptimize(opened.model.Rows(DelegateAccessMode::AllowedList).size());
    }
}
BENCHMARK(BM_OpenAndFillBothLists)->Unit(benchmark::kMillisecond);

void BM_AddOneAddress(benchmark::State& state) {
    Opened opened;
    opened.model.OnOpen();
    for (auto _ : state) {
        opened.model.OnAdd();
    }
    state.counters["rows"] =
        static_cast<double>(opened.model.Rows(DelegateAccessMode::ExceptionList).size());
}
BENCHMARK(BM_AddOneAddress)->Unit(benchmark::kMillisecond);

void BM_RemoveLastAddress(benchmark::State& state) {
    Opened opened;
    opened.model.OnOpen();
    const auto rows = [&] { return opened.model.Rows(DelegateAccessMode::ExceptionList).size(); };
    for (auto _ : state) {
        state.PauseTiming();
        opened.model.OnAdd();
        opened.model.OnRowSelected(DelegateAccessMode::ExceptionList, rows() - 1);
        state.ResumeTiming();
        opened.model.OnRemove();
    }
    state.counters["rows"] = static_cast<double>(rows());
}
BENCHMARK(BM_RemoveLastAddress)->Unit(benchmark::kMillisecond);

void BM_OkOverTheFileAsRead(benchmark::State& state) {
    Opened opened;
    opened.model.OnOpen();
    for (auto _ : state) {
        state.PauseTiming();
        opened.model.OnAdd();
        state.ResumeTiming();
        opened.model.OnOk();
    }
}
BENCHMARK(BM_OkOverTheFileAsRead)->Unit(benchmark::kMillisecond);

void BM_OkOverAFileChangedMeanwhile(benchmark::State& state) {
    Opened opened;
    opened.model.OnOpen();
    const std::string theirs = "<Address>theirs.media.example</Address>";
    for (auto _ : state) {
        state.PauseTiming();
        // Another program adds an address to the allowed list, the last one in the file.
        std::vector<std::uint8_t> changed = opened.files.bytes;
        const std::string end = "</AllowedMediaServerList>";
        const auto at = std::search(changed.begin(), changed.end(), end.begin(), end.end());
        changed.insert(at, theirs.begin(), theirs.end());
        opened.files.ReplaceFile(Path, changed);
        opened.model.OnAdd();
        state.ResumeTiming();
        opened.model.OnOk();
    }
    state.counters["rows"] =
        static_cast<double>(opened.model.Rows(DelegateAccessMode::AllowedList).size() +
                            opened.model.Rows(DelegateAccessMode::ExceptionList).size());
}
BENCHMARK(BM_OkOverAFileChangedMeanwhile)->Unit(benchmark::kMillisecond);

}  // namespace
