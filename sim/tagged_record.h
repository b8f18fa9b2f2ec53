#pragma once

#include <QString>
#include <optional>

namespace vantor::sim {

// Activity records are runs of tagged fields: "<", U+0001, the field name, U+0001, ">", then the
// value up to the next tag or the end of the record.

// The value of field in record; nothing when the record has no such tag.
std::optional<QString> TaggedField(const QString& record, const QString& field);

// The record's "Pointer" field as a signed 32-bit decimal; nothing when it is missing or is not
// such a number.
std::optional<qint32> RecordPointer(const QString& record);

}  // namespace vantor::sim
