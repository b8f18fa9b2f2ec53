#include "monitor/folder_export.h"

#include <algorithm>
#include <utility>

#include "config/text_codec.h"

namespace vantor {
namespace {

constexpr std::string_view kCrlf = "\r\n";

// One piece after another with nothing between, as every exported byte is placed by hand.
class Pieces {
public:
    Pieces& operator<<(std::string_view bytes) {
        bytes_ += bytes;
        return *this;
    }
    void Reserve(std::size_t size) { bytes_.reserve(size); }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

struct AnsiFile {
    std::string name;
    std::string description;
};

std::vector<AnsiFile> AnsiFiles(const FolderExport& folder) {
    std::vector<AnsiFile> files;
    files.reserve(folder.files.size());
    for (const ExportedFile& file : folder.files) {
        files.push_back({Utf16ToAnsi(file.name), Utf16ToAnsi(file.description)});
    }
    return files;
}

}  // namespace

std::u16string FolderLabel(std::u16string_view folderName, std::string_view source,
                           std::string_view currentFolder) {
    std::u16string label(folderName);
    while (source.size() > 1 && source.back() == '/') {
        source.remove_suffix(1);
    }
    if (currentFolder.size() <= source.size() || !currentFolder.starts_with(source)) {
        return label;
    }
    std::u16string beyond = Utf8ToUtf16(currentFolder.substr(source.size()));
    if (beyond.front() != u'/') {
        beyond.insert(beyond.begin(), u'/');  // below the file system's root "/"
    }
    std::replace(beyond.begin(), beyond.end(), u'/', u'\\');
    return label + beyond;
}

std::u16string LastPathComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return Utf8ToUtf16(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool RefusedInPlaylist(std::u16string_view fileName) {
    return fileName.find_first_of(u"#&") != std::u16string_view::npos;
}

std::string WebPageBytes(const FolderExport& folder) {
    const std::string f = Utf16ToAnsi(folder.folderLabel);
    const std::string h = Utf16ToAnsi(folder.host);
    const std::string p = Utf16ToAnsi(folder.playerPort);
    const std::vector<AnsiFile> files = AnsiFiles(folder);

    Pieces page;
    page.Reserve(600 + files.size() * (200 + 2 * (h.size() + p.size() + f.size())));
    page << "<Html>" << kCrlf << "<Head>" << kCrlf << "   <Title>"
         << "Content of the virtual folder " << f << "</Title>" << kCrlf << "</Head>" << kCrlf
         << "<Body>" << kCrlf << "This page displays the content of virtual folder:   " << f
         << "<br><br>"
         << "VTR link for the playlist via TCP unicast: <A HREF=\"vtr:\\\\TCP:" << h << ":" << p
         << "\\playlist\\" << f << "\">" << f << "</A><br><br>" << kCrlf
         << "Content of the folder:<br><br>" << kCrlf << "<table border=\"1\">" << kCrlf;
    for (const AnsiFile& file : files) {
        const std::string& n = file.name;
        page << "<tr>" << kCrlf << "<td>" << kCrlf << n << "</td>" << kCrlf << "<td>" << kCrlf
             << "VTR link: <A HREF=\"vtr:\\\\TCP:" << h << ":" << p << "\\" << f << "\\" << n
             << "\">" << n << "</A>"
             << "</td>" << kCrlf << "<td>" << kCrlf << "MMS link: <A HREF=\"mms://" << h << ":" << p
             << "/" << f << "/" << n << "\">" << n << "</A>"
             << "</td>" << kCrlf << "<td>" << kCrlf << file.description << "</td>" << kCrlf
             << "</tr>" << kCrlf;
    }
    page << "</table>" << kCrlf << kCrlf << "</Body>" << kCrlf << "</Html>" << kCrlf;
    return page.Take();
}

std::string PlaylistBytes(const FolderExport& folder) {
    const std::string f = Utf16ToAnsi(folder.folderLabel);
    const std::string h = Utf16ToAnsi(folder.host);
    const std::string p = Utf16ToAnsi(folder.playerPort);

    Pieces list;
    list << "<?wpl version=\"1.0\"?>" << kCrlf << "<smil>" << kCrlf << "<head>" << kCrlf
         << "<meta name=\"ItemCount\" content=\"" << std::to_string(folder.files.size()) << "\"/>"
         << kCrlf << "<title>" << Utf16ToAnsi(folder.title) << "</title>" << kCrlf << "</head>"
         << kCrlf << "<body>" << kCrlf << "<seq>" << kCrlf;
    for (const ExportedFile& file : folder.files) {
        list << "<media src=\"mms://" << h << ":" << p << "/" << f << "/" << Utf16ToAnsi(file.name)
             << "\"/>" << kCrlf;
    }
    list << "</seq>" << kCrlf << "</body>" << kCrlf << "</smil>";
    return list.Take();
}

}  // namespace vantor
