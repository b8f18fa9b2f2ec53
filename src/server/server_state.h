#pragma once

namespace vantor {

// The media server's service state as the tool shows it. Reload, multicast and activity calls
// are made only while it is Running.
enum class ServerState {
    NotResponding = 0,
    Running = 1,
    Stopped = 2,
    ChangingState = 3,
};

}  // namespace vantor
