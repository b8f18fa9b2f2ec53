#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>
#include <yaml.h>

#include "config/config_document.h"
#include "config/config_document_schema.h"
#include "config/text_codec.h"
#include "editors/remote_link.h"

namespace vantor {
namespace {

using namespace document_schema;
using F = DocumentField;

// The document as a tree built from libyaml's events: the nodes in document order in one
// array, each collection's children right after it, the scalars' text in one string. That is a
// few dozen bytes a node, so 100,000 resources stay in memory cheaply.
class Tree {
public:
    enum class Kind : std::uint8_t { Null, Scalar, Sequence, Map };
    struct Data {
        Kind kind;
        std::uint32_t line;    // from 1
        std::uint32_t column;  // from 1
        std::uint32_t end;     // the index after this node's last descendant
        std::uint32_t text;    // where its text starts in the tree's text
        std::uint32_t length;
    };
    std::vector<Data> nodes;
    std::string text;
};

// A node of the tree, with what the reader asks of it.
class Node {
public:
    Node() = default;
    Node(const Tree* tree, std::uint32_t index) : tree_(tree), index_(index) {}

    bool IsNull() const { return Get().kind == Tree::Kind::Null; }
    bool IsScalar() const { return Get().kind == Tree::Kind::Scalar; }
    bool IsSequence() const { return Get().kind == Tree::Kind::Sequence; }
    bool IsMap() const { return Get().kind == Tree::Kind::Map; }
    std::string_view Scalar() const {
        const Tree::Data& data = Get();
        return std::string_view(tree_->text).substr(data.text, data.length);
    }
    std::size_t Line() const { return Get().line; }
    std::size_t Column() const { return Get().column; }

    // The children: a sequence's items, a mapping's keys and values in turn.
    class Iterator {
    public:
        Iterator(const Tree* tree, std::uint32_t index) : tree_(tree), index_(index) {}
        Node operator*() const { return Node(tree_, index_); }
        Iterator& operator++() {
            index_ = tree_->nodes[index_].end;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const Tree* tree_;
        std::uint32_t index_;
    };
    Iterator begin() const { return Iterator(tree_, index_ + 1); }
    Iterator end() const { return Iterator(tree_, Get().end); }
    std::size_t size() const {
        std::size_t count = 0;
        for (auto it = begin(); it != end(); ++it) {
            ++count;
        }
        return IsMap() ? count / 2 : count;
    }

private:
    const Tree::Data& Get() const { return tree_->nodes[index_]; }

    const Tree* tree_ = nullptr;
    std::uint32_t index_ = 0;
};

std::size_t LineOf(const Node& node) {
    return node.Line();
}
std::size_t ColumnOf(const Node& node) {
    return node.Column();
}

// Deeper than any document goes; a limit keeps hostile nesting from costing memory without end.
constexpr std::size_t MaxDepth = 64;

// The messages for the syntax errors a document most often has, as a reader sees them.
// inFlow: the innermost open collection, when it is written in brackets or braces.
std::string SyntaxMessage(const yaml_parser_t& parser, std::optional<Tree::Kind> inFlow) {
    const std::string problem = parser.problem != nullptr ? parser.problem : "syntax error";
    const std::string context = parser.context != nullptr ? parser.context : "";
    const bool unclosed = problem == "did not find expected node content" ||
                          problem == "did not find expected ',' or ']'" ||
                          problem == "did not find expected ',' or '}'";
    if (unclosed && inFlow == Tree::Kind::Sequence) {
        return "end of sequence flow not found";
    }
    if (unclosed && inFlow == Tree::Kind::Map) {
        return "end of map flow not found";
    }
    if (context == "while parsing a block collection" &&
        problem == "did not find expected '-' indicator") {
        return "end of sequence not found";
    }
    if (context == "while parsing a block mapping" && problem == "did not find expected key") {
        return "end of map not found";
    }
    return context.empty() ? problem : problem + " " + context;
}

// The tree of the document's text; false, with the error, when it is not YAML.
bool BuildTree(std::string_view text, Tree& tree, DocumentError& error) {
    yaml_parser_t parser;
    if (yaml_parser_initialize(&parser) == 0) {
        error = {0, 0, "out of memory"};
        return false;
    }
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        yaml_parser_delete(&parser);
        error = {1, 1, "the document is too large"};
        return false;
    }
    yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()),
                                 text.size());
    // A node takes about ten bytes of text; the cap keeps a huge input from asking for more
    // memory up front than it may ever use.
    tree.nodes.reserve(std::min<std::size_t>(text.size() / 8, std::size_t{1} << 23));
    tree.text.reserve(text.size() / 2);
    std::vector<std::uint32_t> open;
    std::vector<bool> openFlow;  // for each open collection: written in brackets or braces
    bool ok = true;
    bool done = false;
    bool document = false;
    const auto fail = [&](const yaml_mark_t& mark, std::string message) {
        error = {mark.line + 1, mark.column + 1, std::move(message)};
        ok = false;
    };
    const auto add = [&](Tree::Kind kind, const yaml_mark_t& mark) {
        if (tree.nodes.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
            fail(mark, "the document is too large");
            return;
        }
        const auto index = static_cast<std::uint32_t>(tree.nodes.size());
        tree.nodes.push_back({kind, static_cast<std::uint32_t>(mark.line + 1),
                              static_cast<std::uint32_t>(mark.column + 1), index + 1,
                              static_cast<std::uint32_t>(tree.text.size()), 0});
        if (kind == Tree::Kind::Sequence || kind == Tree::Kind::Map) {
            if (open.size() >= MaxDepth) {
                fail(mark, "nested too deep");
                return;
            }
            open.push_back(index);
        }
    };
    while (ok && !done) {
        yaml_event_t event;
        if (yaml_parser_parse(&parser, &event) == 0) {
            if (parser.error == YAML_READER_ERROR) {
                // The reader gives a byte offset, not a line.
                const std::string_view before =
                    text.substr(0, std::min(parser.problem_offset, text.size()));
                const std::size_t line = std::count(before.begin(), before.end(), '\n');
                const std::size_t lineStart = before.rfind('\n');
                const std::size_t column = lineStart == std::string_view::npos
                                               ? before.size()
                                               : before.size() - lineStart - 1;
                error = {line + 1, column + 1,
                         parser.problem != nullptr ? parser.problem : "cannot read the text"};
            } else if (parser.error == YAML_MEMORY_ERROR) {
                error = {0, 0, "out of memory"};
            } else {
                std::optional<Tree::Kind> inFlow;
                if (!open.empty() && openFlow.back()) {
                    inFlow = tree.nodes[open.back()].kind;
                }
                error = {parser.problem_mark.line + 1, parser.problem_mark.column + 1,
                         SyntaxMessage(parser, inFlow)};
            }
            ok = false;
            break;
        }
        switch (event.type) {
            case YAML_STREAM_END_EVENT:
                done = true;
                break;
            case YAML_DOCUMENT_START_EVENT:
                if (document) {
                    fail(event.start_mark, "expected one document, found a second");
                }
                document = true;
                break;
            case YAML_SCALAR_EVENT: {
                const auto& scalar = event.data.scalar;
                const std::string_view value(reinterpret_cast<const char*>(scalar.value),
                                             scalar.length);
                // Plain and untagged, these mean nothing: `key:` with no value, `~`, `null`.
                const bool null = scalar.plain_implicit != 0 &&
                                  scalar.style == YAML_PLAIN_SCALAR_STYLE &&
                                  (value.empty() || value == "~" || value == "null" ||
                                   value == "Null" || value == "NULL");
                add(null ? Tree::Kind::Null : Tree::Kind::Scalar, event.start_mark);
                if (ok && !null &&
                    tree.text.size() + value.size() >= std::numeric_limits<std::uint32_t>::max()) {
                    fail(event.start_mark, "the document is too large");
                }
                if (ok && !null) {
                    tree.text.append(value);
                    tree.nodes.back().length = static_cast<std::uint32_t>(value.size());
                }
                break;
            }
            case YAML_SEQUENCE_START_EVENT:
                add(Tree::Kind::Sequence, event.start_mark);
                openFlow.push_back(event.data.sequence_start.style == YAML_FLOW_SEQUENCE_STYLE);
                break;
            case YAML_MAPPING_START_EVENT:
                add(Tree::Kind::Map, event.start_mark);
                openFlow.push_back(event.data.mapping_start.style == YAML_FLOW_MAPPING_STYLE);
                break;
            case YAML_SEQUENCE_END_EVENT:
            case YAML_MAPPING_END_EVENT:
                tree.nodes[open.back()].end = static_cast<std::uint32_t>(tree.nodes.size());
                open.pop_back();
                openFlow.pop_back();
                break;
            case YAML_ALIAS_EVENT:
                fail(event.start_mark,
                     "alias *" +
                         std::string(reinterpret_cast<const char*>(event.data.alias.anchor)) +
                         ": aliases are not supported, write the value out");
                break;
            default:
                break;
        }
        yaml_event_delete(&event);
    }
    yaml_parser_delete(&parser);
    return ok;
}

class Reader {
public:
    explicit Reader(std::vector<DocumentError>& errors) : errors_(errors) {}

    void Error(const Node& at, std::string message) {
        errors_.push_back({LineOf(at), ColumnOf(at), std::move(message)});
    }

    // The pairs of a mapping, each key a scalar seen once; errors for the others.
    std::vector<std::pair<std::string_view, Node>> Pairs(const Node& map, std::string_view what) {
        keyLines_.clear();
        std::vector<std::pair<std::string_view, Node>> pairs;
        pairs.reserve(32);  // more than a resource has fields: one allocation a mapping
        if (!map.IsMap()) {
            Error(map, std::string(what) + ": expected a mapping of keys and values");
            return pairs;
        }
        for (auto it = map.begin(); it != map.end(); ++it) {
            const Node key = *it;
            const Node value = *++it;
            if (!key.IsScalar()) {
                Error(key, "expected a key");
                continue;
            }
            const std::string_view text = key.Scalar();
            bool seen = false;
            for (const auto& pair : pairs) {
                seen = seen || pair.first == text;
            }
            if (seen) {
                Error(key, "duplicate key \"" + std::string(text) + "\"");
                continue;
            }
            pairs.emplace_back(text, value);
            keyLines_.push_back(LineOf(key));
        }
        return pairs;
    }

    bool Text(const Node& node, std::string_view key, std::u16string& out) {
        if (node.IsNull()) {
            out.clear();  // `key:` with nothing after it
            return true;
        }
        if (!node.IsScalar()) {
            Error(node, std::string(key) + ": expected a text");
            return false;
        }
        const std::string_view text = node.Scalar();
        // Most texts are ASCII, which widens a byte a character without decoding.
        if (std::all_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            out.assign(text.begin(), text.end());
        } else {
            out = Utf8ToUtf16(text);
        }
        return true;
    }

    bool Bool(const Node& node, std::string_view key, bool& out) {
        if (node.IsScalar()) {
            const std::string_view text = node.Scalar();
            if (text == "true" || text == "false") {
                out = text == "true";
                return true;
            }
        }
        Error(node, std::string(key) + ": expected true or false");
        return false;
    }

    bool Integer(const Node& node, std::string_view key, std::int64_t min, std::int64_t max,
                 std::int64_t& out) {
        if (node.IsScalar()) {
            const std::string_view text = node.Scalar();
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
    bool Number(const Node& node, std::string_view key, T& out) {
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
    bool WordValue(const Node& node, std::string_view key, const Words& words, std::int64_t min,
                   std::int64_t max, Value& out) {
        if (node.IsScalar()) {
            for (const auto& [word, value] : words) {
                if (node.Scalar() == word) {
                    out = value;
                    return true;
                }
            }
            std::int64_t number = 0;
            const std::string_view text = node.Scalar();
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

    bool Groups(const Node& node, UserGroups& out) {
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
        for (const Node& item : node) {
            bool known = false;
            for (const auto& [word, bit] : GroupWords) {
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

    void Remote(const Node& node, DocumentResource& resource) {
        RemoteLinkParts parts;
        parts.protocol = -1;
        bool ok = true;
        bool hasPort = false;
        for (auto& [key, value] : Pairs(node, "remote")) {
            if (key == "protocol") {
                std::size_t index = 0;
                std::array<std::pair<std::string_view, std::size_t>, 3> words = {
                    {{ProtocolWords[0], 0}, {ProtocolWords[1], 1}, {ProtocolWords[2], 2}}};
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
                Error(value, "remote: unknown field \"" + std::string(key) + "\"");
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
    bool Field(std::string_view key, const Node& value, DocumentResource& resource) {
        std::size_t index = 0;
        while (index < FieldKeys.size() && FieldKeys[index] != key) {
            ++index;
        }
        if (index == FieldKeys.size()) {
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
                ok = WordValue(value, key, MethodWords, 0, 255, r.authMethod);
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
                    {{OrderWords[0], 0}, {OrderWords[1], 1}}};
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

    void Resource(const Node& node, ResourceKind kind, DocumentResource& resource) {
        resource.record.kind = kind;
        resource.record.imageIndex =
            kind == ResourceKind::VirtualFolder ? VirtualFolderImage : LiveBroadcastImage;
        resource.line = LineOf(node);
        const std::string what = kind == ResourceKind::VirtualFolder ? "folder" : "live broadcast";
        std::optional<Node> remote;
        std::optional<Node> hash;
        std::optional<Node> typeNode;
        const auto pairs = Pairs(node, what);
        if (!node.IsMap()) {
            return;
        }
        bool hasName = false;
        for (const auto& [key, value] : pairs) {
            hasName = hasName || key == "name";
            if (kind == ResourceKind::LiveBroadcast) {
                if (key == TypeKey) {
                    typeNode = value;
                    continue;
                }
                if (key == RemoteKey) {
                    remote = value;
                    continue;
                }
                if (key == PasswordHashKey) {
                    hash = value;
                    continue;
                }
            }
            if (!Field(key, value, resource)) {
                Error(value, what + ": unknown field \"" + std::string(key) + "\"");
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
        if (!WordValue(*typeNode, "type", TypeWords, 0, 0, type)) {
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
            if (Text(*hash, PasswordHashKey, text)) {
                resource.record.source = std::u16string(DynamicPrefix) + text;
                resource.given.set(static_cast<std::size_t>(F::Source));
            }
        }
        if (resource.Has(F::Source) && !resource.record.source.empty() &&
            LiveTypeOfRecord(resource.record) != type) {
            Error(*typeNode, "type: the source reads as a " +
                                 LiveTypeWord(LiveTypeOfRecord(resource.record)) + " broadcast");
        }
    }

    void Resources(const Node& node, ResourceKind kind, std::vector<DocumentResource>& out) {
        if (node.IsNull()) {
            return;  // `folders:` with none
        }
        if (!node.IsSequence()) {
            Error(node, std::string(kind == ResourceKind::VirtualFolder ? "folders" : "live") +
                            ": expected a list");
            return;
        }
        out.reserve(node.size());
        for (const Node& item : node) {
            Resource(item, kind, out.emplace_back());
        }
    }

    void Server(const Node& node, DocumentServer& server) {
        server.line = LineOf(node);
        ServerConfig& s = server.config;
        for (const auto& [key, value] : Pairs(node, "server")) {
            std::size_t index = 0;
            while (index < ServerKeys.size() && ServerKeys[index] != key) {
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
                    ok = WordValue(value, key, LoggingWords, 0, 65535, s.loggingMode);
                    break;
                case ServerField::LoggingProgId:
                    ok = Text(value, key, s.loggingProgId);
                    break;
                case ServerField::DefaultAuthMethod:
                    ok = WordValue(
                        value, key, MethodWords, std::numeric_limits<std::int32_t>::min(),
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
                    Error(value, "server: unknown field \"" + std::string(key) + "\"");
                    break;
            }
            if (ok) {
                server.given.set(index);
            }
        }
    }

    void Addresses(const Node& node, std::string_view key, std::vector<std::u16string>& out) {
        if (node.IsNull()) {
            return;
        }
        if (!node.IsSequence()) {
            Error(node, std::string(key) + ": expected a list of addresses");
            return;
        }
        for (const Node& item : node) {
            std::u16string address;
            if (Text(item, key, address)) {
                out.push_back(std::move(address));
            }
        }
    }

    void Restrictions(const Node& node, DocumentRestrictions& out) {
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
                Error(value, "restrictions: unknown field \"" + std::string(key) + "\"");
            }
        }
    }

    // Folders and broadcasts share one name space; the tool tells names apart by ASCII case.
    void CheckNames(const ConfigDocument& document, const std::vector<Node>& nodes) {
        std::vector<const DocumentResource*> all;
        for (const auto* list : {&document.folders, &document.live}) {
            for (const DocumentResource& resource : *list) {
                all.push_back(&resource);
            }
        }
        // One hashed look-up a name, so 100,000 names cost n, not n squared; taken in document
        // order, each clash pairs a later name with the first it repeats.
        std::unordered_map<std::u16string, std::size_t> firsts;
        firsts.reserve(all.size());
        std::vector<std::pair<std::size_t, std::size_t>> clashes;  // (later, first)
        std::u16string name;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (!all[i]->Has(F::Name)) {
                continue;
            }
            name = all[i]->record.name;
            for (char16_t& c : name) {
                if (c >= u'a' && c <= u'z') {
                    c = static_cast<char16_t>(c - u'a' + u'A');
                }
            }
            if (const auto [at, added] = firsts.try_emplace(name, i); !added) {
                clashes.emplace_back(i, at->second);
            }
        }
        for (const auto& [later, first] : clashes) {
            Error(nodes[later], "duplicate name \"" + Utf16ToUtf8(all[later]->record.name) +
                                    "\" (also on line " + std::to_string(all[first]->line) +
                                    ", names are compared ignoring case)");
        }
    }

    void Document(const Node& root, ConfigDocument& document) {
        if (root.IsNull()) {
            return;  // an empty document asks for nothing
        }
        std::vector<Node> resourceNodes;
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
                    for (const Node& item : value) {
                        resourceNodes.push_back(item);
                    }
                }
            } else if (key == "live") {
                liveNodes_ = value;
            } else if (key == "restrictions") {
                Restrictions(value, document.restrictions.emplace());
                document.restrictions->line = keyLines[i];
            } else {
                Error(value, "unknown field \"" + std::string(key) + "\"");
            }
        }
        if (liveNodes_) {
            Resources(*liveNodes_, ResourceKind::LiveBroadcast, document.live);
            if (liveNodes_->IsSequence()) {
                for (const Node& item : *liveNodes_) {
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
    std::optional<Node> liveNodes_;
    // The lines of the keys Pairs returned last.
    std::vector<std::size_t> keyLines_;
};

}  // namespace

DocumentReading ReadConfigDocument(std::string_view text) {
    DocumentReading reading;
    Reader reader(reading.errors);
    Tree tree;
    DocumentError error;
    if (!BuildTree(text, tree, error)) {
        reading.errors.push_back(std::move(error));
    } else {
        if (tree.nodes.empty()) {
            // No document at all: one that asks for nothing.
            tree.nodes.push_back({Tree::Kind::Null, 1, 1, 1, 0, 0});
        }
        reader.Document(Node(&tree, 0), reading.document);
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

}  // namespace vantor
