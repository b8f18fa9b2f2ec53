#include "monitor/resource_disconnect.h"

#include <memory>
#include <utility>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include "platform/clock.h"
#include "server/automation.h"

namespace vantor {

namespace {

const UChar* Units(std::u16string_view text) {
    return reinterpret_cast<const UChar*>(text.data());
}

std::int32_t Length(std::u16string_view text) {
    return static_cast<std::int32_t>(text.size());
}

std::u16string UserLine(const ActiveUserRecord& user) {
    return user.user + u" at " + user.ip + u" on " + user.resource;
}

}  // namespace

std::u16string LowerCased(std::u16string_view text) {
    std::u16string lower(text.size(), u'\0');
    for (;;) {
        UErrorCode error = U_ZERO_ERROR;
        const std::int32_t length =
            u_strToLower(reinterpret_cast<UChar*>(lower.data()), Length(lower), Units(text),
                         Length(text), "", &error);
        if (error == U_BUFFER_OVERFLOW_ERROR) {
            lower.assign(static_cast<std::size_t>(length), u'\0');  // a letter grew
            continue;
        }
        if (U_FAILURE(error)) {
            return std::u16string(text);
        }
        lower.resize(static_cast<std::size_t>(length));
        return lower;
    }
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    UErrorCode error = U_ZERO_ERROR;
    const std::int32_t order =
        u_strCaseCompare(Units(a), Length(a), Units(b), Length(b), U_FOLD_CASE_DEFAULT, &error);
    return U_SUCCESS(error) && order == 0;
}

ActiveUserMatch SameActiveUser(const ActiveUserRecord& shown) {
    return [shown](const ActiveUserRecord& user) {
        return user.pointer == shown.pointer && user.user == shown.user && user.ip == shown.ip &&
               user.resource == shown.resource;
    };
}

ActiveUserMatch UsersOfResourceText(std::u16string resource) {
    return [resource = std::move(resource)](const ActiveUserRecord& user) {
        return user.resource == resource;
    };
}

ActiveUserMatch UsersOfResource(const std::u16string& name, bool isFolder) {
    if (isFolder) {
        return [prefix = LowerCased(name + u'\\')](const ActiveUserRecord& user) {
            return user.resource.starts_with(prefix);
        };
    }
    return [name](const ActiveUserRecord& user) { return EqualIgnoringCase(user.resource, name); };
}

DisconnectOutcome DisconnectMatchingUsers(AutomationFactory& factory, const ActiveUserMatch& match,
                                          Clock* clock, const DisconnectProgress& progress) {
    DisconnectOutcome outcome;
    const std::uint64_t startMs = clock != nullptr ? clock->NowMs() : 0;
    std::unique_ptr<ResourcesInUseObject> object = factory.CreateResourcesInUse();
    if (!object) {
        return outcome;
    }
    outcome.reached = true;
    const TextListResult users = object->GetActiveUsers();
    // No data with success is a server with nobody connected; a failure is one that did not
    // answer.
    outcome.listed = Succeeded(users.result);
    if (!users.records) {
        return outcome;
    }
    std::vector<ActiveUserRecord> matching;
    for (const std::u16string& record : *users.records) {
        ActiveUserRecord user = ParseActiveUser(record);
        if (match(user)) {
            matching.push_back(std::move(user));
        }
    }
    for (std::size_t i = 0; i < matching.size(); ++i) {
        const bool inTime = clock == nullptr || clock->NowMs() - startMs < DisconnectTimeBudgetMs;
        outcome.stopped = inTime && progress && !progress(i, matching.size());
        if (!inTime || outcome.stopped) {
            outcome.notTried.assign(matching.begin() + static_cast<std::ptrdiff_t>(i),
                                    matching.end());
            break;
        }
        if (Succeeded(object->DisconnectUser(matching[i].pointer))) {
            outcome.disconnected.push_back(std::move(matching[i]));
        } else {
            outcome.failed.push_back(std::move(matching[i]));
        }
    }
    if (progress && outcome.notTried.empty()) {
        progress(matching.size(), matching.size());
    }
    return outcome;
}

std::u16string DisconnectOutcomeMessage(const DisconnectOutcome& outcome) {
    if (!outcome.reached) {
        return {};
    }
    if (!outcome.listed) {
        return std::u16string(UsersNotListedText);
    }
    if (outcome.failed.empty() && outcome.notTried.empty()) {
        return {};
    }
    std::u16string message(UsersNotDisconnectedText);
    for (const auto* users : {&outcome.failed, &outcome.notTried}) {
        for (const ActiveUserRecord& user : *users) {
            message += u'\n' + UserLine(user);
        }
    }
    if (!outcome.notTried.empty()) {
        message += u"\n\n";
        message += outcome.stopped ? DisconnectStoppedText : DisconnectTimeRanOutText;
    }
    return message;
}

std::u16string DisconnectProgressText(std::u16string_view resource) {
    return std::u16string(DisconnectingUsersText) + std::u16string(resource) + u"...";
}

DisconnectOutcome DisconnectResourceUsers(AutomationFactory& factory, const std::u16string& name,
                                          bool isFolder) {
    return DisconnectMatchingUsers(factory, UsersOfResource(name, isFolder), nullptr);
}

}  // namespace vantor
