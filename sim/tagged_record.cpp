#include "sim/tagged_record.h"

namespace vantor::sim {
namespace {

const QString TagOpen = QStringLiteral("<\u0001");
const QString TagClose = QStringLiteral("\u0001>");
const QString PointerField = QStringLiteral("Pointer");

}  // namespace

std::optional<QString> TaggedField(const QString& record, const QString& field) {
    const QString tag = TagOpen + field + TagClose;
    const qsizetype tagAt = record.indexOf(tag);
    if (tagAt < 0) {
        return std::nullopt;
    }
    const qsizetype valueAt = tagAt + tag.size();
    const qsizetype nextTag = record.indexOf(TagOpen, valueAt);
    return record.mid(valueAt, nextTag < 0 ? -1 : nextTag - valueAt);
}

std::optional<qint32> RecordPointer(const QString& record) {
    const std::optional<QString> text = TaggedField(record, PointerField);
    if (!text) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = text->trimmed().toInt(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vantor::sim
