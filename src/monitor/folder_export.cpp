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
        files.push_back({NameToAnsi(file.name), Utf16ToAnsi(file.description)});
    }
    return files;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at the start of bytes, or 0 when there is none
// (a stray continuation, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t CharacterLength(std::string_view bytes) {
    const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(at(i))) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string FolderLabel(std::u16string_view folderName, std::string_view source,
                        std::string_view currentFolder) {
    std::string label = Utf16ToUtf8(folderName);
    while (source.size() > 1 && source.back() == '/') {
        source.remove_suffix(1);
    }
    if (currentFolder.size() <= source.size() || !currentFolder.starts_with(source)) {
        return label;
    }
    std::string beyond(currentFolder.substr(source.size()));
    if (beyond.front() != '/') {
        beyond.insert(beyond.begin(), '/');  // below the file system's root "/"
    }
    std::replace(beyond.begin(), beyond.end(), '/', '\\');
    return label + beyond;
}

std::string LastPathComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool RefusedInPlaylist(std::string_view fileName) {
    return fileName.find_first_of("#&") != std::string_view::npos;
}

std::string NameToAnsi(std::string_view name) {
    std::string ansi;
    ansi.reserve(name.size());
    std::size_t run = 0;  // the start of the well-formed run not yet converted
    std::size_t at = 0;
    const auto flush = [&] { ansi += Utf16ToAnsi(Utf8ToUtf16(name.substr(run, at - run))); };
    while (at < name.size()) {
        const std::size_t length = CharacterLength(name.substr(at));
        if (length != 0) {
            at += length;
            continue;
        }
        flush();
        ansi += name[at];
        run = ++at;
    }
    flush();
    return ansi;
}

std::string WebPageBytes(const FolderExport& folder) {
    const std::string f = NameToAnsi(folder.folderLabel);
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
    const std::string f = NameToAnsi(folder.folderLabel);
    const std::string h = Utf16ToAnsi(folder.host);
    const std::string p = Utf16ToAnsi(folder.playerPort);

    Pieces list;
    list << "<?wpl version=\"1.0\"?>" << kCrlf << "<smil>" << kCrlf << "<head>" << kCrlf
         << "<meta name=\"ItemCount\" content=\"" << std::to_string(folder.files.size()) << "\"/>"
         << kCrlf << "<title>" << NameToAnsi(folder.title) << "</title>" << kCrlf << "</head>"
         << kCrlf << "<body>" << kCrlf << "<seq>" << kCrlf;
    for (const ExportedFile& file : folder.files) {
        list << "<media src=\"mms://" << h << ":" << p << "/" << f << "/" << NameToAnsi(file.name)
             << "\"/>" << kCrlf;
    }
    list << "</seq>" << kCrlf << "</body>" << kCrlf << "</smil>";
    return list.Take();
}

}  // namespace vantor
