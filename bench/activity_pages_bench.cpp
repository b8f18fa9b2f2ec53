// The activity monitor's pages at scale. Targets: parsing 10,000 active-user records and filling
// the page under 30 ms; sorting that page by any column under 20 ms; a whole refresh of the
// Media Usage page with 5,000 resources under 15 ms.

#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "monitor/activity_monitor_model.h"
#include "monitor/activity_record.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "server/automation.h"

namespace {

using namespace vantor;

std::u16string Number(unsigned value) {
    const std::string text = std::to_string(value);
    return {text.begin(), text.end()};
}

std::vector<std::u16string> ActiveUsers(int count) {
    std::vector<std::u16string> records;
    unsigned seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::u16string resource =
            i % 3 == 0 ? u"Live " + Number(seed % 50)
                       : u"folder" + Number(seed % 200) + u"\\clip" + Number(seed % 97) + u".wmv";
        records.push_back(FieldTag(u"Resource") + resource + FieldTag(u"User") + u"user" +
                          Number(seed % 100000) + FieldTag(u"IP") + u"10.0." + Number(seed % 256) +
                          u"." + Number(i % 256) + FieldTag(u"Protocol") +
                          (i % 2 == 0 ? u"VTR-TCP" : u"MMS-HTTP") + FieldTag(u"Time") +
                          Number(seed % 400000) + FieldTag(u"Pointer") + Number(i));
    }
    return records;
}

std::vector<std::u16string> MediaUsage(int count) {
    std::vector<std::u16string> records;
    unsigned seed = 777;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        records.push_back(FieldTag(u"ResourceName") + u"Resource " + Number(seed % 1000000) +
                          (i % 2 == 0 ? u"/" : u"") + FieldTag(u"Users") + Number(seed % 500) +
                          FieldTag(u"Throughput") + Number(seed % 90000));
    }
    return records;
}

// A server that answers at once from prepared lists.
struct PreparedServer : AutomationFactory {
    struct Object : ResourcesInUseObject {
        explicit Object(PreparedServer& server) : server(server) {}
        TextListResult GetActiveUsers() override { return {SOk, server.users}; }
        HResult DisconnectUser(std::int32_t) override { return SOk; }
        TextListResult GetLiveConnections() override { return {}; }
        ThroughputResult GetThroughput() override { return {}; }
        TextListResult GetMediaUsage() override { return {SOk, server.usage}; }
        PreparedServer& server;
    };
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        return std::make_unique<Object>(*this);
    }
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override { return nullptr; }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return nullptr; }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override { return nullptr; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return nullptr;
    }
    std::optional<std::vector<std::u16string>> users;
    std::optional<std::vector<std::u16string>> usage;
};

struct NoClock : Clock {
    std::uint64_t NowMs() override { return 0; }
    void SleepMs(std::uint32_t) override {}
};
struct NoPrompter : Prompter {
    void ShowMessage(const std::u16string&, const std::u16string&, MessageIcon) override {}
    bool AskYesNo(const std::u16string&, const std::u16string&, MessageIcon) override {
        return false;
    }
};

// One refresh of the current page as the pane runs it (the fetch included, which the window
// runs off its thread) and the rows handed to the model.
void Refresh(ActivityMonitorModel& model, PreparedServer& server) {
    const std::uint64_t ticket = model.BeginRefresh();
    const auto fetch = model.FetchFor(ticket);
    model.ApplyFetched(ticket, FetchActivityPage(server, *fetch));
}

struct Monitor {
    ServerState state = ServerState::Running;
    PreparedServer server;
    NoClock clock;
    NoPrompter prompter;
    ActivityMonitorModel model{state, prompter, clock};
};

void BM_FillActiveUsers10000(benchmark::State& state) {
    Monitor m;
    m.server.users = ActiveUsers(10000);
    for (auto _ : state) {
        Refresh(m.model, m.server);
        benchmark::DoNotOptimize(m.model.Rows(ActivityPage::ActiveUsers).data());
    }
}
BENCHMARK(BM_FillActiveUsers10000)->Unit(benchmark::kMillisecond);

void BM_SortActiveUsers10000(benchmark::State& state) {
    const std::vector<ActivityRow> rows =
        ActivityRowsFromRecords(ActivityPage::ActiveUsers, ActiveUsers(10000));
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ActivityRow> copy = rows;
        state.ResumeTiming();
        SortActivityRows(ActivityPage::ActiveUsers, column, copy);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_SortActiveUsers10000)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_RefreshMediaUsage5000(benchmark::State& state) {
    Monitor m;
    m.server.usage = MediaUsage(5000);
    m.model.OnTabChanged(static_cast<int>(ActivityPage::MediaUsage));
    m.model.OnColumnClicked(ActivityPage::MediaUsage, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Refresh(m.model, m.server);
        benchmark::DoNotOptimize(m.model.Rows(ActivityPage::MediaUsage).data());
    }
}
BENCHMARK(BM_RefreshMediaUsage5000)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
