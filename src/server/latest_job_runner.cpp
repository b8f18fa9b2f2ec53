#include "server/latest_job_runner.h"

#include <utility>

namespace vantor {

LatestJobRunner::LatestJobRunner() : thread_([this] { Run(); }) {}

LatestJobRunner::~LatestJobRunner() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;  // a job still waiting is dropped with the runner
    }
    wake_.notify_all();
    thread_.join();
}

void LatestJobRunner::Submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        waiting_ = std::move(job);
    }
    wake_.notify_all();
}

bool LatestJobRunner::Busy() const {
    std::lock_guard lock(mutex_);
    return running_ || waiting_.has_value();
}

void LatestJobRunner::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
        if (stopping_) {
            return;
        }
        std::function<void()> job = std::move(*waiting_);
        waiting_.reset();
        running_ = true;
        lock.unlock();
        try {
            job();
        } catch (...) {
            // A failed query shows as no answer; the runner goes on with the next one.
        }
        lock.lock();
        running_ = false;
    }
}

}  // namespace vantor
