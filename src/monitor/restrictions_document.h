#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "platform/hresult.h"

// libxml2's document, kept out of the header so users need not see its API.
struct _xmlDoc;

namespace vantor {

class FileStore;
class InstallationEnvironment;

// Which delegates may connect: all but those in the exception list, or none but the allowed ones.
enum class DelegateAccessMode { ExceptionList = 1, AllowedList = 2 };

// The namespace of every element of the file. The path part is fixed by the server; the host is
// ours.
inline constexpr std::string_view RestrictionsNamespace =
    "http://www.quorvane.example/IPRestrictionsConfig";
// The stored texts of the two modes, in the attribute "Active" of "AccessMode".
inline constexpr std::string_view ExceptionListModeText = "ExceptionList";
inline constexpr std::string_view AllowedListModeText = "AllowedList";

// The stored text of a mode, and the list number (1 or 2) that holds its addresses.
std::string_view ModeText(DelegateAccessMode mode);
inline int ListNumber(DelegateAccessMode mode) {
    return static_cast<int>(mode);
}

// Finds the file's path; asked again for every load and save, as the file may move meanwhile.
using RestrictionsLocator = std::function<HResult(std::string& path)>;

// The located restrictions file of the media server (selector 1) or of the live server.
RestrictionsLocator LocateRestrictions(InstallationEnvironment& environment, int selector);
// A file given by the user.
RestrictionsLocator FixedRestrictionsFile(std::string path);

// Where reading delivers the document's content: the mode first, then every address of list 1,
// then every address of list 2, each list in document order.
class RestrictionsReceiver {
public:
    virtual ~RestrictionsReceiver() = default;
    virtual void SetMode(DelegateAccessMode mode) = 0;
    virtual void AddRow(int list, std::u16string address) = 0;
};

// No restrictions file comes near this; parsing a larger one would build a tree many times its
// size, so it is taken as unreadable without being read.
inline constexpr std::uint64_t MaxRestrictionsFileSize = 16u << 20;

// The delegate access restrictions file in memory. Every operation returns SOk on success and a
// failure code otherwise, leaving the document as it was.
//
// Files are parsed without network access and within libxml2's default depth and size limits. A
// document type declaration is kept as it is, but nothing is loaded for it and no entity may be
// declared in it (a file that declares one does not load), so none is ever expanded: a hostile
// file fails to load instead of reaching out or exhausting the machine.
class RestrictionsDocument {
public:
    RestrictionsDocument();
    RestrictionsDocument(const RestrictionsDocument&) = delete;
    RestrictionsDocument& operator=(const RestrictionsDocument&) = delete;
    RestrictionsDocument(RestrictionsDocument&&) noexcept = default;
    RestrictionsDocument& operator=(RestrictionsDocument&&) noexcept = default;

    bool Empty() const { return doc_ == nullptr; }

    // Locates the file and parses it. EFail when it cannot be located, read or parsed.
    HResult Load(const RestrictionsLocator& locate, FileStore& files);
    // Parses bytes as the content of the file; EFail for more than MaxRestrictionsFileSize.
    HResult Parse(std::span<const std::uint8_t> bytes);
    // The default document: mode "ExceptionList", both lists empty.
    HResult CreateNew();

    // Delivers the content to receiver. When "AccessMode" or its "Active" is missing nothing is
    // delivered and EFail returned; any "Active" other than "ExceptionList" is AllowedList.
    HResult Read(RestrictionsReceiver& receiver) const;

    // Appends an "Address" to the first list element of mode. EInvalidArg for text that XML
    // cannot hold (control characters, for instance); EFail when the list element is missing.
    HResult AddAddress(DelegateAccessMode mode, std::u16string_view address);
    // Removes the first address of mode's list, in document order, whose text equals address;
    // EFail when there is none or it is not a child of the first list element.
    HResult RemoveAddress(DelegateAccessMode mode, std::u16string_view address);
    // Sets the existing "Active" attribute; EFail when the element or the attribute is missing.
    HResult SetMode(DelegateAccessMode mode);

    // The file's bytes: UTF-8, the XML declaration, no white space added between elements.
    std::vector<std::uint8_t> Serialize() const;
    // Locates the file again and replaces it atomically with Serialize().
    HResult Save(const RestrictionsLocator& locate, FileStore& files) const;

private:
    // Owning the document this way leaves no free call to forget on a failure path.
    struct DocFree {
        void operator()(_xmlDoc* doc) const;
    };
    using DocPtr = std::unique_ptr<_xmlDoc, DocFree>;

    DocPtr doc_;
};

enum class RestrictionsFileState {
    Missing,
    Read,
    // There, but cut short, not well-formed, larger than MaxRestrictionsFileSize or not readable
    // by this user: replacing it would lose what it holds.
    Unreadable,
};

// One read of the file: what it held, and what tells later whether another program has
// replaced it since.
struct RestrictionsSnapshot {
    std::string path;
    RestrictionsFileState state = RestrictionsFileState::Missing;
    std::optional<FileStamp> stamp;
    // The bytes read; none when the file is missing or was not read.
    std::vector<std::uint8_t> bytes;
    // Loaded when state is Read.
    RestrictionsDocument document;
    // When Unreadable: where the file is to be kept before it is replaced, the first of
    // "PATH.damaged", "PATH.damaged.2", ... that does not exist yet.
    std::string damagedCopy;

    // The same file content, as far as a reader can tell.
    bool SameContent(const RestrictionsSnapshot& other) const {
        return path == other.path && state == other.state && bytes == other.bytes;
    }
};

// Reads and parses the file at path. Touches nothing but files, so it may run on any thread.
RestrictionsSnapshot ReadRestrictionsFile(const std::string& path, FileStore& files);

}  // namespace vantor
