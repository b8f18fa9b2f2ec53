#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/hresult.h"
#include "platform/service_manager.h"

namespace vantor {

// What a call that never got the server's own answer returns:
//   the time-out passed (the server hangs or is too busy): ERROR_TIMEOUT
inline constexpr HResult AutomationCallTimedOut = HResultFromError(ErrorTimeout);
//   no bus, the name has no owner (any more) or could not be activated: RPC_S_SERVER_UNAVAILABLE
inline constexpr HResult AutomationServerUnavailable = HResultFromError(ErrorServerUnavailable);

// The media server's automation objects. The tool never keeps one: each operation creates its
// object through the factory, uses it and releases it. Creation fails (nullptr) exactly when the
// object cannot be reached. A call that fails or times out returns a failure HResult.

// A list of text records as the server returns it. records is empty (no value) when the server
// answered with no data at all, which callers treat differently from an empty list.
struct TextListResult {
    HResult result = SOk;
    std::optional<std::vector<std::u16string>> records;
};

// Vantor.VTRConfig
class VtrConfigObject {
public:
    virtual ~VtrConfigObject() = default;
    // The server re-reads config.vtr.
    virtual HResult ReloadConfiguration() = 0;
};

// Vantor.UsersAccess. Groups: 1 basic, 2 medium, 3 advanced.
struct UserCallResult {
    HResult result = SOk;
    std::u16string errorText;  // shown when success is false
    bool success = false;
};

class UsersAccessObject {
public:
    virtual ~UsersAccessObject() = default;
    virtual UserCallResult AddUser(const std::u16string& name, std::int32_t group,
                                   const std::u16string& password, const std::u16string& info) = 0;
    virtual UserCallResult SetUserPassword(const std::u16string& name,
                                           const std::u16string& password) = 0;
    virtual UserCallResult UpdateUser(const std::u16string& name, std::int32_t group,
                                      const std::u16string& info) = 0;
    virtual UserCallResult DeleteUser(const std::u16string& name) = 0;
    // One record per user: name, a space, group name, a space, information.
    virtual TextListResult GetUsers() = 0;
};

// Vantor.ResourcesInUse
struct ThroughputResult {
    HResult result = SOk;
    // Users of VTR-TCP, VTR-HTTP(S), VTR-RTP Multicast, MMS-HTTP, RTMP (FLASH), then the kByte/sec
    // of the same five; 0 when the server did not answer.
    std::array<std::int32_t, 10> values{};
};

class ResourcesInUseObject {
public:
    virtual ~ResourcesInUseObject() = default;
    virtual TextListResult GetActiveUsers() = 0;
    virtual HResult DisconnectUser(std::int32_t pointer) = 0;
    virtual TextListResult GetLiveConnections() = 0;
    virtual ThroughputResult GetThroughput() = 0;
    virtual TextListResult GetMediaUsage() = 0;
};

// Vantor.FileMCastTrigger
struct MulticastStatusResult {
    HResult result = SOk;             // SOk: the folder is being multicast
    std::u16string multicastingText;  // meaningful with SOk
    std::u16string otherText;         // meaningful otherwise
};

class FileMCastTriggerObject {
public:
    virtual ~FileMCastTriggerObject() = default;
    virtual HResult StartMulticast(const std::u16string& folderName,
                                   const std::u16string& folderPath,
                                   const std::u16string& groupAddress, std::int32_t port,
                                   bool randomOrder) = 0;
    virtual HResult StopMulticast(const std::u16string& folderName) = 0;
    virtual MulticastStatusResult GetMulticastStatus(const std::u16string& folderName) = 0;
};

// The restrictions notification object.
class RestrictionsNotifierObject {
public:
    virtual ~RestrictionsNotifierObject() = default;
    virtual HResult RestrictionsChanged() = 0;
};

class AutomationFactory {
public:
    virtual ~AutomationFactory() = default;
    virtual std::unique_ptr<VtrConfigObject> CreateVtrConfig() = 0;
    virtual std::unique_ptr<UsersAccessObject> CreateUsersAccess() = 0;
    virtual std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() = 0;
    virtual std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() = 0;
    virtual std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() = 0;
};

}  // namespace vantor
