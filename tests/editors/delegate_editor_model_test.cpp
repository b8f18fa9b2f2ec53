#include "editors/delegate_editor_model.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "config/catalogue.h"
#include "config/multicast_table.h"
#include "editors/control_texts.h"
#include "editors/remote_link.h"

using namespace vantor;
namespace {

struct DelegateEditor : ::testing::Test {
    std::unique_ptr<DelegateEditorModel> Open(DelegateEditorMode mode, DelegateForm form) {
        auto model = std::make_unique<DelegateEditorModel>(
            mode, std::move(form), table, catalogue, defaultAuthMethod, BroadcastSubDialogs{});
        EXPECT_EQ(model->OnOpen(), u"");
        return model;
    }
    auto OpenNew() { return Open(DelegateEditorMode::Create, DelegateForm{}); }
    auto OpenLink(std::u16string link) {
        DelegateForm form;
        form.source = std::move(link);
        form.name = form.openingName = u"Relay";
        return Open(DelegateEditorMode::Update, form);
    }
    // The remote fields as shown: alias, address, protocol index, port.
    static std::u16string Remote(const DelegateEditorModel& model) {
        return model.State(DelegateControl::RemoteAliasEdit).text + u"|" +
               model.State(DelegateControl::AddressEdit).text + u"|" +
               static_cast<char16_t>(u'0' + model.SelectedProtocol()) + u"|" +
               model.State(DelegateControl::PortEdit).text;
    }

    MulticastTable table;
    Catalogue catalogue;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
};

TEST_F(DelegateEditor, NewBroadcastComposesTheLinkFromTheRemoteFields) {
    auto model = OpenNew();
    EXPECT_EQ(std::tuple(model->Title(), model->Settings().State(BroadcastControl::Header).text,
                         Remote(*model), model->Form().groupText),
              std::tuple(u"Delegate live broadcast",
                         u"Delegate live broadcast: Intermediate point in stream routing. Requests "
                         u"are forwarded to another live broadcast set up on another Media "
                         u"Server.",
                         u"||0|5119", u"225.0.0.0:5000"));
    using enum DelegateControl;
    EXPECT_EQ(
        test::ControlTexts<DelegateControl>(*model, kDelegateControlCount,
                                            {RemoteAliasEdit, AddressEdit, ProtocolList, PortEdit}),
        (std::vector<std::u16string>{u"Forward requests to the following remote broadcast:",
                                     u"Remote broadcast Alias", u"Media Server IP address",
                                     u"Connect using protocol", u"Port"}));
    model->Settings().SetNameText(u"Relay");
    model->SetRemoteAliasText(u"news");
    model->SetAddressText(u"10.0.0.5");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(std::tuple(model->Form().source, model->Form().name, model->Form().method,
                         model->Form().groups),
              std::tuple(u"vtr://tcp:10.0.0.5:5119/news", u"Relay", AuthMethod::InheritDefault,
                         AllUsers));
}

TEST_F(DelegateEditor, ChoosingAProtocolProposesItsPortOverATypedOne) {
    auto model = OpenNew();
    model->SetPortText(u"9000");
    model->OnProtocolSelected(TcpProtocol);  // no change of selection: the typed port stays
    EXPECT_EQ(Remote(*model), u"||0|9000");
    model->OnProtocolSelected(HttpProtocol);
    EXPECT_EQ(Remote(*model), u"||1|80");
    model->SetPortText(u"8080");
    model->OnProtocolSelected(HttpsProtocol);
    EXPECT_EQ(Remote(*model), u"||2|443");
    model->OnProtocolSelected(3);  // past the list: nothing selected
    EXPECT_EQ(model->SelectedProtocol(), -1);
}

TEST_F(DelegateEditor, StoredLinksOpenAsFarAsTheyAllowAndOkWritesThemAgain) {
    auto model = OpenLink(u"vtr://https:10.0.0.5:8443/a/b");
    EXPECT_EQ(model->Title(), u"Update live broadcast");
    EXPECT_EQ(Remote(*model), u"a/b|10.0.0.5|2|8443");
    // Missing pieces show what a new delegate starts with.
    EXPECT_EQ(Remote(*OpenLink(u"vtr://http:host")), u"||1|5119");
    model->SetPortText(u"-5");
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().source, u"vtr://https:10.0.0.5:-5/a/b");
}

TEST_F(DelegateEditor, OkChecksTheNameThenTheRemoteFieldsThenTheSettings) {
    auto model = OpenNew();
    model->SetPortText(u"");
    EXPECT_EQ(model->OnOk(), u"No name for new live broadcast is specified");
    model->Settings().SetNameText(u"Relay");
    EXPECT_EQ(model->OnOk(), u"No Remote Alias is specified");
    model->SetRemoteAliasText(u"news");
    EXPECT_EQ(model->OnOk(), u"No Remote Media Server IP address specified");
    model->SetAddressText(u"10.0.0.5");
    for (std::u16string port : {u"", u"0", u"abc"}) {
        model->SetPortText(port);
        EXPECT_EQ(model->OnOk(), u"No Remote Media Server port specified");
    }
    // The link is written before the settings are checked.
    model->SetPortText(u"70000");
    model->Settings().OnUnicastClicked(false);
    model->Settings().OnMulticastClicked(false);
    EXPECT_EQ(model->OnOk(), u"Either Unicast or Multicast or both should be checked");
    EXPECT_EQ(model->Form().source, u"vtr://tcp:10.0.0.5:70000/news");
}

// The dialog shows less than these links hold; OK keeps them as stored until a remote field
// changes, and then writes what the fields show.
TEST_F(DelegateEditor, StoredLinksStayByteForByteUntilARemoteFieldChanges) {
    for (const char16_t* link :
         {u"vtr://tcp:fe80::1:70000/a", u"vtr://http:host:abc/a", u"vtr://https:host:0443/a"}) {
        auto model = OpenLink(link);
        model->Settings().SetDescriptionText(u"changed");
        ASSERT_EQ(model->OnOk(), u"");
        EXPECT_EQ(model->Form().source, link);
    }
    auto model = OpenLink(u"vtr://tcp:fe80::1:70000/a");
    EXPECT_EQ(Remote(*model), u"a|fe80|0|5119");

    // A changed field writes the link; one changed back keeps the stored link again, even after
    // an OK that failed later on.
    model->SetRemoteAliasText(u"b");
    model->Settings().OnUnicastClicked(false);
    model->Settings().OnMulticastClicked(false);
    EXPECT_EQ(model->OnOk(), u"Either Unicast or Multicast or both should be checked");
    EXPECT_EQ(model->Form().source, u"vtr://tcp:fe80:5119/b");
    model->SetRemoteAliasText(u"a");
    model->Settings().OnUnicastClicked(true);
    ASSERT_EQ(model->OnOk(), u"");
    EXPECT_EQ(model->Form().source, u"vtr://tcp:fe80::1:70000/a");

    // Another protocol, or a port typed, is a change.
    for (auto change : {+[](DelegateEditorModel& m) { m.OnProtocolSelected(HttpProtocol); },
                        +[](DelegateEditorModel& m) { m.SetPortText(u"5120"); }}) {
        auto edited = OpenLink(u"vtr://tcp:host:abc/a");
        change(*edited);
        ASSERT_EQ(edited->OnOk(), u"");
        EXPECT_NE(edited->Form().source, u"vtr://tcp:host:abc/a");
    }
}

// An address with ':' would not read back from the link (the port follows the first ':').
TEST_F(DelegateEditor, OkRefusesAnAddressWithAColon) {
    const std::u16string message =
        u"Remote Media Server IP address can not contain ':'. Use an IPv4 address or a host name";
    auto created = OpenNew();
    created->Settings().SetNameText(u"Relay");
    created->SetRemoteAliasText(u"news");
    created->SetAddressText(u"fe80::1");
    EXPECT_EQ(created->OnOk(), message);
    EXPECT_EQ(created->Form().source, u"");
    EXPECT_EQ(DelegateEditorModel::CheckRemoteFields(u"a", u"host:", 5119), message);
    // The empty fields come first.
    EXPECT_EQ(DelegateEditorModel::CheckRemoteFields(u"a", u":", 0),
              u"No Remote Media Server port specified");

    auto updated = OpenLink(u"vtr://tcp:fe80::1:70000/a");
    updated->SetAddressText(u"fe80::1");
    EXPECT_EQ(updated->OnOk(), message);
    EXPECT_EQ(updated->Form().source, u"vtr://tcp:fe80::1:70000/a");
}

}  // namespace
