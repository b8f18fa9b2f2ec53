#pragma once

#include <functional>

namespace vantor {

// Runs work that may wait on another machine. Called on the thread that runs a window's event
// loop, the work runs on a thread of its own while that loop goes on painting and serving its
// timers (user input waits until the work is done), so a slow link never freezes the window;
// called anywhere else, or in a program without windows, it runs at once.
void RunOffWindowThread(const std::function<void()>& work);

// True while the window's thread waits in RunOffWindowThread. What its timers and completions
// do meanwhile must not change what the waiting work reads or writes (a reload of the
// configuration waits for the next turn).
bool WindowThreadWaiting();

}  // namespace vantor
