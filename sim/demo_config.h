#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/resource_record.h"

namespace vantor::sim {

// The sub-folder of the demo's media folder that some of its virtual folders publish.
inline constexpr char DemoMediaSubfolder[] = "extras";

// The demo's catalogue, in file order: five virtual folders over mediaDir (an absolute UTF-8
// path) and its sub-folder, showing the access, limit, multicast and playlist settings, then a
// live broadcast of every type (static, dynamic, MMS rebroadcast and two delegates).
std::vector<ResourceRecord> DemoResources(std::string_view mediaDir);

// The bytes of the demo's config.vtr: default server settings and DemoResources.
std::vector<std::uint8_t> DemoConfigFile(std::string_view mediaDir);

}  // namespace vantor::sim
