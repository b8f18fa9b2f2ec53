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

#include "config/resource_record.h"
#include "editors/multicast_table.h"
#include "platform/clock.h"
#include "platform/desktop_services.h"
#include "platform/file_store.h"
#include "platform/installation_environment.h"
#include "platform/prompter.h"
#include "platform/service_manager.h"
#include "server/automation.h"
#include "server/manual_reset_event.h"
#include "ui/app_services.h"
#include "ui/help_pages.h"

namespace vantor::test {

// Records every message and question; questions are answered from a queue (No once it is
// empty).
class RecordingPrompter : public Prompter {
public:
    struct Shown {
        std::u16string text;
        std::u16string caption;
        bool question = false;
    };

    void ShowMessage(const std::u16string& text, const std::u16string& caption) override {
        shown.push_back({text, caption, false});
    }
    bool AskYesNo(const std::u16string& text, const std::u16string& caption) override {
        shown.push_back({text, caption, true});
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;
};

// A service that behaves like a well-mannered one: Start makes it run, Stop makes it stop, and
// each shows at the next status query. Used from the controller's worker and the test's thread
// at once. A closed start gate holds Start until the test opens it, so a test can look at the
// window while a start is under way.
class ScriptedServiceManager : public ServiceManager {
public:
    HResult CheckAccess(const std::u16string&, std::uint32_t) override {
        return installed ? SOk : HResultFromError(ErrorServiceDoesNotExist);
    }
    HResult QueryStatus(const std::u16string&, ServiceStatus& status) override {
        ++queries;
        if (!installed) {
            return HResultFromError(ErrorServiceDoesNotExist);
        }
        status = ServiceStatus{state, 0, 0};
        return SOk;
    }
    HResult Start(const std::u16string&) override {
        startGate.WaitFor(20000);  // bounded, so a failing test cannot hang in the join
        ++starts;
        if (state == ServiceRunning) {
            return HResultFromError(ErrorServiceAlreadyRunning);
        }
        if (Failed(startResult)) {
            return startResult;
        }
        state = ServiceRunning;
        return SOk;
    }
    HResult Stop(const std::u16string&) override {
        ++stops;
        state = ServiceStopped;
        return SOk;
    }

    std::atomic<bool> installed = true;
    std::atomic<std::uint32_t> state = ServiceStopped;  // ServiceRunning, ServicePaused, ...
    std::atomic<HResult> startResult = SOk;
    std::atomic<int> queries = 0;
    std::atomic<int> starts = 0;
    std::atomic<int> stops = 0;
    ManualResetEvent startGate{true};
};

// Time passes only when someone sleeps, and at once.
class FakeClock : public Clock {
public:
    std::uint64_t NowMs() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
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
    std::uint64_t now_ = 1000;
    std::vector<std::uint32_t> sleeps_;
};

// Files held in memory by path.
class FakeFileStore : public FileStore {
public:
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
        const auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::make_optional(found->second);
    }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        files[path].assign(bytes.begin(), bytes.end());
        writes.push_back(path);
        return true;
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<std::string> writes;
};

// A later system with the common data folder at /fake/appdata; the server's own path unknown.
// Paths "exist" when they are in existing; created folders are added to it.
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
        created.push_back(path);
        existing.insert(path);
        return SOk;
    }

    std::string executable = "/opt/vantor/bin/vantorconfig";
    std::set<std::string> existing;
    std::vector<std::string> created;
};

// No server object can be reached, as when the server is not installed; counts the attempts.
class FakeAutomation : public AutomationFactory {
public:
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override { return None<VtrConfigObject>(); }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override {
        return None<UsersAccessObject>();
    }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        return None<ResourcesInUseObject>();
    }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override {
        return None<FileMCastTriggerObject>();
    }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        return None<RestrictionsNotifierObject>();
    }

    int creations = 0;

private:
    template <typename Object>
    std::unique_ptr<Object> None() {
        ++creations;
        return nullptr;
    }
};

// Records the help pages it was asked to open; "opens" everything.
class FakeDesktopServices : public DesktopServices {
public:
    bool OpenHelpPage(const std::string& path) override {
        helpPages.push_back(path);
        return succeed;
    }
    bool OpenFile(const std::string&) override { return succeed; }

    std::vector<std::string> helpPages;
    bool succeed = true;
};

// Everything a main window needs, faked, with the AppServices over it. The help folder is
// "/fake/help", missing until a test adds its pages to installation.existing.
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
    HelpPages help{desktop, installation, "/fake/help"};
    AppServices services{
        defaultAuthMethod, multicastTable, files,   installation, serviceManager, clock,
        automation,        prompter,       desktop, help};
};

}  // namespace vantor::test
