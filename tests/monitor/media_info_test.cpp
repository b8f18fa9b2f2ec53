#include "monitor/media_info.h"

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr std::int64_t kSecond = 10'000'000;

// The four characters with the first in the low byte.
constexpr std::uint32_t FourCC(const char (&code)[5]) {
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8 |
           std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

MediaFacts Video(VideoFormatBlock block, std::uint32_t fourCC, std::uint32_t bitRate,
                 std::int64_t avgTimePerFrame, std::int32_t width, std::int32_t height) {
    MediaFacts f;
    std::tie(f.renders, f.hasVideo, f.videoBlock, f.fourCC, f.videoBitRate, f.avgTimePerFrame,
             f.width, f.height) =
        std::tuple(true, true, block, fourCC, bitRate, avgTimePerFrame, width, height);
    return f;
}

MediaFacts WithAudio(MediaFacts f, AudioFormatBlock block, std::uint16_t tag, std::uint32_t bps,
                     std::uint32_t samplesPerSecond, std::uint16_t channels) {
    std::tie(f.renders, f.hasAudio, f.audioBlock, f.formatTag, f.audioBitsPerSecond,
             f.samplesPerSecond, f.channels) =
        std::tuple(true, true, block, tag, bps, samplesPerSecond, channels);
    return f;
}

MediaFacts WithFile(MediaFacts f, std::optional<std::uint64_t> size,
                    std::optional<std::int64_t> duration) {
    std::tie(f.fileSize, f.duration) = std::tuple(size, duration);
    return f;
}

TEST(MediaSummary, ReadsAsTheDescriptionColumnShowsIt) {
    struct Case {
        const char* what;
        MediaFacts facts;
        std::u16string summary;
    };
    const std::vector<Case> cases = {
        {"video without a declared bit rate: estimated from size and time",
         WithFile(Video(VideoFormatBlock::Bitmap, FourCC("WMV3"), 0, 400'000, 320, 240), 10'240'000,
                  100 * kSecond),
         u"Size: 10.00 MB; Time: 00:01:40. Video - WMV3; 99.3 kByte/s; 320x240; 25 Frames/s."},
        {"MP3 audio",
         WithFile(WithAudio({}, AudioFormatBlock::WaveFormat, 0x55, 128'000, 44'100, 2), 1'000'000,
                  62 * kSecond),
         u"Size: 0.98 MB; Time: 00:01:02. Audio - MP3; 15.6 kByte/s; 44.1 kHz; Stereo."},
        {"25 hours: the day is dropped",
         WithFile(WithAudio({}, AudioFormatBlock::WaveFormat, 0x01, 1'411'200, 44'100, 2), 5'000,
                  25 * 3600 * kSecond + kSecond / 2),
         u"Size: 0.00 MB; Time: 01:00:00. Audio - PCM; 172.3 kByte/s; 44.1 kHz; Stereo."},
        {"only the size known",
         WithFile(WithAudio({}, AudioFormatBlock::Vorbis, 0, 96'000, 48'000, 1), 1'000'000,
                  std::nullopt),
         u"Size: 0.98 MB; . Audio - VORBIS; 11.7 kByte/s; 48.0 kHz; Mono."},
        {"unreadable attributes: no size, no time, no estimate; MPEG-1 named by its kind",
         WithFile(Video(VideoFormatBlock::Mpeg1Video, 0, 0, 333'666, 160, -120), std::nullopt,
                  10 * kSecond),
         u"Video - MPEG1; 0.0 kByte/s; 160x-120; 29 Frames/s."},
        {"both streams; a declared bit rate is kept; a zero byte ends the code, an unknown tag "
         "has no name, one-digit sizes",
         WithFile(WithAudio(Video(VideoFormatBlock::Bitmap, FourCC("DX\0Z"), 819'200, 0, 8, 6),
                            AudioFormatBlock::WaveFormat, 0x1234, 8'192, 8'000, 1),
                  1'000'000, 10 * kSecond),
         u"Size: 0.98 MB; Time: 00:00:10. Video - DX; 100.0 kByte/s; 8x6; . Audio - 1.0 kByte/s; "
         u"8.0 kHz; Mono."},
        {"format blocks of no known type; under a second shows no time",
         WithFile(WithAudio(Video(VideoFormatBlock::None, FourCC("H264"), 8'192, 400'000, 1, 1),
                            AudioFormatBlock::None, 0x55, 8'192, 8'000, 2),
                  1'000'000, kSecond - 1),
         u"Size: 0.98 MB; . Video - . Audio - 0.0 kByte/s; 0.0 kHz; Mono."},
        {"a file that does not render", WithFile({}, 0, std::nullopt), u"Format is not supported."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeMedia(c.facts), c.summary) << c.what;
    }
}

}  // namespace
}  // namespace vantor
