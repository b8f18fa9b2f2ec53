#include "server/user_list.h"

#include <gtest/gtest.h>

#include "config/text_codec.h"

using namespace vantor;
namespace {

TEST(UserList, RecordsSplitIntoNameGroupAndInformation) {
    const struct {
        std::u16string record;
        UserRow row;
    } cases[] = {
        {u"ann Medium Head of sound  desk", {u"ann", u"Medium", u"Head of sound  desk"}},
        {u"bob Basic ", {u"bob", u"Basic", u""}},
        {u"carl Advanced", {u"carl", u"", u"Advanced"}},  // no second space
        {u"dora", {u"dora", u"", u""}},
        {u"", {u"", u"", u""}},
    };
    for (const auto& [record, row] : cases) {
        EXPECT_EQ(ParseUserRecord(record), row) << std::string(record.begin(), record.end());
    }
}

// The names in list order, with the selected one in brackets.
std::string Names(const UserList& list) {
    std::string text;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const std::string plain = Utf16ToUtf8(list.Rows()[i].name);
        text += (text.empty() ? "" : " ") + (list.Selected() == i ? "[" + plain + "]" : plain);
    }
    return text;
}

TEST(UserList, SortsAscendingIgnoringCaseKeepingTiesAndTheSelection) {
    UserList list;
    list.Append({u"zoe Basic b", u"Ålf Medium A", u"adam Advanced c", u"Bea basic a",
                 u"eve Medium B", u"åke Advanced d"});
    list.Select(1);
    EXPECT_EQ(Names(list), "zoe [Ålf] adam Bea eve åke");

    // Accented capitals fold too: "åke" comes before "Ålf".
    list.SortBy(UserColumn::Name);
    EXPECT_EQ(Names(list), "adam Bea eve zoe åke [Ålf]");
    list.SortBy(UserColumn::Group);  // "basic" and "Basic" tie and keep their order
    EXPECT_EQ(Names(list), "adam åke Bea zoe eve [Ålf]");
    list.SortBy(UserColumn::Information);
    EXPECT_EQ(Names(list), "Bea [Ålf] zoe eve adam åke");

    list.Select(99);
    EXPECT_EQ(list.Selected(), std::nullopt);
}

}  // namespace
