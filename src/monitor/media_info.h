#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/media_probe.h"

namespace vantor {

// The "Description" of a file that no installed decoder reads.
inline constexpr std::u16string_view FormatNotSupportedText = u"Format is not supported.";

// One analysed file as the texts that its summary is made of; an empty text is left out.
struct MediaInfo {
    std::u16string videoFormat;
    std::u16string frameRate;
    std::u16string videoKBps;
    std::u16string width;
    std::u16string height;
    std::u16string audioFormat;
    std::u16string sampleRateKHz;
    std::u16string audioKBps;
    std::u16string channels;
    bool hasVideo = false;
    bool hasAudio = false;
    std::u16string sizeMB;
    std::u16string duration;

    bool operator==(const MediaInfo&) const = default;
};

// The name of a WAVE format tag ("MP3", "PCM", ...); empty for a tag without one.
std::u16string_view AudioFormatName(std::uint16_t formatTag);

// The texts of one file's facts. A video stream that declares no bit rate gets an estimate from
// the file's size and playing time.
MediaInfo AnalyseMedia(const MediaFacts& facts);

// "Size: ... MB; Time: hh:mm:ss. Video - ... . Audio - ... ." with the parts that are known.
std::u16string MediaSummary(const MediaInfo& info);

// What the "Description" column shows for a file: its summary, or FormatNotSupportedText.
std::u16string DescribeMedia(const MediaFacts& facts);

}  // namespace vantor
