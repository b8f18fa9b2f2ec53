#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The delegate access restrictions file in memory. Every operation returns SOk on success and a
// failure code otherwise, leaving the document as it was.
//
// Files are parsed without network access, without any document type declaration (a file that
// has one does not load, so no entity is ever defined or expanded) and within libxml2's default
// depth and size limits: a hostile file fails to load instead of exhausting the machine.
class RestrictionsDocument {
public:
    RestrictionsDocument();
    RestrictionsDocument(const RestrictionsDocument&) = delete;
    RestrictionsDocument& operator=(const RestrictionsDocument&) = delete;

    bool Empty() const { return doc_ == nullptr; }

    // Locates the file and parses it. EFail when it cannot be located, read or parsed.
    HResult Load(const RestrictionsLocator& locate, FileStore& files);
    // Parses bytes as the content of the file.
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

}  // namespace vantor
