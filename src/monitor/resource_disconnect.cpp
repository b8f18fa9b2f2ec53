#include "monitor/resource_disconnect.h"

#include <memory>
#include <string_view>

#include "config/ascii_case.h"
#include "monitor/activity_record.h"
#include "server/automation.h"

namespace vantor {

void DisconnectResourceUsers(AutomationFactory& factory, const std::u16string& name,
                             bool isFolder) {
    std::unique_ptr<ResourcesInUseObject> object = factory.CreateResourcesInUse();
    if (!object) {
        return;
    }
    TextListResult users = object->GetActiveUsers();
    if (!users.records) {
        return;
    }
    std::u16string folderPrefix;
    if (isFolder) {
        folderPrefix = name + u'\\';
        for (char16_t& c : folderPrefix) {
            c = AsciiLower(c);
        }
    }
    for (const std::u16string& record : *users.records) {
        ActiveUserRecord user = ParseActiveUser(record);
        bool matches = isFolder ? user.resource.starts_with(folderPrefix)
                                : EqualIgnoringAsciiCase(user.resource, name);
        if (matches) {
            object->DisconnectUser(user.pointer);
        }
    }
}

}  // namespace vantor
