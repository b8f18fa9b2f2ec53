#pragma once

#include <QString>
#include <optional>

namespace vantor::sim {

inline constexpr char UnitPathPrefix[] = "/org/freedesktop/systemd1/unit/";

// The object path systemd gives a unit: the name with every character other than an ASCII
// letter or digit (and a leading digit) written as "_" and two lowercase hex digits.
QString UnitObjectPath(const QString& unitName);

// The unit name back from such a path; nothing for a path that is not one.
std::optional<QString> UnitNameFromPath(const QString& path);

}  // namespace vantor::sim
