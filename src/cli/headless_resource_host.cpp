#include "cli/headless_resource_host.h"

#include "cli/config_session.h"
#include "monitor/resource_disconnect.h"

namespace vantor {

bool HeadlessResourceHost::RunFolderEditor(FolderForm& form, bool updateMode) {
    return folderEditor && folderEditor(form, updateMode);
}

bool HeadlessResourceHost::ChooseLiveType(LiveType& type) {
    return liveTypeChooser && liveTypeChooser(type);
}

bool HeadlessResourceHost::RunLiveEditor(LiveForm& form, bool updateMode) {
    return liveEditor && liveEditor(form, updateMode);
}

bool HeadlessResourceHost::RunDelegateEditor(DelegateForm& form, bool updateMode) {
    return delegateEditor && delegateEditor(form, updateMode);
}

void HeadlessResourceHost::DisconnectResourceUsers(const std::u16string& name, bool isFolder) {
    vantor::DisconnectResourceUsers(session_.Automation(), name, isFolder);
}

}  // namespace vantor
