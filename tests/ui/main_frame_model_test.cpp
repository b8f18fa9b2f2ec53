#include "ui/main_frame_model.h"

#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using Timers = std::vector<std::pair<int, std::uint32_t>>;  // {id, period}; {id, 0} stops
// The state pane's text and icon, and the Start/Stop item's text and whether it is enabled.
using Shown = std::tuple<std::u16string, int, std::u16string, bool>;

// The window as the model leaves it, plus every timer call in order.
class FakeDisplay : public MainFrameDisplay {
public:
    void ShowStateIcon(ServerState state) override { icon = ServerStateIconId(state); }
    void ShowStateText(std::u16string_view text) override { stateText = text; }
    void ShowMessageText(std::u16string_view text) override { messageText = text; }
    void SetStartStopItem(std::u16string_view text, bool enabled) override {
        itemText = text;
        itemEnabled = enabled;
    }
    void StartTimer(int timerId, std::uint32_t periodMs) override {
        timerCalls.emplace_back(timerId, periodMs);
    }
    void StopTimer(int timerId) override { timerCalls.emplace_back(timerId, 0); }
    // On the worker's thread; read only once the worker has ended.
    void PostCompletion(ServerState state) override { posted.push_back(state); }
    Shown Now() const { return {stateText, icon, itemText, itemEnabled}; }

    int icon = 0;
    std::u16string stateText, messageText, itemText;
    bool itemEnabled = true;
    Timers timerCalls;
    std::vector<ServerState> posted;
};

class MainFrameModelTest : public ::testing::Test {
protected:
    // Runs the worker's report through the model, as the window's event handler does.
    void Complete() {
        ASSERT_TRUE(model.Controller().WaitForWorker());
        ASSERT_EQ(display.posted.size(), 1u);
        model.OnOperationCompleted(display.posted.back());
        display.posted.clear();
    }
    // A poll of the state, handled as the window's background poll hands it over.
    void Poll(std::u16string_view treeStatusText) {
        model.OnStatePolled(model.PollEpoch(), model.Controller().QueryServerState(),
                            treeStatusText);
    }
    // The window's start: creation, then the first poll's answer.
    void Create() {
        model.OnCreate();
        Poll(u"OK");
    }

    test::ScriptedServiceManager manager;
    test::FakeClock clock;
    FakeDisplay display;
    MainFrameModel model{display, manager, clock};
};

TEST_F(MainFrameModelTest, CreationAndEachPolledStateShowTextIconItemAndSettledEvent) {
    EXPECT_EQ(model.State(), ServerState::NotResponding);
    // Creation asks nothing (a hung server would hold the window): unknown until a poll answers,
    // with nothing offered and nothing settled.
    manager.installed = false;  // a query now would read as not responding
    model.SettledEvent().Reset();
    model.OnCreate();
    EXPECT_EQ(display.Now(),
              Shown(u"Media Server state is unknown", 218, u"&Start Media Server", true));
    EXPECT_FALSE(model.SettledEvent().IsSet());
    EXPECT_FALSE(model.OnStartStop());
    EXPECT_EQ(display.timerCalls, (Timers{{255, 1000}}));
    manager.installed = true;
    Poll(u"OK");
    EXPECT_EQ(display.Now(), Shown(u"Media Server is stopped", 219, u"&Start Media Server", true));
    // Each case starts from the opposite event state, so that it shows its own effect.
    using enum ServerState;
    const std::tuple<std::uint32_t, bool, ServerState, const char16_t*, int, const char16_t*, bool>
        cases[] = {
            {ServiceRunning, true, Running, u"Media Server is running", 220, u"&Stop Media Server",
             true},
            {ServiceStopped, true, Stopped, u"Media Server is stopped", 219, u"&Start Media Server",
             true},
            {ServicePaused, true, ChangingState, u"Media Server is changing state", 217,
             u"&Start Media Server", false},
            {ServiceRunning, false, NotResponding, u"Media Server does not respond", 218,
             u"&Start Media Server", true},
        };
    for (const auto& [serviceState, installed, state, text, icon, item, settled] : cases) {
        SCOPED_TRACE(static_cast<int>(state));
        manager.installed = installed;
        manager.state = serviceState;
        settled ? model.SettledEvent().Reset() : model.SettledEvent().Set();
        Poll(u"Currently multicasting: Films");
        EXPECT_EQ(std::make_tuple(model.State(), display.Now(), model.SettledEvent().IsSet()),
                  std::make_tuple(state, Shown(text, icon, item, true), settled));
        EXPECT_EQ(display.messageText, u"Currently multicasting: Films");
    }
}

TEST_F(MainFrameModelTest, StartGreysTheItemStopsPollingAndPollsFasterAfterCompletion) {
    Create();
    manager.startGate.Reset();
    display.timerCalls.clear();
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_EQ(display.Now(),
              Shown(u"Media Server is starting", 217, u"&Start Media Server", false));
    EXPECT_FALSE(model.SettledEvent().IsSet());
    EXPECT_FALSE(model.OnStartStop());  // a second request while the first runs
    // The report only travels; the frame changes, and polls again, when its own thread
    // handles it.
    manager.startGate.Set();
    ASSERT_TRUE(model.Controller().WaitForWorker());
    EXPECT_EQ(display.stateText, u"Media Server is starting");
    EXPECT_EQ(display.timerCalls, (Timers{{255, 0}}));
    Complete();
    EXPECT_EQ(display.Now(), Shown(u"Media Server is running", 220, u"&Stop Media Server", true));
    EXPECT_TRUE(model.SettledEvent().IsSet());
    EXPECT_EQ(display.timerCalls, (Timers{{255, 0}, {255, 250}}));

    // Stopping goes the other way and keeps the fast period.
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_EQ(display.stateText, u"Media Server is stopping");
    // A poll queued before the stop began, handled once the service has stopped but before the
    // report: the item keeps its text, greyed, until the report comes.
    ASSERT_TRUE(model.Controller().WaitForWorker());
    Poll(u"OK");
    EXPECT_EQ(std::tuple(display.itemText, display.itemEnabled),
              std::tuple(u"&Stop Media Server", false));
    Complete();
    EXPECT_EQ(display.Now(), Shown(u"Media Server is stopped", 219, u"&Start Media Server", true));
    EXPECT_EQ(model.PollPeriodMs(), 250u);
    // A failed start shows the state polled afterwards.
    manager.startResult = HResultFromError(ErrorAccessDenied);
    ASSERT_TRUE(model.OnStartStop());
    Complete();
    EXPECT_EQ(display.Now(), Shown(u"Media Server is stopped", 219, u"&Start Media Server", true));
    EXPECT_EQ(std::make_pair(manager.starts.load(), manager.stops.load()), std::make_pair(2, 1));
}

TEST_F(MainFrameModelTest, StartStopIsInertWhileNotRespondingChangingStateOrClosed) {
    manager.installed = false;
    model.OnCreate();
    EXPECT_FALSE(model.OnStartStop());
    manager.installed = true;
    manager.state = ServiceStopPending;
    Poll(u"OK");
    EXPECT_FALSE(model.OnStartStop());
    EXPECT_EQ(manager.starts + manager.stops, 0);
    EXPECT_EQ(display.timerCalls, (Timers{{255, 1000}}));

    // Closing waits for a start under way; its report, arriving afterwards, restores the item
    // but not the timer.
    manager.state = ServiceStopped;
    Poll(u"OK");
    manager.startGate.Reset();
    ASSERT_TRUE(model.OnStartStop());
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        manager.startGate.Set();
    });
    EXPECT_TRUE(model.OnClose());
    EXPECT_EQ(manager.starts, 1);
    opener.join();
    display.timerCalls.clear();
    Complete();
    Poll(u"late");
    EXPECT_EQ(display.timerCalls, Timers{});
    EXPECT_NE(display.messageText, u"late");
    EXPECT_FALSE(model.OnStartStop());
}

TEST_F(MainFrameModelTest, MenuPromptsOverlayTheMessagePaneWhileAMenuIsOpen) {
    // A poll while the menu is open changes the pane's own text underneath the prompt.
    model.OnCreate();
    model.OnMenuItemHighlighted(StartStopServerCommand);
    Poll(u"Currently multicasting: News");
    EXPECT_EQ(display.messageText, u"Send request command to Media Server");
    model.OnMenuClosed();
    EXPECT_EQ(display.messageText, u"Currently multicasting: News");
}

TEST_F(MainFrameModelTest, WaitForSettledStateDispatchesUntilASettledStateIsShown) {
    // Before the frame polls, nothing could ever set the event: no wait at all.
    int dispatched = 0;
    EXPECT_FALSE(model.WaitForSettledState([&] { return ++dispatched, true; }));
    EXPECT_EQ(dispatched, 0);
    // The wait resets the event and ends at the first poll that shows a settled state, not at
    // one that finds the state still changing.
    model.OnCreate();
    const std::uint32_t polledStates[] = {ServiceStartPending, ServiceRunning};
    EXPECT_TRUE(model.WaitForSettledState([&] {
        EXPECT_FALSE(model.SettledEvent().IsSet());
        manager.state = polledStates[dispatched++];
        Poll(u"OK");
        return true;
    }));
    EXPECT_EQ(dispatched, 2);
    // A dispatcher that cannot go on ends the wait unsettled.
    EXPECT_FALSE(model.WaitForSettledState([] { return false; }));
    // During a stop, polling is off but the completion ends the wait.
    ASSERT_TRUE(model.OnStartStop());
    EXPECT_TRUE(model.WaitForSettledState([&] { return Complete(), true; }));
    EXPECT_EQ(model.State(), ServerState::Stopped);
    // Closing the frame while waiting ends it too, and later waits return at once.
    EXPECT_FALSE(model.WaitForSettledState([&] { return model.OnClose(), true; }));
    EXPECT_EQ(display.timerCalls.back(), (std::pair<int, std::uint32_t>{255, 0}));
    EXPECT_FALSE(model.WaitForSettledState([&] { return ++dispatched, true; }));
    EXPECT_EQ(dispatched, 2);
}

// The window goes first: a start's report arriving while the model is being destroyed (its
// controller joining the worker) is not posted to it.
TEST(MainFrameModel, AReportAfterTheModelIsGoneIsDropped) {
    test::ScriptedServiceManager manager;
    test::FakeClock clock;
    FakeDisplay display;
    std::thread opener;
    {
        MainFrameModel model(display, manager, clock);
        model.OnCreate();
        model.OnStatePolled(model.PollEpoch(), ServerState::Stopped, u"OK");
        manager.startGate.Reset();
        ASSERT_TRUE(model.OnStartStop());
        opener = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            manager.startGate.Set();
        });
    }
    opener.join();
    EXPECT_EQ(manager.starts, 1);
    EXPECT_TRUE(display.posted.empty());
}

// A poll answered off the user-interface thread is shown, unless a start or stop began or ended
// after it was sent: its state would be older than what the window already knows.
TEST_F(MainFrameModelTest, PollAnsweredInTheBackgroundIsDroppedWhenAStartOrStopIntervened) {
    model.OnCreate();
    const std::uint64_t before = model.PollEpoch();
    model.OnStatePolled(before, ServerState::Stopped, u"OK");
    EXPECT_EQ(display.stateText, u"Media Server is stopped");
    EXPECT_EQ(display.messageText, u"OK");

    ASSERT_TRUE(model.OnStartStop());
    model.OnStatePolled(before, ServerState::Stopped, u"late");
    EXPECT_EQ(display.stateText, u"Media Server is starting");
    Complete();
    model.OnStatePolled(before, ServerState::Stopped, u"late");
    EXPECT_EQ(display.stateText, u"Media Server is running");
    EXPECT_EQ(display.messageText, u"OK");
    model.OnStatePolled(model.PollEpoch(), ServerState::NotResponding,
                        u"Currently multicasting: A");
    EXPECT_EQ(display.stateText, u"Media Server does not respond");
    EXPECT_EQ(display.messageText, u"Currently multicasting: A");
}

}  // namespace
}  // namespace vantor
