#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <exception>
#include <istream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>
#include <yaml.h>

#include "config/ascii_case.h"
#include "config/config_document.h"
#include "config/config_document_schema.h"
#include "config/text_codec.h"
#include "editors/remote_link.h"

namespace vantor {
namespace {

using namespace document_schema;
using F = DocumentField;

// A value of the document as a tree built from libyaml's events: the nodes in document order in
// one array, each collection's children right after it, the scalars' text in one string.
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

// A stretch of a document's text: bytes [begin, end), which start on line `line` (from 0) and
// hold `lines` line breaks. Read apart from the rest, a stretch of a list of resources of a
// kind fills the list's slots [first, first + items). A stretch that resumes such a list after
// a seam comes after `before` of its items and goes on at slot `first`.
struct TextPiece {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t line = 0;
    std::size_t lines = 0;
    ResourceKind kind{};
    std::size_t first = 0;
    std::size_t items = 0;
    std::size_t before = 0;
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

// libyaml's events, one at a time, and the collections open around the current one. The reader
// builds a tree for one value at a time (a resource, the server settings), so a document of
// 100,000 resources never becomes one tree of millions of nodes.
class Events {
    struct FedPiece {
        std::size_t fed = 0;       // where it starts among the bytes fed
        std::size_t fedLines = 0;  // the lines fed before it
        TextPiece piece;
    };

public:
    // The text comes to libyaml a block at a time, from a string or from a stream, so that a
    // document of tens of megabytes need not be held whole.
    explicit Events(std::string_view text) : Events(text, {{0, text.size(), 0, 0, {}}}, 0) {}
    explicit Events(std::istream& in) : in_(&in) {
        pieces_.push_back({});
        Start();
    }
    // Only these pieces of the text, one after the other, with the lines they have in it. A
    // piece after the first starts a line that resumes a list of resources (see SeamHere).
    // outside: collections taken as open around the text, so that depth counts as in the whole.
    Events(std::string_view text, std::vector<TextPiece> pieces, std::size_t outside)
        : text_(text), open_(outside, OpenCollection{Tree::Kind::Map, false}) {
        std::size_t fed = 0;
        std::size_t fedLines = 0;
        for (const TextPiece& piece : pieces) {
            pieces_.push_back({fed, fedLines, piece});
            fed += piece.end - piece.begin;
            fedLines += piece.lines;
        }
        Start();
    }
    Events(const Events&) = delete;
    Events& operator=(const Events&) = delete;
    ~Events() {
        Release();
        if (initialized_) {
            yaml_parser_delete(&parser_);
        }
    }

    bool Failed() const { return failed_; }
    bool Unreadable() const { return unreadable_; }
    const DocumentError& Error() const { return error_; }
    yaml_event_type_t Type() const { return event_.type; }
    const yaml_mark_t& Mark() const { return event_.start_mark; }
    bool FlowStyle() const {
        return Type() == YAML_SEQUENCE_START_EVENT
                   ? event_.data.sequence_start.style == YAML_FLOW_SEQUENCE_STYLE
                   : event_.data.mapping_start.style == YAML_FLOW_MAPPING_STYLE;
    }

    void Fail(DocumentError error) {
        if (!failed_) {
            error_ = std::move(error);
            failed_ = true;
        }
    }
    void Fail(const yaml_mark_t& mark, std::string message) {
        Fail({mark.line + 1, mark.column + 1, std::move(message)});
    }

    // Moves to the next event; false once the text is not YAML or holds what is refused.
    bool Next() {
        Release();
        if (failed_) {
            return false;
        }
        if (yaml_parser_parse(&parser_, &event_) == 0) {
            FailOnSyntax();
            return false;
        }
        held_ = true;
        PassSeams();
        if (Type() == YAML_ALIAS_EVENT) {
            Fail(Mark(), "alias *" +
                             std::string(reinterpret_cast<const char*>(event_.data.alias.anchor)) +
                             ": aliases are not supported, write the value out");
            return false;
        }
        return true;
    }

    // A collection the reader walks itself (the root mapping, a list of resources) opens and
    // closes here, so that depth and syntax messages count it.
    bool Open(Tree::Kind kind) {
        if (open_.size() >= MaxDepth) {
            Fail(Mark(), "nested too deep");
            return false;
        }
        open_.push_back({kind, FlowStyle()});
        return true;
    }
    void Close() { open_.pop_back(); }

    // The node the current event starts, with all it holds, as tree (which is emptied first);
    // the current event is then the node's last.
    bool Build(Tree& tree) {
        tree.nodes.clear();
        tree.text.clear();
        const std::size_t outside = open_.size();
        openNodes_.clear();
        for (;;) {
            switch (Type()) {
                case YAML_SCALAR_EVENT: {
                    const auto& scalar = event_.data.scalar;
                    const std::string_view value(reinterpret_cast<const char*>(scalar.value),
                                                 scalar.length);
                    // Plain and untagged, these mean nothing: `key:` with no value, `~`, `null`.
                    const bool null = scalar.plain_implicit != 0 &&
                                      scalar.style == YAML_PLAIN_SCALAR_STYLE &&
                                      (value.empty() || value == "~" || value == "null" ||
                                       value == "Null" || value == "NULL");
                    Add(tree, null ? Tree::Kind::Null : Tree::Kind::Scalar);
                    if (!null) {
                        tree.text.append(value);
                        tree.nodes.back().length = static_cast<std::uint32_t>(value.size());
                    }
                    break;
                }
                case YAML_SEQUENCE_START_EVENT:
                case YAML_MAPPING_START_EVENT: {
                    const Tree::Kind kind = Type() == YAML_SEQUENCE_START_EVENT
                                                ? Tree::Kind::Sequence
                                                : Tree::Kind::Map;
                    Add(tree, kind);
                    if (Open(kind)) {
                        openNodes_.push_back(static_cast<std::uint32_t>(tree.nodes.size() - 1));
                    }
                    break;
                }
                case YAML_SEQUENCE_END_EVENT:
                case YAML_MAPPING_END_EVENT:
                    tree.nodes[openNodes_.back()].end =
                        static_cast<std::uint32_t>(tree.nodes.size());
                    openNodes_.pop_back();
                    Close();
                    break;
                default:
                    break;
            }
            if (failed_) {
                return false;
            }
            if (open_.size() == outside) {
                return true;
            }
            if (!Next()) {
                return false;
            }
        }
    }

    // Reads past the node the current event starts.
    bool Skip() { return Build(scratch_); }

    // The piece whose seam the current event is the first node after: an item of a list that
    // follows on from the text before the seam, when the text is as laid out.
    std::optional<std::size_t> SeamHere() const { return seamHere_; }
    const TextPiece& PieceAt(std::size_t index) const { return pieces_[index].piece; }
    // Whether each seam was taken by a list, as the item it had next.
    void TakeSeam() { ++seamsTaken_; }
    bool SeamsHeld() const { return seamsTaken_ + 1 == pieces_.size(); }

private:
    // Indices fit in 32 bits: a node takes at least a byte of a text shorter than 4 GiB.
    void Add(Tree& tree, Tree::Kind kind) {
        const auto index = static_cast<std::uint32_t>(tree.nodes.size());
        tree.nodes.push_back({kind, static_cast<std::uint32_t>(LineInText(Mark()) + 1),
                              static_cast<std::uint32_t>(Mark().column + 1), index + 1,
                              static_cast<std::uint32_t>(tree.text.size()), 0});
    }

    void Start() {
        if (yaml_parser_initialize(&parser_) == 0) {
            Fail({0, 0, "out of memory"});
            return;
        }
        initialized_ = true;
        yaml_parser_set_input(&parser_, &Events::Feed, this);
    }

    // libyaml's read handler: 1 with the next block (none at the end), 0 when the input fails.
    static int Feed(void* data, unsigned char* buffer, std::size_t size, std::size_t* length) {
        auto& self = *static_cast<Events*>(data);
        std::size_t got = 0;
        if (self.in_ == nullptr) {
            while (got < size && self.feeding_ < self.pieces_.size()) {
                const FedPiece& at = self.pieces_[self.feeding_];
                const std::size_t from = at.piece.begin + (self.fed_ + got - at.fed);
                const std::size_t part = std::min(size - got, at.piece.end - from);
                std::copy_n(self.text_.data() + from, part, buffer + got);
                got += part;
                if (from + part == at.piece.end) {
                    ++self.feeding_;
                }
            }
        } else {
            try {
                const std::streamsize read =
                    self.in_->rdbuf() != nullptr
                        ? self.in_->rdbuf()->sgetn(reinterpret_cast<char*>(buffer),
                                                   static_cast<std::streamsize>(size))
                        : -1;
                if (read < 0) {
                    self.unreadable_ = true;
                    return 0;
                }
                got = static_cast<std::size_t>(read);
            } catch (const std::exception&) {
                // A file stream throws for what cannot be read at all, a folder for one.
                self.unreadable_ = true;
                return 0;
            }
        }
        // Lines and columns are counted in 32 bits.
        if (self.fed_ + got >= std::numeric_limits<std::uint32_t>::max()) {
            self.tooLarge_ = true;
            return 0;
        }
        if (self.in_ != nullptr) {
            self.Remember(std::string_view(reinterpret_cast<const char*>(buffer), got));
        }
        self.fed_ += got;
        *length = got;
        return 1;
    }

    // The last few blocks fed, for the position of a byte libyaml's reader refuses: it names
    // an offset, not a line, and the offset lies in what it read last.
    struct Block {
        std::size_t start = 0;
        std::size_t newlinesBefore = 0;
        std::optional<std::size_t> lastNewlineBefore;
        std::string bytes;
    };

    void Remember(std::string_view bytes) {
        Block& last = recent_[(blocks_ + recent_.size() - 1) % recent_.size()];
        Block& block = recent_[blocks_ % recent_.size()];
        if (blocks_ > 0) {
            const std::size_t newline = last.bytes.rfind('\n');
            block.newlinesBefore = last.newlinesBefore +
                                   static_cast<std::size_t>(
                                       std::count(last.bytes.begin(), last.bytes.end(), '\n'));
            block.lastNewlineBefore = newline == std::string::npos
                                          ? last.lastNewlineBefore
                                          : std::optional(last.start + newline);
        }
        block.start = fed_;
        block.bytes.assign(bytes);
        ++blocks_;
    }

    // Line and column, from 1, of a byte offset; 0 and 0 when it is no longer remembered.
    std::pair<std::size_t, std::size_t> PositionOf(std::size_t offset) const {
        if (in_ == nullptr) {
            const FedPiece& at = PieceFed(offset);
            const std::string_view before = text_.substr(0, at.piece.begin + (offset - at.fed));
            const std::size_t newline = before.rfind('\n');
            return {static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1,
                    before.size() - (newline == std::string_view::npos ? 0 : newline + 1) + 1};
        }
        for (const Block& block : recent_) {
            if (offset < block.start || offset > block.start + block.bytes.size() ||
                (block.bytes.empty() && offset != block.start)) {
                continue;
            }
            const std::string_view before =
                std::string_view(block.bytes).substr(0, offset - block.start);
            const std::size_t line =
                block.newlinesBefore + static_cast<std::size_t>(std::count(
                                           before.begin(), before.end(), '\n'));
            const std::size_t newline = before.rfind('\n');
            const std::optional<std::size_t> lineEnd =
                newline == std::string_view::npos ? block.lastNewlineBefore
                                                  : std::optional(block.start + newline);
            return {line + 1, (lineEnd ? offset - *lineEnd - 1 : offset) + 1};
        }
        return {0, 0};
    }

    void FailOnSyntax() {
        if (tooLarge_) {
            Fail({1, 1, "the document is too large"});
        } else if (unreadable_) {
            Fail({0, 0, "cannot be read"});
        } else if (parser_.error == YAML_READER_ERROR) {
            const auto [line, column] = PositionOf(parser_.problem_offset);
            Fail({line, column,
                  parser_.problem != nullptr ? parser_.problem : "cannot read the text"});
        } else if (parser_.error == YAML_MEMORY_ERROR) {
            Fail({0, 0, "out of memory"});
        } else {
            std::optional<Tree::Kind> inFlow;
            if (!open_.empty() && open_.back().flow) {
                inFlow = open_.back().kind;
            }
            Fail({parser_.problem_mark.line + 1, parser_.problem_mark.column + 1,
                  SyntaxMessage(parser_, inFlow)});
        }
    }

    // The piece a fed offset lies in.
    const FedPiece& PieceFed(std::size_t offset) const {
        std::size_t index = pieces_.size() - 1;
        while (index > 0 && pieces_[index].fed > offset) {
            --index;
        }
        return pieces_[index];
    }

    // A mark's line, from 0, in the whole text.
    std::size_t LineInText(const yaml_mark_t& mark) const {
        const FedPiece& at = PieceFed(mark.index);
        return mark.line - at.fedLines + at.piece.line;
    }

    // Notes the seam a node's start event is the first past, if any.
    void PassSeams() {
        seamHere_.reset();
        const bool node = Type() == YAML_SCALAR_EVENT || Type() == YAML_SEQUENCE_START_EVENT ||
                          Type() == YAML_MAPPING_START_EVENT || Type() == YAML_ALIAS_EVENT;
        if (node && nextSeam_ < pieces_.size() && Mark().index >= pieces_[nextSeam_].fed) {
            // On the seam's line as libyaml counts lines, which also breaks them at a carriage
            // return and at U+0085, U+2028 and U+2029: the layout counted line feeds alone.
            if (Mark().line == pieces_[nextSeam_].fedLines) {
                seamHere_ = nextSeam_;
            }
            ++nextSeam_;
        }
    }

    void Release() {
        if (held_) {
            yaml_event_delete(&event_);
            held_ = false;
        }
    }

    struct OpenCollection {
        Tree::Kind kind;
        bool flow;  // written in brackets or braces
    };

    std::string_view text_;
    std::istream* in_ = nullptr;
    std::vector<FedPiece> pieces_;
    std::size_t feeding_ = 0;
    std::size_t nextSeam_ = 1;
    std::optional<std::size_t> seamHere_;
    std::size_t seamsTaken_ = 0;
    std::size_t fed_ = 0;
    std::size_t blocks_ = 0;
    std::array<Block, 3> recent_;
    bool unreadable_ = false;
    bool tooLarge_ = false;
    yaml_parser_t parser_{};
    yaml_event_t event_{};
    bool initialized_ = false;
    bool held_ = false;
    bool failed_ = false;
    DocumentError error_;
    std::vector<OpenCollection> open_;
    std::vector<std::uint32_t> openNodes_;
    Tree scratch_;
};

class Reader {
public:
    explicit Reader(std::vector<DocumentError>& errors) : errors_(errors) {}

    void Error(const Node& at, std::string message) {
        errors_.push_back({LineOf(at), ColumnOf(at), std::move(message)});
    }

    // The pairs of a mapping, each key a scalar seen once; errors for the others.
    std::vector<std::pair<std::string_view, Node>> Pairs(const Node& map, std::string_view what) {
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
    void CheckNames(const ConfigDocument& document) {
        std::vector<const DocumentResource*> all;
        for (const auto* list : {&document.folders, &document.live}) {
            for (const DocumentResource& resource : *list) {
                all.push_back(&resource);
            }
        }
        std::vector<std::size_t> columns = folderColumns_;
        columns.insert(columns.end(), liveColumns_.begin(), liveColumns_.end());
        // One hashed look-up a name, so 100,000 names cost n, not n squared; taken in document
        // order, each clash pairs a later name with the first it repeats.
        std::unordered_map<std::u16string_view, std::size_t, AsciiCaseHash, AsciiCaseEqual>
            firsts;
        firsts.reserve(all.size());
        std::vector<std::pair<std::size_t, std::size_t>> clashes;  // (later, first)
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (!all[i]->Has(F::Name)) {
                continue;
            }
            if (const auto [at, added] = firsts.try_emplace(all[i]->record.name, i); !added) {
                clashes.emplace_back(i, at->second);
            }
        }
        for (const auto& [later, first] : clashes) {
            errors_.push_back({all[later]->line, columns[later],
                               "duplicate name \"" + Utf16ToUtf8(all[later]->record.name) +
                                   "\" (also on line " + std::to_string(all[first]->line) +
                                   ", names are compared ignoring case)"});
        }
    }

    // The document whose first event is the current one. Its mapping is read a key at a time
    // and a list of resources a resource at a time; each other value becomes a tree of its own.
    void Document(Events& events, ConfigDocument& document) {
        if (events.Type() != YAML_MAPPING_START_EVENT) {
            // Empty, it asks for nothing; anything else is not a document of ours.
            if (events.Build(tree_) && !Node(&tree_, 0).IsNull()) {
                Error(Node(&tree_, 0), "document: expected a mapping of keys and values");
            }
            return;
        }
        if (!events.Open(Tree::Kind::Map)) {
            return;
        }
        std::vector<std::string> keys;
        while (events.Next() && events.Type() != YAML_MAPPING_END_EVENT) {
            if (!events.Build(tree_)) {
                return;
            }
            const Node keyNode(&tree_, 0);
            const std::size_t keyLine = LineOf(keyNode);
            std::string key;
            bool wanted = keyNode.IsScalar();
            if (!wanted) {
                Error(keyNode, "expected a key");
            } else if (key = keyNode.Scalar(); std::find(keys.begin(), keys.end(), key) !=
                                               keys.end()) {
                Error(keyNode, "duplicate key \"" + key + "\"");
                wanted = false;
            } else {
                keys.push_back(key);
            }
            if (!events.Next()) {
                return;
            }
            if (!wanted) {
                if (!events.Skip()) {
                    return;
                }
                continue;
            }
            const bool folders = key == "folders";
            if ((folders || key == "live") && events.Type() == YAML_SEQUENCE_START_EVENT) {
                if (!ResourceList(events, folders ? ResourceKind::VirtualFolder
                                                  : ResourceKind::LiveBroadcast,
                                  folders ? document.folders : document.live,
                                  folders ? folderColumns_ : liveColumns_)) {
                    return;
                }
                continue;
            }
            if (!events.Build(tree_)) {
                return;
            }
            const Node value(&tree_, 0);
            if (key == "server") {
                Server(value, document.server.emplace());
                document.server->line = keyLine;
            } else if (folders || key == "live") {
                if (!value.IsNull()) {  // `folders:` with none
                    Error(value, key + ": expected a list");
                }
            } else if (key == "restrictions") {
                Restrictions(value, document.restrictions.emplace());
                document.restrictions->line = keyLine;
            } else {
                Error(value, "unknown field \"" + key + "\"");
            }
        }
        if (events.Failed()) {
            return;
        }
        events.Close();
    }

    // A list of resources whose start is the current event, to its end.
    bool ResourceList(Events& events, ResourceKind kind, std::vector<DocumentResource>& out,
                      std::vector<std::size_t>& columns) {
        if (!events.Open(Tree::Kind::Sequence)) {
            return false;
        }
        Slots& slots = slots_[static_cast<std::size_t>(kind == ResourceKind::LiveBroadcast)];
        while (events.Next()) {
            if (events.Type() == YAML_SEQUENCE_END_EVENT) {
                events.Close();
                return true;
            }
            // An item past a seam goes on after the slots that the stretches read apart fill.
            if (const auto seam = events.SeamHere(); seam && slots.laidOut) {
                const TextPiece& piece = events.PieceAt(*seam);
                if (slots.next == piece.before) {
                    events.TakeSeam();
                    slots.next = piece.first;
                    slots.end = out.size();
                }
            }
            if (!events.Build(tree_)) {
                return false;
            }
            const Node node(&tree_, 0);
            DocumentResource* resource = nullptr;
            if (!slots.laidOut) {
                columns.push_back(ColumnOf(node));
                resource = &out.emplace_back();
            } else if (slots.next < slots.end) {
                columns[slots.next] = ColumnOf(node);
                resource = &out[slots.next++];
            } else {
                // More items than the layout found: the text is read again in one.
                events.Fail(events.Mark(), "the list is not as laid out");
                return false;
            }
            Resource(node, kind, *resource);
        }
        return false;
    }

    // The resources of a list go into slots made beforehand, [next, end) for now.
    void LayOut(ResourceKind kind, std::size_t next, std::size_t end) {
        slots_[static_cast<std::size_t>(kind == ResourceKind::LiveBroadcast)] = {true, next, end};
    }
    // Whether every slot laid out was filled.
    bool Filled() const {
        return std::all_of(slots_.begin(), slots_.end(),
                           [](const Slots& slots) { return slots.next == slots.end; });
    }

    std::vector<std::size_t>& Columns(ResourceKind kind) {
        return kind == ResourceKind::VirtualFolder ? folderColumns_ : liveColumns_;
    }

private:
    std::vector<DocumentError>& errors_;
    // The tree of the value being read, its storage kept from one value to the next.
    Tree tree_;
    // Where each resource's mapping starts, for the messages about names.
    std::vector<std::size_t> folderColumns_;
    std::vector<std::size_t> liveColumns_;
    // Folders, then broadcasts: where the next resource goes when the list is laid out.
    struct Slots {
        bool laidOut = false;
        std::size_t next = 0;
        std::size_t end = 0;
    };
    std::array<Slots, 2> slots_;
};

}  // namespace

namespace {

// The stream's document, less the names' check; false when the events failed.
bool ReadEvents(Events& events, Reader& reader, DocumentReading& reading) {
    // The stream's start, then its document; a stream without one asks for nothing.
    if (events.Next() && events.Next() && events.Type() == YAML_DOCUMENT_START_EVENT &&
        events.Next()) {
        reader.Document(events, reading.document);
        // The document's end, then the stream's.
        if (events.Next() && events.Next() && events.Type() == YAML_DOCUMENT_START_EVENT) {
            events.Fail(events.Mark(), "expected one document, found a second");
        }
    }
    reading.unreadable = events.Unreadable();
    if (events.Failed()) {
        // What was read before a syntax error says little; the error is what to mend.
        reading.errors.assign(1, events.Error());
        return false;
    }
    return true;
}

void SortErrors(DocumentReading& reading) {
    if (!reading.errors.empty()) {
        reading.document = {};
        std::stable_sort(reading.errors.begin(), reading.errors.end(),
                         [](const DocumentError& a, const DocumentError& b) {
                             return std::pair(a.line, a.column) < std::pair(b.line, b.column);
                         });
    }
}

DocumentReading Read(Events& events) {
    DocumentReading reading;
    Reader reader(reading.errors);
    if (ReadEvents(events, reader, reading)) {
        reader.CheckNames(reading.document);
    }
    SortErrors(reading);
    return reading;
}

// Stretches of a large document's lists of resources, to read apart, and the rest. Each
// stretch starts at an item, a line "- ..." (indented as the list's first) of a list whose key
// line is "folders:" or "live:", and ends where the next begins. Whether the whole text reads the
// same way is known only once it is read.
struct Layout {
    std::vector<TextPiece> chunks;
    std::vector<TextPiece> rest;         // what the first thread reads, seams between
    std::array<std::size_t, 2> items{};  // folders, broadcasts: the items of a list laid out
};

Layout LayOut(std::string_view text, std::size_t chunkBytes) {
    Layout layout;
    std::array<bool, 2> seen{};
    std::optional<std::size_t> list;  // the list being looked through
    constexpr std::size_t Unknown = std::string_view::npos;
    std::size_t indent = Unknown;  // where its items' lines "- " start
    std::size_t listStart = 0;
    std::size_t items = 0;          // its items so far
    std::optional<TextPiece> open;  // the stretch being laid out
    const auto endList = [&] {
        if (list && !layout.chunks.empty() &&
            layout.chunks.back().kind ==
                (*list == 0 ? ResourceKind::VirtualFolder : ResourceKind::LiveBroadcast)) {
            layout.items[*list] = items;
        }
        list.reset();
        open.reset();  // the end of a list is read with the rest
    };
    std::size_t line = 0;
    for (std::size_t at = 0; at < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view content = text.substr(at, end - at);
        if (content == "folders:" || content == "live:") {
            endList();
            const std::size_t index = content == "live:" ? 1 : 0;
            if (seen[index]) {
                return {};  // a key given twice: the reader says so, reading in one
            }
            seen[index] = true;
            list = index;
            listStart = end + 1;
            items = 0;
            indent = Unknown;
        } else if (!list) {
            // Outside the lists nothing is laid out.
        } else if (const std::size_t textAt = content.find_first_not_of(' ');
                   textAt == std::string_view::npos || content[textAt] == '#' ||
                   (indent != Unknown && textAt > indent)) {
            // Blank, a comment or more of an item.
        } else if (content.substr(textAt).starts_with("- ") &&
                   (indent == Unknown || textAt == indent)) {
            indent = textAt;  // the first item sets where the others start
            if (open && at - open->begin >= chunkBytes) {
                open->end = at;
                open->lines = line - open->line;
                layout.chunks.push_back(*open);
                open.reset();
            }
            if (!open && at - listStart >= chunkBytes) {
                const ResourceKind kind =
                    *list == 0 ? ResourceKind::VirtualFolder : ResourceKind::LiveBroadcast;
                open = TextPiece{at, 0, line, 0, kind, items, 0, 0};
            }
            ++items;
            if (open) {
                ++open->items;
            }
        } else {
            endList();
        }
        at = end + 1;
    }
    endList();

    // The rest: the text less the stretches. A piece after a run of them starts its seam.
    layout.rest.push_back({0, text.size(), 0, 0});
    for (const TextPiece& chunk : layout.chunks) {
        TextPiece& last = layout.rest.back();
        if (chunk.begin == last.begin) {
            last.begin = chunk.end;  // the run goes on
            last.line = chunk.line + chunk.lines;
            last.first = chunk.first + chunk.items;
        } else {
            last.end = chunk.begin;
            last.lines = chunk.line - last.line;
            layout.rest.push_back({chunk.end,
                                   text.size(),
                                   chunk.line + chunk.lines,
                                   0,
                                   {},
                                   chunk.first + chunk.items,
                                   0,
                                   chunk.first});
        }
    }
    return layout;
}

// A stretch of a list of resources, read on its own into its slots of the list; true when it
// read as the whole text reads it, without an error.
bool ReadChunk(std::string_view text, const TextPiece& chunk, std::vector<DocumentResource>& list,
               std::vector<std::size_t>& columns) {
    try {
        // The items, read as a list of their own inside the document's mapping.
        Events events(text, {chunk}, 1);
        std::vector<DocumentError> errors;
        Reader reader(errors);
        reader.LayOut(chunk.kind, chunk.first, chunk.first + chunk.items);
        return events.Next() && events.Type() == YAML_STREAM_START_EVENT && events.Next() &&
               events.Type() == YAML_DOCUMENT_START_EVENT && events.Next() &&
               events.Type() == YAML_SEQUENCE_START_EVENT && !events.FlowStyle() &&
               reader.ResourceList(events, chunk.kind, list, columns) && events.Next() &&
               events.Type() == YAML_DOCUMENT_END_EVENT && events.Next() &&
               events.Type() == YAML_STREAM_END_EVENT && errors.empty() && !events.Failed() &&
               reader.Filled() && events.Mark().line == chunk.lines;  // lines as counted
    } catch (const std::exception&) {
        return false;  // the whole text, read in one, says what went wrong
    }
}

}  // namespace

DocumentReading ReadConfigDocument(std::string_view text, DocumentReadingWork work) {
    const unsigned threads =
        work.threads != 0 ? work.threads : std::max(1U, std::thread::hardware_concurrency());
    Layout layout;
    if (threads > 1 && text.size() >= 2 * work.chunkBytes) {
        layout = LayOut(text, std::max<std::size_t>(work.chunkBytes, 1));
    }
    const auto readInOne = [text] {
        Events events(text);
        return Read(events);
    };
    if (layout.chunks.empty()) {
        return readInOne();
    }

    // Each list laid out is made whole at once, so that the stretches fill their slots in place.
    DocumentReading reading;
    Reader reader(reading.errors);
    for (const ResourceKind kind : {ResourceKind::VirtualFolder, ResourceKind::LiveBroadcast}) {
        const std::size_t index = kind == ResourceKind::LiveBroadcast ? 1 : 0;
        const auto chunk = std::find_if(layout.chunks.begin(), layout.chunks.end(),
                                        [kind](const TextPiece& c) { return c.kind == kind; });
        if (chunk != layout.chunks.end()) {
            (index == 0 ? reading.document.folders : reading.document.live)
                .resize(layout.items[index]);
            reader.Columns(kind).resize(layout.items[index]);
            reader.LayOut(kind, 0, chunk->first);
        }
    }
    std::atomic<std::size_t> next{0};
    std::atomic<bool> clean{true};
    const auto readChunks = [&] {
        for (std::size_t i = next++; i < layout.chunks.size(); i = next++) {
            const TextPiece& chunk = layout.chunks[i];
            const bool folders = chunk.kind == ResourceKind::VirtualFolder;
            if (!ReadChunk(text, chunk, folders ? reading.document.folders : reading.document.live,
                           reader.Columns(chunk.kind))) {
                clean = false;
                next = layout.chunks.size();  // read in one below; the rest is not wanted
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        for (unsigned i = 1; i < threads && i <= layout.chunks.size(); ++i) {
            try {
                workers.emplace_back(readChunks);
            } catch (const std::system_error&) {
                break;  // fewer threads than asked; this one helps
            }
        }
        Events events(text, layout.rest, 0);
        if (!ReadEvents(events, reader, reading) || !reading.errors.empty() ||
            !events.SeamsHeld() || !reader.Filled()) {
            clean = false;
            next = layout.chunks.size();
        }
        readChunks();
    }
    // Any doubt, an error anywhere included, and the text is read again in one: what it says
    // then is what it says.
    if (!clean) {
        return readInOne();
    }
    reader.CheckNames(reading.document);
    SortErrors(reading);
    reading.readApart = layout.chunks.size();
    return reading;
}

DocumentReading ReadConfigDocument(std::istream& in) {
    Events events(in);
    return Read(events);
}

}  // namespace vantor
