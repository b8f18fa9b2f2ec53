#include "platform/linux_instance_channel.h"

#include <chrono>
#include <future>
#include <memory>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vantor {
namespace {

// Two copies in one folder: the first holds the lock, and once it listens, the second's request
// brings it forward; when it ends, the lock is free again.
TEST(LinuxInstanceChannel, OneCopyHoldsTheLockAndComesForwardWhenAnotherAsks) {
    QTemporaryDir dir;
    const std::u16string name = u"VantorConfig";
    auto first = std::make_unique<LinuxInstanceChannel>(dir.path().toStdString());
    LinuxInstanceChannel second(dir.path().toStdString());
    EXPECT_EQ(first->TryLock(name).state, InstanceLockState::Acquired);
    EXPECT_EQ(second.TryLock(name).state, InstanceLockState::HeldElsewhere);
    EXPECT_EQ(second.AskToRestore(name), RestoreAnswer::NoListener);

    int restored = 0;
    ASSERT_TRUE(first->Listen(name, [&restored] { ++restored; }));
    // The listener answers on this thread's event loop, so the request comes from another.
    auto answer = std::async(std::launch::async, [&] { return second.AskToRestore(name); });
    while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(answer.get(), RestoreAnswer::Restored);
    EXPECT_EQ(restored, 1);

    first.reset();
    EXPECT_EQ(second.TryLock(name).state, InstanceLockState::Acquired);
    EXPECT_EQ(second.TryLock(u"a/b").failure, SOk);  // held already: the name is not looked at
    EXPECT_EQ(LinuxInstanceChannel(dir.path().toStdString()).TryLock(u"").failure, EInvalidArg);
}

}  // namespace
}  // namespace vantor
