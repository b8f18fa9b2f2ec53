#include "editors/metadata_editor_model.h"

#include <gtest/gtest.h>

#include "editors/control_texts.h"

using namespace vantor;
namespace {

TEST(MetadataEditorModel, OkTakesTheThreeEditsAsTypedAndNothingElseIsEditable) {
    using enum MetadataControl;
    MetadataEditorModel model({u"A", u"T", u"C"});
    EXPECT_EQ(model.OnOk(), (BroadcastMetadata{u"A", u"T", u"C"}));
    EXPECT_EQ(test::ControlTexts<MetadataControl>(model, kMetadataControlCount,
                                                  {AuthorEdit, TitleEdit, CopyrightEdit}),
              (std::vector<std::u16string>{u"Author", u"Title", u"Copyright", u"OK", u"Cancel"}));
    for (MetadataControl control : {AuthorLabel, TitleLabel, CopyrightLabel, OkButton}) {
        model.SetText(control, u"typed");
    }
    EXPECT_EQ(model.State(AuthorLabel).text, u"Author");
    EXPECT_EQ(model.State(OkButton).text, u"OK");
    for (MetadataControl edit : {AuthorEdit, TitleEdit, CopyrightEdit}) {
        model.SetText(edit, u"new " + model.State(edit).text);
    }
    EXPECT_EQ(model.OnOk(), (BroadcastMetadata{u"new A", u"new T", u"new C"}));
}

}  // namespace
