#pragma once

namespace vantor {

// The link to the machine whose server is administered. This machine's is always there; another
// machine's (over ssh) can be lost, and then made again.
class ServerConnection {
public:
    virtual ~ServerConnection() = default;
    // True once a call could not reach the machine: every call fails until Reconnect succeeds.
    virtual bool Lost() const = 0;
    // Makes the link again (the user may be asked for a passphrase); true when the machine
    // answers. A window's thread keeps painting meanwhile.
    virtual bool Reconnect() = 0;
};

}  // namespace vantor
