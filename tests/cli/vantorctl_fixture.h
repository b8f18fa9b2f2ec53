#pragma once

// Runs the built vantorctl in a temporary folder of its own, and drives the
// main window's side of the same commands directly, with fakes, to compare what
// both write.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "cli/headless_services.h"
#include "config/catalogue.h"
#include "config/config_bytes.h"
#include "config/config_store.h"
#include "config/multicast_table.h"
#include "editors/folder_editor_model.h"
#include "editors/live_editor_model.h"
#include "ui/context_menu.h"
#include "ui/resource_commands.h"
#include "ui/ui_fakes.h"

namespace vantor {

// The whole file as text or as bytes.
template <typename Contents>
Contents ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Contents(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary) << std::string(bytes.begin(), bytes.end());
}

// Internal authentication is the server's default; zulu and Alpha (disabled)
// are plain folders, Films is multicast on 226.0.0.1:6000, News a live
// broadcast on 225.0.0.1:5000. Every record has internal authentication for
// medium and advanced users and limits 11, 2 and 900.
inline std::vector<std::uint8_t> SampleResources(std::uint32_t version = 60) {
    test::ConfigBytes bytes;
    bytes.Header(version)
        .Record(version, 1, u"zulu")
        .Record(version, 1, u"Films", u"226.0.0.1:6000");
    bytes.Record(version, 2, u"News", u"225.0.0.1:5000", 0x03);
    return bytes.Record(version, 1, u"Alpha", u"", 0x09).Bytes();
}

struct ProgramRun {
    int exitCode = -1;
    std::string out, err;
};

// Each test in a folder of its own under the system's temporary folder, removed
// afterwards.
class Vantorctl : public ::testing::Test {
protected:
    void SetUp() override {
        folder = (std::filesystem::temp_directory_path() / "vantor_cli_XXXXXX").string();
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // A path inside the folder.
    std::string At(const std::string& name) const { return folder + "/" + name; }
    static std::string Quoted(const std::string& path) { return "'" + path + "'"; }

    // Runs vantorctl with the arguments (paths among them in single quotes), the
    // environment assignments given and input on standard input.
    ProgramRun Run(const std::string& arguments, const std::string& environment = "",
                   const std::string& input = "") const {
        std::ofstream(At("stdin"), std::ios::binary) << input;
        const std::string command = environment + " '" + VANTOR_CTL_PATH + "' " + arguments +
                                    " >'" + At("stdout") + "' 2>'" + At("stderr") + "' <'" +
                                    At("stdin") + "'";
        const int status = system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole<std::string>(At("stdout")),
                ReadWhole<std::string>(At("stderr"))};
    }

    std::string folder;
};

namespace test {

// The main window over a file, with the administrator's clicks in the editors
// it opens.
class WindowFlow : public ResourceCommandHost {
public:
    static constexpr char Path[] = "/window/config.vtr";

    explicit WindowFlow(const std::vector<std::uint8_t>& bytes) {
        files.files[Path] = bytes;
        store.LoadConfiguration();
    }

    // Selects the resource with exactly that name in the tree.
    void Select(std::u16string_view name) {
        for (CatalogueItem* branch :
             {&store.Resources().FileResources(), &store.Resources().LiveBroadcasts()}) {
            for (const auto& child : branch->Children()) {
                if (child->Record().name == name) {
                    selected = child.get();
                }
            }
        }
    }
    std::vector<std::uint8_t> Bytes() const { return store.FileBytes(); }

    CatalogueItem* SelectedItem() const override { return selected; }
    void SelectItem(CatalogueItem& item) override { selected = &item; }
    void RefreshSelection() override {}
    // The clicks, then OK; a refused OK cancels.
    bool RunFolderEditor(FolderForm& form, bool updateMode) override {
        FolderEditorModel model(updateMode ? FolderEditorMode::Update : FolderEditorMode::Create,
                                form, multicastTable, store.Resources(), defaultAuthMethod);
        model.OnOpen();
        clicks(model);
        return model.OnOk().empty() && (form = model.Form(), true);
    }
    bool ChooseLiveType(LiveType& type) override {
        type = LiveType::Static;
        return true;
    }
    bool RunLiveEditor(LiveForm& form, bool updateMode) override {
        LiveEditorModel model(updateMode ? LiveEditorMode::Update : LiveEditorMode::Create, form,
                              multicastTable, store.Resources(), defaultAuthMethod, dialogs);
        model.OnOpen();
        liveClicks(model);
        return model.OnOk().empty() && (form = model.Form(), true);
    }
    bool RunDelegateEditor(DelegateForm&, bool) override { return false; }
    void DisconnectResourceUsers(const std::u16string&, bool) override {}

    std::function<void(FolderEditorModel&)> clicks = [](FolderEditorModel&) {};
    std::function<void(LiveEditorModel&)> liveClicks = [](LiveEditorModel&) {};
    BroadcastSubDialogs dialogs;
    AuthMethod defaultAuthMethod = AuthMethod::Anonymous;
    MulticastTable multicastTable;
    ServerState serverState = ServerState::Stopped;
    FakeFileStore files;
    NoAutomation automation;
    RecordingPrompter prompter;
    ConfigStore store{defaultAuthMethod, multicastTable, serverState, files,
                      automation,        prompter,       Path};
    ResourceCommands commands{store, serverState, automation, prompter, *this};
    CatalogueItem* selected = nullptr;
};

}  // namespace test
}  // namespace vantor
