#include "editors/live_type_chooser_model.h"

#include <gtest/gtest.h>

#include "editors/control_texts.h"

using namespace vantor;
namespace {

TEST(LiveTypeChooser, OpensOnStaticAndAnswersTheSelectedType) {
    LiveTypeChooserModel model(false);
    EXPECT_EQ(model.Title(), u"New Live Broadcast");
    EXPECT_EQ(test::ControlsWithoutText<LiveTypeControl>(model, kLiveTypeControlCount, {}),
              std::vector<std::size_t>{});
    EXPECT_EQ(model.OnOk(), LiveType::Static);
    for (LiveType type : {LiveType::Dynamic, LiveType::Delegate, LiveType::Static}) {
        model.OnTypeSelected(type);
        EXPECT_EQ(model.OnOk(), type);
        for (LiveType other : {LiveType::Static, LiveType::Dynamic, LiveType::Delegate}) {
            EXPECT_EQ(model.State(LiveTypeChooserModel::RadioOf(other)).checked, other == type);
        }
    }
}

TEST(LiveTypeChooser, RebroadcastOnlyWhereTheSystemSupportsIt) {
    LiveTypeChooserModel unsupported(false);
    EXPECT_FALSE(unsupported.State(LiveTypeControl::RebroadcastRadio).enabled);
    unsupported.OnTypeSelected(LiveType::MmsRebroadcast);
    EXPECT_EQ(unsupported.OnOk(), LiveType::Static);

    LiveTypeChooserModel supported(true);
    EXPECT_TRUE(supported.State(LiveTypeControl::RebroadcastRadio).enabled);
    supported.OnTypeSelected(LiveType::MmsRebroadcast);
    EXPECT_EQ(supported.OnOk(), LiveType::MmsRebroadcast);
}

}  // namespace
