#include "platform/linux_ffmpeg_media_probe.h"

#include <algorithm>
#include <cstddef>
#include <dlfcn.h>
#include <iterator>
#include <limits>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/intreadwrite.h>
}

namespace vantor {
namespace {

constexpr std::int64_t kUnitsPerSecond = 10'000'000;  // 100-nanosecond units
constexpr int kIoprioWhoProcess = 1;                  // with id 0: the calling thread
constexpr int kIoprioClassIdle = 3;
constexpr int kIoprioClassShift = 13;
constexpr std::int64_t kMpegVariableBitRate = 0x3FFFF * 400;

// FFmpeg is loaded when the first file is probed, not when the program starts: its codec
// libraries are most of what the programs would otherwise load at every start, and most runs
// (a vantorctl verb, the far side of --host, a window that shows no folder) probe nothing.
// The functions are this header version's, as linking would have bound them.
struct Ffmpeg {
    decltype(&::av_codec_get_id) codecGetId = nullptr;
    decltype(&::av_codec_get_tag) codecGetTag = nullptr;
    decltype(&::av_get_bits_per_sample) bitsPerSample = nullptr;
    decltype(&::av_rescale_rnd) rescaleRnd = nullptr;
    decltype(&::avformat_alloc_context) allocContext = nullptr;
    decltype(&::avformat_open_input) openInput = nullptr;
    decltype(&::avformat_find_stream_info) findStreamInfo = nullptr;
    decltype(&::avformat_close_input) closeInput = nullptr;
    decltype(&::avformat_get_riff_video_tags) riffVideoTags = nullptr;
    decltype(&::avformat_get_riff_audio_tags) riffAudioTags = nullptr;
    bool loaded = false;
};

template <typename Function>
bool Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

Ffmpeg LoadFfmpeg() {
    Ffmpeg ffmpeg;
    // libavformat brings the libavcodec and libavutil it was built with; dlsym looks in them too.
    const std::string name = "libavformat.so." + std::to_string(LIBAVFORMAT_VERSION_MAJOR);
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return ffmpeg;
    }
    decltype(&::av_log_set_level) setLogLevel = nullptr;
    ffmpeg.loaded =
        Bind(library, "av_codec_get_id", ffmpeg.codecGetId) &&
        Bind(library, "av_codec_get_tag", ffmpeg.codecGetTag) &&
        Bind(library, "av_get_bits_per_sample", ffmpeg.bitsPerSample) &&
        Bind(library, "av_rescale_rnd", ffmpeg.rescaleRnd) &&
        Bind(library, "avformat_alloc_context", ffmpeg.allocContext) &&
        Bind(library, "avformat_open_input", ffmpeg.openInput) &&
        Bind(library, "avformat_find_stream_info", ffmpeg.findStreamInfo) &&
        Bind(library, "avformat_close_input", ffmpeg.closeInput) &&
        Bind(library, "avformat_get_riff_video_tags", ffmpeg.riffVideoTags) &&
        Bind(library, "avformat_get_riff_audio_tags", ffmpeg.riffAudioTags) &&
        Bind(library, "av_log_set_level", setLogLevel);
    if (ffmpeg.loaded) {
        // Damaged files are expected here; FFmpeg's complaints about them would only be noise.
        setLogLevel(AV_LOG_QUIET);
    }
    return ffmpeg;
}

// Loaded once, by whichever thread probes first.
const Ffmpeg& Library() {
    static const Ffmpeg ffmpeg = LoadFfmpeg();
    return ffmpeg;
}

int Interrupted(void* opaque) {
    const auto* cancelled = static_cast<const std::function<bool()>*>(opaque);
    return (*cancelled && (*cancelled)()) ? 1 : 0;
}

std::uint32_t Clamp32(std::int64_t value) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

// A stream that a decoder could be connected to: sound with a rate and channels, a picture with
// a size. A cover picture travels as a video stream but is no video.
bool Renders(const AVStream& stream) {
    const AVCodecParameters& codec = *stream.codecpar;
    if (codec.codec_type == AVMEDIA_TYPE_AUDIO) {
        return codec.sample_rate > 0 && codec.ch_layout.nb_channels > 0;
    }
    return codec.codec_type == AVMEDIA_TYPE_VIDEO &&
           (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) == 0 && codec.width > 0 &&
           codec.height > 0;
}

// The first stream of a kind that renders; the others are as good as absent.
const AVStream* FirstStream(const AVFormatContext& context, AVMediaType type) {
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        const AVStream* stream = context.streams[i];
        if (stream->codecpar->codec_type == type && Renders(*stream)) {
            return stream;
        }
    }
    return nullptr;
}

// The stream's own code when the container gave one that names its codec in the RIFF tables
// (an AVI's XVID or DX50), else the tables' code for the codec. Containers with codes of their
// own numbering (FLV's small numbers) fall back to the tables.
unsigned RiffTag(const AVCodecParameters& codec, const AVCodecTag* table) {
    const AVCodecTag* const tables[] = {table, nullptr};
    if (codec.codec_tag != 0 && Library().codecGetId(tables, codec.codec_tag) == codec.codec_id) {
        return codec.codec_tag;
    }
    return Library().codecGetTag(tables, codec.codec_id);
}

// The nominal bit rate of a Vorbis identification header ("\x01vorbis", version, channels, rate,
// maximum, nominal, minimum), which leads the codec's private data; 0 when none is declared.
std::int64_t VorbisNominalBitRate(const AVCodecParameters& codec) {
    static constexpr std::uint8_t kSignature[] = {0x01, 'v', 'o', 'r', 'b', 'i', 's'};
    constexpr std::size_t kNominalOffset = 20;
    // Only the lacing of the three headers can stand before it.
    constexpr std::size_t kSearched = 64;
    if (codec.extradata == nullptr || codec.extradata_size <= 0) {
        return 0;
    }
    const std::uint8_t* begin = codec.extradata;
    const std::uint8_t* end = begin + codec.extradata_size;
    const std::uint8_t* searched = begin + std::min<std::ptrdiff_t>(end - begin, kSearched);
    const std::uint8_t* found =
        std::search(begin, searched, std::begin(kSignature), std::end(kSignature));
    if (found == searched || end - found < static_cast<std::ptrdiff_t>(kNominalOffset + 4)) {
        return 0;
    }
    const auto nominal = static_cast<std::int32_t>(AV_RL32(found + kNominalOffset));
    return nominal > 0 ? nominal : 0;
}

void ReadVideo(const AVStream& stream, MediaFacts& facts) {
    const AVCodecParameters& codec = *stream.codecpar;
    facts.hasVideo = true;
    if (codec.codec_id == AV_CODEC_ID_MPEG1VIDEO) {
        facts.videoBlock = VideoFormatBlock::Mpeg1Video;
    } else {
        facts.videoBlock = VideoFormatBlock::Bitmap;
        facts.fourCC = RiffTag(codec, Library().riffVideoTags());
    }
    // An MPEG sequence header's all-ones rate means "variable": no rate declared.
    const bool variableRate =
        (codec.codec_id == AV_CODEC_ID_MPEG1VIDEO || codec.codec_id == AV_CODEC_ID_MPEG2VIDEO) &&
        codec.bit_rate == kMpegVariableBitRate;
    facts.videoBitRate = variableRate ? 0 : Clamp32(codec.bit_rate);
    AVRational rate = stream.avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) {
        rate = stream.r_frame_rate;
    }
    if (rate.num > 0 && rate.den > 0) {
        // Truncated, as a frame duration in whole 100 ns units is.
        facts.avgTimePerFrame = Library().rescaleRnd(rate.den, kUnitsPerSecond, rate.num, AV_ROUND_DOWN);
    }
    facts.width = codec.width;
    facts.height = codec.height;
}

void ReadAudio(const AVStream& stream, MediaFacts& facts) {
    const AVCodecParameters& codec = *stream.codecpar;
    facts.hasAudio = true;
    const int channels = codec.ch_layout.nb_channels;
    std::int64_t bitRate = codec.bit_rate;
    const int bitsPerSample = Library().bitsPerSample(codec.codec_id);
    if (bitRate <= 0 && bitsPerSample > 0) {
        // Uncompressed sound may declare no rate; it follows from the sample layout.
        bitRate = static_cast<std::int64_t>(codec.sample_rate) * channels * bitsPerSample;
    }
    if (codec.codec_id == AV_CODEC_ID_VORBIS) {
        // Matroska and WebM declare no rate for Vorbis; its own header does.
        if (bitRate <= 0) {
            bitRate = VorbisNominalBitRate(codec);
        }
        facts.audioBlock = AudioFormatBlock::Vorbis;
        facts.audioBitsPerSecond = Clamp32(bitRate);
    } else {
        facts.audioBlock = AudioFormatBlock::WaveFormat;
        facts.formatTag =
            static_cast<std::uint16_t>(RiffTag(codec, Library().riffAudioTags()));
        // A WAVE format block holds whole bytes per second.
        facts.audioBitsPerSecond = Clamp32(bitRate / 8 * 8);
    }
    facts.samplesPerSecond = Clamp32(codec.sample_rate);
    facts.channels = static_cast<std::uint16_t>(std::clamp(channels, 0, 0xFFFF));
}

}  // namespace

LinuxFfmpegMediaProbe::LinuxFfmpegMediaProbe() = default;

MediaFacts LinuxFfmpegMediaProbe::Probe(const std::string& path,
                                        const std::function<bool()>& cancelled) {
    MediaFacts facts;
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        facts.fileSize = static_cast<std::uint64_t>(status.st_size);
    } else {
        // A folder or a device is no media file, and opening one could block.
        return facts;
    }

    const Ffmpeg& ffmpeg = Library();
    if (!ffmpeg.loaded) {
        return facts;  // no FFmpeg: nothing can be said about the file but its size
    }
    AVFormatContext* context = ffmpeg.allocContext();
    if (context == nullptr) {
        return facts;
    }
    context->interrupt_callback.callback = Interrupted;
    context->interrupt_callback.opaque = const_cast<void*>(static_cast<const void*>(&cancelled));
    if (ffmpeg.openInput(&context, path.c_str(), nullptr, nullptr) < 0) {
        return facts;  // the context is freed on failure
    }
    const bool analysed = ffmpeg.findStreamInfo(context, nullptr) >= 0;
    if (analysed || !(cancelled && cancelled())) {
        if (const AVStream* video = FirstStream(*context, AVMEDIA_TYPE_VIDEO)) {
            ReadVideo(*video, facts);
        }
        if (const AVStream* audio = FirstStream(*context, AVMEDIA_TYPE_AUDIO)) {
            ReadAudio(*audio, facts);
        }
        if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
            facts.duration = context->duration * (kUnitsPerSecond / AV_TIME_BASE);
        }
    }
    ffmpeg.closeInput(&context);
    facts.renders = (facts.hasVideo || facts.hasAudio) && !(cancelled && cancelled());
    return facts;
}

void LinuxFfmpegMediaProbe::LowerThreadPriority() {
    sched_param param{};
    param.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    ::syscall(SYS_ioprio_set, kIoprioWhoProcess, 0, kIoprioClassIdle << kIoprioClassShift);
}

}  // namespace vantor
