#pragma once

// Fakes of the platform services the main window and its panes reach, for the logic tests and
// the offscreen widget tests alike (no Qt, no GoogleTest here).

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "config/multicast_table.h"
#include "platform/clock.h"
#include "platform/desktop_services.h"
#include "platform/directory_reader.h"
#include "platform/file_store.h"
#include "platform/host_address.h"
#include "platform/installation_environment.h"
#include "platform/logging_component_probe.h"
#include "platform/media_probe.h"
#include "platform/network_adapters.h"
#include "platform/prompter.h"
#include "platform/server_connection.h"
#include "platform/service_manager.h"
#include "server/automation.h"
#include "server/manual_reset_event.h"
#include "ui/app_services.h"
#include "ui/help_pages.h"

namespace vantor::test {

inline std::string Narrow(std::u16string_view text) {
    return {text.begin(), text.end()};
}

// Records every message and question; questions are answered from a queue (No once it is
// empty).
class RecordingPrompter : public Prompter {
public:
    struct Shown {
        std::u16string text;
        std::u16string caption;
        bool question = false;
        MessageIcon icon = MessageIcon::None;
    };

    void ShowMessage(const std::u16string& text, const std::u16string& caption,
                     MessageIcon icon = MessageIcon::None) override {
        shown.push_back({text, caption, false, icon});
    }
    bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                  MessageIcon icon = MessageIcon::Question) override {
        shown.push_back({text, caption, true, icon});
        const bool answer = !answers.empty() && answers.front();
        answers.erase(answers.begin(), answers.begin() + (answers.empty() ? 0 : 1));
        return answer;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;
};

// A well-mannered service: Start makes it run, Stop makes it stop, and each shows at the next
// status query. Used from the controller's worker and the test's thread at once. A closed start
// gate holds Start until the test opens it, so a test can look at the window meanwhile.
class ScriptedServiceManager : public ServiceManager {
public:
    HResult CheckAccess(const std::u16string&, std::uint32_t) override {
        return installed ? SOk : HResultFromError(ErrorServiceDoesNotExist);
    }
    HResult QueryStatus(const std::u16string& name, ServiceStatus& status) override {
        status = ServiceStatus{state, 0, 0};
        return CheckAccess(name, 0);
    }
    HResult Start(const std::u16string&) override {
        startGate.WaitFor(20000);  // bounded, so a failing test cannot hang in the join
        ++starts;
        state = Failed(startResult) ? state.load() : ServiceRunning;
        return startResult;
    }
    HResult Stop(const std::u16string&) override {
        ++stops;
        state = ServiceStopped;
        return SOk;
    }

    std::atomic<bool> installed = true;
    std::atomic<std::uint32_t> state = ServiceStopped;  // ServiceRunning, ServicePaused, ...
    std::atomic<HResult> startResult = SOk;
    std::atomic<int> starts = 0;
    std::atomic<int> stops = 0;
    ManualResetEvent startGate{true};
};

// Time passes only when someone sleeps, and at once.
class FakeClock : public Clock {
public:
    std::uint64_t NowMs() override { return now_; }
    void SleepMs(std::uint32_t ms) override {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(ms);
        now_ += ms;
    }
    std::vector<std::uint32_t> Sleeps() const {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }

private:
    mutable std::mutex mutex_;
    std::atomic<std::uint64_t> now_ = 1000;
    std::vector<std::uint32_t> sleeps_;
};

// Files held in memory by path.
class FakeFileStore : public FileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
        return files.count(path) != 0 ? std::make_optional(files.at(path)) : std::nullopt;
    }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        files[path].assign(bytes.begin(), bytes.end());
        writes.push_back(path);
        ++generation[path];
        return true;
    }
    bool ReplaceUserFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        return ReplaceFile(path, bytes);
    }
    LockResult LockForUpdate(const std::string&) override {
        return {LockStatus::Locked, std::make_unique<FileLock>()};
    }
    // Each replace is a new version; a file put into files directly counts as one more.
    std::optional<FileStamp> Stamp(const std::string& path) override {
        if (files.count(path) == 0) {
            return std::nullopt;
        }
        return FileStamp{.inode = generation[path], .size = files.at(path).size()};
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<std::string> writes;
    std::map<std::string, std::uint64_t> generation;
};

// A later system with the common data folder at /fake/appdata; the server's own path unknown.
// Paths "exist" when they are in existing, as created folders do.
class FakeInstallationEnvironment : public InstallationEnvironment {
public:
    // Where LocateConfigFile finds config.vtr with the defaults.
    static constexpr char DefaultConfigPath[] = "/fake/appdata/Quorvane/config.vtr";

    OsVersionResult QueryOsVersion() override { return {OsVersion::Later, 0}; }
    std::string ReadServiceImagePath(const std::string&) override { return {}; }
    std::optional<FileVersion> ReadFileVersion(const std::string&) override { return std::nullopt; }
    FolderQueryResult CommonAppDataFolder() override { return {SOk, "/fake/appdata"}; }
    std::string OwnExecutablePath() override { return executable; }
    char PathSeparator() const override { return '/'; }
    bool PathExists(const std::string& path) override { return existing.count(path) != 0; }
    HResult CreateSharedFolder(const std::string& path) override {
        existing.insert(path);
        return SOk;
    }

    std::string executable = "/opt/vantor/bin/vantorconfig";
    std::set<std::string> existing;
};

// The server's automation objects. None can be reached (as when the server is not installed)
// until serverUp is set; then it reloads, refuses every multicast start and stop, and reports the
// folders in multicasting (name to group) as multicasting. Each multicast call is a line of calls.
class FakeAutomation : public AutomationFactory {
public:
    struct Trigger : FileMCastTriggerObject {
        explicit Trigger(FakeAutomation& server) : server(server) {}
        HResult StartMulticast(const std::u16string& name, const std::u16string& path,
                               const std::u16string& group, std::int32_t port,
                               bool random) override {
            server.calls.push_back("Start " + Narrow(name) + " " + Narrow(path) + " " +
                                   Narrow(group) + " " + std::to_string(port) + " " +
                                   std::to_string(random));
            return EFail;
        }
        HResult StopMulticast(const std::u16string& name) override {
            server.calls.push_back("Stop " + Narrow(name));
            return EFail;
        }
        MulticastStatusResult GetMulticastStatus(const std::u16string& name) override {
            server.calls.push_back("Status " + Narrow(name));
            if (server.hung) {
                return MulticastStatusResult{AutomationCallTimedOut, {}, {}};
            }
            const auto found = server.multicasting.find(name);
            return found != server.multicasting.end()
                       ? MulticastStatusResult{SOk, found->second, u"unused"}
                       : MulticastStatusResult{SFalse, u"unused", server.idleText};
        }
        FakeAutomation& server;
    };
    struct VtrConfig : VtrConfigObject {
        HResult ReloadConfiguration() override { return SOk; }
    };

    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override {
        return serverUp ? std::make_unique<VtrConfig>() : nullptr;
    }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override {
        calls.push_back(serverUp ? "Create" : "Create failed");
        return serverUp ? std::make_unique<Trigger>(*this) : nullptr;
    }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override { return {}; }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override { return {}; }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override { return {}; }

    bool serverUp = false;
    bool hung = false;  // the status query times out
    std::map<std::u16string, std::u16string> multicasting;
    std::u16string idleText;
    std::vector<std::string> calls;
};

// Records the help pages it was asked to open; "opens" everything.
class FakeDesktopServices : public DesktopServices {
public:
    bool OpenHelpPage(const std::string& path) override {
        helpPages.push_back(path);
        return succeed;
    }
    bool OpenFile(const std::string&) override { return succeed; }
    bool OpenServerWindow(const std::string& host) override {
        serverWindows.push_back(host);
        return succeed;
    }
    std::vector<std::string> serverWindows;

    std::vector<std::string> helpPages;
    bool succeed = true;
};

// Everything a main window needs, faked, with the AppServices over it. The help folder is
// "/fake/help", missing until a test adds its pages to installation.existing.
// The rest of the machine as the main window sees it: empty folders, media that says nothing,
// one address, no logging components.
struct FakeMachine : DirectoryReader,
                     MediaProbe,
                     HostAddress,
                     NetworkAdapters,
                     LoggingComponentProbe {
    std::optional<std::vector<DirectoryEntry>> ReadDirectory(const std::string&) override {
        return std::vector<DirectoryEntry>{};
    }
    MediaFacts Probe(const std::string&, const std::function<bool()>&) override { return {}; }
    std::string LocalIPv4Address() override { return "192.0.2.7"; }
    std::vector<std::string> Ipv4Addresses() override { return {"192.0.2.7"}; }
    bool CanCreate(const std::u16string&) override { return false; }
};

// The link to the server's machine, lost and made again when a test says so.
struct FakeConnection : ServerConnection {
    bool Lost() const override { return lost; }
    bool Reconnect() override {
        ++reconnects;
        lost = !reconnectWorks;
        return reconnectWorks;
    }
    bool lost = false;
    bool reconnectWorks = true;
    int reconnects = 0;
};

struct FakeApp {
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    FakeFileStore files;
    FakeInstallationEnvironment installation;
    ScriptedServiceManager serviceManager;
    FakeClock clock;
    FakeAutomation automation;
    RecordingPrompter prompter;
    FakeDesktopServices desktop;
    FakeMachine machine;
    FakeConnection connection;
    HelpPages help{desktop, installation, "/fake/help"};
    AppServices services{
        defaultAuthMethod, multicastTable, files,   files,   installation, serviceManager, clock,
        automation,        prompter,       desktop, machine, machine,      machine,        machine,
        machine,           connection,     help};
};

}  // namespace vantor::test
