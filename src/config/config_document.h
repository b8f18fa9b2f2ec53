#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/catalogue.h"
#include "config/resource_record.h"
#include "config/server_config.h"

namespace vantor {

// The configuration as a text document (YAML, or JSON, which is YAML too): what `vantorctl dump`
// prints and `vantorctl apply` makes the configuration equal to. The keys are the record fields
// of config.vtr; vantorctl(1) describes the schema.

enum class DocumentFormat { Yaml, Json };

// The fields of a resource the document may name. A field left out of a document keeps the
// value of the resource it is applied to.
enum class DocumentField {
    Name,
    Enabled,
    Source,  // also `remote` and `password-hash`, which spell a broadcast's source
    Description,
    AuthMethod,
    UserGroups,
    Unicast,
    Multicast,
    MulticastGroup,
    Playlist,
    PlaylistOrder,
    AllowMmsPlayers,
    AllowDelegates,
    PlayTimeLimit,
    MetaTitle,
    MetaAuthor,
    MetaCopyright,
    MaxConnections,
    MaxConnectionsPerUser,
    MaxThroughputKBps,
    NotifyArchival,
    Count,
};
inline constexpr std::size_t DocumentFieldCount = static_cast<std::size_t>(DocumentField::Count);
using DocumentFields = std::bitset<DocumentFieldCount>;

// A broadcast's kind of source, as `type` names it.
enum class DocumentLiveType { Static, Dynamic, Mms, Delegate };

// One resource of a document: the fields it gave, over a record whose other fields are the
// defaults; the line (from 1) where it starts.
struct DocumentResource {
    ResourceRecord record;
    DocumentFields given;
    std::optional<DocumentLiveType> type;  // live broadcasts only; always given
    std::size_t line = 0;

    bool Has(DocumentField field) const { return given.test(static_cast<std::size_t>(field)); }
};

// The server-wide settings of a document; a field left out keeps the configuration's value.
enum class ServerField {
    PlayerPort,
    LiveSourcePort,
    LimitConnections,
    MaxConnections,
    LimitConnectionsPerUser,
    MaxConnectionsPerUser,
    LimitAnonymousConnections,
    MaxAnonymousConnections,
    LimitThroughput,
    MaxThroughputKBps,
    LoggingMode,
    LoggingProgId,
    DefaultAuthMethod,
    ArchivalPassword,
    NetworkInterface,
    ArchivalServerAddress,
    ArchivalServerPort,
    Count,
};
inline constexpr std::size_t ServerFieldCount = static_cast<std::size_t>(ServerField::Count);

struct DocumentServer {
    ServerConfig config;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    std::bitset<ServerFieldCount> given;
    std::size_t line = 0;

    bool Has(ServerField field) const { return given.test(static_cast<std::size_t>(field)); }
};

// Which delegates may connect: the mode's stored text and the two lists.
struct DocumentRestrictions {
    std::string mode = "ExceptionList";      // or "AllowedList"
    std::vector<std::u16string> exceptions;  // list 1
    std::vector<std::u16string> allowed;     // list 2
    std::size_t line = 0;
    // What a document named; the rest keeps what the file holds.
    bool modeGiven = false;
    bool exceptionsGiven = false;
    bool allowedGiven = false;

    bool operator==(const DocumentRestrictions& other) const {
        return mode == other.mode && exceptions == other.exceptions && allowed == other.allowed;
    }
};

struct ConfigDocument {
    std::optional<DocumentServer> server;
    std::vector<DocumentResource> folders;
    std::vector<DocumentResource> live;
    std::optional<DocumentRestrictions> restrictions;
};

// A document that could not be read: where (line and column from 1) and why.
struct DocumentError {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
};

struct DocumentReading {
    ConfigDocument document;
    std::vector<DocumentError> errors;  // empty when the document was read
    bool unreadable = false;            // the stream failed, not its text
    std::size_t readApart = 0;          // stretches read on other threads; 0: read in one
};

// How a document is read. A large one is read in stretches of its lists of resources on
// several threads; it reads as it does on one.
struct DocumentReadingWork {
    unsigned threads = 0;  // 0: one a core
    std::size_t chunkBytes = std::size_t{1} << 20;
};

// Reads a document. Never throws: every problem comes back as an error with its position.
DocumentReading ReadConfigDocument(std::string_view text, DocumentReadingWork work = {});
// The same from a stream, read a block at a time.
DocumentReading ReadConfigDocument(std::istream& in);

// How a document is written. A large one is written in chunks of resources on several
// threads; the text is the same as written on one.
struct DocumentWriting {
    unsigned threads = 0;  // 0: one a core
    std::size_t chunkResources = 2000;
};

// The whole configuration as a document, resources in tree order, handed to out a piece at a
// time. restrictions: nothing when the document leaves them out.
void WriteConfigDocument(const ServerConfig& server, AuthMethod defaultAuthMethod,
                         const Catalogue& catalogue, const DocumentRestrictions* restrictions,
                         DocumentFormat format, const std::function<void(std::string_view)>& out,
                         DocumentWriting writing = {});
// The same as one text.
std::string WriteConfigDocument(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                const Catalogue& catalogue,
                                const DocumentRestrictions* restrictions, DocumentFormat format,
                                DocumentWriting writing = {});

// The words of the enumerations, as documents spell them; a value without a word is its number.
std::string AuthMethodWord(AuthMethod method);
std::string LoggingModeWord(std::uint32_t mode);
std::string LiveTypeWord(DocumentLiveType type);

// The type a stored source reads as.
DocumentLiveType LiveTypeOfRecord(const ResourceRecord& record);

// The key of a resource field in a document, for plans and messages.
std::string_view FieldKey(DocumentField field);
std::string_view ServerFieldKey(ServerField field);

// A field's value as the document writes it (a string quoted, a word bare), for plans.
std::string FieldValueText(const ResourceRecord& record, DocumentField field);
std::string ServerFieldValueText(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                 ServerField field);

// Copies the fields a document resource gave onto a record.
void ApplyGivenFields(const DocumentResource& resource, ResourceRecord& record);
// True when each field a document resource gave is what the record already holds.
bool ChangesNothing(const DocumentResource& resource, const ResourceRecord& record);
// Copies the server fields a document gave.
void ApplyGivenServerFields(const DocumentServer& server, ServerConfig& config,
                            AuthMethod& defaultAuthMethod);
// The fields in which two records differ, in document order.
std::vector<DocumentField> DifferentFields(const ResourceRecord& a, const ResourceRecord& b);
std::vector<ServerField> DifferentServerFields(const ServerConfig& a, AuthMethod aMethod,
                                               const ServerConfig& b, AuthMethod bMethod);

}  // namespace vantor
