// The cost of administering another machine: a vantorctl verb run through --host over a real
// sshd on 127.0.0.1 once the master connection is up (goal: at most 100 ms), against the same
// verb run here, and one bridge call on its own.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "cli/ssh_server.h"
#include "config/config_file.h"
#include "platform/linux_file_store.h"
#include "platform/linux_remote_bridge.h"
#include "platform/linux_ssh_command.h"

namespace {

using namespace vantor;

// One sshd and one data folder for the whole program, with a configuration of 100 resources.
struct Machine {
    Machine() {
        folder = (std::filesystem::temp_directory_path() / "remote_bench_XXXXXX").string();
        if (mkdtemp(folder.data()) == nullptr) {
            std::abort();
        }
        std::filesystem::create_directories(folder + "/ssh");
        std::filesystem::create_directories(folder + "/Quorvane");
        std::vector<ResourceRecord> records(100);
        std::vector<const ResourceRecord*> pointers;
        for (std::size_t i = 0; i < records.size(); ++i) {
            records[i].name =
                u"Folder " + std::u16string(1, u'A' + i % 26) + std::u16string(1, u'a' + i / 26);
            records[i].source = u"/srv/media";
            pointers.push_back(&records[i]);
        }
        LinuxFileStore().ReplaceFile(
            folder + "/Quorvane/config.vtr",
            WriteConfigFile(ServerConfig{}, AuthMethod::Anonymous, pointers));
        server = std::make_unique<test::SshServer>(folder + "/ssh");
        // SHLVL=1 keeps the far side's bash from reading ~/.bashrc, which it does for a command
        // that sshd starts: a developer's (this machine's root runs pyenv's set-up there) costs
        // each session a quarter of a second that no server account pays and that is not ours.
        // BM_SshSession shows what a session costs before our program starts.
        if (!server->Start("VANTOR_COMMON_APPDATA=" + folder + "\nSHLVL=1").empty()) {
            std::abort();
        }
        runtime = "/tmp/vb-XXXXXX";
        mkdtemp(runtime.data());
        setenv("VANTOR_SSH_COMMAND", server->SshCommand().c_str(), 1);
        setenv("VANTOR_REMOTE_VANTORCTL", VANTOR_CTL_PATH, 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    ~Machine() {
        std::system((server->SshCommand() + " -o 'ControlPath=" + SshControlFolder() +
                     "/%C' -O exit test-host 2>/dev/null")
                        .c_str());
        server.reset();
        std::filesystem::remove_all(folder);
        std::filesystem::remove_all(runtime);
    }
    std::string folder, runtime;
    std::unique_ptr<test::SshServer> server;
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

void RunVerb(benchmark::State& state, const std::string& prefix) {
    Machine& machine = TheMachine();
    const std::string command =
        prefix + " VANTOR_COMMON_APPDATA='" + machine.folder + "' '" + VANTOR_CTL_PATH + "' " +
        (state.range(0) != 0 ? "--host test-host " : "") + "show >/dev/null 2>&1";
    std::system(command.c_str());  // the master connection comes up here, outside the timing
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("show failed");
        }
    }
}

// `vantorctl show` here (0) and through --host (1).
void BM_ShowVerb(benchmark::State& state) {
    RunVerb(state, "");
}

// `ssh HOST true` through the master connection: what every remote command costs before it
// starts (vantorctl --host makes one such session for its bridge, one for the bus when used).
void BM_SshSession(benchmark::State& state) {
    Machine& machine = TheMachine();
    const std::string command = machine.server->SshCommand() +
                                " -o ControlMaster=auto -o 'ControlPath=" + SshControlFolder() +
                                "/%C' -o ControlPersist=60 test-host true";
    std::system(command.c_str());
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ssh failed");
        }
    }
}

// One request to a bridge that is already up: a file's stamp.
void BM_BridgeCall(benchmark::State& state) {
    Machine& machine = TheMachine();
    RemoteBridge bridge(SshBridgeCommand(*ParseRemoteHost("test-host")));
    for (auto _ : state) {
        auto answer =
            bridge.Call(bridge::Request("stamp", machine.folder + "/Quorvane/config.vtr"));
        if (!answer) {
            state.SkipWithError("bridge lost");
        }
    }
}

}  // namespace

BENCHMARK(BM_ShowVerb)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);
BENCHMARK(BM_SshSession)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_BridgeCall)->Unit(benchmark::kMicrosecond)->UseRealTime();
