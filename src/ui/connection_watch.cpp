#include "ui/connection_watch.h"

#include <utility>

#include "platform/prompter.h"
#include "platform/server_connection.h"
#include "ui/main_frame_model.h"

namespace vantor {

ConnectionWatch::ConnectionWatch(ServerConnection& connection, Prompter& prompter,
                                 std::u16string host)
    : connection_(connection), prompter_(prompter), host_(std::move(host)) {}

std::u16string ConnectionWatch::LostText() const {
    return u"Connection to " + host_ + u" lost";
}

bool ConnectionWatch::NoticeLoss() {
    if (lost_ || !connection_.Lost()) {
        return false;
    }
    lost_ = true;
    return true;
}

bool ConnectionWatch::OfferReconnect() {
    return lost_ &&
           prompter_.AskYesNo(u"The connection to " + host_ +
                                  u" was lost. Changes can be made again once it is back.\n\n"
                                  u"Connect again now?",
                              std::u16string(FrameTitle), MessageIcon::Warning) &&
           Reconnect();
}

bool ConnectionWatch::Reconnect() {
    if (!lost_) {
        return false;
    }
    if (!connection_.Reconnect()) {
        prompter_.ShowMessage(host_ + u" cannot be reached over ssh.", std::u16string(FrameTitle),
                              MessageIcon::Error);
        return false;
    }
    lost_ = false;
    return true;
}

}  // namespace vantor
