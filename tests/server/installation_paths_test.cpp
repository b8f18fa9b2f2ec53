#include "server/installation_paths.h"

#include <gtest/gtest.h>

using namespace vantor;
namespace {

constexpr HResult kAccessDenied = 0x80070005u;
const std::string kUntouched = "previous value";

constexpr FileVersion Version(std::uint16_t major, std::uint16_t minor) {
    return FileVersion{major, minor, 7, 9};
}

// One composition; the output string starts as kUntouched, so a failure must leave it so.
struct Row {
    OsVersion os;
    std::string image{};
    std::optional<FileVersion> version{};
    std::string expected{};
    std::string_view product = ProductVantor;
    HResult result = SOk;
    FolderQueryResult common{SOk, R"(C:\ProgramData)"};
    char separator = '\\';
    std::string own = R"(C:\Program Files\VantorConfig\VantorConfig.exe)";
    bool exists = false;  // the common data folder
    HResult createResult = SOk;
};

// Reports a row's facts, and records the folders it was asked to create.
struct FakeEnvironment : InstallationEnvironment {
    FakeEnvironment(Row facts) : row(std::move(facts)) {}
    Row row;
    std::vector<std::string> created;

    OsVersionResult QueryOsVersion() override { return {row.os, 5}; }
    std::string ReadServiceImagePath(const std::string&) override { return row.image; }
    // Only the image's trimmed path has a version.
    std::optional<FileVersion> ReadFileVersion(const std::string& path) override {
        return path == TrimImagePath(row.image, row.separator) ? row.version : std::nullopt;
    }
    FolderQueryResult CommonAppDataFolder() override { return row.common; }
    std::string OwnExecutablePath() override { return row.own; }
    char PathSeparator() const override { return row.separator; }
    bool PathExists(const std::string&) override { return row.exists; }
    HResult CreateSharedFolder(const std::string& path) override {
        created.push_back(path);
        return row.createResult;
    }
};

constexpr OsVersion W2k = OsVersion::Windows2000;
constexpr OsVersion Later = OsVersion::Later;
const std::string kSrv = R"(C:\Srv\server.exe)";
const std::string kBeside = R"(C:\Srv\config.vtr)";
const std::string kCommon = R"(C:\ProgramData\Quorvane\config.vtr)";
const std::string kOwn = R"(C:\Program Files\VantorConfig\config.vtr)";

TEST(InstallationPathsTest, ComposedPathFollowsWindowsVersionProductSeparatorsAndFailures) {
    constexpr std::string_view V = ProductVantor;
    const Row rows[] = {
        // Windows 2000: beside the server whatever its version, else beside this program.
        {W2k, kSrv, Version(9, 0), kBeside},
        {W2k, "", Version(9, 0), kOwn},
        // Later Windows: the product's version rule.
        {Later, "", {}, kCommon},
        {Later, kSrv, Version(5, 0), kBeside},
        {Later, kSrv, Version(6, 0), kCommon},
        {Later, kSrv, {}, kCommon},
        {Later, kSrv, Version(5, 2), kBeside, ProductTavrin},
        {Later, kSrv, Version(1, 0), kBeside, ProductKeswick},
        {Later, kSrv, Version(1, 1), kCommon, ProductKeswick},
        {Later, kSrv, Version(2, 0), kCommon, ProductKeswick},
        // Unknown products use the common folder.
        {Later, kSrv, Version(1, 0), kCommon, "Other"},
        // A failed version query counts as a later Windows, not as Windows 2000.
        {OsVersion::QueryFailed, "", {}, kCommon},
        // Trailing backslashes of the common folder leave exactly one before Quorvane.
        {Later, "", {}, kCommon, V, SOk, {SOk, R"(C:\ProgramData\\\)"}},
        // The image path is used without separators at its ends.
        {W2k, R"(\\C:\Srv\server.exe\\)", {}, kBeside},
        {W2k, R"(\\\)", {}, kOwn},
        // No backslash to cut at: E_UNEXPECTED.
        {Later, "server.exe", Version(5, 0), kUntouched, V, EUnexpected},
        // The folder query's failure is returned as it is; a non-SOk success is passed on.
        {Later, "", {}, kUntouched, V, kAccessDenied, {kAccessDenied, "x"}},
        {Later, "", {}, kCommon, V, SFalse, {SFalse, R"(C:\ProgramData)"}},
        // With '/' a backslash is an ordinary character and a leading root is kept.
        {Later, "", {}, "/Quorvane/config.vtr", V, SOk, {SOk, "/"}, '/'},
        {Later, "//opt/bin/vantord/", Version(5, 0), "/opt/bin/config.vtr", V, SOk, {}, '/'},
        {W2k, kSrv, {}, kUntouched, V, EUnexpected, {}, '/'},
    };
    // Composed from the facts, and located through an environment that reports them.
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        FakeEnvironment env{row};
        std::string composed = kUntouched, located = kUntouched;
        EXPECT_EQ(ComposeDataFilePath(
                      {row.os, row.image, row.version, row.common, row.own, row.separator},
                      ConfigFileName, row.product, composed),
                  row.result);
        EXPECT_EQ(LocateDataFile(env, ConfigFileName, row.product, located), row.result);
        EXPECT_EQ(std::pair(composed, located), std::pair(row.expected, row.expected));
    }
}

TEST(InstallationPathsTest, LocateReadsTheEnvironmentAndEnsureCreatesOnlyAMissingFolder) {
    // Selector 1 is this product's restrictions file, any other the older product's.
    for (auto [selector, product] : {std::pair{1, "Vantor"}, {0, "Tavrin"}}) {
        FakeEnvironment env{Row{Later, R"(\C:\Srv\server.exe\)", Version(5, 3)}};
        std::string path;
        EXPECT_EQ(LocateRestrictionsFile(env, selector, path), SOk);
        EXPECT_EQ(path, R"(C:\Srv\)" + std::string(product) + "IPRestrictions.config");
    }
    // The configuration file's path, or none when the lookup fails.
    constexpr std::string_view V = ProductVantor;
    FakeEnvironment env{Row{W2k}};
    EXPECT_EQ(LocateConfigFile(env), kOwn);
    env.row = {Later, "", {}, "", V, SOk, {kAccessDenied, ""}};
    EXPECT_EQ(LocateConfigFile(env), "");
    // Ensuring the common data folder: created only when missing, failures passed on.
    const Row failing{Later, "", {}, "", V, SOk, {EFail, ""}};
    FakeEnvironment cases[] = {Row{Later}, Row{Later}, Row{W2k}, Row{OsVersion::QueryFailed},
                               failing,    Row{Later}};
    cases[1].row.exists = true;
    cases[5].row.createResult = kAccessDenied;
    const HResult expected[] = {SOk, SOk, SOk, HResultFromError(5), EFail, kAccessDenied};
    const std::vector<std::string> creates = {R"(C:\ProgramData\Quorvane)"}, none;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(EnsureCommonDataFolder(cases[i]), expected[i]) << i;
        EXPECT_EQ(cases[i].created, i == 0 || i == 5 ? creates : none) << i;
    }
}

}  // namespace
