#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace vantor::sim {

// One call log entry: "Interface.Method", then each argument after a space. Arguments are written
// plainly, unquoted: text as it is (so text holding spaces reads as several words), numbers in
// decimal, booleans "true"/"false", object paths as the path, string lists as "[a,b]", variants
// as their value, anything else as "<" its D-Bus signature ">".
QString FormatCall(const QString& call, const QVariantList& arguments);

QString FormatArgument(const QVariant& argument);

}  // namespace vantor::sim
