#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantor {

class MediaProbe;

// A file of a listing that still needs its summary.
struct MediaJob {
    std::size_t row = 0;
    std::string path;  // UTF-8
};

// A summary computed for one row of one listing.
struct MediaResult {
    std::uint64_t listing = 0;
    std::size_t row = 0;
    std::u16string description;

    bool operator==(const MediaResult&) const = default;
};

// Summarises the files of the folder that the contents list shows, in the background and in
// row order, a clicked row first. Results wait in an outbox until the user-interface thread
// takes them; a result computed for a listing that has been replaced meanwhile is dropped.
// Every public member may be called from any thread.
class MediaInfoWorker {
public:
    // resultsReady is called on the worker's thread whenever the outbox stops being empty; it
    // must only arrange for TakeResults to be called later on the user-interface thread.
    MediaInfoWorker(MediaProbe& probe, std::function<void()> resultsReady);
    ~MediaInfoWorker();
    MediaInfoWorker(const MediaInfoWorker&) = delete;
    MediaInfoWorker& operator=(const MediaInfoWorker&) = delete;

    // Starts the background thread (tests may drive RunOnce themselves instead).
    void Start();
    // Ends the thread: a probe under way is told to give up, and no result is delivered after.
    void Stop();

    // The list is about to be refilled: whatever runs now is for an old listing.
    void Restart();
    // The list holds a folder listing; jobs are its file rows without a summary, in row order.
    void Scan(std::uint64_t listing, std::vector<MediaJob> jobs);
    // The user clicked a file row: it goes next, unless it is done or under way.
    void Prioritise(std::uint64_t listing, std::size_t row);

    // Up to max results, oldest first.
    std::vector<MediaResult> TakeResults(std::size_t max);

    // One step: takes the next job, probes it (without holding the lock) and stores the result.
    // False when there was nothing to do.
    bool RunOnce();
    // Jobs of the current listing not yet taken.
    std::size_t Pending() const;

private:
    void Run();
    bool HasWorkLocked() const { return !stop_ && scan_ && pending_ > 0; }

    MediaProbe& probe_;
    std::function<void()> resultsReady_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;

    std::atomic<bool> stop_ = false;
    std::atomic<std::uint64_t> listing_ = 0;  // the listing now shown; older results are dropped
    bool scan_ = false;                       // the list holds a folder listing to work on
    std::size_t cursor_ = 0;                  // the next job in row order
    std::vector<MediaJob> jobs_;
    std::vector<bool> taken_;
    std::size_t pending_ = 0;
    std::deque<std::size_t> urgent_;  // indices into jobs_, clicked rows first
    std::vector<MediaResult> outbox_;
};

}  // namespace vantor
