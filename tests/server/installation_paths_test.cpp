#include "server/installation_paths.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr HResult kAccessDenied = 0x80070005u;
const std::string kUntouched = "previous value";

constexpr FileVersion Version(std::uint16_t major, std::uint16_t minor) {
    return FileVersion{major, minor, 7, 9};
}

// One composition; the output string starts as kUntouched, so a failure must leave it so.
struct Row {
    OsVersion os;
    std::string image;
    std::optional<FileVersion> version;
    std::string expected;
    std::string_view product = ProductVantor;
    HResult result = SOk;
    FolderQueryResult common{SOk, R"(C:\ProgramData)"};
    char separator = '\\';
    std::string own = R"(C:\Program Files\VantorConfig\VantorConfig.exe)";
};

void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.product) + " [" + row.image + "] " + row.common.path);
        const InstallationFacts facts{row.os,     row.image, row.version,
                                      row.common, row.own,   row.separator};
        std::string path = kUntouched;
        EXPECT_EQ(ComposeDataFilePath(facts, ConfigFileName, row.product, path), row.result);
        EXPECT_EQ(path, row.expected);
    }
}

constexpr OsVersion W2k = OsVersion::Windows2000;
constexpr OsVersion Later = OsVersion::Later;
const std::string kSrv = R"(C:\Srv\server.exe)";
const std::string kBeside = R"(C:\Srv\config.vtr)";
const std::string kCommon = R"(C:\ProgramData\Quorvane\config.vtr)";
const std::string kOwn = R"(C:\Program Files\VantorConfig\config.vtr)";

TEST(InstallationPathsTest, PlacementFollowsWindowsVersionAndProductRules) {
    ExpectRows({
        // Windows 2000: beside the server whatever its version, else beside this program.
        {W2k, kSrv, Version(9, 0), kBeside},
        {W2k, "", Version(9, 0), kOwn},
        {W2k, R"(D:\Other\other.exe)", {}, R"(D:\Other\config.vtr)", "Other"},
        // The common folder is not consulted there, so its failure does not matter.
        {W2k, kSrv, {}, kBeside, ProductVantor, SOk, {kAccessDenied, ""}},
        // Later Windows: the product's version rule.
        {Later, "", {}, kCommon},
        {Later, "", Version(5, 0), kCommon},
        {Later, kSrv, Version(5, 0), kBeside},
        {Later, kSrv, Version(5, 65535), kBeside},
        {Later, kSrv, Version(6, 0), kCommon},
        {Later, kSrv, {}, kCommon},
        {Later, kSrv, Version(5, 2), kBeside, ProductTavrin},
        {Later, kSrv, Version(6, 0), kCommon, ProductTavrin},
        {Later, kSrv, Version(1, 0), kBeside, ProductKeswick},
        {Later, kSrv, Version(1, 1), kCommon, ProductKeswick},
        {Later, kSrv, Version(2, 0), kCommon, ProductKeswick},
        {Later, kSrv, Version(0, 9), kCommon, ProductKeswick},
        {Later, kSrv, {}, kCommon, ProductKeswick},
        // Names are told apart exactly; unknown products use the common folder.
        {Later, kSrv, Version(5, 0), kCommon, "vantor"},
        {Later, kSrv, Version(1, 0), kCommon, "Other"},
        // A failed version query counts as a later Windows, not as Windows 2000.
        {OsVersion::QueryFailed, "", {}, kCommon},
    });
}

TEST(InstallationPathsTest, SeparatorsAndFailures) {
    constexpr std::string_view V = ProductVantor;
    ExpectRows({
        // Trailing backslashes of the common folder leave exactly one before Quorvane.
        {Later, "", {}, kCommon, V, SOk, {SOk, R"(C:\ProgramData\)"}},
        {Later, "", {}, kCommon, V, SOk, {SOk, R"(C:\ProgramData\\\)"}},
        // The image path is used without separators at its ends; nothing else is taken apart.
        {W2k, R"(\\C:\Srv\server.exe\\)", {}, kBeside},
        {W2k, R"(\\\)", {}, kOwn},
        {W2k, R"("C:\Srv\server.exe" -service)", {}, R"("C:\Srv\config.vtr)"},
        // No backslash to cut at: E_UNEXPECTED, on either Windows.
        {W2k, "server.exe", {}, kUntouched, V, EUnexpected},
        {W2k, "", {}, kUntouched, V, EUnexpected, {}, '\\', ""},
        {Later, "server.exe", Version(5, 0), kUntouched, V, EUnexpected},
        // The folder query's failure is returned as it is; a non-SOk success is passed on.
        {Later, "", {}, kUntouched, V, kAccessDenied, {kAccessDenied, "x"}},
        {Later, "", {}, kCommon, V, SFalse, {SFalse, R"(C:\ProgramData)"}},
        // With '/' a backslash is an ordinary character and a leading root is kept.
        {Later, "", {}, "/var/lib/Quorvane/config.vtr", V, SOk, {SOk, "/var/lib/"}, '/'},
        {Later, "", {}, "/Quorvane/config.vtr", V, SOk, {SOk, "/"}, '/'},
        {Later, "//opt/bin/vantord/", Version(5, 0), "/opt/bin/config.vtr", V, SOk, {}, '/'},
        {W2k, "", {}, "/usr/bin/config.vtr", V, SOk, {}, '/', "/usr/bin/vantorconfig"},
        {W2k, kSrv, {}, kUntouched, V, EUnexpected, {}, '/'},
    });
    EXPECT_EQ(TrimImagePath("relative/vantord/", '/'), "relative/vantord");
    EXPECT_EQ(TrimImagePath("///", '/'), "");
}

// Answers from fixed values and records what was asked.
class FakeEnvironment : public InstallationEnvironment {
public:
    OsVersionResult os{OsVersion::Later, 0};
    std::string imagePath;
    std::optional<FileVersion> version;
    FolderQueryResult common{SOk, R"(C:\ProgramData\)"};
    bool exists = false;
    HResult createResult = SOk;
    std::vector<std::string> askedProducts, versionPaths, created;

    OsVersionResult QueryOsVersion() override { return os; }
    std::string ReadServiceImagePath(const std::string& product) override {
        askedProducts.push_back(product);
        return imagePath;
    }
    std::optional<FileVersion> ReadFileVersion(const std::string& path) override {
        versionPaths.push_back(path);
        return version;
    }
    FolderQueryResult CommonAppDataFolder() override { return common; }
    std::string OwnExecutablePath() override { return R"(C:\Tool\tool.exe)"; }
    char PathSeparator() const override { return '\\'; }
    bool PathExists(const std::string&) override { return exists; }
    HResult CreateSharedFolder(const std::string& path) override {
        created.push_back(path);
        return createResult;
    }
};

TEST(InstallationPathsTest, LocateReadsTheEnvironment) {
    FakeEnvironment env;
    env.imagePath = R"(\C:\Srv\server.exe\)";
    env.version = Version(5, 3);
    std::string path;
    EXPECT_EQ(LocateRestrictionsFile(env, 1, path), SOk);
    EXPECT_EQ(path, R"(C:\Srv\VantorIPRestrictions.config)");
    // The version is read from the trimmed path.
    EXPECT_EQ(env.versionPaths, std::vector<std::string>{kSrv});
    for (int selector : {0, 2, -1}) {
        EXPECT_EQ(LocateRestrictionsFile(env, selector, path), SOk);
        EXPECT_EQ(path, R"(C:\Srv\TavrinIPRestrictions.config)");
    }
    EXPECT_EQ(env.askedProducts,
              (std::vector<std::string>{"Vantor", "Tavrin", "Tavrin", "Tavrin"}));

    env.version = Version(7, 5);
    EXPECT_EQ(LocateConfigFile(env), kCommon);
    env.os.version = OsVersion::Windows2000;
    env.imagePath = "";
    EXPECT_EQ(LocateConfigFile(env), R"(C:\Tool\config.vtr)");

    env.os.version = OsVersion::Later;
    env.common = {kAccessDenied, ""};
    EXPECT_EQ(LocateConfigFile(env), "");
    path = kUntouched;
    EXPECT_EQ(LocateDataFile(env, ConfigFileName, ProductVantor, path), kAccessDenied);
    EXPECT_EQ(path, kUntouched);
}

TEST(InstallationPathsTest, EnsureCommonDataFolderCreatesOnlyWhenMissing) {
    FakeEnvironment missing;
    EXPECT_EQ(EnsureCommonDataFolder(missing), SOk);
    EXPECT_EQ(missing.created, std::vector<std::string>{R"(C:\ProgramData\Quorvane)"});

    FakeEnvironment cases[5];
    cases[0].exists = true;
    cases[1].os.version = OsVersion::Windows2000;
    cases[2].os = {OsVersion::QueryFailed, 5};
    cases[3].common = {EFail, ""};
    cases[4].createResult = kAccessDenied;
    const HResult expected[] = {SOk, SOk, kAccessDenied, EFail, kAccessDenied};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(EnsureCommonDataFolder(cases[i]), expected[i]);
        EXPECT_EQ(cases[i].created.size(), i == 4 ? 1u : 0u);
    }
}

}  // namespace
}  // namespace vantor
