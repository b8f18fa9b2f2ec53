#include "monitor/media_info.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <utility>

namespace vantor {
namespace {

constexpr std::int64_t kUnitsPerSecond = 10'000'000;  // 100-nanosecond units
// 1 / 1 024 000 as a single-precision constant: sizes have always been shown through it.
constexpr float kBytesToMB = 9.765625e-7f;
constexpr double kKBpsDivisor = 8192.0;
constexpr double kEstimateShare = 0.97;  // what is left of a file for its video stream

struct TagName {
    std::uint16_t tag;
    std::u16string_view name;
};
constexpr TagName kAudioFormatNames[] = {
    {0x0001, u"PCM"},         {0x0003, u"IEEE"},        {0x0006, u"CCITT A-Law"},
    {0x0007, u"CCITT u-Law"}, {0x0009, u"DRM"},         {0x000A, u"WMA Voice"},
    {0x0011, u"IMA ADPCM"},   {0x0022, u"True Speech"}, {0x0031, u"GSM 6.10"},
    {0x0050, u"MP3"},         {0x0055, u"MP3"},         {0x0092, u"Dolby"},
    {0x00FF, u"AAC"},         {0x0130, u"ACELP"},       {0x0161, u"WMA"},
    {0x0162, u"WMA V9"},      {0x2000, u"AC3"},
};
constexpr std::u16string_view kVorbisName = u"VORBIS";

// printf's output is ASCII, so widening each byte is the conversion.
template <class... Args>
std::u16string Format(const char* format, Args... args) {
    std::array<char, 64> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    if (length <= 0) {
        return {};
    }
    const auto size = std::min<std::size_t>(static_cast<std::size_t>(length), buffer.size() - 1);
    return std::u16string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size));
}

std::u16string KBps(std::uint32_t bitsPerSecond) {
    return Format("%.1f", static_cast<double>(bitsPerSecond) / kKBpsDivisor);
}

// The bitmap header's compression code as text; a zero byte ends it.
std::u16string FourCCText(std::uint32_t fourCC) {
    std::u16string text;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>((fourCC >> (8 * i)) & 0xFF);
        if (byte == 0) {
            break;
        }
        text.push_back(static_cast<char16_t>(byte));
    }
    return text;
}

void AnalyseVideo(const MediaFacts& facts, MediaInfo& info) {
    info.hasVideo = true;
    if (facts.videoBlock == VideoFormatBlock::None) {
        return;
    }
    info.videoKBps = KBps(facts.videoBitRate);
    if (facts.avgTimePerFrame != 0) {
        info.frameRate = Format("%d", static_cast<int>(kUnitsPerSecond / facts.avgTimePerFrame));
    }
    info.videoFormat = facts.videoBlock == VideoFormatBlock::Mpeg1Video ? std::u16string(u"MPEG1")
                                                                        : FourCCText(facts.fourCC);
    info.width = Format("%d", facts.width);
    info.height = Format("%d", facts.height);
}

void AnalyseAudio(const MediaFacts& facts, MediaInfo& info) {
    info.hasAudio = true;
    std::uint32_t bitsPerSecond = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint16_t channels = 0;
    if (facts.audioBlock != AudioFormatBlock::None) {
        bitsPerSecond = facts.audioBitsPerSecond;
        samplesPerSecond = facts.samplesPerSecond;
        channels = facts.channels;
        info.audioFormat = facts.audioBlock == AudioFormatBlock::Vorbis
                               ? std::u16string(kVorbisName)
                               : std::u16string(AudioFormatName(facts.formatTag));
    }
    info.audioKBps = KBps(bitsPerSecond);
    info.sampleRateKHz = Format("%.1f", samplesPerSecond * 0.001);
    info.channels = channels > 1 ? u"Stereo" : u"Mono";
}

void AnalyseFile(const MediaFacts& facts, MediaInfo& info) {
    if (!facts.fileSize) {
        return;  // unreadable attributes: no size and no time
    }
    const std::uint64_t size = *facts.fileSize;
    info.sizeMB = Format("%.2f", static_cast<double>(static_cast<float>(size) * kBytesToMB));
    if (!facts.duration) {
        return;
    }
    const std::int64_t seconds = *facts.duration / kUnitsPerSecond;
    if (seconds <= 0) {
        return;
    }
    // Hours wrap at a day, as the clock format always has.
    info.duration = Format("%02d:%02d:%02d", static_cast<int>(seconds / 3600 % 24),
                           static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    if (info.hasVideo && info.videoKBps == u"0.0") {
        info.videoKBps = Format("%.1f", static_cast<double>(size) * 0.001 /
                                            static_cast<double>(seconds) * kEstimateShare);
    }
}

void AppendIfAny(std::u16string& text, const std::u16string& value, std::u16string_view suffix) {
    if (!value.empty()) {
        text += value;
        text += suffix;
    }
}

}  // namespace

std::u16string_view AudioFormatName(std::uint16_t formatTag) {
    for (const TagName& entry : kAudioFormatNames) {
        if (entry.tag == formatTag) {
            return entry.name;
        }
    }
    return {};
}

MediaInfo AnalyseMedia(const MediaFacts& facts) {
    MediaInfo info;
    if (facts.hasVideo) {
        AnalyseVideo(facts, info);
    }
    if (facts.hasAudio) {
        AnalyseAudio(facts, info);
    }
    AnalyseFile(facts, info);
    return info;
}

std::u16string MediaSummary(const MediaInfo& info) {
    std::u16string text;
    if (!info.sizeMB.empty() || !info.duration.empty()) {
        if (!info.sizeMB.empty()) {
            text += u"Size: " + info.sizeMB + u" MB; ";
        }
        if (!info.duration.empty()) {
            text += u"Time: " + info.duration;
        }
        text += u". ";
    }
    if (info.hasVideo) {
        text += u"Video - ";
        AppendIfAny(text, info.videoFormat, u"; ");
        AppendIfAny(text, info.videoKBps, u" kByte/s; ");
        if (!info.width.empty()) {
            text += info.width + u"x" + info.height + u"; ";
        }
        AppendIfAny(text, info.frameRate, u" Frames/s");
        text += u".";
        if (info.hasAudio) {
            text += u" ";
        }
    }
    if (info.hasAudio) {
        text += u"Audio - ";
        AppendIfAny(text, info.audioFormat, u"; ");
        AppendIfAny(text, info.audioKBps, u" kByte/s; ");
        AppendIfAny(text, info.sampleRateKHz, u" kHz; ");
        text += info.channels;
        text += u".";
    }
    return text;
}

std::u16string DescribeMedia(const MediaFacts& facts) {
    if (!facts.renders) {
        return std::u16string(FormatNotSupportedText);
    }
    return MediaSummary(AnalyseMedia(facts));
}

}  // namespace vantor
