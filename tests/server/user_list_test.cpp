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
                 u"eve Medium B", u"Émile Advanced d", u"ÉMILE Basic e", u"étienne Medium f"});
    list.Select(1);
    EXPECT_EQ(Names(list), "zoe [Ålf] adam Bea eve Émile ÉMILE étienne");

    // Accented letters sort with their base letter: "Ålf" among the A's, "Émile" before "Zoe"
    // and after "eve"; "Émile" and "ÉMILE" tie and keep their order.
    const NameCollator root("C");
    list.SortBy(UserColumn::Name, root);
    EXPECT_EQ(Names(list), "adam [Ålf] Bea Émile ÉMILE étienne eve zoe");
    list.SortBy(UserColumn::Group, root);  // "basic" and "Basic" tie and keep their order
    EXPECT_EQ(Names(list), "adam Émile Bea ÉMILE zoe [Ålf] étienne eve");
    list.SortBy(UserColumn::Information, root);
    EXPECT_EQ(Names(list), "Bea [Ålf] zoe eve adam Émile ÉMILE étienne");

    // The language decides: Swedish puts Å after Z.
    list.SortBy(UserColumn::Name, NameCollator("sv_SE.UTF-8"));
    EXPECT_EQ(Names(list), "adam Bea Émile ÉMILE étienne eve zoe [Ålf]");

    list.Select(99);
    EXPECT_EQ(list.Selected(), std::nullopt);
}

}  // namespace
