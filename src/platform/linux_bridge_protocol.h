#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/media_probe.h"

namespace vantor::bridge {

// What the tool and `vantorctl bridge` on the server's machine say to each other: one JSON
// object a line, each way. A request names its operation and carries its arguments as data, so
// nothing a user typed ever reaches a command line on the far side:
//   {"id": 7, "op": "read", "path": "/var/lib/Quorvane/config.vtr"}
// and its answer carries the same id:
//   {"id": 7, "ok": true, "data": "<base64>"}    or    {"id": 7, "ok": false, "error": "..."}
// Operations (version 1):
//   hello                      -> {version}
// Paths and names are PutBytesText texts: "path" or "path64".
//   read {path}                -> {data}; ok false when missing or unreadable
//   replace {path, data}       -> ok as the local atomic replace; replace-user for a user's file
//   stamp {path}               -> {device, inode, size, modified, changed}; ok false when missing
//   lock {path}                -> {status: "locked"|"busy"|"unavailable", lock}; held by the
//                                 bridge until unlock or until the connection ends
//   unlock {lock}
//   list {path}                -> {entries: [{name, folder}]}; ok false when it cannot be listed
//   probe {path}               -> the media facts' fields
//   common-folder, os-version, exists {path}, make-shared-folder {path}, service-path {product},
//   file-version {path}, adapters, host-address: the machine's installation and addresses
inline constexpr int Version = 1;

using Json = nlohmann::json;

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes);
// Nothing when the text is not base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

// A path or a name as the file system holds it, which need not be UTF-8: JSON text when it is,
// else base64 under the key with "64" appended.
void PutBytesText(Json& message, const std::string& key, const std::string& bytes);
// The text PutBytesText put there; empty when neither key holds one.
std::string GetBytesText(const Json& message, const std::string& key);

// A probe's facts as the probe answer's fields, and back (a missing field keeps its default).
Json MediaFactsJson(const MediaFacts& facts);
MediaFacts MediaFactsFromJson(const Json& json);

// {"op": op} with path put as PutBytesText does.
Json Request(const char* op, const std::string& path);

// One line of the exchange; nothing when the line is not a JSON object.
std::optional<Json> ParseLine(std::string_view line);
std::string FormatLine(const Json& message);

}  // namespace vantor::bridge
