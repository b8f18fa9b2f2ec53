#include "editors/metadata_editor_model.h"

#include <utility>

namespace vantor {

MetadataEditorModel::MetadataEditorModel(const BroadcastMetadata& metadata) {
    At(MetadataControl::AuthorLabel).text = u"Author";
    At(MetadataControl::AuthorEdit).text = metadata.author;
    At(MetadataControl::TitleLabel).text = u"Title";
    At(MetadataControl::TitleEdit).text = metadata.title;
    At(MetadataControl::CopyrightLabel).text = u"Copyright";
    At(MetadataControl::CopyrightEdit).text = metadata.copyright;
    At(MetadataControl::OkButton).text = u"OK";
    At(MetadataControl::CancelButton).text = u"Cancel";
}

void MetadataEditorModel::SetText(MetadataControl edit, std::u16string text) {
    if (edit == MetadataControl::AuthorEdit || edit == MetadataControl::TitleEdit ||
        edit == MetadataControl::CopyrightEdit) {
        At(edit).text = std::move(text);
    }
}

BroadcastMetadata MetadataEditorModel::OnOk() const {
    return {State(MetadataControl::AuthorEdit).text, State(MetadataControl::TitleEdit).text,
            State(MetadataControl::CopyrightEdit).text};
}

}  // namespace vantor
