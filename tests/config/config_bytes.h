#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::test {

// Builds config.vtr bytes by hand, field by field, so tests state the layout independently of
// the writer.
class ConfigBytes {
public:
    ConfigBytes& U8(std::uint8_t value) {
        bytes_.push_back(value);
        return *this;
    }
    ConfigBytes& U32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
        }
        return *this;
    }
    ConfigBytes& Str(std::u16string_view text) {
        U32(static_cast<std::uint32_t>(text.size()));
        for (char16_t unit : text) {
            U8(static_cast<std::uint8_t>(unit & 0xFF)).U8(static_cast<std::uint8_t>(unit >> 8));
        }
        return *this;
    }

    // A header of that version with distinctive values: the version word (none for 50), fields
    // 2 to 10, and the fields the version adds. The connection limit 70000 is stored as its low
    // 16 bits, the per-user limit of 5 is on, the anonymous limit off, the logging ProgID empty.
    ConfigBytes& Header(std::uint32_t version) {
        if (version != 50) {
            U32(version);
        }
        Str(u"6001").Str(u"6002").U8(1).U32(4464 | (5u << 16)).U8(1).U32(0x12345678);
        U32(3).Str(u"none").U32(3);
        if (version >= 55) {
            Str(u"ab12");
        }
        if (version >= 60) {
            Str(u"eth0 \u00e9").Str(u"10.0.0.9").Str(u"8080");
        }
        return *this;
    }
    // A record with the fields that version stores. A folder is a playlist with no time limit,
    // a live broadcast no playlist with 90 minutes; a group turns multicast on.
    ConfigBytes& Record(std::uint32_t version, std::uint8_t kind, std::u16string_view name,
                        std::u16string_view group = u"", std::uint8_t flags = 0x01) {
        U8(kind).U8(3).U8(6).U8(flags).U8(group.empty() ? 0 : 1).U8(kind == 1 ? 1 : 0).U8(1);
        U32(kind == 1 ? 0xFFFFFFFF : 90);
        Str(name).Str(u"/media/music").Str(u"about " + std::u16string(name)).Str(group);
        if (version >= 55) {
            Str(u"Title").Str(u"Author").Str(u"(c)");
        }
        if (version >= 60) {
            U32(11).U32(2).U32(900).U8(1);
        }
        return *this;
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace vantor::test
