#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantor {

// How a stream's format block describes it, which decides what the summary can say.
enum class VideoFormatBlock {
    None,        // no usable block: the video fields stay empty
    Bitmap,      // a bitmap header with a compression code (FourCC)
    Mpeg1Video,  // MPEG-1 video, named "MPEG1"
};
enum class AudioFormatBlock {
    None,        // no usable block: no bit rate, rate, channels or name
    WaveFormat,  // a WAVE format tag with its rates and channels
    Vorbis,      // Vorbis, named by its kind rather than a tag
};

// What one file holds, as raw facts: the first video and the first audio stream that render and
// the file itself. Texts are made from these elsewhere.
struct MediaFacts {
    // The file opened and has sound with a sample rate and channels or a picture with a size;
    // a stream without them is left out, as a decoder could not take it.
    bool renders = false;

    bool hasVideo = false;
    VideoFormatBlock videoBlock = VideoFormatBlock::None;
    std::uint32_t fourCC = 0;          // little-endian, first character in the low byte
    std::uint32_t videoBitRate = 0;    // bits per second as declared; 0 when none
    std::int64_t avgTimePerFrame = 0;  // 100-nanosecond units; 0 when unknown
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool hasAudio = false;
    AudioFormatBlock audioBlock = AudioFormatBlock::None;
    std::uint16_t formatTag = 0;
    std::uint32_t audioBitsPerSecond = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint16_t channels = 0;

    std::optional<std::uint64_t> fileSize;  // nothing when the file's size cannot be read
    std::optional<std::int64_t> duration;   // 100-nanosecond units; nothing when unknown

    bool operator==(const MediaFacts&) const = default;
};

// Opens media files to learn what they hold. Probe may run on any one thread at a time per
// instance.
class MediaProbe {
public:
    virtual ~MediaProbe() = default;
    // The facts of the file at path (UTF-8). cancelled is polled while the file is read; once it
    // returns true the probe gives up soon and reports the file as not rendering.
    virtual MediaFacts Probe(const std::string& path, const std::function<bool()>& cancelled) = 0;
    // Called once on a background thread before its first probe, so that probing never
    // competes with the user for the processor or the disk.
    virtual void LowerThreadPriority() {}
};

}  // namespace vantor
