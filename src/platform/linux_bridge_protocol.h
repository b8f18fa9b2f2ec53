#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace vantor::bridge {

// What the tool and `vantorctl bridge` on the server's machine say to each other: one JSON
// object a line, each way. A request names its operation and carries its arguments as data, so
// nothing a user typed ever reaches a command line on the far side:
//   {"id": 7, "op": "read", "path": "/var/lib/Quorvane/config.vtr"}
// and its answer carries the same id:
//   {"id": 7, "ok": true, "data": "<base64>"}    or    {"id": 7, "ok": false, "error": "..."}
// Operations (version 1):
//   hello                      -> {version}
//   read {path}                -> {data}; ok false when missing or unreadable
//   replace {path, data}       -> ok as the local atomic replace; replace-user for a user's file
//   stamp {path}               -> {device, inode, size, modified, changed}; ok false when missing
//   lock {path}                -> {status: "locked"|"busy"|"unavailable", lock}; held by the
//                                 bridge until unlock or until the connection ends
//   unlock {lock}
inline constexpr int Version = 1;

using Json = nlohmann::json;

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes);
// Nothing when the text is not base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

// One line of the exchange; nothing when the line is not a JSON object.
std::optional<Json> ParseLine(std::string_view line);
std::string FormatLine(const Json& message);

}  // namespace vantor::bridge
