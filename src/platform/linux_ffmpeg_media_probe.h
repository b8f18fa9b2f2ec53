#pragma once

#include "platform/media_probe.h"

namespace vantor {

// Media facts through FFmpeg: a file renders when libavformat opens it and finds an audio stream
// with a sample rate and channels or a video stream with a picture size. Format codes are the
// file's own where its container has RIFF codes (AVI, ASF, WAVE), else FFmpeg's RIFF tag
// tables', so they read as a Windows player would name them.
class LinuxFfmpegMediaProbe : public MediaProbe {
public:
    LinuxFfmpegMediaProbe();
    MediaFacts Probe(const std::string& path, const std::function<bool()>& cancelled) override;
    // SCHED_IDLE for the processor and the idle class for the disk, for the calling thread.
    void LowerThreadPriority() override;
};

}  // namespace vantor
