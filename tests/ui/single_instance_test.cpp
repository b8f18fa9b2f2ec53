#include "ui/single_instance.h"

#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ui/main_frame_model.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using Calls = std::vector<std::string>;
using Sleeps = std::vector<std::uint32_t>;
using enum RestoreAnswer;
constexpr InstanceLockResult Acquired{InstanceLockState::Acquired, SOk};
constexpr InstanceLockResult Held{InstanceLockState::HeldElsewhere, SOk};

// Plays the other copy: lock results and answers come from scripts (the last one repeats), and
// every call is recorded.
class FakeInstanceChannel : public InstanceChannel {
public:
    InstanceLockResult TryLock(const std::u16string& name) override {
        calls.push_back("lock " + test::Narrow(name));
        return Next(locks);
    }
    RestoreAnswer AskToRestore(const std::u16string& name) override {
        calls.push_back("ask " + test::Narrow(name));
        return Next(answers);
    }
    bool Listen(const std::u16string&, std::function<void()>) override { return true; }

    template <typename T>
    static T Next(std::deque<T>& script) {
        const T next = script.front();
        script.erase(script.begin(), script.begin() + (script.size() > 1 ? 1 : 0));
        return next;
    }
    std::deque<InstanceLockResult> locks;
    std::deque<RestoreAnswer> answers;
    Calls calls;
};

// What a check returned, the sleeps it took and the calls it made.
using CheckRun = std::tuple<HResult, Sleeps, Calls>;
CheckRun Check(std::deque<InstanceLockResult> locks,
               std::deque<RestoreAnswer> answers = {NoListener},
               std::u16string_view title = FrameTitle) {
    test::FakeClock clock;
    FakeInstanceChannel channel;
    channel.locks = std::move(locks);
    channel.answers = std::move(answers);
    const HResult result = CheckSingleInstance(channel, clock, title);
    return {result, clock.Sleeps(), channel.calls};
}
// The calls of rounds rounds that each try the lock and ask the holder, plus a last lock.
Calls Rounds(std::size_t rounds, bool lastLock = false) {
    Calls calls;
    for (std::size_t i = 0; i < rounds; ++i) {
        calls.insert(calls.end(), {"lock Configuratio", "ask Configuratio"});
    }
    return lastLock ? (calls.push_back("lock Configuratio"), calls) : calls;
}

TEST(SingleInstance, FirstCopyGoesOnAndASecondEndsWithOneOnceTheFirstCameForward) {
    EXPECT_EQ(SingleInstanceName(FrameTitle), u"Configuratio");
    EXPECT_EQ(Check({Acquired}), CheckRun(InstanceCheckPassed, {}, Rounds(0, true)));
    EXPECT_EQ(Check({Held}, {Restored}), CheckRun(AnotherInstanceRestored, {}, Rounds(1)));
    EXPECT_EQ(InstanceCheckExitCode(AnotherInstanceRestored), 1);
}

TEST(SingleInstance, WaitsForAFirstCopyWithoutWindowThenStartsAnyway) {
    // The first copy holds its lock but never listens: 25 rounds, 100 ms apart, then go on.
    // A request nobody answers is repeated at once and counts as a round.
    EXPECT_EQ(Check({Held}), CheckRun(InstanceCheckPassed, Sleeps(25, 100), Rounds(25)));
    EXPECT_EQ(Check({Held}, {NotAnswered}), CheckRun(InstanceCheckPassed, {}, Rounds(25)));
    // A first copy that gets its window during the wait is brought forward then; one that
    // closes leaves its lock to this one.
    EXPECT_EQ(Check({Held}, {NoListener, NoListener, Restored}),
              CheckRun(AnotherInstanceRestored, {100, 100}, Rounds(3)));
    EXPECT_EQ(Check({Held, Held, Acquired}),
              CheckRun(InstanceCheckPassed, {100, 100}, Rounds(2, true)));
}

TEST(SingleInstance, LockFailuresAndAnEmptyNameEndWithTheirCode) {
    EXPECT_EQ(std::get<HResult>(Check({{InstanceLockState::Failed, EInvalidArg}})), EInvalidArg);
    EXPECT_EQ(InstanceCheckExitCode(EInvalidArg) & 0xFF, 0x57);
    // A failure in a later round ends the check there.
    EXPECT_EQ(Check({Held, {InstanceLockState::Failed, EFail}}),
              CheckRun(EFail, {100}, Rounds(1, true)));
    EXPECT_EQ(Check({Acquired}, {NoListener}, u""), CheckRun(EFail, {}, {}));
}

}  // namespace
}  // namespace vantor
