#pragma once

namespace vantor {

// What the Start/Stop command asks of the server's service.
enum class ServiceOperation {
    Start = 1,
    Stop = 2,
};

}  // namespace vantor
