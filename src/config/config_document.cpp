#include "config/config_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <iterator>
#include <limits>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>
#include <yaml.h>

#include "config/config_document_schema.h"
#include "config/text_codec.h"
#include "config/work_in_order.h"
#include "editors/remote_link.h"

namespace vantor {
namespace {

using namespace document_schema;

// The fields the folder editor never shows: a dump names them only when the file holds
// something else than what that editor stores, so a folder reads as its dialog shows it.
bool FolderExtraIsDefault(const ResourceRecord& record, DocumentField field) {
    switch (field) {
        case DocumentField::AllowDelegates:
            return !record.allowDelegates;
        case DocumentField::PlayTimeLimit:
            return record.playTimeLimit == -1;
        case DocumentField::MetaTitle:
            return record.metaTitle.empty();
        case DocumentField::MetaAuthor:
            return record.metaAuthor.empty();
        case DocumentField::MetaCopyright:
            return record.metaCopyright.empty();
        case DocumentField::NotifyArchival:
            return !record.notifyArchival;
        default:
            return true;
    }
}

// ---- writing ----

// What both output formats offer the document's layout.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void BeginMap(bool flow) = 0;
    virtual void EndMap() = 0;
    virtual void BeginSeq(bool flow) = 0;
    virtual void EndSeq() = 0;
    virtual void Key(std::string_view key) = 0;
    virtual void Text(std::string_view text) = 0;
    virtual void Word(std::string_view word) = 0;
    virtual void Number(std::int64_t value) = 0;
    virtual void Bool(bool value) = 0;
    virtual std::string Take() = 0;
};

// YAML through libyaml's emitter: block mappings indented two spaces, lines never folded,
// UTF-8 written as it is.
class YamlSink : public Sink {
public:
    YamlSink() {
        yaml_emitter_initialize(&emitter_);
        yaml_emitter_set_output(&emitter_, &YamlSink::Write, this);
        yaml_emitter_set_indent(&emitter_, 2);
        yaml_emitter_set_width(&emitter_, -1);
        yaml_emitter_set_unicode(&emitter_, 1);
        yaml_event_t event;
        yaml_stream_start_event_initialize(&event, YAML_UTF8_ENCODING);
        Emit(event);
        yaml_document_start_event_initialize(&event, nullptr, nullptr, nullptr, 1);
        Emit(event);
    }
    ~YamlSink() override { yaml_emitter_delete(&emitter_); }
    YamlSink(const YamlSink&) = delete;
    YamlSink& operator=(const YamlSink&) = delete;

    void BeginMap(bool flow) override {
        yaml_event_t event;
        yaml_mapping_start_event_initialize(
            &event, nullptr, nullptr, 1, flow ? YAML_FLOW_MAPPING_STYLE : YAML_BLOCK_MAPPING_STYLE);
        Emit(event);
    }
    void EndMap() override {
        yaml_event_t event;
        yaml_mapping_end_event_initialize(&event);
        Emit(event);
    }
    void BeginSeq(bool flow) override {
        yaml_event_t event;
        yaml_sequence_start_event_initialize(
            &event, nullptr, nullptr, 1,
            flow ? YAML_FLOW_SEQUENCE_STYLE : YAML_BLOCK_SEQUENCE_STYLE);
        Emit(event);
    }
    void EndSeq() override {
        yaml_event_t event;
        yaml_sequence_end_event_initialize(&event);
        Emit(event);
    }
    void Key(std::string_view key) override { Scalar(key, YAML_PLAIN_SCALAR_STYLE); }
    // Always quoted: a name such as "null", "true" or "" then reads back as the text it is.
    void Text(std::string_view text) override { Scalar(text, YAML_DOUBLE_QUOTED_SCALAR_STYLE); }
    // Bare where YAML lets it be; the emitter quotes a word that would read as something else.
    void Word(std::string_view word) override { Scalar(word, YAML_PLAIN_SCALAR_STYLE); }
    void Number(std::int64_t value) override {
        char digits[24];
        const auto [end, ec] = std::to_chars(std::begin(digits), std::end(digits), value);
        Scalar(std::string_view(digits, static_cast<std::size_t>(end - digits)),
               YAML_PLAIN_SCALAR_STYLE);
    }
    void Bool(bool value) override { Scalar(value ? "true" : "false", YAML_PLAIN_SCALAR_STYLE); }
    std::string Take() override {
        yaml_event_t event;
        yaml_document_end_event_initialize(&event, 1);
        Emit(event);
        yaml_stream_end_event_initialize(&event);
        Emit(event);
        yaml_emitter_flush(&emitter_);
        return std::move(out_);
    }

private:
    static int Write(void* data, unsigned char* buffer, std::size_t size) {
        static_cast<YamlSink*>(data)->out_.append(reinterpret_cast<const char*>(buffer), size);
        return 1;
    }
    void Scalar(std::string_view text, yaml_scalar_style_t style) {
        yaml_event_t event;
        // Texts come from UTF-16 and are always valid UTF-8, which is all the emitter asks.
        yaml_scalar_event_initialize(&event, nullptr, nullptr,
                                     reinterpret_cast<yaml_char_t*>(const_cast<char*>(text.data())),
                                     static_cast<int>(text.size()), 1, 1, style);
        Emit(event);
    }
    void Emit(yaml_event_t& event) {
        // The emitter refuses only events out of order, which this writer never makes.
        yaml_emitter_emit(&emitter_, &event);
    }

    yaml_emitter_t emitter_;
    std::string out_;
};

// JSON as RFC 8259 spells it; pretty-printed two spaces a level, flow items on one line.
class JsonSink : public Sink {
public:
    void BeginMap(bool flow) override { Open('{', flow); }
    void EndMap() override { Close('}'); }
    void BeginSeq(bool flow) override { Open('[', flow); }
    void EndSeq() override { Close(']'); }
    void Key(std::string_view key) override {
        Separate();
        Quote(key);
        out_ += ": ";
        afterKey_ = true;
    }
    void Text(std::string_view text) override {
        Value();
        Quote(text);
    }
    void Word(std::string_view word) override { Text(word); }
    void Number(std::int64_t value) override {
        Value();
        out_ += std::to_string(value);
    }
    void Bool(bool value) override {
        Value();
        out_ += value ? "true" : "false";
    }
    std::string Take() override {
        out_ += '\n';
        return std::move(out_);
    }

private:
    struct Level {
        bool flow;
        bool empty = true;
        char close;
    };
    void Separate() {
        if (levels_.empty()) {
            return;
        }
        Level& level = levels_.back();
        if (!level.empty) {
            out_ += ',';
        }
        level.empty = false;
        if (level.flow) {
            if (out_.back() == ',') {
                out_ += ' ';
            }
        } else {
            out_ += '\n';
            out_.append(levels_.size() * 2, ' ');
        }
    }
    void Value() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        Separate();
    }
    void Open(char bracket, bool flow) {
        Value();
        out_ += bracket;
        // Inside a flow item everything stays on its line.
        const bool inFlow = !levels_.empty() && levels_.back().flow;
        levels_.push_back({flow || inFlow, true, bracket == '{' ? '}' : ']'});
    }
    void Close(char bracket) {
        const Level level = levels_.back();
        levels_.pop_back();
        if (!level.empty && !level.flow) {
            out_ += '\n';
            out_.append(levels_.size() * 2, ' ');
        }
        out_ += bracket;
    }
    void Quote(std::string_view text) {
        out_ += '"';
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                out_ += escape;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }

    std::string out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

template <typename Words, typename Value>
std::string WordOr(const Words& words, Value value) {
    for (const auto& [word, v] : words) {
        if (v == value) {
            return std::string(word);
        }
    }
    return std::to_string(static_cast<std::int64_t>(value));
}

void WriteGroups(Sink& sink, UserGroups groups) {
    if ((groups & ~AllUsers) != 0) {
        sink.Number(groups);  // bits no dialog sets: kept as the number
        return;
    }
    sink.BeginSeq(true);
    for (const auto& [word, bit] : GroupWords) {
        if ((groups & bit) != 0) {
            sink.Word(word);
        }
    }
    sink.EndSeq();
}

void WriteOrder(Sink& sink, std::uint32_t order) {
    if (order < OrderWords.size()) {
        sink.Word(OrderWords[order]);
    } else {
        sink.Number(order);
    }
}

void WriteField(Sink& sink, const ResourceRecord& record, DocumentField field) {
    sink.Key(FieldKeys[static_cast<std::size_t>(field)]);
    switch (field) {
        case DocumentField::Name:
            return sink.Text(Utf16ToUtf8(record.name));
        case DocumentField::Enabled:
            return sink.Bool(record.enabled);
        case DocumentField::Source:
            return sink.Text(Utf16ToUtf8(record.source));
        case DocumentField::Description:
            return sink.Text(Utf16ToUtf8(record.description));
        case DocumentField::AuthMethod:
            return sink.Word(AuthMethodWord(record.authMethod));
        case DocumentField::UserGroups:
            return WriteGroups(sink, record.userGroups);
        case DocumentField::Unicast:
            return sink.Bool(record.unicast);
        case DocumentField::Multicast:
            return sink.Bool(record.multicast);
        case DocumentField::MulticastGroup:
            return sink.Text(Utf16ToUtf8(record.multicastGroup));
        case DocumentField::Playlist:
            return sink.Bool(record.playlist);
        case DocumentField::PlaylistOrder:
            return WriteOrder(sink, record.playlistOrder);
        case DocumentField::AllowMmsPlayers:
            return sink.Bool(record.allowMmsPlayers);
        case DocumentField::AllowDelegates:
            return sink.Bool(record.allowDelegates);
        case DocumentField::PlayTimeLimit:
            return sink.Number(record.playTimeLimit);
        case DocumentField::MetaTitle:
            return sink.Text(Utf16ToUtf8(record.metaTitle));
        case DocumentField::MetaAuthor:
            return sink.Text(Utf16ToUtf8(record.metaAuthor));
        case DocumentField::MetaCopyright:
            return sink.Text(Utf16ToUtf8(record.metaCopyright));
        case DocumentField::MaxConnections:
            return sink.Number(record.maxConnections);
        case DocumentField::MaxConnectionsPerUser:
            return sink.Number(record.maxConnectionsPerUser);
        case DocumentField::MaxThroughputKBps:
            return sink.Number(record.maxThroughputKBps);
        case DocumentField::NotifyArchival:
            return sink.Bool(record.notifyArchival);
        case DocumentField::Count:
            break;
    }
}

using F = DocumentField;
constexpr std::array kFolderFields = {F::Name,
                                      F::Enabled,
                                      F::Source,
                                      F::Description,
                                      F::AuthMethod,
                                      F::UserGroups,
                                      F::Unicast,
                                      F::Multicast,
                                      F::MulticastGroup,
                                      F::Playlist,
                                      F::PlaylistOrder,
                                      F::AllowMmsPlayers,
                                      F::MaxConnections,
                                      F::MaxConnectionsPerUser,
                                      F::MaxThroughputKBps};
constexpr std::array kFolderExtras = {F::AllowDelegates, F::PlayTimeLimit, F::MetaTitle,
                                      F::MetaAuthor,     F::MetaCopyright, F::NotifyArchival};
constexpr std::array kLiveFields = {
    F::Enabled,           F::Description,     F::AuthMethod,
    F::UserGroups,        F::Unicast,         F::Multicast,
    F::MulticastGroup,    F::AllowMmsPlayers, F::AllowDelegates,
    F::PlayTimeLimit,     F::MetaTitle,       F::MetaAuthor,
    F::MetaCopyright,     F::MaxConnections,  F::MaxConnectionsPerUser,
    F::MaxThroughputKBps, F::NotifyArchival};

// How a broadcast's source is written: the pieces its type spells it with when they give the
// source back exactly, else the source itself.
void WriteLiveSource(Sink& sink, const ResourceRecord& record, DocumentLiveType type) {
    if (type == DocumentLiveType::Delegate) {
        RemoteLinkParts parts;
        ParseRemoteLink(record.source, parts);
        if (parts.protocol >= 0 && parts.protocol < static_cast<int>(ProtocolWords.size()) &&
            ComposeRemoteLink(parts.alias, parts.address, parts.port, parts.protocol) ==
                record.source) {
            sink.Key(RemoteKey);
            sink.BeginMap(true);
            sink.Key("protocol");
            sink.Word(ProtocolWords[static_cast<std::size_t>(parts.protocol)]);
            sink.Key("address");
            sink.Text(Utf16ToUtf8(parts.address));
            sink.Key("port");
            sink.Number(parts.port);
            sink.Key("alias");
            sink.Text(Utf16ToUtf8(parts.alias));
            sink.EndMap();
            return;
        }
    }
    if (type == DocumentLiveType::Dynamic && record.source.starts_with(DynamicPrefix)) {
        sink.Key(PasswordHashKey);
        sink.Text(Utf16ToUtf8(std::u16string_view(record.source).substr(DynamicPrefix.size())));
        return;
    }
    WriteField(sink, record, DocumentField::Source);
}

void WriteResource(Sink& sink, const ResourceRecord& record) {
    sink.BeginMap(false);
    if (record.kind == ResourceKind::VirtualFolder) {
        for (const DocumentField field : kFolderFields) {
            WriteField(sink, record, field);
        }
        for (const DocumentField field : kFolderExtras) {
            if (!FolderExtraIsDefault(record, field)) {
                WriteField(sink, record, field);
            }
        }
    } else {
        WriteField(sink, record, DocumentField::Name);
        const DocumentLiveType type = LiveTypeOfRecord(record);
        sink.Key(TypeKey);
        sink.Word(LiveTypeWord(type));
        WriteLiveSource(sink, record, type);
        for (const DocumentField field : kLiveFields) {
            WriteField(sink, record, field);
        }
        // A broadcast is never a playlist in the editors, but the file may say otherwise.
        if (record.playlist) {
            WriteField(sink, record, DocumentField::Playlist);
        }
        if (record.playlistOrder != 0) {
            WriteField(sink, record, DocumentField::PlaylistOrder);
        }
    }
    sink.EndMap();
}

void WriteServerField(Sink& sink, const ServerConfig& s, AuthMethod method, ServerField field) {
    sink.Key(ServerKeys[static_cast<std::size_t>(field)]);
    switch (field) {
        case ServerField::PlayerPort:
            return sink.Text(Utf16ToUtf8(s.playerPort));
        case ServerField::LiveSourcePort:
            return sink.Text(Utf16ToUtf8(s.liveSourcePort));
        case ServerField::LimitConnections:
            return sink.Bool(s.limitConnections);
        case ServerField::MaxConnections:
            return sink.Number(s.maxConnections);
        case ServerField::LimitConnectionsPerUser:
            return sink.Bool(s.limitConnectionsPerUser);
        case ServerField::MaxConnectionsPerUser:
            return sink.Number(s.maxConnectionsPerUser);
        case ServerField::LimitAnonymousConnections:
            return sink.Bool(s.limitAnonymousConnections);
        case ServerField::MaxAnonymousConnections:
            return sink.Number(s.maxAnonymousConnections);
        case ServerField::LimitThroughput:
            return sink.Bool(s.limitThroughput);
        case ServerField::MaxThroughputKBps:
            return sink.Number(s.maxThroughputKBps);
        case ServerField::LoggingMode:
            return sink.Word(LoggingModeWord(s.loggingMode));
        case ServerField::LoggingProgId:
            return sink.Text(Utf16ToUtf8(s.loggingProgId));
        case ServerField::DefaultAuthMethod:
            return sink.Word(AuthMethodWord(method));
        case ServerField::ArchivalPassword:
            return sink.Text(Utf16ToUtf8(s.archivalPassword));
        case ServerField::NetworkInterface:
            return sink.Text(Utf16ToUtf8(s.networkInterface));
        case ServerField::ArchivalServerAddress:
            return sink.Text(Utf16ToUtf8(s.archivalServerAddress));
        case ServerField::ArchivalServerPort:
            return sink.Text(Utf16ToUtf8(s.archivalServerPort));
        case ServerField::Count:
            break;
    }
}

}  // namespace

std::string AuthMethodWord(AuthMethod method) {
    return WordOr(MethodWords, method);
}

std::string LoggingModeWord(std::uint32_t mode) {
    return WordOr(LoggingWords, mode);
}

std::string LiveTypeWord(DocumentLiveType type) {
    return WordOr(TypeWords, type);
}

DocumentLiveType LiveTypeOfRecord(const ResourceRecord& record) {
    std::u16string_view source = record.source;
    if (source.starts_with(RemoteLinkScheme)) {
        return DocumentLiveType::Delegate;
    }
    if (source.starts_with(u'0')) {
        return DocumentLiveType::Dynamic;
    }
    return source.starts_with(u"mms://") ? DocumentLiveType::Mms : DocumentLiveType::Static;
}

std::string_view FieldKey(DocumentField field) {
    return FieldKeys[static_cast<std::size_t>(field)];
}

std::string_view ServerFieldKey(ServerField field) {
    return ServerKeys[static_cast<std::size_t>(field)];
}

std::string FieldValueText(const ResourceRecord& record, DocumentField field) {
    JsonSink sink;
    sink.BeginSeq(true);
    WriteField(sink, record, field);
    sink.EndSeq();
    // The sink wrote `["key": value]`: keep the value.
    std::string text = sink.Take();
    const std::size_t colon = text.find("\": ");
    std::string value = text.substr(colon + 3, text.size() - colon - 3 - 2);
    if (field == F::AuthMethod || field == F::PlaylistOrder) {
        // Words bare, as the document writes them.
        if (value.size() >= 2 && value.front() == '"') {
            value = value.substr(1, value.size() - 2);
        }
    } else if (field == F::UserGroups) {
        std::string bare;
        for (const char c : value) {
            if (c != '"') {
                bare += c;
            }
        }
        value = bare;
    }
    return value;
}

std::string ServerFieldValueText(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                 ServerField field) {
    JsonSink sink;
    sink.BeginSeq(true);
    WriteServerField(sink, server, defaultAuthMethod, field);
    sink.EndSeq();
    std::string text = sink.Take();
    const std::size_t colon = text.find("\": ");
    std::string value = text.substr(colon + 3, text.size() - colon - 3 - 2);
    if ((field == ServerField::LoggingMode || field == ServerField::DefaultAuthMethod) &&
        value.size() >= 2 && value.front() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

namespace {

using Children = std::vector<std::unique_ptr<CatalogueItem>>;

// Some of a branch's resources, written on a thread of their own.
struct Chunk {
    const Children* children;
    std::size_t begin;
    std::size_t end;
};

// Stands in the outline of a document for a chunk written apart: an item no resource can be,
// on a line of its own.
std::string ChunkWord(std::size_t index) {
    return "vantor-chunk-" + std::to_string(index);
}
std::string ChunkLine(std::size_t index) {
    return "- " + ChunkWord(index) + "\n";
}

// A chunk's resources as the items of a root sequence. A sequence in a mapping is written
// without indenting its items, so these are the very lines one emitter writes for them in the
// whole document.
std::string YamlChunk(const Chunk& chunk) {
    YamlSink sink;
    sink.BeginSeq(false);
    for (std::size_t i = chunk.begin; i < chunk.end; ++i) {
        WriteResource(sink, (*chunk.children)[i]->Record());
    }
    sink.EndSeq();
    return sink.Take();
}

}  // namespace

void WriteConfigDocument(const ServerConfig& server, AuthMethod defaultAuthMethod,
                         const Catalogue& catalogue, const DocumentRestrictions* restrictions,
                         DocumentFormat format, const std::function<void(std::string_view)>& out,
                         DocumentWriting writing) {
    const unsigned threads =
        writing.threads != 0 ? writing.threads : std::max(1U, std::thread::hardware_concurrency());
    const std::size_t chunkSize = std::max<std::size_t>(writing.chunkResources, 1);
    std::vector<Chunk> chunks;
    YamlSink yaml;
    JsonSink json;
    Sink& sink = format == DocumentFormat::Yaml ? static_cast<Sink&>(yaml) : json;
    sink.BeginMap(false);
    sink.Key("server");
    sink.BeginMap(false);
    for (std::size_t i = 0; i < ServerFieldCount; ++i) {
        WriteServerField(sink, server, defaultAuthMethod, static_cast<ServerField>(i));
    }
    sink.EndMap();
    const std::pair<std::string_view, const CatalogueItem*> branches[] = {
        {"folders", &catalogue.FileResources()}, {"live", &catalogue.LiveBroadcasts()}};
    for (const auto& [key, branch] : branches) {
        const Children& children = branch->Children();
        sink.Key(key);
        sink.BeginSeq(children.empty());
        // libyaml's emitter takes most of a large dump's time, so its resources are written in
        // chunks on every core; the outline marks where each goes.
        if (format == DocumentFormat::Yaml && threads > 1 && children.size() > chunkSize) {
            for (std::size_t begin = 0; begin < children.size(); begin += chunkSize) {
                sink.Word(ChunkWord(chunks.size()));
                chunks.push_back({&children, begin, std::min(begin + chunkSize, children.size())});
            }
        } else {
            for (const auto& child : children) {
                WriteResource(sink, child->Record());
            }
        }
        sink.EndSeq();
    }
    if (restrictions != nullptr) {
        sink.Key("restrictions");
        sink.BeginMap(false);
        sink.Key("mode");
        sink.Word(restrictions->mode);
        for (const auto& [key, list] : {std::pair{"exceptions", &restrictions->exceptions},
                                        std::pair{"allowed", &restrictions->allowed}}) {
            sink.Key(key);
            sink.BeginSeq(true);
            for (const std::u16string& address : *list) {
                sink.Text(Utf16ToUtf8(address));
            }
            sink.EndSeq();
        }
        sink.EndMap();
    }
    sink.EndMap();
    const std::string outline = sink.Take();
    std::size_t written = 0;
    std::size_t taken = 0;
    MakeInOrder(
        chunks.size(), threads, 2 * threads,
        [&chunks](std::size_t index) { return YamlChunk(chunks[index]); },
        [&](std::string_view text) {
            const std::string mark = ChunkLine(taken++);
            const std::size_t at = outline.find(mark, written);
            if (at == std::string::npos) {
                throw std::logic_error("a chunk's place is missing from the document");
            }
            out(std::string_view(outline).substr(written, at - written));
            out(text);
            written = at + mark.size();
        });
    out(std::string_view(outline).substr(written));
}

std::string WriteConfigDocument(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                const Catalogue& catalogue,
                                const DocumentRestrictions* restrictions, DocumentFormat format,
                                DocumentWriting writing) {
    std::string text;
    WriteConfigDocument(
        server, defaultAuthMethod, catalogue, restrictions, format,
        [&text](std::string_view piece) { text.append(piece); }, writing);
    return text;
}

namespace {

// Each field a document may give, with the member of the record it stands for.
template <typename Visit>
void ForEachGivenField(Visit&& visit) {
    visit(F::Name, &ResourceRecord::name);
    visit(F::Enabled, &ResourceRecord::enabled);
    visit(F::Source, &ResourceRecord::source);
    visit(F::Description, &ResourceRecord::description);
    visit(F::AuthMethod, &ResourceRecord::authMethod);
    visit(F::UserGroups, &ResourceRecord::userGroups);
    visit(F::Unicast, &ResourceRecord::unicast);
    visit(F::Multicast, &ResourceRecord::multicast);
    visit(F::MulticastGroup, &ResourceRecord::multicastGroup);
    visit(F::Playlist, &ResourceRecord::playlist);
    visit(F::PlaylistOrder, &ResourceRecord::playlistOrder);
    visit(F::AllowMmsPlayers, &ResourceRecord::allowMmsPlayers);
    visit(F::AllowDelegates, &ResourceRecord::allowDelegates);
    visit(F::PlayTimeLimit, &ResourceRecord::playTimeLimit);
    visit(F::MetaTitle, &ResourceRecord::metaTitle);
    visit(F::MetaAuthor, &ResourceRecord::metaAuthor);
    visit(F::MetaCopyright, &ResourceRecord::metaCopyright);
    visit(F::MaxConnections, &ResourceRecord::maxConnections);
    visit(F::MaxConnectionsPerUser, &ResourceRecord::maxConnectionsPerUser);
    visit(F::MaxThroughputKBps, &ResourceRecord::maxThroughputKBps);
    visit(F::NotifyArchival, &ResourceRecord::notifyArchival);
}

}  // namespace

void ApplyGivenFields(const DocumentResource& resource, ResourceRecord& record) {
    ForEachGivenField([&](DocumentField field, auto member) {
        if (resource.Has(field)) {
            record.*member = resource.record.*member;
        }
    });
}

bool ChangesNothing(const DocumentResource& resource, const ResourceRecord& record) {
    bool same = true;
    ForEachGivenField([&](DocumentField field, auto member) {
        same = same && (!resource.Has(field) || record.*member == resource.record.*member);
    });
    return same;
}

void ApplyGivenServerFields(const DocumentServer& server, ServerConfig& config,
                            AuthMethod& defaultAuthMethod) {
    const ServerConfig& s = server.config;
    using S = ServerConfig;
    const auto take = [&](ServerField field, auto member) {
        if (server.Has(field)) {
            config.*member = s.*member;
        }
    };
    take(ServerField::PlayerPort, &S::playerPort);
    take(ServerField::LiveSourcePort, &S::liveSourcePort);
    take(ServerField::LimitConnections, &S::limitConnections);
    take(ServerField::MaxConnections, &S::maxConnections);
    take(ServerField::LimitConnectionsPerUser, &S::limitConnectionsPerUser);
    take(ServerField::MaxConnectionsPerUser, &S::maxConnectionsPerUser);
    take(ServerField::LimitAnonymousConnections, &S::limitAnonymousConnections);
    take(ServerField::MaxAnonymousConnections, &S::maxAnonymousConnections);
    take(ServerField::LimitThroughput, &S::limitThroughput);
    take(ServerField::MaxThroughputKBps, &S::maxThroughputKBps);
    take(ServerField::LoggingMode, &S::loggingMode);
    take(ServerField::LoggingProgId, &S::loggingProgId);
    take(ServerField::ArchivalPassword, &S::archivalPassword);
    take(ServerField::NetworkInterface, &S::networkInterface);
    take(ServerField::ArchivalServerAddress, &S::archivalServerAddress);
    take(ServerField::ArchivalServerPort, &S::archivalServerPort);
    if (server.Has(ServerField::DefaultAuthMethod)) {
        defaultAuthMethod = server.defaultAuthMethod;
    }
}

std::vector<DocumentField> DifferentFields(const ResourceRecord& a, const ResourceRecord& b) {
    std::vector<DocumentField> fields;
    for (std::size_t i = 0; i < DocumentFieldCount; ++i) {
        const auto field = static_cast<DocumentField>(i);
        if (FieldValueText(a, field) != FieldValueText(b, field)) {
            fields.push_back(field);
        }
    }
    return fields;
}

std::vector<ServerField> DifferentServerFields(const ServerConfig& a, AuthMethod aMethod,
                                               const ServerConfig& b, AuthMethod bMethod) {
    std::vector<ServerField> fields;
    for (std::size_t i = 0; i < ServerFieldCount; ++i) {
        const auto field = static_cast<ServerField>(i);
        if (ServerFieldValueText(a, aMethod, field) != ServerFieldValueText(b, bMethod, field)) {
            fields.push_back(field);
        }
    }
    return fields;
}

}  // namespace vantor
