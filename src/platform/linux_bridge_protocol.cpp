#include "platform/linux_bridge_protocol.h"

#include <array>

namespace vantor::bridge {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> MakeDecodeTable() {
    std::array<int, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    }
    return table;
}
constexpr std::array<int, 256> kDecode = MakeDecodeTable();

}  // namespace

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            text.push_back(kAlphabet[(group >> shift) & 63]);
        }
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const std::uint32_t group = (bytes[i] << 16) | (rest == 2 ? bytes[i + 1] << 8 : 0);
        text.push_back(kAlphabet[(group >> 18) & 63]);
        text.push_back(kAlphabet[(group >> 12) & 63]);
        text.push_back(rest == 2 ? kAlphabet[(group >> 6) & 63] : '=');
        text.push_back('=');
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        std::uint32_t group = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            const int value =
                (k >= 4 - pad && c == '=') ? 0 : kDecode[static_cast<unsigned char>(c)];
            if (value < 0) {
                return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        if (pad < 2) {
            bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        }
        if (pad < 1) {
            bytes.push_back(static_cast<std::uint8_t>(group));
        }
    }
    return bytes;
}

std::optional<Json> ParseLine(std::string_view line) {
    Json message = Json::parse(line, nullptr, /*allow_exceptions=*/false);
    if (!message.is_object()) {
        return std::nullopt;
    }
    return message;
}

std::string FormatLine(const Json& message) {
    // Invalid UTF-8 is replaced rather than thrown on: paths travel as the tool's own UTF-8.
    return message.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace vantor::bridge
