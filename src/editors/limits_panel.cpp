#include "editors/limits_panel.h"

#include <string>
#include <utility>

#include "config/decimal_reader.h"

namespace vantor {
LimitsPanel::LimitsPanel(bool broadcastVariant) : broadcastVariant_(broadcastVariant) {
    At(LimitsControl::GroupBox).text =
        broadcastVariant ? kBroadcastGroupBoxText : kFolderGroupBoxText;
    At(LimitsControl::TotalConnectionsCheck).text = kTotalConnectionsText;
    At(LimitsControl::ConnectionsPerUserCheck).text = kConnectionsPerUserText;
    At(LimitsControl::ConnectionsPerUserSecondLine).text = kConnectionsPerUserSecondLineText;
    At(LimitsControl::ThroughputCheck).text = kThroughputText;
    At(LimitsControl::PlayTimeCheck).text = kPlayTimeText;
    At(LimitsControl::MinutesLabel).text = kMinutesText;
    for (LimitPair pair : {LimitPair::TotalConnections, LimitPair::ConnectionsPerUser,
                           LimitPair::Throughput, LimitPair::PlayTime}) {
        At(EditOf(pair)).enabled = false;  // until its check box is checked
    }
    for (LimitsControl control :
         {LimitsControl::PlayTimeCheck, LimitsControl::PlayTimeEdit, LimitsControl::MinutesLabel}) {
        At(control).visible = broadcastVariant;
    }
}

LimitsControl LimitsPanel::CheckBoxOf(LimitPair pair) {
    switch (pair) {
        case LimitPair::TotalConnections:
            return LimitsControl::TotalConnectionsCheck;
        case LimitPair::ConnectionsPerUser:
            return LimitsControl::ConnectionsPerUserCheck;
        case LimitPair::Throughput:
            return LimitsControl::ThroughputCheck;
        case LimitPair::PlayTime:
            break;
    }
    return LimitsControl::PlayTimeCheck;
}

LimitsControl LimitsPanel::EditOf(LimitPair pair) {
    switch (pair) {
        case LimitPair::TotalConnections:
            return LimitsControl::TotalConnectionsEdit;
        case LimitPair::ConnectionsPerUser:
            return LimitsControl::ConnectionsPerUserEdit;
        case LimitPair::Throughput:
            return LimitsControl::ThroughputEdit;
        case LimitPair::PlayTime:
            break;
    }
    return LimitsControl::PlayTimeEdit;
}

bool LimitsPanel::DigitsOnly(LimitsControl control) {
    // The per-user box takes any text; "12abc" there reads as 12.
    return control == LimitsControl::TotalConnectionsEdit ||
           control == LimitsControl::ThroughputEdit || control == LimitsControl::PlayTimeEdit;
}

void LimitsPanel::Load(std::int32_t maxConnections, std::int32_t maxConnectionsPerUser,
                       std::int32_t maxThroughputKBps, std::int32_t playTimeLimit) {
    LoadConnectionPair(LimitPair::TotalConnections, maxConnections);
    LoadConnectionPair(LimitPair::ConnectionsPerUser, maxConnectionsPerUser);
    LoadConnectionPair(LimitPair::Throughput, maxThroughputKBps);
    if (broadcastVariant_) {
        bool limited = playTimeLimit != -1;
        At(LimitsControl::PlayTimeCheck).checked = limited;
        At(LimitsControl::PlayTimeEdit).enabled = limited;
        At(LimitsControl::PlayTimeEdit).text = limited ? DecimalText(playTimeLimit) : u"";
    }
}

void LimitsPanel::LoadConnectionPair(LimitPair pair, std::int32_t value) {
    At(CheckBoxOf(pair)).checked = value != 0;
    At(EditOf(pair)).enabled = value != 0;
    At(EditOf(pair)).text = DecimalText(value);  // 0 is shown too
}

void LimitsPanel::OnPairToggled(LimitPair pair, bool checked) {
    if (pair == LimitPair::PlayTime && !broadcastVariant_) {
        return;
    }
    At(CheckBoxOf(pair)).checked = checked;
    At(EditOf(pair)).enabled = checked;
}

void LimitsPanel::SetEditText(LimitPair pair, std::u16string text) {
    At(EditOf(pair)).text = std::move(text);
}

LimitTextReading ReadLimitText(std::u16string_view text, std::u16string_view missing,
                               std::u16string_view minimum, std::u16string_view maximum) {
    if (text.empty()) {
        return {std::u16string(missing), 0};
    }
    const std::int32_t value = ReadDialogInt(text);
    if (value < 1) {
        return {std::u16string(minimum), 0};
    }
    if (!maximum.empty() && value > Max16BitLimit) {
        return {std::u16string(maximum), 0};
    }
    return {{}, value};
}

LimitTextReading LimitsPanel::ReadPairText(LimitPair pair, std::u16string_view text) {
    switch (pair) {
        case LimitPair::TotalConnections:
            return ReadLimitText(text, kTotalConnectionsMissing, kTotalConnectionsMinimum);
        case LimitPair::ConnectionsPerUser:
            return ReadLimitText(text, kConnectionsPerUserMissing, kConnectionsPerUserMinimum);
        case LimitPair::Throughput:
            return ReadLimitText(text, kThroughputMissing, kThroughputMinimum);
        case LimitPair::PlayTime:
            break;
    }
    // An empty box is not told apart: it reads 0 and fails the minimum.
    return ReadLimitText(text, kPlayTimeMinimum, kPlayTimeMinimum);
}

PlayTimeReading LimitsPanel::ReadPlayTime() const {
    PlayTimeReading reading;
    if (!broadcastVariant_ || !State(LimitsControl::PlayTimeCheck).checked) {
        return reading;
    }
    LimitTextReading minutes =
        ReadPairText(LimitPair::PlayTime, State(LimitsControl::PlayTimeEdit).text);
    if (!minutes.message.empty()) {
        reading.message = std::move(minutes.message);
    } else {
        reading.playTimeLimit = minutes.value;
    }
    return reading;
}

std::u16string LimitsPanel::ReadPair(LimitPair pair, LimitSetting& setting) const {
    if (!State(CheckBoxOf(pair)).checked) {
        return {};
    }
    LimitTextReading read = ReadPairText(pair, State(EditOf(pair)).text);
    if (read.message.empty()) {
        setting = {true, read.value};
    }
    return std::move(read.message);
}

LimitsReading LimitsPanel::ReadLimits() const {
    LimitsReading reading;
    reading.message = ReadPair(LimitPair::TotalConnections, reading.maxConnections);
    if (reading.message.empty()) {
        reading.message = ReadPair(LimitPair::ConnectionsPerUser, reading.maxConnectionsPerUser);
    }
    if (reading.message.empty()) {
        reading.message = ReadPair(LimitPair::Throughput, reading.maxThroughputKBps);
    }
    return reading;
}

}  // namespace vantor
