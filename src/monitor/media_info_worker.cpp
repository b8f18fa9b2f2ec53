#include "monitor/media_info_worker.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "monitor/media_info.h"
#include "platform/media_probe.h"

namespace vantor {

MediaInfoWorker::MediaInfoWorker(MediaProbe& probe, std::function<void()> resultsReady)
    : probe_(probe), resultsReady_(std::move(resultsReady)) {}

MediaInfoWorker::~MediaInfoWorker() {
    Stop();
}

void MediaInfoWorker::Start() {
    if (!thread_.joinable() && !stop_) {
        thread_ = std::thread([this] { Run(); });
    }
}

void MediaInfoWorker::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void MediaInfoWorker::Restart() {
    std::lock_guard lock(mutex_);
    ++listing_;
    scan_ = false;
    cursor_ = 0;
    jobs_.clear();
    taken_.clear();
    urgent_.clear();
    pending_ = 0;
    outbox_.clear();
}

void MediaInfoWorker::Scan(std::uint64_t listing, std::vector<MediaJob> jobs) {
    {
        std::lock_guard lock(mutex_);
        listing_ = listing;
        scan_ = true;
        cursor_ = 0;
        jobs_ = std::move(jobs);
        taken_.assign(jobs_.size(), false);
        urgent_.clear();
        pending_ = jobs_.size();
        // Results still waiting belong to the listing before.
        std::erase_if(outbox_, [listing](const MediaResult& r) { return r.listing != listing; });
    }
    wake_.notify_all();
}

void MediaInfoWorker::Prioritise(std::uint64_t listing, std::size_t row) {
    {
        std::lock_guard lock(mutex_);
        if (listing != listing_ || !scan_) {
            return;
        }
        // Jobs are in row order, so the row's job is found by bisection.
        const auto found = std::lower_bound(
            jobs_.begin(), jobs_.end(), row,
            [](const MediaJob& job, std::size_t wanted) { return job.row < wanted; });
        if (found == jobs_.end() || found->row != row) {
            return;
        }
        const auto index = static_cast<std::size_t>(std::distance(jobs_.begin(), found));
        if (taken_[index]) {
            return;
        }
        urgent_.push_front(index);
    }
    wake_.notify_all();
}

std::vector<MediaResult> MediaInfoWorker::TakeResults(std::size_t max) {
    std::vector<MediaResult> taken;
    bool more = false;
    {
        std::lock_guard lock(mutex_);
        const std::size_t count = std::min(max, outbox_.size());
        taken.assign(std::make_move_iterator(outbox_.begin()),
                     std::make_move_iterator(outbox_.begin() + static_cast<std::ptrdiff_t>(count)));
        outbox_.erase(outbox_.begin(), outbox_.begin() + static_cast<std::ptrdiff_t>(count));
        more = !outbox_.empty();
    }
    if (more && resultsReady_) {
        resultsReady_();  // the rest in a later turn, so no turn of the caller runs long
    }
    return taken;
}

std::size_t MediaInfoWorker::Pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

bool MediaInfoWorker::RunOnce() {
    MediaJob job;
    std::uint64_t listing = 0;
    {
        std::lock_guard lock(mutex_);
        if (!HasWorkLocked()) {
            return false;
        }
        std::size_t index = jobs_.size();
        while (!urgent_.empty() && index == jobs_.size()) {
            if (!taken_[urgent_.front()]) {
                index = urgent_.front();
            }
            urgent_.pop_front();
        }
        if (index == jobs_.size()) {
            while (cursor_ < jobs_.size() && taken_[cursor_]) {
                ++cursor_;
            }
            index = cursor_;
        }
        taken_[index] = true;
        --pending_;
        job = jobs_[index];
        listing = listing_;
    }

    // A new listing or the window's close makes the file under way pointless.
    const std::function<bool()> cancelled = [this, listing] {
        return stop_ || listing_ != listing;
    };
    std::u16string description = DescribeMedia(probe_.Probe(job.path, cancelled));

    bool first = false;
    {
        std::lock_guard lock(mutex_);
        if (stop_ || listing_ != listing) {
            return true;  // computed for a listing that is gone: written nowhere
        }
        first = outbox_.empty();
        outbox_.push_back(
            MediaResult{.listing = listing, .row = job.row, .description = std::move(description)});
    }
    if (first && resultsReady_) {
        resultsReady_();
    }
    return true;
}

void MediaInfoWorker::Run() {
    probe_.LowerThreadPriority();
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || HasWorkLocked(); });
            if (stop_) {
                return;
            }
        }
        RunOnce();
    }
}

}  // namespace vantor
