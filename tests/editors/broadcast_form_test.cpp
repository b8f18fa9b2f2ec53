#include "editors/broadcast_form.h"

#include <tuple>

#include <gtest/gtest.h>

using namespace vantor;
namespace {

TEST(BroadcastForm, TypeFollowsTheStoredSource) {
    struct Case {
        std::u16string source;
        LiveType type;
    };
    for (const Case& c : {
             Case{u"vtr://tcp:h:5119/a", LiveType::Delegate},
             Case{u"VTR://tcp:h:5119/a", LiveType::Static},
             Case{u"0", LiveType::Dynamic},
             Case{u"10@10.0.0.1", LiveType::Static},
             Case{u"", LiveType::Static},
             Case{u"mms://h/live", LiveType::MmsRebroadcast},
             Case{u"MMS://h/live", LiveType::Static},
         }) {
        EXPECT_EQ(LiveTypeOfSource(c.source), c.type)
            << std::string(c.source.begin(), c.source.end());
    }
}

// A record read back through a form is the same record, once the fields a broadcast always has
// are set; the playlist fields and enabled are not the form's.
TEST(BroadcastForm, RecordSurvivesTheFormAndKeepsWhatTheEditorDoesNotEdit) {
    ResourceRecord record;
    record.kind = ResourceKind::LiveBroadcast;
    record.enabled = false;
    record.authMethod = AuthMethod::Internal;
    record.userGroups = BasicUsers | AdvancedUsers;
    record.name = u"News";
    record.source = u"3@192.168.0.10";
    record.description = u"Evening news";
    record.imageIndex = LiveBroadcastImage;
    record.unicast = false;
    record.multicastGroup = u"230.0.0.1:6000";
    record.playlist = true;
    record.playlistOrder = 1;
    record.playTimeLimit = 30;
    record.allowDelegates = record.notifyArchival = true;
    record.metaTitle = u"T";
    record.metaAuthor = u"A";
    record.metaCopyright = u"C";
    record.maxConnections = 5;
    record.maxThroughputKBps = 700;

    const LiveForm form = LiveFormFromRecord(record);
    EXPECT_EQ(std::tuple(form.openingName, form.maxConnections, form.maxConnectionsPerUser),
              std::tuple(u"News", LimitSetting{true, 5}, LimitSetting{false, 0}));

    // Applied over an empty folder record holding only what is not the form's.
    ResourceRecord written;
    std::tie(written.enabled, written.playlist, written.playlistOrder) =
        std::tuple(record.enabled, record.playlist, record.playlistOrder);
    ApplyBroadcastForm(form, written);
    EXPECT_EQ(written, record);
    ApplyBroadcastForm(DelegateFormFromRecord(record), written);
    EXPECT_EQ(written, record);

    // A limit switched off is stored as 0 whatever its value.
    LiveForm edited = form;
    edited.maxConnections = {false, 5};
    ApplyBroadcastForm(edited, written);
    EXPECT_EQ(written.maxConnections, 0u);
}

}  // namespace
