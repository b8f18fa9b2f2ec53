#include "editors/live_type_chooser_model.h"

#include <gtest/gtest.h>

#include "editors/control_texts.h"

using namespace vantor;
namespace {

TEST(LiveTypeChooser, OpensOnStaticAndAnswersTheSelectedTypeRebroadcastOnlyWhereSupported) {
    for (bool supported : {false, true}) {
        LiveTypeChooserModel model(supported);
        EXPECT_EQ(model.Title(), u"New Live Broadcast");
        EXPECT_EQ(
            test::ControlTexts<LiveTypeControl>(model, kLiveTypeControlCount, {}),
            (std::vector<std::u16string>{
                u"Static live broadcast (recommended)",
                u"Choose this if computer that runs Live Server is directly IP reachable from "
                u"Media Server computer. Connection will be initiated by Media Server based on IP "
                u"address of Live Server.",
                u"Dynamic live broadcast",
                u"Choose this if computer that runs Live Server is NOT directly IP reachable from "
                u"Media Server computer. Live Server will have to initiate a connection to Media "
                u"Server.",
                u"Delegate live broadcast",
                u"Choose this if local Media Server will connect to another Media Server for live "
                u"broadcast. Another Media Server will receive live broadcast from Live Server and "
                u"will resend it to this Media Server.",
                u"Rebroadcast stream from Microsoft Media Services (supported on Windows 2000, "
                u"XP, 2003 Server)",
                u"OK", u"Cancel"}));
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
