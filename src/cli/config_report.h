#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "config/config_store.h"

namespace vantor {

// What `vantorctl show` prints of a loaded store: the settings, then the catalogue in tree order
// ("File resources" first). version is the format version read, or nothing for no file.

nlohmann::ordered_json ConfigReportJson(const ConfigStore& store, AuthMethod defaultAuthMethod);

std::string ConfigReportText(const ConfigStore& store, AuthMethod defaultAuthMethod);

}  // namespace vantor
