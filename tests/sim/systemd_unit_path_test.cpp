#include "sim/systemd_unit_path.h"

#include <gtest/gtest.h>

#include "sim/dbus_signature.h"

namespace vantor::sim {
namespace {

TEST(SystemdUnitPath, EscapesLikeSystemdAndReadsBack) {
    EXPECT_EQ(UnitObjectPath("Vantor.service"), "/org/freedesktop/systemd1/unit/Vantor_2eservice");
    EXPECT_EQ(UnitObjectPath("dbus-broker@1.service"),
              "/org/freedesktop/systemd1/unit/dbus_2dbroker_401_2eservice");
    EXPECT_EQ(UnitObjectPath("1a"), "/org/freedesktop/systemd1/unit/_31a");
    EXPECT_EQ(UnitObjectPath(""), "/org/freedesktop/systemd1/unit/_");
    EXPECT_EQ(UnitObjectPath(QString::fromUtf8("\u00e9")), "/org/freedesktop/systemd1/unit/_c3_a9");

    for (const QString name : {"Vantor.service", "a-b_c@d.mount", "1a", "", "\u00e9t\u00e9"}) {
        EXPECT_EQ(UnitNameFromPath(UnitObjectPath(name)), name);
    }
    EXPECT_EQ(UnitNameFromPath("/org/freedesktop/systemd1/unit/"), std::nullopt);
    EXPECT_EQ(UnitNameFromPath("/org/freedesktop/systemd1"), std::nullopt);
    EXPECT_EQ(UnitNameFromPath("/org/freedesktop/systemd1/unit/bad_2"), std::nullopt);
    EXPECT_EQ(UnitNameFromPath("/org/freedesktop/systemd1/unit/bad_zz"), std::nullopt);
    EXPECT_EQ(UnitNameFromPath("/org/freedesktop/systemd1/unit/a/b"), std::nullopt);
}

TEST(DbusSignature, SplitsIntoCompleteTypes) {
    EXPECT_EQ(SplitSignature("siss"), (QStringList{"s", "i", "s", "s"}));
    EXPECT_EQ(SplitSignature("ubas"), (QStringList{"u", "b", "as"}));
    EXPECT_EQ(SplitSignature("a(sasbttttuii)a{sv}aai"),
              (QStringList{"a(sasbttttuii)", "a{sv}", "aai"}));
    EXPECT_EQ(SplitSignature(""), QStringList{});
    // A malformed tail is left out.
    EXPECT_EQ(SplitSignature("s(ii"), QStringList{"s"});
    EXPECT_EQ(SplitSignature("ua"), QStringList{"u"});
}

}  // namespace
}  // namespace vantor::sim
