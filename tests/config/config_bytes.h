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
            bytes_.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes_.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        return *this;
    }
    ConfigBytes& Append(const ConfigBytes& other) {
        bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
        return *this;
    }

    // Header fields 2 to 10 with distinctive values; the caller adds the version word before
    // and the newer fields after.
    ConfigBytes& BaseHeader() {
        return Str(u"6001")
            .Str(u"6002")
            .U8(1)
            .U32(300 | (4u << 16))
            .U8(1)
            .U32(2500)
            .U32(1 | (12u << 16))
            .Str(u"Custom.Log")
            .U32(3);
    }
    // Record fields 1 to 12 of a small virtual folder.
    ConfigBytes& BaseRecord(std::uint8_t kind, std::u16string_view name,
                            std::u16string_view group = u"") {
        return U8(kind)
            .U8(3)
            .U8(6)
            .U8(0x01)
            .U8(group.empty() ? 0 : 1)
            .U8(1)
            .U8(1)
            .U32(45)
            .Str(name)
            .Str(u"/media/music")
            .Str(u"about " + std::u16string(name))
            .Str(group);
    }
    // Record fields 13 to 19.
    ConfigBytes& NewerRecordFields() {
        return Str(u"Title").Str(u"Author").Str(u"(c)").U32(11).U32(2).U32(900).U8(1);
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace vantor::test
