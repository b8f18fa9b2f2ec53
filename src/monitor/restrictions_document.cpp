#include "monitor/restrictions_document.h"

#include <memory>
#include <utility>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include "config/text_codec.h"
#include "platform/file_store.h"
#include "server/installation_paths.h"

namespace vantor {

namespace {

const xmlChar* Xml(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}
const xmlChar* Xml(const std::string& text) {
    return Xml(text.c_str());
}

constexpr char kPrefix[] = "u";
constexpr char kRootName[] = "IPRestrictionsConfig";
constexpr char kModeName[] = "AccessMode";
constexpr char kActiveName[] = "Active";
constexpr char kAddressName[] = "Address";
constexpr char kExceptionListName[] = "ExceptionMediaServerList";
constexpr char kAllowedListName[] = "AllowedMediaServerList";
constexpr char kModeQuery[] = "//u:AccessMode";
constexpr char kExceptionListQuery[] = "//u:ExceptionMediaServerList";
constexpr char kAllowedListQuery[] = "//u:AllowedMediaServerList";
constexpr char kExceptionAddressQuery[] = "//u:ExceptionMediaServerList//u:Address";
constexpr char kAllowedAddressQuery[] = "//u:AllowedMediaServerList//u:Address";
constexpr char kEncoding[] = "utf-8";

const char* ListQuery(DelegateAccessMode mode) {
    return mode == DelegateAccessMode::ExceptionList ? kExceptionListQuery : kAllowedListQuery;
}

const char* AddressQuery(DelegateAccessMode mode) {
    return mode == DelegateAccessMode::ExceptionList ? kExceptionAddressQuery
                                                     : kAllowedAddressQuery;
}

void InitLibxml() {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
}

struct XPathContextFree {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectFree {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};
struct ParserFree {
    void operator()(xmlParserCtxtPtr parser) const { xmlFreeParserCtxt(parser); }
};
struct XmlFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XPathResult = std::unique_ptr<xmlXPathObject, XPathObjectFree>;
using XmlText = std::unique_ptr<xmlChar, XmlFree>;

// The nodes an expression selects, with the prefix "u" bound to the file's namespace.
XPathResult Select(xmlDocPtr doc, const char* query) {
    std::unique_ptr<xmlXPathContext, XPathContextFree> context(xmlXPathNewContext(doc));
    if (context == nullptr || xmlXPathRegisterNs(context.get(), Xml(kPrefix),
                                                 Xml(std::string(RestrictionsNamespace))) != 0) {
        return nullptr;
    }
    XPathResult result(xmlXPathEvalExpression(Xml(query), context.get()));
    if (result == nullptr || result->type != XPATH_NODESET) {
        return nullptr;
    }
    return result;
}

int Count(const XPathResult& result) {
    return result == nullptr || result->nodesetval == nullptr ? 0 : result->nodesetval->nodeNr;
}

xmlNodePtr SelectSingle(xmlDocPtr doc, const char* query) {
    const XPathResult result = Select(doc, query);
    return Count(result) > 0 ? result->nodesetval->nodeTab[0] : nullptr;
}

std::u16string TextOf(xmlNodePtr node) {
    const XmlText text(xmlNodeGetContent(node));
    return text == nullptr ? std::u16string()
                           : Utf8ToUtf16(reinterpret_cast<const char*>(text.get()));
}

// XML 1.0 cannot hold most control characters, unpaired surrogates, U+FFFE and U+FFFF; writing
// one would make a file that no longer loads.
bool XmlCanHold(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        } else if ((c < 0x20 && c != 0x9 && c != 0xA && c != 0xD) || (c >= 0xDC00 && c <= 0xDFFF) ||
                   c == 0xFFFE || c == 0xFFFF) {
            return false;
        }
    }
    return true;
}

// A document type declaration is harmless as long as nothing is declared in it that a reader
// would expand; an entity, internal or external, ends the parse as a failure instead.
void Refuse(void* userData) {
    auto* parser = static_cast<xmlParserCtxtPtr>(userData);
    parser->wellFormed = 0;
    xmlStopParser(parser);
}
void RefuseEntity(void* userData, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    Refuse(userData);
}
void RefuseUnparsedEntity(void* userData, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    Refuse(userData);
}

xmlNodePtr NewElement(xmlDocPtr doc, xmlNsPtr ns, const char* name, xmlNodePtr parent) {
    xmlNodePtr node = xmlNewDocNode(doc, ns, Xml(name), nullptr);
    if (node != nullptr) {
        xmlAddChild(parent, node);
    }
    return node;
}

}  // namespace

std::string_view ModeText(DelegateAccessMode mode) {
    return mode == DelegateAccessMode::ExceptionList ? ExceptionListModeText : AllowedListModeText;
}

RestrictionsLocator LocateRestrictions(InstallationEnvironment& environment, int selector) {
    return [&environment, selector](std::string& path) {
        return LocateRestrictionsFile(environment, selector, path);
    };
}

RestrictionsLocator FixedRestrictionsFile(std::string path) {
    return [path = std::move(path)](std::string& out) {
        out = path;
        return SOk;
    };
}

RestrictionsDocument::RestrictionsDocument() {
    InitLibxml();
}

void RestrictionsDocument::DocFree::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

HResult RestrictionsDocument::Load(const RestrictionsLocator& locate, FileStore& files) {
    std::string path;
    if (!locate || Failed(locate(path))) {
        return EFail;
    }
    const auto bytes = files.ReadFile(path);
    return bytes ? Parse(*bytes) : EFail;
}

HResult RestrictionsDocument::Parse(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > MaxRestrictionsFileSize) {
        return EFail;
    }
    std::unique_ptr<xmlParserCtxt, ParserFree> parser(xmlNewParserCtxt());
    if (parser == nullptr || parser->sax == nullptr) {
        return EFail;
    }
    parser->sax->entityDecl = RefuseEntity;
    parser->sax->unparsedEntityDecl = RefuseUnparsedEntity;
    // No network; no external DTD loaded, no attribute defaults, no entity substitution (none of
    // XML_PARSE_DTDLOAD, XML_PARSE_DTDATTR, XML_PARSE_NOENT); nothing printed.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    DocPtr doc(xmlCtxtReadMemory(parser.get(), reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (doc == nullptr || !parser->wellFormed || xmlDocGetRootElement(doc.get()) == nullptr) {
        return EFail;
    }
    doc_ = std::move(doc);
    return SOk;
}

HResult RestrictionsDocument::CreateNew() {
    DocPtr doc(xmlNewDoc(Xml("1.0")));
    if (doc == nullptr) {
        return EFail;
    }
    xmlNodePtr root = xmlNewDocNode(doc.get(), nullptr, Xml(kRootName), nullptr);
    xmlNsPtr ns = root == nullptr
                      ? nullptr
                      : xmlNewNs(root, Xml(std::string(RestrictionsNamespace)), nullptr);
    if (ns == nullptr) {
        xmlFreeNode(root);
        return EFail;
    }
    xmlSetNs(root, ns);
    xmlDocSetRootElement(doc.get(), root);
    xmlNodePtr mode = NewElement(doc.get(), ns, kModeName, root);
    const bool made = mode != nullptr &&
                      xmlNewNsProp(mode, nullptr, Xml(kActiveName),
                                   Xml(std::string(ExceptionListModeText))) != nullptr &&
                      NewElement(doc.get(), ns, kExceptionListName, root) != nullptr &&
                      NewElement(doc.get(), ns, kAllowedListName, root) != nullptr;
    if (!made) {
        return EFail;
    }
    doc_ = std::move(doc);
    return SOk;
}

HResult RestrictionsDocument::Read(RestrictionsReceiver& receiver) const {
    if (doc_ == nullptr) {
        return EUnexpected;
    }
    xmlNodePtr modeElement = SelectSingle(doc_.get(), kModeQuery);
    if (modeElement == nullptr) {
        return EFail;
    }
    const XmlText active(xmlGetNoNsProp(modeElement, Xml(kActiveName)));
    if (active == nullptr) {
        return EFail;
    }
    // Only the exact text means the exception list; anything else is read as the allowed list.
    receiver.SetMode(reinterpret_cast<const char*>(active.get()) == ExceptionListModeText
                         ? DelegateAccessMode::ExceptionList
                         : DelegateAccessMode::AllowedList);
    for (DelegateAccessMode mode :
         {DelegateAccessMode::ExceptionList, DelegateAccessMode::AllowedList}) {
        const XPathResult addresses = Select(doc_.get(), AddressQuery(mode));
        for (int i = 0; i < Count(addresses); ++i) {
            receiver.AddRow(ListNumber(mode), TextOf(addresses->nodesetval->nodeTab[i]));
        }
    }
    return SOk;
}

HResult RestrictionsDocument::AddAddress(DelegateAccessMode mode, std::u16string_view address) {
    if (doc_ == nullptr) {
        return EUnexpected;
    }
    if (!XmlCanHold(address)) {
        return EInvalidArg;
    }
    xmlNodePtr list = SelectSingle(doc_.get(), ListQuery(mode));
    if (list == nullptr) {
        return EFail;
    }
    // The list matched "u:", so its own namespace is the file's. The address is escaped on the
    // way in, and the element is only made whole, so a failure leaves nothing behind.
    const std::string text = Utf16ToUtf8(address);
    return xmlNewTextChild(list, list->ns, Xml(kAddressName), Xml(text)) != nullptr ? SOk : EFail;
}

HResult RestrictionsDocument::RemoveAddress(DelegateAccessMode mode, std::u16string_view address) {
    if (doc_ == nullptr) {
        return EUnexpected;
    }
    xmlNodePtr list = SelectSingle(doc_.get(), ListQuery(mode));
    const XPathResult addresses = Select(doc_.get(), AddressQuery(mode));
    const std::string wanted = Utf16ToUtf8(address);
    for (int i = 0; i < Count(addresses); ++i) {
        xmlNodePtr node = addresses->nodesetval->nodeTab[i];
        const XmlText text(xmlNodeGetContent(node));
        if (text != nullptr && reinterpret_cast<const char*>(text.get()) == wanted) {
            // Only a direct child of the list can be taken out of it.
            if (list == nullptr || node->parent != list) {
                return EFail;
            }
            xmlUnlinkNode(node);
            xmlFreeNode(node);
            return SOk;
        }
    }
    return EFail;
}

HResult RestrictionsDocument::SetMode(DelegateAccessMode mode) {
    if (doc_ == nullptr) {
        return EUnexpected;
    }
    xmlNodePtr modeElement = SelectSingle(doc_.get(), kModeQuery);
    if (modeElement == nullptr || xmlHasNsProp(modeElement, Xml(kActiveName), nullptr) == nullptr) {
        return EFail;
    }
    return xmlSetNsProp(modeElement, nullptr, Xml(kActiveName), Xml(std::string(ModeText(mode)))) !=
                   nullptr
               ? SOk
               : EFail;
}

std::vector<std::uint8_t> RestrictionsDocument::Serialize() const {
    if (doc_ == nullptr) {
        return {};
    }
    xmlChar* memory = nullptr;
    int size = 0;
    // Format 0: the document's own white space, nothing added.
    xmlDocDumpFormatMemoryEnc(doc_.get(), &memory, &size, kEncoding, 0);
    std::vector<std::uint8_t> bytes(memory, memory + (memory == nullptr ? 0 : size));
    xmlFree(memory);
    return bytes;
}

HResult RestrictionsDocument::Save(const RestrictionsLocator& locate, FileStore& files) const {
    std::string path;
    if (doc_ == nullptr || !locate || Failed(locate(path))) {
        return EFail;
    }
    const std::vector<std::uint8_t> bytes = Serialize();
    if (bytes.empty()) {
        return EFail;
    }
    return files.ReplaceFile(path, bytes) ? SOk : EFail;
}

namespace {

// How many "PATH.damaged.N" names are tried before the last one is used all the same.
constexpr int kCopyNames = 100;

std::string FreeCopyPath(const std::string& path, FileStore& files) {
    std::string copy = path + ".damaged";
    for (int n = 2; n <= kCopyNames && files.Stamp(copy); ++n) {
        copy = path + ".damaged." + std::to_string(n);
    }
    return copy;
}

RestrictionsSnapshot ReadSnapshot(const std::string& path, FileStore& files) {
    RestrictionsSnapshot snapshot;
    snapshot.path = path;
    snapshot.stamp = files.Stamp(path);
    // The size is looked at before reading, so a huge file costs nothing.
    if (snapshot.stamp && snapshot.stamp->size > MaxRestrictionsFileSize) {
        snapshot.state = RestrictionsFileState::Unreadable;
        return snapshot;
    }
    auto bytes = files.ReadFile(path);
    if (!bytes) {
        // There but not readable is not missing: it must not be replaced unawares.
        snapshot.state =
            snapshot.stamp ? RestrictionsFileState::Unreadable : RestrictionsFileState::Missing;
        return snapshot;
    }
    if (bytes->size() > MaxRestrictionsFileSize) {
        // It grew between the look and the read.
        snapshot.state = RestrictionsFileState::Unreadable;
        return snapshot;
    }
    snapshot.bytes = std::move(*bytes);
    snapshot.state = Succeeded(snapshot.document.Parse(snapshot.bytes))
                         ? RestrictionsFileState::Read
                         : RestrictionsFileState::Unreadable;
    return snapshot;
}

}  // namespace

RestrictionsSnapshot ReadRestrictionsFile(const std::string& path, FileStore& files) {
    RestrictionsSnapshot snapshot = ReadSnapshot(path, files);
    if (snapshot.state == RestrictionsFileState::Unreadable) {
        snapshot.damagedCopy = FreeCopyPath(path, files);
    }
    return snapshot;
}

}  // namespace vantor
