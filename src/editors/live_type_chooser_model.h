#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "editors/broadcast_form.h"
#include "editors/control_state.h"

namespace vantor {

enum class LiveTypeControl {
    StaticRadio,
    StaticText,  // the explanation under its radio
    DynamicRadio,
    DynamicText,
    DelegateRadio,
    DelegateText,
    RebroadcastRadio,  // no explanation
    OkButton,
    CancelButton,
    Count,
};

inline constexpr std::size_t kLiveTypeControlCount =
    static_cast<std::size_t>(LiveTypeControl::Count);

// The model of the dialog that asks which kind of live broadcast to create. The MMS rebroadcast
// needs a system facility that only some systems have; elsewhere its radio stays disabled.
class LiveTypeChooserModel {
public:
    static constexpr std::u16string_view kTitle = u"New Live Broadcast";
    static constexpr std::u16string_view kStaticText = u"Static live broadcast (recommended)";
    static constexpr std::u16string_view kStaticExplanation =
        u"Choose this if computer that runs Live Server is directly IP reachable from Media "
        u"Server computer. Connection will be initiated by Media Server based on IP address of "
        u"Live Server.";
    static constexpr std::u16string_view kDynamicText = u"Dynamic live broadcast";
    static constexpr std::u16string_view kDynamicExplanation =
        u"Choose this if computer that runs Live Server is NOT directly IP reachable from Media "
        u"Server computer. Live Server will have to initiate a connection to Media Server.";
    static constexpr std::u16string_view kDelegateText = u"Delegate live broadcast";
    static constexpr std::u16string_view kDelegateExplanation =
        u"Choose this if local Media Server will connect to another Media Server for live "
        u"broadcast. Another Media Server will receive live broadcast from Live Server and will "
        u"resend it to this Media Server.";
    static constexpr std::u16string_view kRebroadcastText =
        u"Rebroadcast stream from Microsoft Media Services (supported on Windows 2000, XP, 2003 "
        u"Server)";

    // Opens with "Static live broadcast (recommended)" selected.
    explicit LiveTypeChooserModel(bool rebroadcastAvailable);

    const std::u16string& Title() const { return title_; }
    const ControlState& State(LiveTypeControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }

    // The user clicked a radio (a disabled one cannot be).
    void OnTypeSelected(LiveType type);
    // OK: the selected type.
    LiveType OnOk() const;

    static LiveTypeControl RadioOf(LiveType type);

private:
    ControlState& At(LiveTypeControl control) { return states_[static_cast<std::size_t>(control)]; }

    std::u16string title_{kTitle};
    std::array<ControlState, kLiveTypeControlCount> states_;
};

}  // namespace vantor
