#include "config/work_in_order.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vantor {

void MakeInOrder(std::size_t count, unsigned threads, std::size_t ahead,
                 const std::function<std::string(std::size_t)>& make,
                 const std::function<void(std::string_view)>& take) {
    struct Piece {
        std::string text;
        std::exception_ptr failure;
        bool ready = false;
    };
    std::vector<Piece> pieces(count);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;   // the next piece a thread starts on
    std::size_t taken = 0;  // the pieces handed over so far
    bool stop = false;
    ahead = std::max<std::size_t>(ahead, 1);

    const auto work = [&] {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next == count || next < taken + ahead; });
                if (stop || next == count) {
                    return;
                }
                index = next++;
            }
            Piece made;
            try {
                made.text = make(index);
            } catch (...) {
                made.failure = std::current_exception();
            }
            made.ready = true;
            {
                std::lock_guard lock(mutex);
                pieces[index] = std::move(made);
            }
            changed.notify_all();
        }
    };

    std::vector<std::jthread> workers;
    // Declared after the threads, so it stops them before they are joined, however this ends.
    struct Stop {
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stop;
        ~Stop() {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            changed.notify_all();
        }
    } stopAtEnd{mutex, changed, stop};
    for (unsigned i = 0; i < threads && i < count; ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer threads than asked; those there do the work
        }
    }

    for (std::size_t i = 0; i < count; ++i) {
        std::string text;
        if (workers.empty()) {
            text = make(i);
        } else {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return pieces[i].ready; });
            if (pieces[i].failure) {
                std::rethrow_exception(pieces[i].failure);
            }
            text = std::move(pieces[i].text);
            ++taken;
        }
        changed.notify_all();
        take(text);
    }
}

}  // namespace vantor
