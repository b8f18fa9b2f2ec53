// The FFmpeg probe, and vantorctl's media-info and export over it, on media that FFmpeg makes
// here.

#include <fstream>
#include <regex>
#include <string>
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
            QStringList args = {"-nostdin", "-loglevel", "error", "-y"};
            args += arguments.split(u' ');
            args += Path(name);
            const ProgramRun run =
                RunProgram("ffmpeg", args, QProcessEnvironment::systemEnvironment(), 60000);
            ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
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

    static QTemporaryDir* dir_;
};
QTemporaryDir* MediaFiles::dir_ = nullptr;

// A clip with picture and sound through the probe; a song and a damaged file through vantorctl's
// media-info and its export of a folder over them.
TEST_F(MediaFiles, SummariesThroughTheFfmpegProbe) {
    LinuxFfmpegMediaProbe probe;
    const std::string clip =
        Utf16ToUtf8(DescribeMedia(probe.Probe(Path("clip.mp4").toStdString(), {})));
    // Encoders choose their exact rates; the rest is fixed by what was asked for.
    EXPECT_TRUE(std::regex_match(
        clip,
        std::regex(R"(Size: 0\.\d\d MB; Time: 00:00:03\. Video - H264; \d+\.\d kByte/s; )"
                   R"(320x240; 25 Frames/s\. Audio - AAC; [78]\.\d kByte/s; 44\.1 kHz; Mono\.)")))
        << clip;

    ProgramRun run = RunProgram(VANTOR_CTL_PATH, {"media-info", Path("song.mp3"), Path("cut.mp4")},
                                QProcessEnvironment::systemEnvironment(), 30000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines,
              (QStringList{Path("song.mp3") + "\tSize: 0.06 MB; Time: 00:00:04. Audio - MP3; "
                                              "15.6 kByte/s; 44.1 kHz; Stereo.",
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

    const QString out = QDir(dir_->path()).filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    run = RunProgram(VANTOR_CTL_PATH,
                     {"export", "html", "media", out + "/page.html", "--file", Path("config.vtr")},
                     QProcessEnvironment::systemEnvironment(), 60000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile page(out + "/page.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray bytes = page.readAll();
    EXPECT_TRUE(
        bytes.contains(":5119/Media/song.mp3\">song.mp3</A></td>\r\n<td>\r\nSize: 0.06 MB; "
                       "Time: 00:00:04. Audio - MP3; 15.6 kByte/s; 44.1 kHz; Stereo.</td>"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("<td>\r\nFormat is not supported.</td>"));
}

}  // namespace
}  // namespace vantor::integration
