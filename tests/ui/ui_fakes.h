#pragma once

// Fakes of the platform services the main window and its panes reach, for the logic tests and
// the offscreen widget tests alike (no Qt, no GoogleTest here).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
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
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;
};

// A service that behaves like a well-mannered one: Start makes it run, Stop makes it stop, and
// each reports its new state at the next status query. Callable from the controller's worker and
// the test's thread at once. A closed start gate holds Start until the test opens it, so a test
// can look at the window while a start is under way.
class ScriptedServiceManager : public ServiceManager {
public:
    HResult CheckAccess(const std::u16string&, std::uint32_t) override {
        std::lock_guard lock(mutex_);
        return installed_ ? SOk : HResultFromError(ErrorServiceDoesNotExist);
    }
    HResult QueryStatus(const std::u16string&, ServiceStatus& status) override {
        std::lock_guard lock(mutex_);
        ++queries_;
        if (!installed_) {
            return HResultFromError(ErrorServiceDoesNotExist);
        }
        status = ServiceStatus{currentState_, 0, 0};
        return SOk;
    }
    HResult Start(const std::u16string&) override {
        // Bounded, so a failing test cannot hang in the controller's join.
        startGate_.WaitFor(20000);
        std::lock_guard lock(mutex_);
        ++starts_;
        if (currentState_ == ServiceRunning) {
            return HResultFromError(ErrorServiceAlreadyRunning);
        }
        if (Failed(startResult_)) {
            return startResult_;
        }
        currentState_ = ServiceRunning;
        return SOk;
    }
    HResult Stop(const std::u16string&) override {
        std::lock_guard lock(mutex_);
        ++stops_;
        currentState_ = ServiceStopped;
        return SOk;
    }

    // A ServiceStatus state code (ServiceRunning, ServiceStopped, ServicePaused, ...).
    void SetState(std::uint32_t state) {
        std::lock_guard lock(mutex_);
        currentState_ = state;
    }
    void SetInstalled(bool installed) {
        std::lock_guard lock(mutex_);
        installed_ = installed;
    }
    void FailStartWith(HResult result) {
        std::lock_guard lock(mutex_);
        startResult_ = result;
    }
    void CloseStartGate() { startGate_.Reset(); }
    void OpenStartGate() { startGate_.Set(); }

    int Queries() const {
        std::lock_guard lock(mutex_);
        return queries_;
    }
    int Starts() const {
        std::lock_guard lock(mutex_);
        return starts_;
    }
    int Stops() const {
        std::lock_guard lock(mutex_);
        return stops_;
    }

private:
    mutable std::mutex mutex_;
    bool installed_ = true;
    std::uint32_t currentState_ = ServiceStopped;
    HResult startResult_ = SOk;
    int queries_ = 0;
    int starts_ = 0;
    int stops_ = 0;
    ManualResetEvent startGate_{true};
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
        reads.push_back(path);
        const auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        if (failWrites) {
            return false;
        }
        files[path].assign(bytes.begin(), bytes.end());
        writes.push_back(path);
        return true;
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
    bool failWrites = false;
};

// A later system with the common data folder at commonAppData; the server's own path unknown.
// Paths "exist" when they are in existing; created folders are added to it.
class FakeInstallationEnvironment : public InstallationEnvironment {
public:
    // Where LocateConfigFile finds config.vtr with the defaults.
    static constexpr char DefaultConfigPath[] = "/fake/appdata/Quorvane/config.vtr";

    OsVersionResult QueryOsVersion() override { return {OsVersion::Later, 0}; }
    std::string ReadServiceImagePath(const std::string&) override { return {}; }
    std::optional<FileVersion> ReadFileVersion(const std::string&) override { return std::nullopt; }
    FolderQueryResult CommonAppDataFolder() override { return {SOk, commonAppData}; }
    std::string OwnExecutablePath() override { return executable; }
    char PathSeparator() const override { return '/'; }
    bool PathExists(const std::string& path) override { return existing.count(path) != 0; }
    HResult CreateSharedFolder(const std::string& path) override {
        created.push_back(path);
        existing.insert(path);
        return SOk;
    }

    std::string commonAppData = "/fake/appdata";
    std::string executable = "/opt/vantor/bin/vantorconfig";
    std::set<std::string> existing;
    std::vector<std::string> created;
};

// No server object can be reached, as when the server is not installed; counts the attempts.
class FakeAutomation : public AutomationFactory {
public:
    std::unique_ptr<VtrConfigObject> CreateVtrConfig() override {
        ++creations;
        return nullptr;
    }
    std::unique_ptr<UsersAccessObject> CreateUsersAccess() override {
        ++creations;
        return nullptr;
    }
    std::unique_ptr<ResourcesInUseObject> CreateResourcesInUse() override {
        ++creations;
        return nullptr;
    }
    std::unique_ptr<FileMCastTriggerObject> CreateFileMCastTrigger() override {
        ++creations;
        return nullptr;
    }
    std::unique_ptr<RestrictionsNotifierObject> CreateRestrictionsNotifier() override {
        ++creations;
        return nullptr;
    }

    int creations = 0;
};

// Records what would have been opened; "opens" it unless told to fail.
class FakeDesktopServices : public DesktopServices {
public:
    bool OpenHelpPage(const std::string& path) override {
        helpPages.push_back(path);
        return succeed;
    }
    bool OpenFile(const std::string& path) override {
        files.push_back(path);
        return succeed;
    }

    std::vector<std::string> helpPages;
    std::vector<std::string> files;
    bool succeed = true;
};

// Everything a main window needs, faked, with the AppServices over it. The help folder is
// "/fake/help", missing until a test adds its pages to installation.existing.
struct FakeApp {
    static constexpr char HelpFolder[] = "/fake/help";

    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    FakeFileStore files;
    FakeInstallationEnvironment installation;
    ScriptedServiceManager serviceManager;
    FakeClock clock;
    FakeAutomation automation;
    RecordingPrompter prompter;
    FakeDesktopServices desktop;
    HelpPages help{desktop, installation, HelpFolder};
    AppServices services{
        defaultAuthMethod, multicastTable, files,   installation, serviceManager, clock,
        automation,        prompter,       desktop, help};
};

}  // namespace vantor::test
