#include "ui/single_instance.h"

#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/main_frame_model.h"
#include "ui/ui_fakes.h"

namespace vantor {
namespace {

using test::FakeClock;

// Plays the other copy: lock results and answers come from scripts (the last one repeats), and
// every call is recorded.
class FakeInstanceChannel : public InstanceChannel {
public:
    InstanceLockResult TryLock(const std::u16string& name) override {
        calls.push_back("lock " + std::string(name.begin(), name.end()));
        return Next(locks);
    }
    RestoreAnswer AskToRestore(const std::u16string& name) override {
        calls.push_back("ask " + std::string(name.begin(), name.end()));
        return Next(answers);
    }
    bool Listen(const std::u16string&, std::function<void()>) override { return true; }

    std::deque<InstanceLockResult> locks;
    std::deque<RestoreAnswer> answers{RestoreAnswer::NoListener};
    std::vector<std::string> calls;

private:
    template <typename T>
    static T Next(std::deque<T>& script) {
        const T next = script.front();
        if (script.size() > 1) {
            script.pop_front();
        }
        return next;
    }
};

constexpr InstanceLockResult Acquired{InstanceLockState::Acquired, SOk};
constexpr InstanceLockResult Held{InstanceLockState::HeldElsewhere, SOk};

TEST(SingleInstance, FirstCopyGoesOnAndASecondEndsOnceTheFirstCameForward) {
    EXPECT_EQ(SingleInstanceName(FrameTitle), u"Configuratio");
    EXPECT_EQ(SingleInstanceName(u"Short"), u"Short");
    FakeClock clock;
    FakeInstanceChannel first;
    first.locks = {Acquired};
    EXPECT_EQ(CheckSingleInstance(first, clock, FrameTitle), InstanceCheckPassed);
    EXPECT_EQ(first.calls, (std::vector<std::string>{"lock Configuratio"}));

    FakeInstanceChannel second;
    second.locks = {Held};
    second.answers = {RestoreAnswer::Restored};
    const HResult result = CheckSingleInstance(second, clock, FrameTitle);
    EXPECT_EQ(result, AnotherInstanceRestored);
    EXPECT_EQ(InstanceCheckExitCode(result), 1);
    EXPECT_EQ(second.calls, (std::vector<std::string>{"lock Configuratio", "ask Configuratio"}));
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST(SingleInstance, WaitsForAFirstCopyWithoutWindowThenStartsAnyway) {
    // The first copy holds its lock but never listens: 25 rounds, 100 ms apart, then go on.
    // A request nobody answers is repeated at once and counts as a round.
    for (RestoreAnswer answer : {RestoreAnswer::NoListener, RestoreAnswer::NotAnswered}) {
        FakeClock clock;
        FakeInstanceChannel channel;
        channel.locks = {Held};
        channel.answers = {answer};
        EXPECT_EQ(CheckSingleInstance(channel, clock, FrameTitle), InstanceCheckPassed);
        EXPECT_EQ(clock.Sleeps(), answer == RestoreAnswer::NoListener
                                      ? std::vector<std::uint32_t>(25, 100)
                                      : std::vector<std::uint32_t>{});
        EXPECT_EQ(channel.calls.size(), 50u);
    }

    // A first copy that gets its window during the wait is brought forward then.
    FakeClock laterClock;
    FakeInstanceChannel later;
    later.locks = {Held};
    later.answers = {RestoreAnswer::NoListener, RestoreAnswer::NoListener, RestoreAnswer::Restored};
    EXPECT_EQ(CheckSingleInstance(later, laterClock, FrameTitle), AnotherInstanceRestored);
    EXPECT_EQ(laterClock.Sleeps(), (std::vector<std::uint32_t>{100, 100}));

    // A first copy that closes during the wait leaves its lock to this one.
    FakeClock freedClock;
    FakeInstanceChannel freed;
    freed.locks = {Held, Held, Acquired};
    EXPECT_EQ(CheckSingleInstance(freed, freedClock, FrameTitle), InstanceCheckPassed);
    EXPECT_EQ(freedClock.Sleeps().size(), 2u);
}

TEST(SingleInstance, LockFailuresAndAnEmptyNameEndWithTheirCode) {
    FakeClock clock;
    FakeInstanceChannel invalid;
    invalid.locks = {{InstanceLockState::Failed, EInvalidArg}};
    EXPECT_EQ(CheckSingleInstance(invalid, clock, FrameTitle), EInvalidArg);
    EXPECT_EQ(InstanceCheckExitCode(EInvalidArg) & 0xFF, 0x57);

    // A failure in a later round ends the check there.
    FakeInstanceChannel later;
    later.locks = {Held, {InstanceLockState::Failed, EFail}};
    EXPECT_EQ(CheckSingleInstance(later, clock, FrameTitle), EFail);
    EXPECT_EQ(later.calls.size(), 3u);

    FakeInstanceChannel untouched;
    untouched.locks = {Acquired};
    EXPECT_EQ(CheckSingleInstance(untouched, clock, u""), EFail);
    EXPECT_TRUE(untouched.calls.empty());
}

}  // namespace
}  // namespace vantor
