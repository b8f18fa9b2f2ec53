#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "config/catalogue.h"
#include "config/resource_record.h"
#include "config/server_config.h"

namespace vantor {

// The version words config.vtr can carry. A version-50 file has no version word at all.
inline constexpr std::uint32_t ConfigVersion50 = 50;
inline constexpr std::uint32_t ConfigVersion55 = 55;
inline constexpr std::uint32_t ConfigVersion60 = 60;
// What the writer always produces.
inline constexpr std::uint32_t ConfigWriteVersion = ConfigVersion60;

// Everything one config.vtr holds.
struct ConfigFileContents {
    std::uint32_t version = ConfigVersion50;
    ServerConfig server;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    // In file order; virtual folders and live broadcasts only, with their tree image set.
    std::vector<ResourceRecord> records;
};

// Parses the bytes of a config.vtr. Never fails: whatever cannot be read keeps its default (see
// the definition for how damaged files are treated), and nothing is read beyond the input.
ConfigFileContents ReadConfigFile(std::span<const std::uint8_t> bytes);

// The bytes of a version-60 config.vtr: the header, then the records in the order given.
std::vector<std::uint8_t> WriteConfigFile(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                          std::span<const ResourceRecord* const> records);
// The same for a catalogue: the "File resources" records, then the "Live broadcasts" records,
// each branch in tree order.
std::vector<std::uint8_t> WriteConfigFile(const ServerConfig& server, AuthMethod defaultAuthMethod,
                                          const Catalogue& catalogue);

}  // namespace vantor
