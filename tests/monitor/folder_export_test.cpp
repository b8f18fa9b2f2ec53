#include "monitor/folder_export.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

FolderExport Movies(std::u16string label, std::u16string title, std::vector<ExportedFile> files) {
    return FolderExport{.folderLabel = std::move(label),
                        .title = std::move(title),
                        .host = u"192.168.1.10",
                        .playerPort = u"5119",
                        .files = std::move(files)};
}

TEST(FolderExport, FolderLabelAndTitleFromTheFolderShown) {
    // Source, folder shown, label, title.
    for (const auto& [source, current, label, title] :
         {std::tuple("/media/movies", "/media/movies", u"Movies", u"movies"),
          {"/media/movies/", "/media/movies", u"Movies", u"movies"},
          {"/media/movies", "/media/movies/2009/June", u"Movies\\2009\\June", u"June"},
          {"/", "/films", u"Movies\\films", u"films"},
          {"/media/movies", "/media/other", u"Movies", u"other"}}) {
        EXPECT_EQ(FolderLabel(u"Movies", source, current), label) << current;
        EXPECT_EQ(LastPathComponent(current), title) << current;
    }
}

TEST(FolderExport, WebPageByteForByte) {
    const FolderExport folder =
        Movies(u"Movies\\2009", u"2009",
               {{u"a.wmv", u"Size: 0.98 MB; Time: 00:01:02."}, {u"Tom & Jerry <\"1\">.wmv", u""}});
    const std::string expected =
        "<Html>\r\n<Head>\r\n   <Title>Content of the virtual folder Movies\\2009</Title>\r\n"
        "</Head>\r\n<Body>\r\n"
        "This page displays the content of virtual folder:   Movies\\2009<br><br>"
        "VTR link for the playlist via TCP unicast: <A "
        "HREF=\"vtr:\\\\TCP:192.168.1.10:5119\\playlist\\Movies\\2009\">Movies\\2009</"
        "A><br><br>\r\n"
        "Content of the folder:<br><br>\r\n<table border=\"1\">\r\n"
        "<tr>\r\n<td>\r\na.wmv</td>\r\n"
        "<td>\r\nVTR link: <A "
        "HREF=\"vtr:\\\\TCP:192.168.1.10:5119\\Movies\\2009\\a.wmv\">a.wmv</A></td>\r\n"
        "<td>\r\nMMS link: <A "
        "HREF=\"mms://192.168.1.10:5119/Movies\\2009/a.wmv\">a.wmv</A></td>\r\n"
        "<td>\r\nSize: 0.98 MB; Time: 00:01:02.</td>\r\n</tr>\r\n"
        "<tr>\r\n<td>\r\nTom & Jerry <\"1\">.wmv</td>\r\n"
        "<td>\r\nVTR link: <A HREF=\"vtr:\\\\TCP:192.168.1.10:5119\\Movies\\2009\\Tom & Jerry "
        "<\"1\">.wmv\">Tom & Jerry <\"1\">.wmv</A></td>\r\n"
        "<td>\r\nMMS link: <A HREF=\"mms://192.168.1.10:5119/Movies\\2009/Tom & Jerry "
        "<\"1\">.wmv\">Tom & Jerry <\"1\">.wmv</A></td>\r\n"
        "<td>\r\n</td>\r\n</tr>\r\n"
        "</table>\r\n\r\n</Body>\r\n</Html>\r\n";
    EXPECT_EQ(WebPageBytes(folder), expected);

    // No host address and no files: empty links' hosts and an empty table; names the code page
    // cannot hold come out as '?'.
    FolderExport empty = Movies(u"Fran\u00e7ais \u65e5\u672c", u"x", {});
    empty.host.clear();
    const std::string page = WebPageBytes(empty);
    EXPECT_NE(page.find("HREF=\"vtr:\\\\TCP::5119\\playlist\\Fran\xe7"
                        "ais ??\">"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<table border=\"1\">\r\n</table>\r\n"), std::string::npos);
}

TEST(FolderExport, PlaylistByteForByte) {
    const FolderExport root =
        Movies(u"Movies", u"movies", {{u"a.wmv", u"ignored"}, {u"b.wma", u""}});
    EXPECT_EQ(PlaylistBytes(root),
              "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n"
              "<meta name=\"ItemCount\" content=\"2\"/>\r\n<title>movies</title>\r\n</head>\r\n"
              "<body>\r\n<seq>\r\n"
              "<media src=\"mms://192.168.1.10:5119/Movies/a.wmv\"/>\r\n"
              "<media src=\"mms://192.168.1.10:5119/Movies/b.wma\"/>\r\n"
              "</seq>\r\n</body>\r\n</smil>");

    EXPECT_TRUE(RefusedInPlaylist(u"Tom & Jerry.wmv"));
    EXPECT_TRUE(RefusedInPlaylist(u"#1.mp3"));
    EXPECT_FALSE(RefusedInPlaylist(u"a <\"b\">.wmv"));
}

}  // namespace
}  // namespace vantor
