#pragma once

#include <optional>
#include <string_view>

namespace vantor::sim {

// What polkit decides, as systemd asks it before a start or stop job. A real system bus lets an
// unprivileged caller start a unit only after the user authenticates, and only when the call
// allowed interactive authorization.
enum class JobAuthorization {
    Granted,          // no question asked (an administrator, or a permissive rule)
    Denied,           // refused outright
    Prompt,           // the user is asked and authenticates; needs interactive authorization
    PromptCancelled,  // the user is asked and dismisses the prompt
};

inline constexpr std::string_view AccessDeniedError = "org.freedesktop.DBus.Error.AccessDenied";
inline constexpr std::string_view InteractiveAuthorizationRequiredError =
    "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired";

// The D-Bus error systemd answers a job request with, or nothing when the job may run.
std::optional<std::string_view> JobRefusal(JobAuthorization authorization, bool interactiveAllowed);

// "granted", "denied", "prompt", "cancelled"; nothing for any other name.
std::optional<JobAuthorization> JobAuthorizationNamed(std::string_view name);

}  // namespace vantor::sim
