#include "editors/folder_form.h"

namespace vantor {

FolderForm FolderFormFromRecord(const ResourceRecord& record) {
    FolderForm form;
    ReadResourceForm(record, form);
    form.path = record.source;
    form.playlist = record.playlist;
    // Only 0 is alphabetical; any other stored value opens as random.
    form.randomOrder = record.playlistOrder != 0;
    return form;
}

void ApplyFolderForm(const FolderForm& form, ResourceRecord& record) {
    record.kind = ResourceKind::VirtualFolder;
    record.imageIndex = VirtualFolderImage;
    WriteResourceForm(form, record);
    record.source = form.path;
    record.playlist = form.playlist;
    record.playlistOrder = form.randomOrder ? 1 : 0;
    // A folder has no playback limit, no delegates and no archival.
    record.playTimeLimit = -1;
    record.allowDelegates = false;
    record.notifyArchival = false;
}

}  // namespace vantor
