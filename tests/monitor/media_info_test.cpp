#include "monitor/media_info.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr std::int64_t kSecond = 10'000'000;

constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

MediaFacts Video(VideoFormatBlock block, std::uint32_t fourCC, std::uint32_t bitRate,
                 std::int64_t avgTimePerFrame, std::int32_t width, std::int32_t height) {
    MediaFacts facts;
    facts.renders = true;
    facts.hasVideo = true;
    facts.videoBlock = block;
    facts.fourCC = fourCC;
    facts.videoBitRate = bitRate;
    facts.avgTimePerFrame = avgTimePerFrame;
    facts.width = width;
    facts.height = height;
    return facts;
}

MediaFacts WithAudio(MediaFacts facts, AudioFormatBlock block, std::uint16_t tag,
                     std::uint32_t bitsPerSecond, std::uint32_t samplesPerSecond,
                     std::uint16_t channels) {
    facts.renders = true;
    facts.hasAudio = true;
    facts.audioBlock = block;
    facts.formatTag = tag;
    facts.audioBitsPerSecond = bitsPerSecond;
    facts.samplesPerSecond = samplesPerSecond;
    facts.channels = channels;
    return facts;
}

MediaFacts WithFile(MediaFacts facts, std::optional<std::uint64_t> size,
                    std::optional<std::int64_t> duration) {
    facts.fileSize = size;
    facts.duration = duration;
    return facts;
}

TEST(MediaSummary, ReadsAsTheDescriptionColumnShowsIt) {
    struct Case {
        const char* what;
        MediaFacts facts;
        std::u16string summary;
    };
    const std::vector<Case> cases = {
        {"video without a declared bit rate: estimated from size and time",
         WithFile(Video(VideoFormatBlock::Bitmap, FourCC('W', 'M', 'V', '3'), 0, 400'000, 320, 240),
                  10'240'000, 100 * kSecond),
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
        {"both streams; a zero byte ends the code, an unknown tag has no name",
         WithAudio(Video(VideoFormatBlock::Bitmap, FourCC('D', 'X', '\0', 'Z'), 819'200, 0, 64, 48),
                   AudioFormatBlock::WaveFormat, 0x1234, 8'192, 8'000, 1),
         u"Video - DX; 100.0 kByte/s; 64x48; . Audio - 1.0 kByte/s; 8.0 kHz; Mono."},
        {"format blocks of no known type",
         WithAudio(Video(VideoFormatBlock::None, FourCC('H', '2', '6', '4'), 8'192, 400'000, 1, 1),
                   AudioFormatBlock::None, 0x55, 8'192, 8'000, 2),
         u"Video - . Audio - 0.0 kByte/s; 0.0 kHz; Mono."},
        {"a file that does not render", WithFile({}, 0, std::nullopt), u"Format is not supported."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeMedia(c.facts), c.summary) << c.what;
    }
}

}  // namespace
}  // namespace vantor
