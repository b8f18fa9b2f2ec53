#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editors/control_state.h"

namespace vantor {

// One optional limit as an editor holds it: its check box and the value in its edit box.
struct LimitSetting {
    bool enabled = false;
    std::int32_t value = 0;

    bool operator==(const LimitSetting&) const = default;
};

// The record keeps limits unsigned, 0 for none; the editors show and check them as signed
// numbers with a check box.
inline LimitSetting LimitFromRecord(std::uint32_t value) {
    return {value != 0, static_cast<std::int32_t>(value)};
}
inline std::uint32_t LimitToRecord(const LimitSetting& limit) {
    return limit.enabled ? static_cast<std::uint32_t>(limit.value) : 0;
}

// The check box + edit box pairs of the limits panel. PlayTime exists in the broadcast editors
// only (where it stands among the delivery options rather than in the group box).
enum class LimitPair { TotalConnections, ConnectionsPerUser, Throughput, PlayTime };

enum class LimitsControl {
    GroupBox,
    TotalConnectionsCheck,
    TotalConnectionsEdit,
    ConnectionsPerUserCheck,
    ConnectionsPerUserSecondLine,  // label "per each authenticated user" under the check box
    ConnectionsPerUserEdit,
    ThroughputCheck,
    ThroughputEdit,
    PlayTimeCheck,
    PlayTimeEdit,
    MinutesLabel,  // after the play time edit box
    Count,
};

inline constexpr std::size_t kLimitsControlCount = static_cast<std::size_t>(LimitsControl::Count);

// The three connection limits as read from the panel; a limit that is off reads as {false, 0}.
struct LimitsReading {
    std::u16string message;  // empty when every limit passed
    LimitSetting maxConnections;
    LimitSetting maxConnectionsPerUser;
    LimitSetting maxThroughputKBps;
};

// A limit whose check box is on, read from its edit box's text.
struct LimitTextReading {
    std::u16string message;  // empty when it passed
    std::int32_t value = 0;
};

// The largest number a limit kept in 16 bits of the file can hold.
inline constexpr std::int32_t Max16BitLimit = 65535;

// The rule of every limit that is on, in the resource editors and the server properties alike:
// nothing typed is "not specified"; a number below 1, read as the dialogs read numbers, is under
// the minimum. A limit the file keeps in 16 bits (maximum given) is refused above 65535 rather
// than cut to its low bits.
LimitTextReading ReadLimitText(std::u16string_view text, std::u16string_view missing,
                               std::u16string_view minimum, std::u16string_view maximum = {});

struct PlayTimeReading {
    std::u16string message;           // empty when it passed
    std::int32_t playTimeLimit = -1;  // minutes; -1 no limit
};

// The optional limits of a resource: three connection limits and, in the broadcast editors, a
// per-user playback time. Edit box texts are whatever the user typed; they are read only on OK.
class LimitsPanel {
public:
    static constexpr std::u16string_view kFolderGroupBoxText =
        u" Limit player connections to this virtual folder";
    static constexpr std::u16string_view kBroadcastGroupBoxText =
        u" Limit player connections to this broadcast";
    static constexpr std::u16string_view kTotalConnectionsText =
        u"Limit total concurrent connections number";
    static constexpr std::u16string_view kConnectionsPerUserText = u"Limit concurrent connections";
    static constexpr std::u16string_view kConnectionsPerUserSecondLineText =
        u"per each authenticated user";
    static constexpr std::u16string_view kThroughputText =
        u"Do not accept new connections if throughput exceeds (kByte/sec)";
    static constexpr std::u16string_view kPlayTimeText = u"Limit per-user playback time";
    static constexpr std::u16string_view kMinutesText = u"minutes";

    static constexpr std::u16string_view kTotalConnectionsMissing =
        u"Limit of connections number is not specified";
    static constexpr std::u16string_view kTotalConnectionsMinimum =
        u"Minimal number of connections is 1";
    static constexpr std::u16string_view kConnectionsPerUserMissing =
        u"Limit of connections number per user is not specified";
    static constexpr std::u16string_view kConnectionsPerUserMinimum =
        u"Minimal number of connections per user is 1";
    // For the limits kept in 16 bits (the server's).
    static constexpr std::u16string_view kTotalConnectionsMaximum =
        u"Maximal number of connections is 65535";
    static constexpr std::u16string_view kConnectionsPerUserMaximum =
        u"Maximal number of connections per user is 65535";
    static constexpr std::u16string_view kThroughputMissing = u"Throughput limit is not specified";
    static constexpr std::u16string_view kThroughputMinimum =
        u"Throughput limit must be at least 1 kByte/sec";
    static constexpr std::u16string_view kPlayTimeMinimum = u"Time limit must be at least 1 minute";

    explicit LimitsPanel(bool broadcastVariant);

    bool BroadcastVariant() const { return broadcastVariant_; }
    const ControlState& State(LimitsControl control) const {
        return states_[static_cast<std::size_t>(control)];
    }
    static LimitsControl CheckBoxOf(LimitPair pair);
    static LimitsControl EditOf(LimitPair pair);
    // Edit boxes that accept digits only (the view installs the filter; the rule lives here).
    static bool DigitsOnly(LimitsControl control);

    // Record values: a connection limit of 0 is off; a play time of -1 is off (broadcast only).
    void Load(std::int32_t maxConnections, std::int32_t maxConnectionsPerUser,
              std::int32_t maxThroughputKBps, std::int32_t playTimeLimit = -1);
    // The user clicked a pair's check box; the edit box follows it and keeps its text.
    void OnPairToggled(LimitPair pair, bool checked);
    // The view reports every change of an edit box's text.
    void SetEditText(LimitPair pair, std::u16string text);

    // A pair that is on, read from text with that pair's messages. The play time has no
    // "not specified" message of its own: an empty box fails its minimum.
    static LimitTextReading ReadPairText(LimitPair pair, std::u16string_view text);

    // Broadcast variant; always -1 in the folder variant.
    PlayTimeReading ReadPlayTime() const;
    // The pairs in order total connections, per user, throughput; the first failure decides.
    LimitsReading ReadLimits() const;

private:
    ControlState& At(LimitsControl control) { return states_[static_cast<std::size_t>(control)]; }
    void LoadConnectionPair(LimitPair pair, std::int32_t value);
    // Empty message and the setting (left as it is while the pair is unchecked), or the pair's
    // message.
    std::u16string ReadPair(LimitPair pair, LimitSetting& setting) const;

    bool broadcastVariant_;
    std::array<ControlState, kLimitsControlCount> states_;
};

}  // namespace vantor
