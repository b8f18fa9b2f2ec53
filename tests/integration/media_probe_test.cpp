// The FFmpeg probe, and vantorctl's media-info and export over it, on media that FFmpeg makes
// here.

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "bus_harness.h"
#include "config/config_file.h"
#include "config/text_codec.h"
#include "monitor/media_info.h"
#include "platform/linux_ffmpeg_media_probe.h"
#include "platform/linux_file_store.h"

namespace vantor::integration {
namespace {

namespace fs = std::filesystem;

constexpr char kSongSummary[] =
    "Size: 0.06 MB; Time: 00:00:04. Audio - MP3; 15.6 kByte/s; 44.1 kHz; Stereo.";

class MediaFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir(QDir::temp().filePath("vantor-media-XXXXXX"));
        const QString lavfi = "-f lavfi -i ";
        const std::vector<std::pair<QString, QString>> clips = {
            {"clip.mp4",
             lavfi + "testsrc2=size=320x240:rate=25:duration=3 " + lavfi +
                 "sine=frequency=440:duration=3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p "
                 "-c:a aac -b:a 64k -shortest"},
            {"song.mp3", lavfi + "sine=frequency=660:duration=4 -ac 2 -c:a libmp3lame -b:a 128k"},
        };
        for (const auto& [name, arguments] : clips) {
            MakeClip(name, arguments);
        }
        // A copy cut short.
        QFile clip(Path("clip.mp4"));
        ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
        std::ofstream(Path("cut.mp4").toStdString(), std::ios::binary)
            << clip.read(4000).toStdString();
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QString Path(const QString& name) { return dir_->filePath(name); }
    static void MakeClip(const QString& name, const QString& arguments) {
        QStringList args = {"-nostdin", "-loglevel", "error", "-y"};
        args += arguments.split(u' ');
        args += Path(name);
        const ProgramRun run =
            RunProgram("ffmpeg", args, QProcessEnvironment::systemEnvironment(), 60000);
        ASSERT_EQ(run.exitCode, 0) << name.toStdString() << ": " << run.err.toStdString();
    }

    static QTemporaryDir* dir_;
};
QTemporaryDir* MediaFiles::dir_ = nullptr;

// A clip with picture and sound through the probe; a song and a damaged file through vantorctl's
// media-info and its export of a folder over them.
TEST_F(MediaFiles, SummariesThroughTheFfmpegProbe) {
    LinuxFfmpegMediaProbe probe;
    const std::string clip =
        Utf16ToUtf8(DescribeMedia(probe.Probe(Path("clip.mp4").toStdString(), {})));
    // Encoders choose their exact rates; the rest is fixed by what was asked for. The code is
    // the MP4's own for H.264.
    EXPECT_TRUE(std::regex_match(
        clip,
        std::regex(R"(Size: 0\.\d\d MB; Time: 00:00:03\. Video - avc1; \d+\.\d kByte/s; )"
                   R"(320x240; 25 Frames/s\. Audio - AAC; [78]\.\d kByte/s; 44\.1 kHz; Mono\.)")))
        << clip;

    ProgramRun run = RunProgram(VANTOR_CTL_PATH, {"media-info", Path("song.mp3"), Path("cut.mp4")},
                                QProcessEnvironment::systemEnvironment(), 30000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines, (QStringList{Path("song.mp3") + "\t" + kSongSummary,
                                         Path("cut.mp4") + "\tFormat is not supported."}));

    // A configuration with one folder over the media.
    ResourceRecord folder;
    folder.kind = ResourceKind::VirtualFolder;
    folder.name = u"Media";
    folder.source = Utf8ToUtf16(dir_->path().toStdString());
    const ResourceRecord* records[] = {&folder};
    const std::string config = Path("config.vtr").toStdString();
    ASSERT_TRUE(LinuxFileStore().ReplaceFile(
        config, WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, records)));

    // A name that is no UTF-8 is listed, probed and exported as its bytes.
    const std::string latin = dir_->path().toStdString() + "/latin\xe9.mp3";
    fs::copy_file(Path("song.mp3").toStdString(), latin);

    const QString out = QDir(dir_->path()).filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    // The page is the user's file: under umask 077 only the user may read it.
    const mode_t oldMask = umask(077);
    run = RunProgram(VANTOR_CTL_PATH,
                     {"export", "html", "media", out + "/page.html", "--file", Path("config.vtr")},
                     QProcessEnvironment::systemEnvironment(), 60000);
    umask(oldMask);
    fs::remove(latin);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    struct stat status {};
    ASSERT_EQ(stat((out + "/page.html").toStdString().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    QFile page(out + "/page.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray bytes = page.readAll();
    EXPECT_TRUE(bytes.contains(QByteArray(":5119/Media/song.mp3\">song.mp3</A></td>\r\n<td>\r\n") +
                               kSongSummary + "</td>"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.contains(QByteArray(":5119/Media/latin\xe9.mp3\">latin\xe9.mp3</A></td>\r\n"
                                          "<td>\r\n") +
                               kSongSummary + "</td>"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("<td>\r\nFormat is not supported.</td>"));
}

// One clip of each kind the summary names, each with the text the contents list shows for it.
// The texts follow from what was asked of FFmpeg; the comments show the sums.
TEST_F(MediaFiles, EachKindOfClipReadsAsItsSummary) {
    const QString lavfi = "-f lavfi -i ";
    const QString sine = lavfi + "sine=frequency=440:duration=2";
    const QString picture = lavfi + "testsrc2=size=160x120:rate=25:duration=2 ";
    struct Clip {
        const char* name;
        QString arguments;  // empty: the file is written here
        std::string summary;
    };
    const std::vector<Clip> clips = {
        // Matroska and WebM declare no rate for Vorbis; its header's nominal 96 000 bit/s is
        // 96 000 / 8192 = 11.7 kByte/s.
        {"vorbis.webm", sine + " -ac 2 -c:a libvorbis -b:a 96k",
         "Size: 0.01 MB; Time: 00:00:02. Audio - VORBIS; 11.7 kByte/s; 44.1 kHz; Stereo."},
        {"vorbis.mka", sine + " -ac 2 -c:a libvorbis -b:a 96k",
         "Size: 0.01 MB; Time: 00:00:02. Audio - VORBIS; 11.7 kByte/s; 44.1 kHz; Stereo."},
        // 22 050 Hz x 16 bits, mono: 352 800 bit/s / 8192 = 43.1 kByte/s; 22 050 x 0.001 is a
        // hair above 22.05, so 22.1 kHz; 88 278 bytes x 9.765625e-7 = 0.09 MB.
        {"pcm.wav", lavfi + "sine=frequency=440:duration=2:sample_rate=22050 -c:a pcm_s16le",
         "Size: 0.09 MB; Time: 00:00:02. Audio - PCM; 43.1 kByte/s; 22.1 kHz; Mono."},
        // 44 100 Hz x 32 bits: 1 411 200 bit/s = 172.3 kByte/s, tag 3; 352 914 bytes = 0.34 MB.
        {"float.wav", sine + " -c:a pcm_f32le",
         "Size: 0.34 MB; Time: 00:00:02. Audio - IEEE; 172.3 kByte/s; 44.1 kHz; Mono."},
        // 8 000 Hz x 8 bits: 64 000 bit/s = 7.8 kByte/s, tag 6.
        {"alaw.wav", lavfi + "sine=frequency=440:duration=2:sample_rate=8000 -c:a pcm_alaw",
         "Size: 0.02 MB; Time: 00:00:02. Audio - CCITT A-Law; 7.8 kByte/s; 8.0 kHz; Mono."},
        // 64 000 bit/s = 7.8 kByte/s, tag 0x161.
        {"wma.wma", sine + " -ac 2 -c:a wmav2 -b:a 64k",
         "Size: 0.02 MB; Time: 00:00:02. Audio - WMA; 7.8 kByte/s; 44.1 kHz; Stereo."},
        // 192 000 bit/s = 23.4 kByte/s, tag 0x2000; 2.016 s.
        {"ac3.ac3",
         lavfi + "sine=frequency=440:duration=2:sample_rate=48000 -ac 2 -c:a ac3 -b:a 192k",
         "Size: 0.05 MB; Time: 00:00:02. Audio - AC3; 23.4 kByte/s; 48.0 kHz; Stereo."},
        // A variable rate declares none: estimated from the size, 184 320 bytes x 0.001 / 2 s x
        // 0.97 = 89.4; 25 frames/s is 400 000 units a frame.
        {"mpeg1.mpg", picture + "-c:v mpeg1video -b:v 500k",
         "Size: 0.18 MB; Time: 00:00:02. Video - MPEG1; 89.4 kByte/s; 160x120; 25 Frames/s."},
        // Uncompressed RGB has no code. The AVI's rate: 20 frames of 64 x 48 x 3 bytes over the
        // 1.9 s from the first to the last, 776 084 bit/s = 94.7 kByte/s.
        {"raw.avi", lavfi + "testsrc2=size=64x48:rate=10:duration=2 -c:v rawvideo -pix_fmt bgr24",
         "Size: 0.19 MB; Time: 00:00:02. Video - 94.7 kByte/s; 64x48; 10 Frames/s."},
        // The AVI's own code, not the codec's usual FMP4; the encoder's rate, 403 543 bit/s.
        {"xvid.avi", picture + "-c:v mpeg4 -vtag XVID -b:v 200k",
         "Size: 0.10 MB; Time: 00:00:02. Video - XVID; 49.3 kByte/s; 160x120; 25 Frames/s."},
        // The cover picture is no video. 128 000 bit/s = 15.6 kByte/s.
        {"cover.mp3",
         sine + " -f lavfi -i testsrc2=size=64x64:rate=1:duration=1 -map 0:a -map 1:v -frames:v "
                "1 -c:a libmp3lame -b:a 128k -c:v png -disposition:v attached_pic",
         "Size: 0.03 MB; Time: 00:00:02. Audio - MP3; 15.6 kByte/s; 44.1 kHz; Mono."},
        // An MP3 stream with no rate and no channels renders nothing.
        {"zeros.mp3", {}, "Format is not supported."},
        {"empty.mp3", {}, "Format is not supported."},
        {"text.avi", {}, "Format is not supported."},
    };
    {
        std::ofstream(Path("zeros.mp3").toStdString(), std::ios::binary)
            << std::string(100'000, '\0');
        std::ofstream(Path("empty.mp3").toStdString(), std::ios::binary);
        std::ofstream(Path("text.avi").toStdString()) << "Nothing but text, named as a video.\n";
    }
    LinuxFfmpegMediaProbe probe;
    for (const Clip& clip : clips) {
        if (!clip.arguments.isEmpty()) {
            MakeClip(clip.name, clip.arguments);
        }
        EXPECT_EQ(Utf16ToUtf8(DescribeMedia(probe.Probe(Path(clip.name).toStdString(), {}))),
                  clip.summary)
            << clip.name;
    }
}

}  // namespace
}  // namespace vantor::integration
