#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/prompter.h"
#include "server/automation.h"
#include "server/user_list.h"
#include "server/user_manager.h"

namespace {

using namespace vantor;

constexpr int UserCount = 10000;

// Records as a large server answers GetUsers: names of mixed case with shared prefixes, the
// three groups, and information texts with spaces.
std::vector<std::u16string> MakeRecords() {
    const char16_t* stems[] = {u"anna", u"Bob", u"carla", u"D\u00e9sir\u00e9", u"eve", u"Studio"};
    const char16_t* groups[] = {u"Basic", u"Medium", u"Advanced"};
    const char16_t* infos[] = {u"front desk", u"Stage door 2", u"", u"night shift, east wing"};
    std::mt19937 random(7);
    std::vector<std::u16string> records;
    records.reserve(UserCount);
    for (int i = 0; i < UserCount; ++i) {
        std::u16string record = stems[random() % std::size(stems)];
        for (char c : std::to_string(random() % 1000000)) {
            record += static_cast<char16_t>(c);
        }
        record += u' ';
        record += groups[random() % std::size(groups)];
        record += u' ';
        record += infos[random() % std::size(infos)];
        records.push_back(std::move(record));
    }
    return records;
}

struct InMemoryUsers : AutomationFactory, UsersAccessObject {
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return nullptr; }
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override { return nullptr; }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override { return nullptr; }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override { return nullptr; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return nullptr;
    }
    UserCallResult AddUser(const std::u16string&, std::int32_t, const std::u16string&,
                           const std::u16string&) override {
        return {};
    }
    UserCallResult SetUserPassword(const std::u16string&, const std::u16string&) override {
        return {};
    }
    UserCallResult UpdateUser(const std::u16string&, std::int32_t, const std::u16string&) override {
        return {};
    }
    UserCallResult DeleteUser(const std::u16string&) override { return {}; }
    TextListResult GetUsers() override { return {SOk, records}; }

    std::vector<std::u16string> records = MakeRecords();
};

struct SilentPrompter : Prompter {
    void ShowMessage(const std::u16string&, const std::u16string&, MessageIcon) override {}
    bool AskYesNo(const std::u16string&, const std::u16string&, MessageIcon) override {
        return false;
    }
};

// The list filled from the server's answer (the records copied out of the reply, then split).
void BM_LoadUsers(benchmark::State& state) {
    InMemoryUsers server;
    SilentPrompter prompter;
    UserManager manager(server, prompter, {}, {}, {});
    for (auto _ : state) {
        manager.LoadUserList(&server);
        benchmark::DoNotOptimize(manager.List().Rows().data());
    }
    state.SetItemsProcessed(state.iterations() * UserCount);
}
BENCHMARK(BM_LoadUsers)->Unit(benchmark::kMillisecond);

// Load, then sort by the clicked column: what a click on a header after opening costs.
void BM_LoadAndSortUsers(benchmark::State& state) {
    const auto column = static_cast<UserColumn>(state.range(0));
    InMemoryUsers server;
    SilentPrompter prompter;
    UserManager manager(server, prompter, {}, {}, {});
    for (auto _ : state) {
        manager.LoadUserList(&server);
        manager.OnColumnClicked(column);
        benchmark::DoNotOptimize(manager.List().Rows().data());
    }
    state.SetItemsProcessed(state.iterations() * UserCount);
}
BENCHMARK(BM_LoadAndSortUsers)
    ->ArgName("column")
    ->Arg(static_cast<int>(UserColumn::Name))
    ->Arg(static_cast<int>(UserColumn::Group))
    ->Arg(static_cast<int>(UserColumn::Information))
    ->Unit(benchmark::kMillisecond);

}  // namespace
