#pragma once

#include <QString>
#include <QStringList>

namespace vantor::sim {

// Splits a D-Bus signature into its complete types ("sasb" -> "s", "as", "b"), for describing
// arguments one by one. A malformed signature gives what could be split before the fault.
QStringList SplitSignature(const QString& signature);

}  // namespace vantor::sim
