#include "config/config_file.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vantor {
namespace {

// How damaged files are read. The writer never produces any of these, so the aim is only to
// keep what is intact and never read past the end:
// - The end of the file inside the header leaves the fields not read at their defaults, except
//   that a string whose count cannot be read comes out empty (an existing 0-byte file has empty
//   ports).
// - A string count larger than the rest of the file cannot be real: that string comes out empty
//   and reading stops there, so the rest of the header keeps its defaults and no record follows;
//   inside a record it drops the record and ends the catalogue.
// - A record cut short by the end of the file is dropped and ends the catalogue.
// - A record whose kind is neither a virtual folder nor a live broadcast is read in full, so the
//   records after it still load, and dropped.

constexpr std::uint8_t UnicastFlag = 0x01;
constexpr std::uint8_t AllowDelegatesFlag = 0x02;
constexpr std::uint8_t AllowMmsPlayersFlag = 0x04;
constexpr std::uint8_t DisabledFlag = 0x08;

// The text that stands for an empty logging ProgID in the file.
constexpr std::u16string_view NoLoggingProgId = u"none";

enum class StringStatus {
    Ok,
    NoCount,  // the end of the file came before a whole count
    TooLong,  // the count exceeds what is left; reading is halted
    Halted,   // an earlier string was too long
};

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes)
        : data_(bytes.data()), size_(bytes.size()) {}

    std::size_t Remaining() const { return size_ - pos_; }
    bool Halted() const { return halted_; }
    void Rewind() { pos_ = 0; }

    // A read that fails consumes what was left, as a short read of a file does.
    bool U8(std::uint8_t& value) {
        if (halted_ || pos_ == size_) {
            return false;
        }
        value = data_[pos_++];
        return true;
    }

    std::optional<std::uint32_t> U32() {
        if (halted_ || Remaining() < 4) {
            pos_ = size_;
            return std::nullopt;
        }
        const std::uint8_t* p = data_ + pos_;
        pos_ += 4;
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
               (std::uint32_t{p[3]} << 24);
    }
    bool U32(std::uint32_t& value) {
        const std::optional<std::uint32_t> word = U32();
        value = word.value_or(value);
        return word.has_value();
    }

    bool Flag(bool& value) {
        std::uint8_t byte = 0;
        if (!U8(byte)) {
            return false;
        }
        value = byte != 0;
        return true;
    }

    bool Skip(std::size_t count) {
        if (halted_ || Remaining() < count) {
            pos_ = size_;
            return false;
        }
        pos_ += count;
        return true;
    }

    bool SkipString() {
        const std::optional<std::uint32_t> count = U32();
        return count && *count <= Remaining() / 2 && Skip(std::size_t{*count} * 2);
    }

    StringStatus String(std::u16string& value) {
        if (halted_) {
            return StringStatus::Halted;
        }
        const std::optional<std::uint32_t> word = U32();
        if (!word) {
            return StringStatus::NoCount;
        }
        const std::uint32_t count = *word;
        // Checked before anything is allocated: a hostile count never costs memory.
        if (count > Remaining() / 2) {
            halted_ = true;
            pos_ = size_;
            return StringStatus::TooLong;
        }
        value.resize(count);
        if (count != 0) {
            const std::uint8_t* p = data_ + pos_;
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(value.data(), p, std::size_t{count} * 2);
            } else {
                for (std::size_t i = 0; i < count; ++i) {
                    value[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
                }
            }
        }
        pos_ += std::size_t{count} * 2;
        return StringStatus::Ok;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool halted_ = false;
};

// A header string: empty when its count cannot be read or is too long, untouched once reading
// has halted.
void ReadHeaderString(ByteReader& reader, std::u16string& field) {
    std::u16string value;
    switch (reader.String(value)) {
        case StringStatus::Ok:
            field = std::move(value);
            break;
        case StringStatus::NoCount:
        case StringStatus::TooLong:
            field.clear();
            break;
        case StringStatus::Halted:
            break;
    }
}

// Fields 5 and 8 pack a 16-bit value with a second limit that is 0 when that limit is off.
void ReadPackedWord(ByteReader& reader, std::uint32_t& low, std::uint32_t& high, bool& limitHigh) {
    std::uint32_t word = 0;
    if (reader.U32(word)) {
        low = word & 0xFFFFu;
        high = word >> 16;
        limitHigh = high != 0;
    }
}

void ReadHeader(ByteReader& reader, ConfigFileContents& contents) {
    std::uint32_t word = 0;
    if (reader.U32(word) && (word == ConfigVersion55 || word == ConfigVersion60)) {
        contents.version = word;
    } else {
        contents.version = ConfigVersion50;  // no version word: the file starts with field 2
        reader.Rewind();
    }

    ServerConfig& server = contents.server;
    ReadHeaderString(reader, server.playerPort);
    ReadHeaderString(reader, server.liveSourcePort);
    reader.Flag(server.limitConnections);
    ReadPackedWord(reader, server.maxConnections, server.maxConnectionsPerUser,
                   server.limitConnectionsPerUser);
    reader.Flag(server.limitThroughput);
    reader.U32(server.maxThroughputKBps);
    ReadPackedWord(reader, server.loggingMode, server.maxAnonymousConnections,
                   server.limitAnonymousConnections);
    ReadHeaderString(reader, server.loggingProgId);
    if (server.loggingProgId == NoLoggingProgId) {
        server.loggingProgId.clear();
    }
    std::uint32_t authMethod = 0;
    if (reader.U32(authMethod)) {
        contents.defaultAuthMethod = static_cast<AuthMethod>(static_cast<std::int32_t>(authMethod));
    }
    if (contents.version >= ConfigVersion55) {
        ReadHeaderString(reader, server.archivalPassword);
    }
    if (contents.version >= ConfigVersion60) {
        ReadHeaderString(reader, server.networkInterface);
        ReadHeaderString(reader, server.archivalServerAddress);
        ReadHeaderString(reader, server.archivalServerPort);
    }
}

// Reads the record after its kind byte. False when it is cut short or damaged.
bool ReadRecordBody(ByteReader& reader, std::uint32_t version, ResourceRecord& record) {
    std::uint8_t authMethod = 0;
    std::uint8_t userGroups = 0;
    std::uint8_t flags = 0;
    std::uint8_t playlistOrder = 0;
    std::uint32_t playTimeLimit = 0;
    if (!reader.U8(authMethod) || !reader.U8(userGroups) || !reader.U8(flags) ||
        !reader.Flag(record.multicast) || !reader.Flag(record.playlist) ||
        !reader.U8(playlistOrder) || !reader.U32(playTimeLimit)) {
        return false;
    }
    record.authMethod = static_cast<AuthMethod>(authMethod);
    record.userGroups = userGroups;
    record.unicast = (flags & UnicastFlag) != 0;
    record.allowDelegates = (flags & AllowDelegatesFlag) != 0;
    record.allowMmsPlayers = (flags & AllowMmsPlayersFlag) != 0;
    record.enabled = (flags & DisabledFlag) == 0;
    record.playlistOrder = playlistOrder;
    record.playTimeLimit = static_cast<std::int32_t>(playTimeLimit);

    auto string = [&reader](std::u16string& field) {
        return reader.String(field) == StringStatus::Ok;
    };
    if (!string(record.name) || !string(record.source) || !string(record.description) ||
        !string(record.multicastGroup)) {
        return false;
    }
    if (version >= ConfigVersion55 && (!string(record.metaTitle) || !string(record.metaAuthor) ||
                                       !string(record.metaCopyright))) {
        return false;
    }
    if (version >= ConfigVersion60 &&
        (!reader.U32(record.maxConnections) || !reader.U32(record.maxConnectionsPerUser) ||
         !reader.U32(record.maxThroughputKBps) || !reader.Flag(record.notifyArchival))) {
        return false;
    }
    return true;
}

// How many whole records that will be kept follow, found by skipping over them: the records
// vector is then allocated once, instead of being moved record by record each time it grows.
std::size_t CountRecords(ByteReader reader, std::uint32_t version) {
    const int strings = version >= ConfigVersion55 ? 7 : 4;
    const std::size_t tail = version >= ConfigVersion60 ? 13 : 0;
    std::size_t count = 0;
    std::uint8_t kind = 0;
    while (reader.U8(kind) && reader.Skip(6 + 4)) {
        for (int i = 0; i < strings; ++i) {
            if (!reader.SkipString()) {
                return count;
            }
        }
        if (!reader.Skip(tail)) {
            return count;
        }
        if (kind == static_cast<std::uint8_t>(ResourceKind::VirtualFolder) ||
            kind == static_cast<std::uint8_t>(ResourceKind::LiveBroadcast)) {
            ++count;
        }
    }
    return count;
}

void ReadRecords(ByteReader& reader, ConfigFileContents& contents) {
    std::vector<ResourceRecord>& records = contents.records;
    records.reserve(CountRecords(reader, contents.version));
    std::uint8_t kind = 0;
    while (reader.U8(kind)) {
        // Read in place: a record is large, and moving 100,000 of them shows.
        ResourceRecord& record = records.emplace_back();
        record.kind = static_cast<ResourceKind>(kind);
        // Fields an older version lacks keep the record's defaults: no limit, no archival.
        if (!ReadRecordBody(reader, contents.version, record)) {
            records.pop_back();
            return;
        }
        if (record.kind == ResourceKind::VirtualFolder) {
            record.imageIndex = VirtualFolderImage;
        } else if (record.kind == ResourceKind::LiveBroadcast) {
            record.imageIndex = LiveBroadcastImage;
        } else {
            records.pop_back();
        }
    }
}

// Writes into a buffer sized beforehand, so large catalogues are written in one allocation.
class ByteWriter {
public:
    explicit ByteWriter(std::uint8_t* out) : out_(out) {}

    void U8(std::uint8_t value) { *out_++ = value; }
    void Flag(bool value) { U8(value ? 1 : 0); }
    void U32(std::uint32_t value) {
        out_[0] = static_cast<std::uint8_t>(value);
        out_[1] = static_cast<std::uint8_t>(value >> 8);
        out_[2] = static_cast<std::uint8_t>(value >> 16);
        out_[3] = static_cast<std::uint8_t>(value >> 24);
        out_ += 4;
    }
    void String(std::u16string_view value) {
        U32(static_cast<std::uint32_t>(value.size()));
        if (value.empty()) {
            return;
        }
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out_, value.data(), value.size() * 2);
            out_ += value.size() * 2;
        } else {
            for (char16_t unit : value) {
                U8(static_cast<std::uint8_t>(unit));
                U8(static_cast<std::uint8_t>(unit >> 8));
            }
        }
    }

private:
    std::uint8_t* out_;
};

std::size_t StringSize(std::u16string_view value) {
    return 4 + value.size() * 2;
}

std::u16string_view StoredLoggingProgId(const ServerConfig& server) {
    return server.loggingProgId.empty() ? NoLoggingProgId
                                        : std::u16string_view(server.loggingProgId);
}

std::size_t HeaderSize(const ServerConfig& server) {
    return 4 + StringSize(server.playerPort) + StringSize(server.liveSourcePort) + 1 + 4 + 1 + 4 +
           4 + StringSize(StoredLoggingProgId(server)) + 4 + StringSize(server.archivalPassword) +
           StringSize(server.networkInterface) + StringSize(server.archivalServerAddress) +
           StringSize(server.archivalServerPort);
}

std::size_t RecordSize(const ResourceRecord& record) {
    return 7 + 4 + StringSize(record.name) + StringSize(record.source) +
           StringSize(record.description) + StringSize(record.multicastGroup) +
           StringSize(record.metaTitle) + StringSize(record.metaAuthor) +
           StringSize(record.metaCopyright) + 4 + 4 + 4 + 1;
}

std::uint32_t PackedWord(std::uint32_t low, bool limitHigh, std::uint32_t high) {
    return (low & 0xFFFFu) | (limitHigh ? (high & 0xFFFFu) << 16 : 0u);
}

void WriteHeader(ByteWriter& writer, const ServerConfig& server, AuthMethod defaultAuthMethod) {
    writer.U32(ConfigWriteVersion);
    writer.String(server.playerPort);
    writer.String(server.liveSourcePort);
    writer.Flag(server.limitConnections);
    writer.U32(PackedWord(server.maxConnections, server.limitConnectionsPerUser,
                          server.maxConnectionsPerUser));
    writer.Flag(server.limitThroughput);
    writer.U32(server.maxThroughputKBps);
    writer.U32(PackedWord(server.loggingMode, server.limitAnonymousConnections,
                          server.maxAnonymousConnections));
    writer.String(StoredLoggingProgId(server));
    writer.U32(static_cast<std::uint32_t>(static_cast<std::int32_t>(defaultAuthMethod)));
    writer.String(server.archivalPassword);
    writer.String(server.networkInterface);
    writer.String(server.archivalServerAddress);
    writer.String(server.archivalServerPort);
}

void WriteRecord(ByteWriter& writer, const ResourceRecord& record) {
    std::uint8_t flags = record.unicast ? UnicastFlag : 0;
    if (record.allowDelegates) {
        flags |= AllowDelegatesFlag;
    }
    if (record.allowMmsPlayers) {
        flags |= AllowMmsPlayersFlag;
    }
    if (!record.enabled) {
        flags |= DisabledFlag;
    }
    writer.U8(static_cast<std::uint8_t>(record.kind));
    writer.U8(static_cast<std::uint8_t>(static_cast<std::int32_t>(record.authMethod)));
    writer.U8(static_cast<std::uint8_t>(record.userGroups));
    writer.U8(flags);
    writer.Flag(record.multicast);
    writer.Flag(record.playlist);
    writer.U8(static_cast<std::uint8_t>(record.playlistOrder));
    writer.U32(static_cast<std::uint32_t>(record.playTimeLimit));
    writer.String(record.name);
    writer.String(record.source);
    writer.String(record.description);
    writer.String(record.multicastGroup);
    writer.String(record.metaTitle);
    writer.String(record.metaAuthor);
    writer.String(record.metaCopyright);
    writer.U32(record.maxConnections);
    writer.U32(record.maxConnectionsPerUser);
    writer.U32(record.maxThroughputKBps);
    writer.Flag(record.notifyArchival);
}

}  // namespace

ConfigFileContents ReadConfigFile(std::span<const std::uint8_t> bytes) {
    ConfigFileContents contents;
    ByteReader reader(bytes);
    ReadHeader(reader, contents);
    ReadRecords(reader, contents);
    return contents;
}

std::vector<std::uint8_t> WriteConfigFile(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                          std::span<const ResourceRecord* const> records) {
    std::size_t size = HeaderSize(server);
    for (const ResourceRecord* record : records) {
        size += RecordSize(*record);
    }
    std::vector<std::uint8_t> bytes(size);
    ByteWriter writer(bytes.data());
    WriteHeader(writer, server, defaultAuthMethod);
    for (const ResourceRecord* record : records) {
        WriteRecord(writer, *record);
    }
    return bytes;
}

std::vector<std::uint8_t> WriteConfigFile(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                          const Catalogue& catalogue) {
    std::vector<const ResourceRecord*> records;
    records.reserve(catalogue.FileResources().Children().size() +
                    catalogue.LiveBroadcasts().Children().size());
    for (const CatalogueItem* branch : {&catalogue.FileResources(), &catalogue.LiveBroadcasts()}) {
        for (const auto& child : branch->Children()) {
            records.push_back(&child->Record());
        }
    }
    return WriteConfigFile(server, defaultAuthMethod, records);
}

}  // namespace vantor
