#include "sim/systemd_unit_path.h"

#include <gtest/gtest.h>

#include "sim/dbus_signature.h"

namespace vantor::sim {
namespace {

TEST(SystemdUnitPath, EscapesLikeSystemdAndReadsBack) {
    const QString prefix = "/org/freedesktop/systemd1/unit/";
    EXPECT_EQ(UnitObjectPath("Vantor.service"), prefix + "Vantor_2eservice");
    EXPECT_EQ(UnitObjectPath("dbus-broker@1.service"), prefix + "dbus_2dbroker_401_2eservice");
    EXPECT_EQ(UnitObjectPath("1a"), prefix + "_31a");
    EXPECT_EQ(UnitObjectPath(""), prefix + "_");
    EXPECT_EQ(UnitObjectPath(QString::fromUtf8("\u00e9")), prefix + "_c3_a9");
    for (const QString name : {"Vantor.service", "a-b_c@d.mount", "1a", "", "\u00e9t\u00e9"}) {
        EXPECT_EQ(UnitNameFromPath(UnitObjectPath(name)), name);
    }
    for (const QString bad : {prefix, QString("/org/freedesktop/systemd1"), prefix + "bad_2",
                              prefix + "bad_zz", prefix + "a/b"}) {
        EXPECT_EQ(UnitNameFromPath(bad), std::nullopt) << bad.toStdString();
    }
}

TEST(DbusSignature, SplitsIntoCompleteTypesDroppingAMalformedTail) {
    EXPECT_EQ(SplitSignature("ubas"), (QStringList{"u", "b", "as"}));
    EXPECT_EQ(SplitSignature("a(sasbttttuii)a{sv}aai"),
              (QStringList{"a(sasbttttuii)", "a{sv}", "aai"}));
    EXPECT_EQ(SplitSignature(""), QStringList{});
    EXPECT_EQ(SplitSignature("s(ii"), QStringList{"s"});
    EXPECT_EQ(SplitSignature("ua"), QStringList{"u"});
}

}  // namespace
}  // namespace vantor::sim
