// The contents list over a large folder, the media probe against ffprobe, summarising a folder
// of clips in the background, and exporting a large folder.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "monitor/folder_export.h"
#include "monitor/media_info_worker.h"
#include "platform/linux_directory_reader.h"
#include "platform/linux_ffmpeg_media_probe.h"
#include "platform/linux_file_store.h"
#include "ui/contents_folder.h"
#include "ui/contents_list.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

fs::path BenchDir(const std::string& name) {
    return fs::temp_directory_path() / ("vantor-bench-" + std::to_string(::getpid()) + "-" + name);
}

// The generated folders go when the program ends.
struct RemoveBenchDirs {
    ~RemoveBenchDirs() {
        for (const char* name : {"large", "probe", "thousand"}) {
            std::error_code ignored;
            fs::remove_all(BenchDir(name), ignored);
        }
    }
} removeBenchDirs;

// A folder of 10 000 empty files named like a media library, made once per run.
const fs::path& LargeFolder() {
    static const fs::path dir = [] {
        const fs::path path = BenchDir("large");
        fs::create_directories(path / "Subfolder");
        for (int i = 0; i < 10'000; ++i) {
            std::ofstream(path / ("Episode " + std::to_string(i) + ".mp4"));
        }
        return path;
    }();
    return dir;
}

bool Encode(const std::string& arguments, const fs::path& out) {
    const std::string command = "ffmpeg -nostdin -loglevel error -y " + arguments + " '" +
                                out.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// count one-second clips: copies of four kinds (H.264/AAC MP4, MPEG-1, WAV, MP3).
std::vector<fs::path> Clips(const std::string& name, int count) {
    const fs::path dir = BenchDir(name);
    fs::create_directories(dir);
    const std::string video = "-f lavfi -i testsrc=size=320x240:rate=25:duration=1 ";
    const std::string sound = "-f lavfi -i sine=frequency=440:duration=1 ";
    const std::vector<std::pair<std::string, std::string>> kinds = {
        {"clip.mp4", video + sound + "-c:v libx264 -preset ultrafast -c:a aac -shortest"},
        {"clip.mpg", video + "-c:v mpeg1video"},
        {"clip.wav", sound + "-c:a pcm_s16le"},
        {"clip.mp3", sound + "-c:a libmp3lame"},
    };
    std::vector<fs::path> made;
    for (const auto& [file, arguments] : kinds) {
        if (!Encode(arguments, dir / file)) {
            return {};
        }
        made.push_back(dir / file);
    }
    std::vector<fs::path> clips;
    for (int i = 0; i < count; ++i) {
        const fs::path& source = made[static_cast<std::size_t>(i) % made.size()];
        const fs::path copy = dir / (std::to_string(i) + source.extension().string());
        fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
        clips.push_back(copy);
    }
    return clips;
}

double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Names and rows of a 10 000-file folder, without summaries.
void BM_ListLargeFolder(benchmark::State& state) {
    const std::string folder = LargeFolder().string();
    LinuxDirectoryReader reader;
    ContentsList list;
    ContentsFolder shown(list, reader, nullptr);
    for (auto _ : state) {
        shown.ShowFolder(folder, true);
        benchmark::DoNotOptimize(list.RowCount());
    }
    state.counters["rows"] = static_cast<double>(list.RowCount());
}
BENCHMARK(BM_ListLargeFolder)->Unit(benchmark::kMillisecond);

// Processor time per file of the probe and of ffprobe on the same clips, and their ratio.
void BM_ProbeAgainstFfprobe(benchmark::State& state) {
    const std::vector<fs::path> clips = Clips("probe", 40);
    if (clips.empty()) {
        state.SkipWithError("ffmpeg could not make the clips");
        return;
    }
    LinuxFfmpegMediaProbe probe;
    double probeCpu = 0;
    double ffprobeCpu = 0;
    for (auto _ : state) {
        const double before = CpuSeconds(RUSAGE_SELF);
        for (const fs::path& clip : clips) {
            benchmark::DoNotOptimize(probe.Probe(clip.string(), {}));
        }
        probeCpu += CpuSeconds(RUSAGE_SELF) - before;
        const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
        for (const fs::path& clip : clips) {
            const std::string command =
                "ffprobe -v quiet -show_streams -show_format '" + clip.string() + "' >/dev/null";
            benchmark::DoNotOptimize(std::system(command.c_str()));
        }
        ffprobeCpu += CpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
    }
    const double files = static_cast<double>(clips.size() * state.iterations());
    state.counters["probe_cpu_ms_per_file"] = probeCpu / files * 1e3;
    state.counters["ffprobe_cpu_ms_per_file"] = ffprobeCpu / files * 1e3;
    state.counters["probe_to_ffprobe"] = probeCpu / ffprobeCpu;
}
BENCHMARK(BM_ProbeAgainstFfprobe)->Unit(benchmark::kMillisecond)->Iterations(1);

// 1 000 clips summarised by the worker thread while this thread plays the user interface:
// it writes each batch of results into the list, and the longest batch is reported.
void BM_SummariseThousandClips(benchmark::State& state) {
    const std::vector<fs::path> clips = Clips("thousand", 1000);
    if (clips.empty()) {
        state.SkipWithError("ffmpeg could not make the clips");
        return;
    }
    const std::string folder = clips.front().parent_path().string();
    double longestTurnMs = 0;
    for (auto _ : state) {
        std::mutex mutex;
        std::condition_variable posted;
        int pending = 0;
        LinuxFfmpegMediaProbe probe;
        LinuxDirectoryReader reader;
        ContentsList list;
        MediaInfoWorker worker(probe, [&] {
            std::lock_guard lock(mutex);
            ++pending;
            posted.notify_one();
        });
        ContentsFolder shown(list, reader, &worker);
        worker.Start();
        shown.ShowFolder(folder, true);
        std::size_t written = 0;
        const std::size_t files = list.RowCount();
        while (written < files) {
            {
                std::unique_lock lock(mutex);
                posted.wait(lock, [&] { return pending > 0; });
                --pending;
            }
            const auto start = std::chrono::steady_clock::now();
            written += shown.ApplyResults(256);
            const std::chrono::duration<double, std::milli> turn =
                std::chrono::steady_clock::now() - start;
            longestTurnMs = std::max(longestTurnMs, turn.count());
        }
        worker.Stop();
    }
    state.counters["files"] = static_cast<double>(clips.size());
    state.counters["longest_ui_turn_ms"] = longestTurnMs;
}
BENCHMARK(BM_SummariseThousandClips)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The HTML page of a 10 000-file folder with summaries, written to disk.
void BM_ExportLargeFolderPage(benchmark::State& state) {
    FolderExport folder{.folderLabel = "Series\\Season 1",
                        .title = "Season 1",
                        .host = u"192.168.1.10",
                        .playerPort = u"5119",
                        .files = {}};
    for (int i = 0; i < 10'000; ++i) {
        const std::string name = "Episode " + std::to_string(i) + ".mp4";
        folder.files.push_back(
            {name,
             u"Size: 12.34 MB; Time: 00:21:05. Video - H264; 99.3 kByte/s; 1280x720; 25 Frames/s. "
             u"Audio - AAC; 15.6 kByte/s; 48.0 kHz; Stereo."});
    }
    LinuxFileStore files;
    const std::string out = (BenchDir("export") += ".html").string();
    for (auto _ : state) {
        const std::string page = WebPageBytes(folder);
        files.ReplaceUserFile(
            out, std::span(reinterpret_cast<const std::uint8_t*>(page.data()), page.size()));
    }
    fs::remove(out);
}
BENCHMARK(BM_ExportLargeFolderPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantor
