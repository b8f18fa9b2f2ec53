#include "monitor/folder_export.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

FolderExport Movies(std::string label, std::string title, std::vector<ExportedFile> files) {
    return FolderExport{.folderLabel = std::move(label),
                        .title = std::move(title),
                        .host = u"192.168.1.10",
                        .playerPort = u"5119",
                        .files = std::move(files)};
}

TEST(FolderExport, FolderLabelAndTitleFromTheFolderShown) {
    // Source, folder shown, label, title.
    for (const auto& [source, current, label, title] :
         {std::tuple("/media/movies", "/media/movies", "Movies", "movies"),
          {"/media/movies/", "/media/movies", "Movies", "movies"},
          {"/media/movies", "/media/movies/2009/June", "Movies\\2009\\June", "June"},
          {"/", "/films", "Movies\\films", "films"},
          {"/media/movies", "/media/other", "Movies", "other"},
          // A folder name that is no UTF-8 stays the bytes it is.
          {"/media/movies", "/media/movies/d\xe9j\xe0", "Movies\\d\xe9j\xe0", "d\xe9j\xe0"}}) {
        EXPECT_EQ(FolderLabel(u"Movies", source, current), label) << current;
        EXPECT_EQ(LastPathComponent(current), title) << current;
    }
    EXPECT_EQ(FolderLabel(u"Vid\u00e9os", "/srv", "/srv/2009"), "Vid\xc3\xa9os\\2009");
}

TEST(FolderExport, NamesKeepTheBytesThatAreNoUtf8) {
    for (const auto& [name, ansi] : {
             std::pair("plain.mp3", "plain.mp3"),
             {"caf\xc3\xa9.mp3", "caf\xe9.mp3"},              // UTF-8 converted
             {"latin\xe9.mp3", "latin\xe9.mp3"},              // a Latin-1 name kept
             {"caf\xc3\xa9 \xe9t\xe9", "caf\xe9 \xe9t\xe9"},  // both in one name
             {"\xe6\x97\xa5 \xe2\x82", "? \xe2\x82"},         // not in the code page; cut short
             {"\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80", "\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80"},
             {"\xf0\x9f\x8e\xb5\x80", "?\x80"},  // one character beyond the BMP; a stray byte
         }) {
        EXPECT_EQ(NameToAnsi(name), ansi) << name;
    }
    // In both files, the file and folder names as the bytes the server finds them by.
    const FolderExport folder = Movies("Movies\\d\xe9j\xe0", "d\xe9j\xe0",
                                       {{"latin\xe9.mp3", u"\u00e9"}, {"caf\xc3\xa9.mp3", u""}});
    const std::string page = WebPageBytes(folder);
    EXPECT_NE(
        page.find("<td>\r\nlatin\xe9.mp3</td>\r\n<td>\r\nVTR link: <A "
                  "HREF=\"vtr:\\\\TCP:192.168.1.10:5119\\Movies\\d\xe9j\xe0\\latin\xe9.mp3\">"),
        std::string::npos)
        << page;
    EXPECT_NE(page.find("<td>\r\n\xe9</td>"), std::string::npos);
    EXPECT_EQ(PlaylistBytes(folder),
              "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n"
              "<meta name=\"ItemCount\" content=\"2\"/>\r\n<title>d\xe9j\xe0</title>\r\n</head>\r\n"
              "<body>\r\n<seq>\r\n"
              "<media src=\"mms://192.168.1.10:5119/Movies\\d\xe9j\xe0/latin\xe9.mp3\"/>\r\n"
              "<media src=\"mms://192.168.1.10:5119/Movies\\d\xe9j\xe0/caf\xe9.mp3\"/>\r\n"
              "</seq>\r\n</body>\r\n</smil>");
}

TEST(FolderExport, WebPageByteForByte) {
    const FolderExport folder =
        Movies("Movies\\2009", "2009",
               {{"a.wmv", u"Size: 0.98 MB; Time: 00:01:02."}, {"Tom & Jerry <\"1\">.wmv", u""}});
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
    FolderExport empty = Movies(
        "Fran\xc3\xa7"
        "ais \xe6\x97\xa5\xe6\x9c\xac",
        "x", {});
    empty.host.clear();
    const std::string page = WebPageBytes(empty);
    EXPECT_NE(page.find("HREF=\"vtr:\\\\TCP::5119\\playlist\\Fran\xe7"
                        "ais ??\">"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<table border=\"1\">\r\n</table>\r\n"), std::string::npos);
}

TEST(FolderExport, PlaylistByteForByte) {
    const FolderExport root = Movies("Movies", "movies", {{"a.wmv", u"ignored"}, {"b.wma", u""}});
    EXPECT_EQ(PlaylistBytes(root),
              "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n"
              "<meta name=\"ItemCount\" content=\"2\"/>\r\n<title>movies</title>\r\n</head>\r\n"
              "<body>\r\n<seq>\r\n"
              "<media src=\"mms://192.168.1.10:5119/Movies/a.wmv\"/>\r\n"
              "<media src=\"mms://192.168.1.10:5119/Movies/b.wma\"/>\r\n"
              "</seq>\r\n</body>\r\n</smil>");

    EXPECT_TRUE(RefusedInPlaylist("Tom & Jerry.wmv"));
    EXPECT_TRUE(RefusedInPlaylist("#1.mp3"));
    EXPECT_FALSE(RefusedInPlaylist("a <\"b\">.wmv"));
}

}  // namespace
}  // namespace vantor
