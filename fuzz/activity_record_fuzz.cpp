// Feeds arbitrary records to the activity record parser and the page builders. Bytes 0xF0 and up
// stand for the tags of the record fields, so that the fuzzer finds tagged records quickly; a
// 0xEF byte ends one record and starts the next. Each record's values must be what the
// extraction rule gives (checked against a plain reading of the rule written here), and building
// and sorting the pages' rows must never fail.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/activity_pages.h"
#include "monitor/activity_record.h"

namespace {

using namespace vantor;

constexpr std::array<std::u16string_view, 12> kAllFields = {
    u"Resource", u"User",         u"IP",        u"Protocol", u"Time",  u"Pointer",
    u"LiveIP",   u"ResourceName", u"Initiator", u"Activity", u"Users", u"Throughput"};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "activity_record_fuzz: %s\n", what);
        std::abort();
    }
}

// The rule read plainly: each field's value runs from the end of its own tag's length to the
// next field's tag, found in what is left; no next tag found, the value is empty and nothing is
// consumed; the last field is everything past its tag's length.
std::vector<std::u16string> ByTheRule(std::u16string_view record,
                                      const std::vector<std::u16string_view>& names) {
    std::vector<std::u16string> values;
    std::u16string_view rest = record;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t own = FieldTag(names[i]).size();
        if (i + 1 == names.size()) {
            values.emplace_back(rest.size() > own ? rest.substr(own) : std::u16string_view());
            break;
        }
        const std::size_t next = rest.find(FieldTag(names[i + 1]));
        if (next == std::u16string_view::npos) {
            values.emplace_back();
            continue;
        }
        values.emplace_back(next > own ? rest.substr(own, next - own) : std::u16string_view());
        rest = rest.substr(next);
    }
    return values;
}

template <std::size_t N>
void CheckFields(std::u16string_view record, const std::array<std::u16string_view, N>& names) {
    const std::vector<std::u16string> values = ExtractFields(record, names);
    Require(values == ByTheRule(record, {names.begin(), names.end()}),
            "fields differ from the rule");
    for (const std::u16string& value : values) {
        Require(value.size() <= record.size(), "a value longer than its record");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::u16string> records(1);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte == 0xEF) {
            records.emplace_back();
        } else if (byte >= 0xF0 && byte - 0xF0u < kAllFields.size()) {
            records.back() += FieldTag(kAllFields[byte - 0xF0u]);
        } else {
            records.back() += static_cast<char16_t>(byte);
        }
    }
    for (const std::u16string& record : records) {
        CheckFields(record, ActiveUserFields);
        CheckFields(record, LiveConnectionFields);
        CheckFields(record, MediaUsageFields);
    }
    for (int page = 0; page < 3; ++page) {
        std::vector<ActivityRow> rows =
            ActivityRowsFromRecords(static_cast<ActivityPage>(page), records);
        Require(rows.size() == records.size(), "a record without its row");
        for (int column = 0; column < 5; ++column) {
            SortActivityRows(static_cast<ActivityPage>(page), column, rows);
            Require(rows.size() == records.size(), "sorting lost a row");
        }
    }
    return 0;
}
