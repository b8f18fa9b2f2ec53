#include "sim/job_authorization.h"

#include <array>
#include <utility>

namespace vantor::sim {

std::optional<std::string_view> JobRefusal(JobAuthorization authorization,
                                           bool interactiveAllowed) {
    switch (authorization) {
        case JobAuthorization::Granted:
            return std::nullopt;
        case JobAuthorization::Denied:
            return AccessDeniedError;
        case JobAuthorization::Prompt:
        case JobAuthorization::PromptCancelled:
            if (!interactiveAllowed) {
                return InteractiveAuthorizationRequiredError;
            }
            if (authorization == JobAuthorization::PromptCancelled) {
                return AccessDeniedError;
            }
            return std::nullopt;
    }
    return AccessDeniedError;
}

std::optional<JobAuthorization> JobAuthorizationNamed(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, JobAuthorization>, 4> names{{
        {"granted", JobAuthorization::Granted},
        {"denied", JobAuthorization::Denied},
        {"prompt", JobAuthorization::Prompt},
        {"cancelled", JobAuthorization::PromptCancelled},
    }};
    for (const auto& [text, value] : names) {
        if (text == name) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace vantor::sim
