#include "config/config_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <exception>
#include <limits>
#include <utility>

#include <yaml-cpp/yaml.h>

#include "config/ascii_case.h"
#include "config/text_codec.h"
#include "editors/remote_link.h"

namespace vantor {
namespace {

constexpr std::array<std::pair<std::string_view, AuthMethod>, 4> kMethodWords = {{
    {"inherit", AuthMethod::InheritDefault},
    {"anonymous", AuthMethod::Anonymous},
    {"internal", AuthMethod::Internal},
    {"session", AuthMethod::SessionBased},
}};
constexpr std::array<std::pair<std::string_view, UserGroups>, 3> kGroupWords = {{
    {"basic", BasicUsers},
    {"medium", MediumUsers},
    {"advanced", AdvancedUsers},
}};
constexpr std::array<std::string_view, 2> kOrderWords = {"alphabetical", "random"};
constexpr std::array<std::pair<std::string_view, std::uint32_t>, 3> kLoggingWords = {{
    {"disabled", 1},
    {"standard", 2},
    {"custom", 3},
}};
constexpr std::array<std::pair<std::string_view, DocumentLiveType>, 4> kTypeWords = {{
    {"static", DocumentLiveType::Static},
    {"dynamic", DocumentLiveType::Dynamic},
    {"mms", DocumentLiveType::Mms},
    {"delegate", DocumentLiveType::Delegate},
}};
constexpr std::array<std::string_view, 3> kProtocolWords = {"tcp", "http", "https"};

constexpr std::array<std::string_view, DocumentFieldCount> kFieldKeys = {
    "name",
    "enabled",
    "source",
    "description",
    "authMethod",
    "userGroups",
    "unicast",
    "multicast",
    "multicastGroup",
    "playlist",
    "playlistOrder",
    "allowMmsPlayers",
    "allowDelegates",
    "playTimeLimit",
    "metaTitle",
    "metaAuthor",
    "metaCopyright",
    "maxConnections",
    "maxConnectionsPerUser",
    "maxThroughputKBps",
    "notifyArchival",
};
constexpr std::array<std::string_view, ServerFieldCount> kServerKeys = {
    "playerPort",
    "liveSourcePort",
    "limitConnections",
    "maxConnections",
    "limitConnectionsPerUser",
    "maxConnectionsPerUser",
    "limitAnonymousConnections",
    "maxAnonymousConnections",
    "limitThroughput",
    "maxThroughputKBps",
    "loggingMode",
    "loggingProgId",
    "defaultAuthMethod",
    "archivalPassword",
    "networkInterface",
    "archivalServerAddress",
    "archivalServerPort",
};
constexpr std::string_view kRemoteKey = "remote";
constexpr std::string_view kPasswordHashKey = "password-hash";
constexpr std::string_view kTypeKey = "type";
constexpr std::u16string_view kDynamicPrefix = u"0@";

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

class YamlSink : public Sink {
public:
    YamlSink() { out_.SetIndent(2); }
    void BeginMap(bool flow) override {
        if (flow) {
            out_ << YAML::Flow;
        }
        out_ << YAML::BeginMap;
    }
    void EndMap() override { out_ << YAML::EndMap; }
    void BeginSeq(bool flow) override {
        if (flow) {
            out_ << YAML::Flow;
        }
        out_ << YAML::BeginSeq;
    }
    void EndSeq() override { out_ << YAML::EndSeq; }
    void Key(std::string_view key) override {
        out_ << YAML::Key << std::string(key) << YAML::Value;
    }
    // Always quoted: a name such as "null", "true" or "" then reads back as the text it is.
    void Text(std::string_view text) override { out_ << YAML::DoubleQuoted << std::string(text); }
    void Word(std::string_view word) override { out_ << std::string(word); }
    void Number(std::int64_t value) override { out_ << value; }
    void Bool(bool value) override { out_ << (value ? "true" : "false"); }
    std::string Take() override {
        std::string text = out_.c_str();
        text += '\n';
        return text;
    }

private:
    YAML::Emitter out_;
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
    for (const auto& [word, bit] : kGroupWords) {
        if ((groups & bit) != 0) {
            sink.Word(word);
        }
    }
    sink.EndSeq();
}

void WriteOrder(Sink& sink, std::uint32_t order) {
    if (order < kOrderWords.size()) {
        sink.Word(kOrderWords[order]);
    } else {
        sink.Number(order);
    }
}

void WriteField(Sink& sink, const ResourceRecord& record, DocumentField field) {
    sink.Key(kFieldKeys[static_cast<std::size_t>(field)]);
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
        if (parts.protocol >= 0 && parts.protocol < static_cast<int>(kProtocolWords.size()) &&
            ComposeRemoteLink(parts.alias, parts.address, parts.port, parts.protocol) ==
                record.source) {
            sink.Key(kRemoteKey);
            sink.BeginMap(true);
            sink.Key("protocol");
            sink.Word(kProtocolWords[static_cast<std::size_t>(parts.protocol)]);
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
    if (type == DocumentLiveType::Dynamic && record.source.starts_with(kDynamicPrefix)) {
        sink.Key(kPasswordHashKey);
        sink.Text(Utf16ToUtf8(std::u16string_view(record.source).substr(kDynamicPrefix.size())));
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
        sink.Key(kTypeKey);
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
    sink.Key(kServerKeys[static_cast<std::size_t>(field)]);
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

// ---- reading ----

std::size_t LineOf(const YAML::Node& node) {
    const YAML::Mark mark = node.Mark();
    return mark.line < 0 ? 0 : static_cast<std::size_t>(mark.line) + 1;
}
std::size_t ColumnOf(const YAML::Node& node) {
    const YAML::Mark mark = node.Mark();
    return mark.column < 0 ? 0 : static_cast<std::size_t>(mark.column) + 1;
}

class Reader {
public:
    explicit Reader(std::vector<DocumentError>& errors) : errors_(errors) {}

    void Error(const YAML::Node& at, std::string message) {
        errors_.push_back({LineOf(at), ColumnOf(at), std::move(message)});
    }

    // The pairs of a mapping, each key a scalar seen once; errors for the others.
    std::vector<std::pair<std::string, YAML::Node>> Pairs(const YAML::Node& map,
                                                          std::string_view what) {
        keyLines_.clear();
        std::vector<std::pair<std::string, YAML::Node>> pairs;
        if (!map.IsMap()) {
            Error(map, std::string(what) + ": expected a mapping of keys and values");
            return pairs;
        }
        for (auto it = map.begin(); it != map.end(); ++it) {
            const YAML::Node key = it->first;
            if (!key.IsScalar()) {
                Error(key, "expected a key");
                continue;
            }
            const std::string& text = key.Scalar();
            bool seen = false;
            for (const auto& pair : pairs) {
                seen = seen || pair.first == text;
            }
            if (seen) {
                Error(key, "duplicate key \"" + text + "\"");
                continue;
            }
            pairs.emplace_back(text, it->second);
            keyLines_.push_back(LineOf(key));
        }
        return pairs;
    }

    bool Text(const YAML::Node& node, std::string_view key, std::u16string& out) {
        if (node.IsNull()) {
            out.clear();  // `key:` with nothing after it
            return true;
        }
        if (!node.IsScalar()) {
            Error(node, std::string(key) + ": expected a text");
            return false;
        }
        out = Utf8ToUtf16(node.Scalar());
        return true;
    }

    bool Bool(const YAML::Node& node, std::string_view key, bool& out) {
        if (node.IsScalar()) {
            const std::string& text = node.Scalar();
            if (text == "true" || text == "false") {
                out = text == "true";
                return true;
            }
        }
        Error(node, std::string(key) + ": expected true or false");
        return false;
    }

    bool Integer(const YAML::Node& node, std::string_view key, std::int64_t min, std::int64_t max,
                 std::int64_t& out) {
        if (node.IsScalar()) {
            const std::string& text = node.Scalar();
            std::int64_t value = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, value);
            if (!text.empty() && ec == std::errc() && ptr == end && value >= min && value <= max) {
                out = value;
                return true;
            }
        }
        Error(node, std::string(key) + ": expected a whole number from " + std::to_string(min) +
                        " to " + std::to_string(max));
        return false;
    }

    template <typename T>
    bool Number(const YAML::Node& node, std::string_view key, T& out) {
        std::int64_t value = 0;
        if (!Integer(node, key, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(),
                     value)) {
            return false;
        }
        out = static_cast<T>(value);
        return true;
    }

    // A word of the list, or (when max is not 0) a number up to max for a value no word names.
    template <typename Words, typename Value>
    bool WordValue(const YAML::Node& node, std::string_view key, const Words& words,
                   std::int64_t min, std::int64_t max, Value& out) {
        if (node.IsScalar()) {
            for (const auto& [word, value] : words) {
                if (node.Scalar() == word) {
                    out = value;
                    return true;
                }
            }
            std::int64_t number = 0;
            const std::string& text = node.Scalar();
            const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
            if (max != 0 && !text.empty() && ec == std::errc() &&
                ptr == text.data() + text.size() && number >= min && number <= max) {
                out = static_cast<Value>(number);
                return true;
            }
        }
        std::string list;
        for (const auto& [word, value] : words) {
            list += (list.empty() ? "" : ", ") + std::string(word);
        }
        Error(node, std::string(key) + ": expected one of " + list);
        return false;
    }

    bool Groups(const YAML::Node& node, UserGroups& out) {
        if (node.IsScalar()) {
            std::int64_t value = 0;
            if (Integer(node, "userGroups", 0, 255, value)) {
                out = static_cast<UserGroups>(value);
                return true;
            }
            return false;
        }
        if (!node.IsSequence()) {
            Error(node, "userGroups: expected a list of basic, medium, advanced");
            return false;
        }
        UserGroups groups = 0;
        bool ok = true;
        for (const YAML::Node& item : node) {
            bool known = false;
            for (const auto& [word, bit] : kGroupWords) {
                if (item.IsScalar() && item.Scalar() == word) {
                    groups |= bit;
                    known = true;
                }
            }
            if (!known) {
                Error(item, "userGroups: expected basic, medium or advanced");
                ok = false;
            }
        }
        out = groups;
        return ok;
    }

    void Remote(const YAML::Node& node, DocumentResource& resource) {
        RemoteLinkParts parts;
        parts.protocol = -1;
        bool ok = true;
        bool hasPort = false;
        for (auto& [key, value] : Pairs(node, "remote")) {
            if (key == "protocol") {
                std::size_t index = 0;
                std::array<std::pair<std::string_view, std::size_t>, 3> words = {
                    {{kProtocolWords[0], 0}, {kProtocolWords[1], 1}, {kProtocolWords[2], 2}}};
                ok = WordValue(value, "protocol", words, 0, 0, index) && ok;
                parts.protocol = static_cast<int>(index);
            } else if (key == "address") {
                ok = Text(value, key, parts.address) && ok;
            } else if (key == "port") {
                hasPort = true;
                ok = Number(value, key, parts.port) && ok;
            } else if (key == "alias") {
                ok = Text(value, key, parts.alias) && ok;
            } else {
                Error(value, "remote: unknown field \"" + key + "\"");
                ok = false;
            }
        }
        if (ok && node.IsMap() && (parts.protocol < 0 || !hasPort)) {
            Error(node, std::string("remote: missing field \"") +
                            (parts.protocol < 0 ? "protocol" : "port") + "\"");
            ok = false;
        }
        if (ok) {
            resource.record.source =
                ComposeRemoteLink(parts.alias, parts.address, parts.port, parts.protocol);
        }
    }

    // One field of a resource by its key; false when the key is none of them.
    bool Field(const std::string& key, const YAML::Node& value, DocumentResource& resource) {
        std::size_t index = 0;
        while (index < kFieldKeys.size() && kFieldKeys[index] != key) {
            ++index;
        }
        if (index == kFieldKeys.size()) {
            return false;
        }
        ResourceRecord& r = resource.record;
        bool ok = false;
        switch (static_cast<DocumentField>(index)) {
            case F::Name:
                ok = Text(value, key, r.name);
                break;
            case F::Enabled:
                ok = Bool(value, key, r.enabled);
                break;
            case F::Source:
                ok = Text(value, key, r.source);
                break;
            case F::Description:
                ok = Text(value, key, r.description);
                break;
            case F::AuthMethod:
                ok = WordValue(value, key, kMethodWords, 0, 255, r.authMethod);
                break;
            case F::UserGroups:
                ok = Groups(value, r.userGroups);
                break;
            case F::Unicast:
                ok = Bool(value, key, r.unicast);
                break;
            case F::Multicast:
                ok = Bool(value, key, r.multicast);
                break;
            case F::MulticastGroup:
                ok = Text(value, key, r.multicastGroup);
                break;
            case F::Playlist:
                ok = Bool(value, key, r.playlist);
                break;
            case F::PlaylistOrder: {
                std::array<std::pair<std::string_view, std::uint32_t>, 2> words = {
                    {{kOrderWords[0], 0}, {kOrderWords[1], 1}}};
                ok = WordValue(value, key, words, 0, 255, r.playlistOrder);
                break;
            }
            case F::AllowMmsPlayers:
                ok = Bool(value, key, r.allowMmsPlayers);
                break;
            case F::AllowDelegates:
                ok = Bool(value, key, r.allowDelegates);
                break;
            case F::PlayTimeLimit:
                ok = Number(value, key, r.playTimeLimit);
                break;
            case F::MetaTitle:
                ok = Text(value, key, r.metaTitle);
                break;
            case F::MetaAuthor:
                ok = Text(value, key, r.metaAuthor);
                break;
            case F::MetaCopyright:
                ok = Text(value, key, r.metaCopyright);
                break;
            case F::MaxConnections:
                ok = Number(value, key, r.maxConnections);
                break;
            case F::MaxConnectionsPerUser:
                ok = Number(value, key, r.maxConnectionsPerUser);
                break;
            case F::MaxThroughputKBps:
                ok = Number(value, key, r.maxThroughputKBps);
                break;
            case F::NotifyArchival:
                ok = Bool(value, key, r.notifyArchival);
                break;
            case F::Count:
                break;
        }
        if (ok) {
            resource.given.set(index);
        }
        return true;
    }

    void Resource(const YAML::Node& node, ResourceKind kind, DocumentResource& resource) {
        resource.record.kind = kind;
        resource.record.imageIndex =
            kind == ResourceKind::VirtualFolder ? VirtualFolderImage : LiveBroadcastImage;
        resource.line = LineOf(node);
        const std::string what = kind == ResourceKind::VirtualFolder ? "folder" : "live broadcast";
        std::optional<YAML::Node> remote;
        std::optional<YAML::Node> hash;
        std::optional<YAML::Node> typeNode;
        const auto pairs = Pairs(node, what);
        if (!node.IsMap()) {
            return;
        }
        bool hasName = false;
        for (const auto& [key, value] : pairs) {
            hasName = hasName || key == "name";
            if (kind == ResourceKind::LiveBroadcast) {
                if (key == kTypeKey) {
                    typeNode = value;
                    continue;
                }
                if (key == kRemoteKey) {
                    remote = value;
                    continue;
                }
                if (key == kPasswordHashKey) {
                    hash = value;
                    continue;
                }
            }
            if (!Field(key, value, resource)) {
                Error(value, what + ": unknown field \"" + key + "\"");
            }
        }
        if (!hasName) {
            Error(node, what + ": missing field \"name\"");
        }
        if (kind != ResourceKind::LiveBroadcast) {
            return;
        }
        if (!typeNode) {
            Error(node, what + ": missing field \"type\"");
            return;
        }
        DocumentLiveType type = DocumentLiveType::Static;
        if (!WordValue(*typeNode, "type", kTypeWords, 0, 0, type)) {
            return;
        }
        resource.type = type;
        const int sources =
            int{resource.Has(F::Source)} + int{remote.has_value()} + int{hash.has_value()};
        if (sources > 1) {
            Error(node, what + ": give one of source, remote and password-hash");
            return;
        }
        if (remote) {
            if (type != DocumentLiveType::Delegate) {
                Error(*remote, "remote: only a delegate broadcast has one");
                return;
            }
            Remote(*remote, resource);
            resource.given.set(static_cast<std::size_t>(F::Source));
        }
        if (hash) {
            std::u16string text;
            if (type != DocumentLiveType::Dynamic) {
                Error(*hash, "password-hash: only a dynamic broadcast has one");
                return;
            }
            if (Text(*hash, kPasswordHashKey, text)) {
                resource.record.source = std::u16string(kDynamicPrefix) + text;
                resource.given.set(static_cast<std::size_t>(F::Source));
            }
        }
        if (resource.Has(F::Source) && !resource.record.source.empty() &&
            LiveTypeOfRecord(resource.record) != type) {
            Error(*typeNode, "type: the source reads as a " +
                                 LiveTypeWord(LiveTypeOfRecord(resource.record)) + " broadcast");
        }
    }

    void Resources(const YAML::Node& node, ResourceKind kind, std::vector<DocumentResource>& out) {
        if (node.IsNull()) {
            return;  // `folders:` with none
        }
        if (!node.IsSequence()) {
            Error(node, std::string(kind == ResourceKind::VirtualFolder ? "folders" : "live") +
                            ": expected a list");
            return;
        }
        out.reserve(node.size());
        for (const YAML::Node& item : node) {
            Resource(item, kind, out.emplace_back());
        }
    }

    void Server(const YAML::Node& node, DocumentServer& server) {
        server.line = LineOf(node);
        ServerConfig& s = server.config;
        for (const auto& [key, value] : Pairs(node, "server")) {
            std::size_t index = 0;
            while (index < kServerKeys.size() && kServerKeys[index] != key) {
                ++index;
            }
            bool ok = false;
            switch (static_cast<ServerField>(index)) {
                case ServerField::PlayerPort:
                    ok = Text(value, key, s.playerPort);
                    break;
                case ServerField::LiveSourcePort:
                    ok = Text(value, key, s.liveSourcePort);
                    break;
                case ServerField::LimitConnections:
                    ok = Bool(value, key, s.limitConnections);
                    break;
                case ServerField::MaxConnections:
                    ok = Number(value, key, s.maxConnections);
                    break;
                case ServerField::LimitConnectionsPerUser:
                    ok = Bool(value, key, s.limitConnectionsPerUser);
                    break;
                case ServerField::MaxConnectionsPerUser:
                    ok = Number(value, key, s.maxConnectionsPerUser);
                    break;
                case ServerField::LimitAnonymousConnections:
                    ok = Bool(value, key, s.limitAnonymousConnections);
                    break;
                case ServerField::MaxAnonymousConnections:
                    ok = Number(value, key, s.maxAnonymousConnections);
                    break;
                case ServerField::LimitThroughput:
                    ok = Bool(value, key, s.limitThroughput);
                    break;
                case ServerField::MaxThroughputKBps:
                    ok = Number(value, key, s.maxThroughputKBps);
                    break;
                case ServerField::LoggingMode:
                    ok = WordValue(value, key, kLoggingWords, 0, 65535, s.loggingMode);
                    break;
                case ServerField::LoggingProgId:
                    ok = Text(value, key, s.loggingProgId);
                    break;
                case ServerField::DefaultAuthMethod:
                    ok = WordValue(
                        value, key, kMethodWords, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max(), server.defaultAuthMethod);
                    break;
                case ServerField::ArchivalPassword:
                    ok = Text(value, key, s.archivalPassword);
                    break;
                case ServerField::NetworkInterface:
                    ok = Text(value, key, s.networkInterface);
                    break;
                case ServerField::ArchivalServerAddress:
                    ok = Text(value, key, s.archivalServerAddress);
                    break;
                case ServerField::ArchivalServerPort:
                    ok = Text(value, key, s.archivalServerPort);
                    break;
                case ServerField::Count:
                    Error(value, "server: unknown field \"" + key + "\"");
                    break;
            }
            if (ok) {
                server.given.set(index);
            }
        }
    }

    void Addresses(const YAML::Node& node, std::string_view key, std::vector<std::u16string>& out) {
        if (node.IsNull()) {
            return;
        }
        if (!node.IsSequence()) {
            Error(node, std::string(key) + ": expected a list of addresses");
            return;
        }
        for (const YAML::Node& item : node) {
            std::u16string address;
            if (Text(item, key, address)) {
                out.push_back(std::move(address));
            }
        }
    }

    void Restrictions(const YAML::Node& node, DocumentRestrictions& out) {
        out.line = LineOf(node);
        for (const auto& [key, value] : Pairs(node, "restrictions")) {
            if (key == "mode") {
                std::array<std::pair<std::string_view, int>, 2> modes = {
                    {{"ExceptionList", 1}, {"AllowedList", 2}}};
                int mode = 1;
                if (WordValue(value, key, modes, 0, 0, mode)) {
                    out.mode = mode == 1 ? "ExceptionList" : "AllowedList";
                    out.modeGiven = true;
                }
            } else if (key == "exceptions") {
                Addresses(value, key, out.exceptions);
                out.exceptionsGiven = true;
            } else if (key == "allowed") {
                Addresses(value, key, out.allowed);
                out.allowedGiven = true;
            } else {
                Error(value, "restrictions: unknown field \"" + key + "\"");
            }
        }
    }

    // Folders and broadcasts share one name space; the tool tells names apart by ASCII case.
    void CheckNames(const ConfigDocument& document, const std::vector<YAML::Node>& nodes) {
        std::vector<const DocumentResource*> all;
        for (const auto* list : {&document.folders, &document.live}) {
            for (const DocumentResource& resource : *list) {
                all.push_back(&resource);
            }
        }
        // Sorted by folded name, so 100,000 names cost n log n, not n squared.
        std::vector<std::pair<std::u16string, std::size_t>> folded;
        folded.reserve(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i]->Has(F::Name)) {
                std::u16string name = all[i]->record.name;
                for (char16_t& c : name) {
                    if (c >= u'a' && c <= u'z') {
                        c = static_cast<char16_t>(c - u'a' + u'A');
                    }
                }
                folded.emplace_back(std::move(name), i);
            }
        }
        std::sort(folded.begin(), folded.end());
        std::vector<std::pair<std::size_t, std::size_t>> clashes;  // (later, first)
        for (std::size_t i = 1; i < folded.size(); ++i) {
            std::size_t first = i - 1;
            while (first > 0 && folded[first - 1].first == folded[i].first) {
                --first;
            }
            if (folded[i].first == folded[first].first) {
                clashes.emplace_back(folded[i].second, folded[first].second);
            }
        }
        std::sort(clashes.begin(), clashes.end());
        for (const auto& [later, first] : clashes) {
            Error(nodes[later], "duplicate name \"" + Utf16ToUtf8(all[later]->record.name) +
                                    "\" (also on line " + std::to_string(all[first]->line) +
                                    ", names are compared ignoring case)");
        }
    }

    void Document(const YAML::Node& root, ConfigDocument& document) {
        if (root.IsNull()) {
            return;  // an empty document asks for nothing
        }
        std::vector<YAML::Node> resourceNodes;
        const auto pairs = Pairs(root, "document");
        const std::vector<std::size_t> keyLines = keyLines_;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const auto& [key, value] = pairs[i];
            if (key == "server") {
                Server(value, document.server.emplace());
                document.server->line = keyLines[i];
            } else if (key == "folders") {
                Resources(value, ResourceKind::VirtualFolder, document.folders);
                if (value.IsSequence()) {
                    for (const YAML::Node& item : value) {
                        resourceNodes.push_back(item);
                    }
                }
            } else if (key == "live") {
                liveNodes_ = value;
            } else if (key == "restrictions") {
                Restrictions(value, document.restrictions.emplace());
                document.restrictions->line = keyLines[i];
            } else {
                Error(value, "unknown field \"" + key + "\"");
            }
        }
        if (liveNodes_) {
            Resources(*liveNodes_, ResourceKind::LiveBroadcast, document.live);
            if (liveNodes_->IsSequence()) {
                for (const YAML::Node& item : *liveNodes_) {
                    resourceNodes.push_back(item);
                }
            }
        }
        if (resourceNodes.size() == document.folders.size() + document.live.size()) {
            CheckNames(document, resourceNodes);
        }
    }

private:
    std::vector<DocumentError>& errors_;
    std::optional<YAML::Node> liveNodes_;
    // The lines of the keys Pairs returned last.
    std::vector<std::size_t> keyLines_;
};

}  // namespace

std::string AuthMethodWord(AuthMethod method) {
    return WordOr(kMethodWords, method);
}

std::string LoggingModeWord(std::uint32_t mode) {
    return WordOr(kLoggingWords, mode);
}

std::string LiveTypeWord(DocumentLiveType type) {
    return WordOr(kTypeWords, type);
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
    return kFieldKeys[static_cast<std::size_t>(field)];
}

std::string_view ServerFieldKey(ServerField field) {
    return kServerKeys[static_cast<std::size_t>(field)];
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

DocumentReading ReadConfigDocument(std::string_view text) {
    DocumentReading reading;
    Reader reader(reading.errors);
    try {
        const YAML::Node root = YAML::Load(std::string(text));
        reader.Document(root, reading.document);
    } catch (const YAML::Exception& e) {
        const std::size_t line = e.mark.line < 0 ? 0 : static_cast<std::size_t>(e.mark.line) + 1;
        const std::size_t column =
            e.mark.column < 0 ? 0 : static_cast<std::size_t>(e.mark.column) + 1;
        reading.errors.push_back({line, column, e.msg});
    } catch (const std::exception& e) {
        reading.errors.push_back({0, 0, e.what()});
    }
    if (!reading.errors.empty()) {
        reading.document = {};
        std::stable_sort(reading.errors.begin(), reading.errors.end(),
                         [](const DocumentError& a, const DocumentError& b) {
                             return std::pair(a.line, a.column) < std::pair(b.line, b.column);
                         });
    }
    return reading;
}

std::string WriteConfigDocument(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                const Catalogue& catalogue,
                                const DocumentRestrictions* restrictions, DocumentFormat format) {
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
        sink.Key(key);
        sink.BeginSeq(branch->Children().empty());
        for (const auto& child : branch->Children()) {
            WriteResource(sink, child->Record());
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
    return sink.Take();
}

void ApplyGivenFields(const DocumentResource& resource, ResourceRecord& record) {
    const ResourceRecord& r = resource.record;
    const auto take = [&](DocumentField field, auto member) {
        if (resource.Has(field)) {
            record.*member = r.*member;
        }
    };
    take(F::Name, &ResourceRecord::name);
    take(F::Enabled, &ResourceRecord::enabled);
    take(F::Source, &ResourceRecord::source);
    take(F::Description, &ResourceRecord::description);
    take(F::AuthMethod, &ResourceRecord::authMethod);
    take(F::UserGroups, &ResourceRecord::userGroups);
    take(F::Unicast, &ResourceRecord::unicast);
    take(F::Multicast, &ResourceRecord::multicast);
    take(F::MulticastGroup, &ResourceRecord::multicastGroup);
    take(F::Playlist, &ResourceRecord::playlist);
    take(F::PlaylistOrder, &ResourceRecord::playlistOrder);
    take(F::AllowMmsPlayers, &ResourceRecord::allowMmsPlayers);
    take(F::AllowDelegates, &ResourceRecord::allowDelegates);
    take(F::PlayTimeLimit, &ResourceRecord::playTimeLimit);
    take(F::MetaTitle, &ResourceRecord::metaTitle);
    take(F::MetaAuthor, &ResourceRecord::metaAuthor);
    take(F::MetaCopyright, &ResourceRecord::metaCopyright);
    take(F::MaxConnections, &ResourceRecord::maxConnections);
    take(F::MaxConnectionsPerUser, &ResourceRecord::maxConnectionsPerUser);
    take(F::MaxThroughputKBps, &ResourceRecord::maxThroughputKBps);
    take(F::NotifyArchival, &ResourceRecord::notifyArchival);
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
