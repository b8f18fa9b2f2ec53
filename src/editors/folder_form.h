#pragma once

#include <string>

#include "config/resource_record.h"
#include "editors/resource_form.h"

namespace vantor {

// The virtual folder editor's own copy of a folder's settings. The record is touched only when
// the editor was accepted and the command commits the form.
struct FolderForm : ResourceForm {
    std::u16string path;
    bool playlist = true;
    bool randomOrder = false;

    bool operator==(const FolderForm&) const = default;
};

// The form of an existing folder: every field from its record; a limit is on when not 0.
FolderForm FolderFormFromRecord(const ResourceRecord& record);

// Copies an accepted form into a folder's record and sets the fields a folder always has.
// enabled and the metadata fields are left as they are.
void ApplyFolderForm(const FolderForm& form, ResourceRecord& record);

}  // namespace vantor
