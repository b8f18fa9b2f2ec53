// The configuration as a document with 100,000 resources: writing it, and vantorctl dump and
// apply run as an administrator runs them (the program on a file), with 1,000 changes and with
// none, which must write nothing. libyaml's own event loop over the same document is timed too:
// it is the floor under reading, and the machine's speed (shared cores vary twofold) reads off it.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <yaml.h>

#include <benchmark/benchmark.h>

#include "config/catalogue.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/multicast_table.h"
#include "platform/linux_file_store.h"

namespace {

using vantor::ResourceKind;
using vantor::ResourceRecord;

constexpr int ResourceCount = 100000;
constexpr int ChangeCount = 1000;

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Resources the editors accept, as a server's real catalogue holds them: two folders in three,
// the rest static broadcasts; one in twenty multicasts on a group of its own.
std::vector<ResourceRecord> MakeRecords() {
    std::vector<ResourceRecord> records(ResourceCount);
    std::uint32_t nextGroup = 0;
    for (int i = 0; i < ResourceCount; ++i) {
        ResourceRecord& record = records[i];
        const bool folder = i % 3 != 0;
        record.kind = folder ? ResourceKind::VirtualFolder : ResourceKind::LiveBroadcast;
        record.imageIndex = folder ? vantor::VirtualFolderImage : vantor::LiveBroadcastImage;
        record.authMethod = static_cast<vantor::AuthMethod>(1 + i % 4);
        record.userGroups = 1 + i % 7;
        record.name = Ascii((i % 2 == 0 ? "Lecture " : "Concert ") + std::to_string(i));
        record.source = folder ? Ascii("/srv/media/library/collection-" + std::to_string(i % 1000) +
                                       "/volume-" + std::to_string(i))
                               : Ascii(std::to_string(1 + i % 255) + "@10.0." +
                                       std::to_string(i % 250) + "." + std::to_string(1 + i % 200));
        record.description = u"Recordings of the " + record.name + u" series";
        record.unicast = true;
        if (i % 20 == 0) {
            record.multicast = true;
            record.multicastGroup = vantor::MulticastTable::FormatGroup(
                                        vantor::MulticastTable::kFirstAssignedGroup + nextGroup) +
                                    u":" + Ascii(std::to_string(5000 + nextGroup % 60000));
            ++nextGroup;
        }
        record.playlist = folder;
        record.playlistOrder = folder ? i % 2 : 0;
        record.playTimeLimit = !folder && i % 5 == 0 ? 90 : -1;
        record.allowMmsPlayers = true;
        if (!folder) {
            record.metaTitle = record.name;
            record.metaCopyright = u"(c) 2026";
        }
        record.maxConnections = i % 3 == 0 ? 100 : 0;
    }
    return records;
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("config_document_bench_" + std::to_string(getpid()) + "_" + name))
        .string();
}

int RunCtl(const std::string& arguments) {
    const std::string command = std::string("'") + VANTOR_CTL_PATH + "' " + arguments;
    return std::system(command.c_str());
}

// The file, its dump, and the dump with 1,000 folders' descriptions changed; made once per run
// and removed at exit.
struct Files {
    Files() {
        std::vector<ResourceRecord> records = MakeRecords();
        std::vector<const ResourceRecord*> pointers;
        for (const ResourceRecord& record : records) {
            pointers.push_back(&record);
        }
        bytes = vantor::WriteConfigFile(vantor::ServerConfig{}, vantor::AuthMethod::Anonymous,
                                        pointers);
        // Written as the tool saves it, so applying its dump has nothing to do.
        catalogue.InsertLoaded(std::move(records));
        bytes = vantor::WriteConfigFile(vantor::ServerConfig{}, vantor::AuthMethod::Anonymous,
                                        catalogue);
        config = TempPath("config.vtr");
        vantor::LinuxFileStore files;
        if (!files.ReplaceFile(config, bytes)) {
            std::abort();
        }
        same = TempPath("same.yaml");
        std::ofstream(same) << vantor::WriteConfigDocument(vantor::ServerConfig{},
                                                           vantor::AuthMethod::Anonymous, catalogue,
                                                           nullptr, vantor::DocumentFormat::Yaml);
        // A changed description per changed folder, spread over the whole document.
        std::ifstream in(same);
        std::ofstream out(changed = TempPath("changed.yaml"));
        std::string line;
        int seen = 0;
        int made = 0;
        while (std::getline(in, line)) {
            if (line.starts_with("  description: ") &&
                seen++ % (ResourceCount / ChangeCount) == 1 && made < ChangeCount) {
                line = "  description: \"changed " + std::to_string(made++) + "\"";
            }
            out << line << '\n';
        }
        if (made != ChangeCount) {
            std::abort();
        }
    }
    ~Files() {
        for (const std::string* path : {&config, &same, &changed}) {
            std::error_code ignored;
            std::filesystem::remove(*path, ignored);
            std::filesystem::remove(*path + ".lock", ignored);
        }
    }
    vantor::Catalogue catalogue;
    std::vector<std::uint8_t> bytes;
    std::string config, same, changed;
};

Files& TheFiles() {
    static Files files;
    return files;
}

// Arguments: the format (0 YAML, 1 JSON) and the threads (0 one a core).
void BM_WriteDocument(benchmark::State& state) {
    Files& files = TheFiles();
    const auto format =
        state.range(0) == 0 ? vantor::DocumentFormat::Yaml : vantor::DocumentFormat::Json;
    const vantor::DocumentWriting writing{.threads = static_cast<unsigned>(state.range(1))};
    for (auto _ : state) {
        std::size_t size = 0;
        vantor::WriteConfigDocument(
            vantor::ServerConfig{}, vantor::AuthMethod::Anonymous, files.catalogue, nullptr, format,
            [&size](std::string_view piece) { size += piece.size(); }, writing);
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_WriteDocument)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ReadDocument(benchmark::State& state) {
    Files& files = TheFiles();
    std::ifstream in(files.same);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const vantor::DocumentReadingWork work{static_cast<unsigned>(state.range(0))};
    for (auto _ : state) {
        vantor::DocumentReading reading = vantor::ReadConfigDocument(text, work);
        if (!reading.errors.empty()) {
            state.SkipWithError("the dump does not read");
        }
        benchmark::DoNotOptimize(reading);
    }
}
// 1: on one thread; 0: on every core.
BENCHMARK(BM_ReadDocument)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// libyaml's events alone, with nothing built from them.
void BM_LibyamlEvents(benchmark::State& state) {
    Files& files = TheFiles();
    std::ifstream in(files.same);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        yaml_parser_t parser;
        yaml_parser_initialize(&parser);
        yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()),
                                     text.size());
        bool end = false;
        while (!end) {
            yaml_event_t event;
            if (yaml_parser_parse(&parser, &event) == 0) {
                state.SkipWithError("the dump does not parse");
                break;
            }
            end = event.type == YAML_STREAM_END_EVENT;
            yaml_event_delete(&event);
        }
        yaml_parser_delete(&parser);
    }
}
BENCHMARK(BM_LibyamlEvents)->Unit(benchmark::kMillisecond);

// `vantorctl dump --file FILE`, the whole program.
void BM_DumpCommand(benchmark::State& state) {
    Files& files = TheFiles();
    for (auto _ : state) {
        if (RunCtl("dump --file '" + files.config + "' >/dev/null") != 0) {
            state.SkipWithError("dump failed");
        }
    }
}
BENCHMARK(BM_DumpCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

// `vantorctl apply` of the file's own dump: nothing to do, nothing written.
void BM_ApplyNothingToDo(benchmark::State& state) {
    Files& files = TheFiles();
    struct stat before {};
    stat(files.config.c_str(), &before);
    for (auto _ : state) {
        if (RunCtl("apply '" + files.same + "' --file '" + files.config + "' >/dev/null") != 0) {
            state.SkipWithError("apply failed");
        }
    }
    struct stat after {};
    stat(files.config.c_str(), &after);
    if (after.st_ino != before.st_ino || after.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
        state.SkipWithError("apply with nothing to do replaced the file");
    }
}
BENCHMARK(BM_ApplyNothingToDo)->Unit(benchmark::kMillisecond)->UseRealTime();

// `vantorctl apply` of a document with 1,000 changed resources, on a fresh copy each time.
void BM_ApplyThousandChanges(benchmark::State& state) {
    Files& files = TheFiles();
    vantor::LinuxFileStore store;
    for (auto _ : state) {
        state.PauseTiming();
        if (!store.ReplaceFile(files.config, files.bytes)) {
            state.SkipWithError("cannot reset the file");
        }
        state.ResumeTiming();
        if (RunCtl("apply '" + files.changed + "' --file '" + files.config + "' >/dev/null") != 0) {
            state.SkipWithError("apply failed");
        }
    }
    if (store.ReadFile(files.config) == files.bytes) {
        state.SkipWithError("apply changed nothing");
    }
    store.ReplaceFile(files.config, files.bytes);
}
BENCHMARK(BM_ApplyThousandChanges)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
