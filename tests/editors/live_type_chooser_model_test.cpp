#include "editors/live_type_chooser_model.h"

#include <gtest/gtest.h>

#include "editors/control_texts.h"

using namespace vantor;
namespace {

TEST(LiveTypeChooser, OpensOnStaticAndAnswersTheSelectedTypeRebroadcastOnlyWhereSupported) {
    for (bool supported : {false, true}) {
        LiveTypeChooserModel model(supported);
        EXPECT_EQ(model.Title(), u"New Live Broadcast");
        EXPECT_EQ(test::ControlsWithoutText<LiveTypeControl>(model, kLiveTypeControlCount, {}),
                  std::vector<std::size_t>{});
        EXPECT_EQ(model.OnOk(), LiveType::Static);
        EXPECT_EQ(model.State(LiveTypeControl::RebroadcastRadio).enabled, supported);
        for (LiveType type :
             {LiveType::Dynamic, LiveType::Delegate, LiveType::Static, LiveType::MmsRebroadcast}) {
            model.OnTypeSelected(type);
            const LiveType answered =
                type == LiveType::MmsRebroadcast && !supported ? LiveType::Static : type;
            EXPECT_EQ(model.OnOk(), answered);
            for (LiveType other : {LiveType::Static, LiveType::Dynamic, LiveType::Delegate}) {
                EXPECT_EQ(model.State(LiveTypeChooserModel::RadioOf(other)).checked,
                          other == answered);
            }
        }
    }
}

}  // namespace
