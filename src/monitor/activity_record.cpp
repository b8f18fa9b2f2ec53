#include "monitor/activity_record.h"

#include <algorithm>
#include <array>
#include <utility>

#include "config/decimal_reader.h"

namespace vantor {
namespace {

std::int32_t NumberOrZero(std::u16string_view text) {
    return ReadDecimal(text).value;  // 0 when nothing was read
}

}  // namespace

std::u16string FieldTag(std::u16string_view name) {
    std::u16string tag = u"<\u0001";
    tag += name;
    tag += u"\u0001>";
    return tag;
}

std::vector<std::u16string> ExtractFields(std::u16string_view record,
                                          std::span<const std::u16string_view> names) {
    std::vector<std::u16string> values;
    values.reserve(names.size());
    std::u16string_view rest = record;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t tagLength = FieldTag(names[i]).size();
        if (i + 1 == names.size()) {
            values.emplace_back(rest.substr(std::min(tagLength, rest.size())));
            break;
        }
        std::size_t next = rest.find(FieldTag(names[i + 1]));
        if (next == std::u16string_view::npos) {
            values.emplace_back();
            continue;
        }
        // The next tag can sit inside where this one should be when this one is missing: the
        // value is then empty.
        const std::u16string_view field = rest.substr(0, next);
        values.emplace_back(field.substr(std::min(tagLength, field.size())));
        rest = rest.substr(next);
    }
    return values;
}

ActiveUserRecord ParseActiveUser(std::u16string_view record) {
    std::vector<std::u16string> fields = ExtractFields(record, ActiveUserFields);
    ActiveUserRecord parsed;
    parsed.resource = std::move(fields[0]);
    parsed.user = std::move(fields[1]);
    parsed.ip = std::move(fields[2]);
    parsed.protocol = std::move(fields[3]);
    parsed.time = NumberOrZero(fields[4]);
    parsed.pointer = NumberOrZero(fields[5]);
    return parsed;
}

LiveConnectionRecord ParseLiveConnection(std::u16string_view record) {
    std::vector<std::u16string> fields = ExtractFields(record, LiveConnectionFields);
    return {std::move(fields[0]), std::move(fields[1]), std::move(fields[2]), std::move(fields[3])};
}

MediaUsageRecord ParseMediaUsage(std::u16string_view record) {
    std::vector<std::u16string> fields = ExtractFields(record, MediaUsageFields);
    return {std::move(fields[0]), std::move(fields[1]), std::move(fields[2])};
}

}  // namespace vantor
