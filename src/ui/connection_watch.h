#pragma once

#include <string>

namespace vantor {

class Prompter;
class ServerConnection;

// What a window for another machine does about its link: when a check finds it lost, the state
// pane says so and the user is asked once whether to connect again; the Reconnect command asks
// no question. While the link is lost nothing is reloaded from the far side (its file is not
// gone, only out of reach).
class ConnectionWatch {
public:
    // host: the machine's label as the title shows it.
    ConnectionWatch(ServerConnection& connection, Prompter& prompter, std::u16string host);

    // After a call to the machine (a periodic check of its file): true when the link has just
    // been found lost (the state pane then says so, and OfferReconnect follows).
    bool NoticeLoss();
    // Asks the user whether to connect again, and does; true when the machine answers again.
    bool OfferReconnect();
    // The user's Reconnect command, without a question; true when the machine answers again
    // (else a message says it cannot be reached).
    bool Reconnect();

    bool IsLost() const { return lost_; }
    // The state pane's text while the link is lost.
    std::u16string LostText() const;

private:
    ServerConnection& connection_;
    Prompter& prompter_;
    std::u16string host_;
    bool lost_ = false;
};

}  // namespace vantor
