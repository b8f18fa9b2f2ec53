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

namespace {

bool ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80         ? 1
                             : (lead >> 5) == 6  ? 2
                             : (lead >> 4) == 14 ? 3
                             : (lead >> 3) == 30 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        std::uint32_t code = length == 1 ? lead : lead & (0x7f >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 2) {
                return false;
            }
            code = (code << 6) | (next & 0x3f);
        }
        constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kShortest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

void PutBytesText(Json& message, const std::string& key, const std::string& bytes) {
    if (ValidUtf8(bytes)) {
        message[key] = bytes;
    } else {
        message[key + "64"] = EncodeBase64(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
}

std::string GetBytesText(const Json& message, const std::string& key) {
    if (const auto found = message.find(key); found != message.end() && found->is_string()) {
        return found->get<std::string>();
    }
    if (const auto found = message.find(key + "64"); found != message.end() && found->is_string()) {
        const auto bytes = DecodeBase64(found->get<std::string>());
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
    return {};
}

Json MediaFactsJson(const MediaFacts& facts) {
    Json json{{"renders", facts.renders},
              {"hasVideo", facts.hasVideo},
              {"videoBlock", static_cast<int>(facts.videoBlock)},
              {"fourCC", facts.fourCC},
              {"videoBitRate", facts.videoBitRate},
              {"avgTimePerFrame", facts.avgTimePerFrame},
              {"width", facts.width},
              {"height", facts.height},
              {"hasAudio", facts.hasAudio},
              {"audioBlock", static_cast<int>(facts.audioBlock)},
              {"formatTag", facts.formatTag},
              {"audioBitsPerSecond", facts.audioBitsPerSecond},
              {"samplesPerSecond", facts.samplesPerSecond},
              {"channels", facts.channels}};
    if (facts.fileSize) {
        json["fileSize"] = *facts.fileSize;
    }
    if (facts.duration) {
        json["duration"] = *facts.duration;
    }
    return json;
}

MediaFacts MediaFactsFromJson(const Json& json) {
    MediaFacts facts;
    facts.renders = json.value("renders", false);
    facts.hasVideo = json.value("hasVideo", false);
    facts.videoBlock = static_cast<VideoFormatBlock>(json.value("videoBlock", 0));
    facts.fourCC = json.value("fourCC", std::uint32_t{0});
    facts.videoBitRate = json.value("videoBitRate", std::uint32_t{0});
    facts.avgTimePerFrame = json.value("avgTimePerFrame", std::int64_t{0});
    facts.width = json.value("width", 0);
    facts.height = json.value("height", 0);
    facts.hasAudio = json.value("hasAudio", false);
    facts.audioBlock = static_cast<AudioFormatBlock>(json.value("audioBlock", 0));
    facts.formatTag = json.value("formatTag", std::uint16_t{0});
    facts.audioBitsPerSecond = json.value("audioBitsPerSecond", std::uint32_t{0});
    facts.samplesPerSecond = json.value("samplesPerSecond", std::uint32_t{0});
    facts.channels = json.value("channels", std::uint16_t{0});
    if (json.contains("fileSize")) {
        facts.fileSize = json.value("fileSize", std::uint64_t{0});
    }
    if (json.contains("duration")) {
        facts.duration = json.value("duration", std::int64_t{0});
    }
    return facts;
}

Json Request(const char* op, const std::string& path) {
    Json request{{"op", op}};
    PutBytesText(request, "path", path);
    return request;
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
