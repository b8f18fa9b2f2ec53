// Loading and saving a config.vtr with a very large catalogue (100,000 resources), measured
// against simply reading the file's bytes, which is the floor for loading.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>
#define XXH_INLINE_ALL
#include <xxhash.h>

#include "cli/headless_services.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "platform/linux_file_store.h"

namespace {

using vantor::ResourceKind;
using vantor::ResourceRecord;

constexpr int ResourceCount = 100000;

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Names of 8-30 characters: mostly random words in mixed case, some with shared prefixes (which
// make comparisons run longer), some with accented or Cyrillic letters.
std::u16string RandomName(std::mt19937& random) {
    static const char16_t* const prefixes[] = {u"Music ", u"music ",   u"Lecture ",
                                               u"News ",  u"Concert ", u"Archive "};
    static const char16_t letters[] =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789   -_"
        u"\u00e9\u00c9\u00fc\u0416\u0436";
    const std::size_t length = 8 + random() % 23;
    std::u16string name;
    if (random() % 3 == 0) {
        name = prefixes[random() % std::size(prefixes)];
    }
    while (name.size() < length) {
        name += letters[random() % (std::size(letters) - 1)];
    }
    name.resize(length);
    return name;
}

std::vector<ResourceRecord> MakeRecords() {
    std::mt19937 random(2024);
    std::vector<ResourceRecord> records(ResourceCount);
    std::uint32_t nextGroup = 0;
    for (int i = 0; i < ResourceCount; ++i) {
        ResourceRecord& record = records[i];
        const bool folder = random() % 3 != 0;
        record.kind = folder ? ResourceKind::VirtualFolder : ResourceKind::LiveBroadcast;
        record.enabled = random() % 20 != 0;
        record.authMethod = static_cast<vantor::AuthMethod>(1 + random() % 4);
        record.userGroups = random() % 8;
        record.name = RandomName(random);
        record.source =
            folder ? Ascii("/srv/media/library/collection-" + std::to_string(random() % 1000) +
                           "/volume-" + std::to_string(i))
                   : Ascii("http://encoder-" + std::to_string(random() % 100) +
                           ".studio.example:8080/live" + std::to_string(i));
        if (random() % 4 != 0) {
            record.description = u"Recordings of the " + record.name + u" series";
        }
        record.unicast = true;
        // One resource in twenty multicasts, each with a group and port of its own.
        if (random() % 20 == 0) {
            record.multicast = true;
            const std::uint32_t group = vantor::MulticastTable::kFirstAssignedGroup + nextGroup;
            record.multicastGroup = vantor::MulticastTable::FormatGroup(group) + u":" +
                                    Ascii(std::to_string(5000 + nextGroup));
            ++nextGroup;
        }
        record.playlist = folder && random() % 2 == 0;
        record.playlistOrder = random() % 2;
        record.playTimeLimit = random() % 5 == 0 ? 90 : -1;
        record.allowDelegates = random() % 2 == 0;
        if (!folder) {
            record.metaTitle = record.name;
            record.metaAuthor = u"Studio " + Ascii(std::to_string(random() % 50));
            record.metaCopyright = u"(c) 2024";
        }
        record.maxConnections = random() % 3 == 0 ? 100 : 0;
        record.notifyArchival = !folder && random() % 2 == 0;
    }
    return records;
}

// The generated file, written once per run and removed at exit; records in random (file)
// order, as after renames.
struct GeneratedFile {
    GeneratedFile() {
        const std::vector<ResourceRecord> records = MakeRecords();
        std::vector<const ResourceRecord*> pointers;
        for (const ResourceRecord& record : records) {
            pointers.push_back(&record);
        }
        vantor::ServerConfig server;
        server.limitConnectionsPerUser = true;
        server.maxConnectionsPerUser = 4;
        const std::vector<std::uint8_t> bytes =
            vantor::WriteConfigFile(server, vantor::AuthMethod::Anonymous, pointers);
        path = (std::filesystem::temp_directory_path() /
                ("config_file_bench_" + std::to_string(getpid()) + ".vtr"))
                   .string();
        vantor::LinuxFileStore files;
        if (!files.ReplaceFile(path, bytes)) {
            std::abort();
        }
    }
    ~GeneratedFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    std::string path;
};

const std::string& SourceFile() {
    static const GeneratedFile file;
    return file.path;
}

// A store over one file with everything else stubbed out; the server is stopped, so a save
// never reloads.
struct Store {
    explicit Store(std::string path)
        : store(defaultAuthMethod, multicastTable, serverState, files, automation, prompter,
                std::move(path)) {}

    vantor::AuthMethod defaultAuthMethod = vantor::AuthMethod::Anonymous;
    vantor::MulticastTable multicastTable;
    vantor::ServerState serverState = vantor::ServerState::Stopped;
    vantor::LinuxFileStore files;
    vantor::NoAutomation automation;
    vantor::StreamPrompter prompter;
    vantor::ConfigStore store;
};

// The floor: the file's bytes into memory (from the page cache, as it is hot after the first
// round).
void BM_ReadFileBytes(benchmark::State& state) {
    vantor::LinuxFileStore files;
    for (auto _ : state) {
        auto bytes = files.ReadFile(SourceFile());
        benchmark::DoNotOptimize(bytes->data());
    }
}

// Parsing alone, from bytes already in memory.
void BM_ReadConfigFile(benchmark::State& state) {
    vantor::LinuxFileStore files;
    const std::vector<std::uint8_t> bytes = *files.ReadFile(SourceFile());
    for (auto _ : state) {
        vantor::ConfigFileContents contents = vantor::ReadConfigFile(bytes);
        benchmark::DoNotOptimize(contents.records.data());
        state.PauseTiming();  // freeing 100,000 records is not part of loading
        contents = {};
        state.ResumeTiming();
    }
}

// What the tool does at start-up: read, parse, register the multicast groups, build the sorted
// catalogue. Each round starts from a fresh store and multicast table, as a new process does.
void BM_LoadConfiguration(benchmark::State& state) {
    std::unique_ptr<Store> store;
    for (auto _ : state) {
        state.PauseTiming();
        store.reset();
        store = std::make_unique<Store>(SourceFile());
        state.ResumeTiming();
        store->store.LoadConfiguration();
        benchmark::DoNotOptimize(store->store.Resources().FileResources().Children().data());
    }
    state.counters["resources"] =
        static_cast<double>(store->store.Resources().FileResources().Children().size() +
                            store->store.Resources().LiveBroadcasts().Children().size());
}

// Serialising the loaded configuration, without touching the disk.
void BM_FileBytes(benchmark::State& state) {
    Store store(SourceFile());
    store.store.LoadConfiguration();
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = store.store.FileBytes();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(store.store.FileBytes().size()));
}

// A whole save: take the update lock, check that the file is the one loaded, serialise, write a
// temporary file beside the target, fsync it, rename it over the target and fsync the folder.
void BM_SaveConfiguration(benchmark::State& state) {
    const std::string target = SourceFile() + ".saved";
    std::filesystem::copy_file(SourceFile(), target,
                               std::filesystem::copy_options::overwrite_existing);
    Store store(target);
    store.store.LoadConfiguration();
    for (auto _ : state) {
        store.store.SaveConfiguration();
    }
    // A failed save is quick; make sure that is not what was measured.
    if (std::filesystem::file_size(target) != store.store.FileBytes().size()) {
        state.SkipWithError("the configuration was not saved");
    }
    std::filesystem::remove(target);
    std::filesystem::remove(target + ".lock");
}

// The same write without the update lock and the check that the file is still the one read:
// the difference to BM_SaveConfiguration is what they cost.
void BM_SaveWithoutLockOrCheck(benchmark::State& state) {
    const std::string target = SourceFile() + ".raw";
    Store store(SourceFile());
    store.store.LoadConfiguration();
    for (auto _ : state) {
        if (!store.files.ReplaceFile(target, store.store.FileBytes())) {
            state.SkipWithError("the configuration was not saved");
        }
    }
    std::filesystem::remove(target);
}

// The lock and the check alone: take and release the lock, look at the file's stamp before and
// after, and hash bytes of the file's size as a save does with what it wrote.
void BM_LockAndCheck(benchmark::State& state) {
    vantor::LinuxFileStore files;
    const std::vector<std::uint8_t> bytes = *files.ReadFile(SourceFile());
    for (auto _ : state) {
        vantor::LockResult lock = files.LockForUpdate(SourceFile());
        auto before = files.Stamp(SourceFile());
        const std::uint64_t hash = XXH3_64bits(bytes.data(), bytes.size());
        auto after = files.Stamp(SourceFile());
        benchmark::DoNotOptimize(hash);
        benchmark::DoNotOptimize(before == after);
        if (lock.status != vantor::LockStatus::Locked) {
            state.SkipWithError("no lock");
        }
    }
    std::filesystem::remove(SourceFile() + ".lock");
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadConfigFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadConfiguration)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveConfiguration)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveWithoutLockOrCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LockAndCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
