#include "monitor/media_info_worker.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media_probe.h"

namespace vantor {
namespace {

// Every file renders as a size-only summary whose megabytes give away which file it was
// (file n has n x 1 024 000 bytes, "n.00 MB"); probing may run a test's hook first.
class FakeProbe : public MediaProbe {
public:
    MediaFacts Probe(const std::string& path, const std::function<bool()>& cancelled) override {
        probed.push_back(path);
        if (onProbe) {
            onProbe(path, cancelled);
        }
        MediaFacts facts;
        facts.renders = true;
        facts.hasAudio = true;
        facts.fileSize = std::stoull(path.substr(path.rfind('/') + 1)) * 1'024'000;
        return facts;
    }
    void LowerThreadPriority() override { lowered = true; }

    std::vector<std::string> probed;
    std::function<void(const std::string&, const std::function<bool()>&)> onProbe;
    std::atomic<bool> lowered = false;
};

std::vector<MediaJob> Jobs(std::vector<std::size_t> rows) {
    std::vector<MediaJob> jobs;
    for (std::size_t row : rows) {
        jobs.push_back({row, "/media/" + std::to_string(row)});
    }
    return jobs;
}

std::u16string SummaryOf(std::size_t n) {
    const std::string text =
        "Size: " + std::to_string(n) + ".00 MB; . Audio - 0.0 kByte/s; 0.0 kHz; Mono.";
    return {text.begin(), text.end()};
}

TEST(MediaInfoWorker, WorksThroughTheListingInRowOrderWithAClickedRowFirst) {
    FakeProbe probe;
    int ready = 0;
    MediaInfoWorker worker(probe, [&ready] { ++ready; });
    EXPECT_FALSE(worker.RunOnce());  // no listing yet: nothing to do

    worker.Scan(7, Jobs({1, 2, 4, 5}));
    ASSERT_TRUE(worker.RunOnce());
    worker.Prioritise(7, 5);
    worker.Prioritise(7, 3);  // not a file row of the listing
    worker.Prioritise(6, 4);  // a click on an older listing
    worker.Prioritise(7, 1);  // already done
    while (worker.RunOnce()) {
    }
    EXPECT_EQ(probe.probed,
              (std::vector<std::string>{"/media/1", "/media/5", "/media/2", "/media/4"}));
    EXPECT_EQ(worker.Pending(), 0u);

    // One wake-up for the batch, however many results it holds.
    EXPECT_EQ(ready, 1);
    const std::vector<MediaResult> first = worker.TakeResults(3);
    EXPECT_EQ(first, (std::vector<MediaResult>{
                         {7, 1, SummaryOf(1)}, {7, 5, SummaryOf(5)}, {7, 2, SummaryOf(2)}}));
    EXPECT_EQ(ready, 2);  // more were left: another turn is asked for
    EXPECT_EQ(worker.TakeResults(3), (std::vector<MediaResult>{{7, 4, SummaryOf(4)}}));
    EXPECT_EQ(ready, 2);
}

TEST(MediaInfoWorker, ANewListingDuringAProbeGetsNothingOfTheOldOne) {
    FakeProbe probe;
    MediaInfoWorker worker(probe, nullptr);
    worker.Scan(1, Jobs({0, 1}));
    bool cancelledSeen = false;
    // The user steps into a subfolder while the first file is read.
    probe.onProbe = [&](const std::string& path, const std::function<bool()>& cancelled) {
        if (path != "/media/0") {
            return;
        }
        worker.Restart();
        worker.Scan(2, Jobs({3, 4}));
        cancelledSeen = cancelled();
    };
    ASSERT_TRUE(worker.RunOnce());
    EXPECT_TRUE(cancelledSeen);
    while (worker.RunOnce()) {
    }
    // Starts over at the first row of the new listing; the old one's result is written nowhere.
    EXPECT_EQ(probe.probed, (std::vector<std::string>{"/media/0", "/media/3", "/media/4"}));
    EXPECT_EQ(worker.TakeResults(10),
              (std::vector<MediaResult>{{2, 3, SummaryOf(3)}, {2, 4, SummaryOf(4)}}));

    // Results that wait when the list is refilled for something else are dropped too.
    worker.Scan(3, Jobs({6}));
    ASSERT_TRUE(worker.RunOnce());
    worker.Restart();
    EXPECT_TRUE(worker.TakeResults(10).empty());
    EXPECT_FALSE(worker.RunOnce());  // a list without a folder: nothing to scan
}

TEST(MediaInfoWorker, RunsOnItsOwnThreadAndStopsAProbeUnderWay) {
    FakeProbe probe;
    std::atomic<int> ready = 0;
    MediaInfoWorker worker(probe, [&ready] { ++ready; });
    std::atomic<bool> blocked = false;
    std::atomic<bool> gaveUp = false;
    // The third file never finishes on its own: only the stop flag ends it.
    probe.onProbe = [&](const std::string& path, const std::function<bool()>& cancelled) {
        if (path == "/media/3") {
            blocked = true;
            while (!cancelled()) {
                std::this_thread::yield();
            }
            gaveUp = true;
        }
    };
    const auto waitFor = [](const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        return done();
    };
    worker.Start();
    worker.Scan(1, Jobs({5}));
    ASSERT_TRUE(waitFor([&] { return ready == 1; }));
    // Let the worker fall asleep: the next listing has to wake it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    worker.Scan(2, Jobs({1, 2, 3, 4}));
    ASSERT_TRUE(waitFor([&] { return blocked.load(); }));
    worker.Stop();
    EXPECT_TRUE(gaveUp);
    EXPECT_TRUE(probe.lowered);
    EXPECT_EQ(worker.TakeResults(10),
              (std::vector<MediaResult>{{2, 1, SummaryOf(1)}, {2, 2, SummaryOf(2)}}));
    EXPECT_EQ(probe.probed.size(), 4u);  // the fourth of the listing was never started
    // A worker dropped while its thread waits for work stops and joins it first.
    MediaInfoWorker(probe, [] {}).Start();
}

}  // namespace
}  // namespace vantor
