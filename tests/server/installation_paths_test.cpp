#include "server/installation_paths.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr HResult kAccessDenied = 0x80070005u;
const std::string kUntouched = "previous value";

InstallationFacts WindowsFacts(OsVersion os, std::string imagePath,
                               std::optional<FileVersion> version) {
    InstallationFacts facts;
    facts.osVersion = os;
    facts.serviceImagePath = std::move(imagePath);
    facts.fileVersion = version;
    facts.commonAppData = {SOk, R"(C:\ProgramData)"};
    facts.ownExecutablePath = R"(C:\Program Files\VantorConfig\VantorConfig.exe)";
    facts.separator = '\\';
    return facts;
}

// The result and the output string of one composition, the string starting as kUntouched.
struct Outcome {
    HResult result;
    std::string path;
};

Outcome Compose(const InstallationFacts& facts, std::string_view product = kProductVantor,
                std::string_view fileName = kConfigFileName) {
    Outcome outcome{0, kUntouched};
    outcome.result = ComposeDataFilePath(facts, fileName, product, outcome.path);
    return outcome;
}

constexpr FileVersion Version(std::uint16_t major, std::uint16_t minor) {
    return FileVersion{major, minor, 7, 9};
}

TEST(InstallationPathsTest, Windows2000UsesTheServiceFolderOrOwnFolder) {
    for (const auto& version : {std::optional<FileVersion>{}, std::optional{Version(4, 1)},
                                std::optional{Version(9, 0)}}) {
        const Outcome beside =
            Compose(WindowsFacts(OsVersion::Windows2000, R"(C:\Srv\server.exe)", version));
        EXPECT_EQ(beside.result, SOk);
        EXPECT_EQ(beside.path, R"(C:\Srv\config.vtr)");
    }

    const Outcome own = Compose(WindowsFacts(OsVersion::Windows2000, "", Version(9, 0)));
    EXPECT_EQ(own.result, SOk);
    EXPECT_EQ(own.path, R"(C:\Program Files\VantorConfig\config.vtr)");

    // Any product, even one without a version rule, goes beside its server on Windows 2000.
    const Outcome other =
        Compose(WindowsFacts(OsVersion::Windows2000, R"(D:\Other\other.exe)", std::nullopt),
                "Other", "other.dat");
    EXPECT_EQ(other.path, R"(D:\Other\other.dat)");

    // The common folder is not consulted, so its failure does not matter there.
    InstallationFacts noCommon = WindowsFacts(OsVersion::Windows2000, R"(C:\Srv\s.exe)", {});
    noCommon.commonAppData = {kAccessDenied, ""};
    EXPECT_EQ(Compose(noCommon).path, R"(C:\Srv\config.vtr)");
}

TEST(InstallationPathsTest, LaterWindowsFollowsTheProductVersionRules) {
    const std::string common = R"(C:\ProgramData\Quorvane\config.vtr)";
    const std::string beside = R"(C:\Srv\config.vtr)";
    struct Case {
        std::string_view product;
        std::string image;
        std::optional<FileVersion> version;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {kProductVantor, "", std::nullopt, common},
        {kProductVantor, "", Version(5, 0), common},
        {kProductVantor, R"(C:\Srv\server.exe)", Version(5, 0), beside},
        {kProductVantor, R"(C:\Srv\server.exe)", Version(5, 65535), beside},
        {kProductVantor, R"(C:\Srv\server.exe)", Version(4, 1), beside},
        {kProductVantor, R"(C:\Srv\server.exe)", Version(6, 0), common},
        {kProductVantor, R"(C:\Srv\server.exe)", Version(9, 1), common},
        {kProductVantor, R"(C:\Srv\server.exe)", std::nullopt, common},
        {kProductTavrin, R"(C:\Srv\server.exe)", Version(5, 2), beside},
        {kProductTavrin, R"(C:\Srv\server.exe)", Version(6, 0), common},
        {kProductKeswick, R"(C:\Srv\server.exe)", Version(1, 0), beside},
        {kProductKeswick, R"(C:\Srv\server.exe)", Version(1, 1), common},
        {kProductKeswick, R"(C:\Srv\server.exe)", Version(2, 0), common},
        {kProductKeswick, R"(C:\Srv\server.exe)", Version(0, 9), common},
        {kProductKeswick, R"(C:\Srv\server.exe)", std::nullopt, common},
        // Names are told apart exactly.
        {"vantor", R"(C:\Srv\server.exe)", Version(5, 0), common},
        {"Other", R"(C:\Srv\server.exe)", Version(1, 0), common},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.product) + " " + c.image);
        const Outcome outcome =
            Compose(WindowsFacts(OsVersion::Later, c.image, c.version), c.product);
        EXPECT_EQ(outcome.result, SOk);
        EXPECT_EQ(outcome.path, c.expected);
    }

    // A failed version query counts as a later Windows, not as Windows 2000.
    EXPECT_EQ(Compose(WindowsFacts(OsVersion::QueryFailed, "", std::nullopt)).path, common);
    EXPECT_EQ(
        Compose(WindowsFacts(OsVersion::QueryFailed, R"(C:\Srv\server.exe)", Version(6, 0))).path,
        common);
}

TEST(InstallationPathsTest, SeparatorsAreTrimmedAndJoinedOnce) {
    InstallationFacts facts = WindowsFacts(OsVersion::Later, "", std::nullopt);
    for (const char* folder : {R"(C:\ProgramData\)", R"(C:\ProgramData\\\)"}) {
        facts.commonAppData.path = folder;
        EXPECT_EQ(Compose(facts).path, R"(C:\ProgramData\Quorvane\config.vtr)");
    }

    const Outcome bothEnds =
        Compose(WindowsFacts(OsVersion::Windows2000, R"(\\C:\Srv\server.exe\\)", std::nullopt));
    EXPECT_EQ(bothEnds.result, SOk);
    EXPECT_EQ(bothEnds.path, R"(C:\Srv\config.vtr)");

    // Nothing but separators is no image path at all: this program's own folder is used.
    EXPECT_EQ(Compose(WindowsFacts(OsVersion::Windows2000, R"(\\\)", std::nullopt)).path,
              R"(C:\Program Files\VantorConfig\config.vtr)");

    // Quotes and arguments are not taken apart: the last backslash decides.
    EXPECT_EQ(Compose(WindowsFacts(OsVersion::Windows2000, R"("C:\Srv\server.exe" -service)",
                                   std::nullopt))
                  .path,
              R"("C:\Srv\config.vtr)");

    EXPECT_EQ(TrimImagePath(R"(\\a\b\\)", '\\'), R"(a\b)");
    EXPECT_EQ(TrimImagePath("//opt/vantor/vantord//", '/'), "/opt/vantor/vantord");
    EXPECT_EQ(TrimImagePath("relative/vantord/", '/'), "relative/vantord");
    EXPECT_EQ(TrimImagePath("///", '/'), "");
}

TEST(InstallationPathsTest, FailuresLeaveThePathUntouched) {
    const Outcome bare = Compose(WindowsFacts(OsVersion::Windows2000, "server.exe", std::nullopt));
    EXPECT_EQ(bare.result, EUnexpected);
    EXPECT_EQ(bare.path, kUntouched);

    InstallationFacts noOwnPath = WindowsFacts(OsVersion::Windows2000, "", std::nullopt);
    noOwnPath.ownExecutablePath = "";
    EXPECT_EQ(Compose(noOwnPath).result, EUnexpected);
    EXPECT_EQ(Compose(noOwnPath).path, kUntouched);

    // The beside-the-server rule of a later Windows needs a separator just the same.
    const Outcome bareLater = Compose(WindowsFacts(OsVersion::Later, "server.exe", Version(5, 0)));
    EXPECT_EQ(bareLater.result, EUnexpected);
    EXPECT_EQ(bareLater.path, kUntouched);

    InstallationFacts noCommon = WindowsFacts(OsVersion::Later, "", std::nullopt);
    noCommon.commonAppData = {kAccessDenied, R"(C:\ignored)"};
    const Outcome failed = Compose(noCommon);
    EXPECT_EQ(failed.result, kAccessDenied);
    EXPECT_EQ(failed.path, kUntouched);

    // A success code other than SOk from the folder query is passed on with the path.
    InstallationFacts falseOk = WindowsFacts(OsVersion::Later, "", std::nullopt);
    falseOk.commonAppData.result = SFalse;
    const Outcome passed = Compose(falseOk);
    EXPECT_EQ(passed.result, SFalse);
    EXPECT_EQ(passed.path, R"(C:\ProgramData\Quorvane\config.vtr)");
}

TEST(InstallationPathsTest, SlashPaths) {
    InstallationFacts facts;
    facts.separator = '/';
    facts.osVersion = OsVersion::Later;
    facts.commonAppData = {SOk, "/var/lib/"};
    facts.ownExecutablePath = "/usr/bin/vantorconfig";
    EXPECT_EQ(Compose(facts).path, "/var/lib/Quorvane/config.vtr");

    facts.commonAppData.path = "/";
    EXPECT_EQ(Compose(facts, kProductTavrin, kTavrinRestrictionsFileName).path,
              "/Quorvane/TavrinIPRestrictions.config");

    facts.serviceImagePath = "//opt/vantor/bin/vantord/";
    facts.fileVersion = Version(5, 0);
    EXPECT_EQ(Compose(facts).path, "/opt/vantor/bin/config.vtr");

    facts.osVersion = OsVersion::Windows2000;
    facts.fileVersion = std::nullopt;
    EXPECT_EQ(Compose(facts).path, "/opt/vantor/bin/config.vtr");
    facts.serviceImagePath = "";
    EXPECT_EQ(Compose(facts).path, "/usr/bin/config.vtr");

    // A backslash is an ordinary character here.
    facts.serviceImagePath = R"(C:\Srv\server.exe)";
    EXPECT_EQ(Compose(facts).result, EUnexpected);
}

// Answers from fixed values and records what was asked.
class FakeEnvironment : public InstallationEnvironment {
public:
    OsVersionResult os{OsVersion::Later, 0};
    std::string imagePath;
    std::optional<FileVersion> version;
    FolderQueryResult common{SOk, R"(C:\ProgramData\)"};
    std::string ownPath = R"(C:\Tool\tool.exe)";
    bool exists = false;
    HResult createResult = SOk;

    std::vector<std::string> askedProducts;
    std::vector<std::string> versionPaths;
    std::vector<std::string> created;

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
    std::string OwnExecutablePath() override { return ownPath; }
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
    EXPECT_EQ(env.versionPaths, std::vector<std::string>{R"(C:\Srv\server.exe)"});

    for (int selector : {0, 2, -1}) {
        EXPECT_EQ(LocateRestrictionsFile(env, selector, path), SOk);
        EXPECT_EQ(path, R"(C:\Srv\TavrinIPRestrictions.config)");
    }
    EXPECT_EQ(env.askedProducts,
              (std::vector<std::string>{"Vantor", "Tavrin", "Tavrin", "Tavrin"}));

    env.version = Version(7, 5);
    EXPECT_EQ(LocateConfigFile(env), R"(C:\ProgramData\Quorvane\config.vtr)");

    env.os.version = OsVersion::Windows2000;
    env.imagePath = "";
    EXPECT_EQ(LocateConfigFile(env), R"(C:\Tool\config.vtr)");

    env.os.version = OsVersion::Later;
    env.common = {kAccessDenied, ""};
    EXPECT_EQ(LocateConfigFile(env), "");
    path = kUntouched;
    EXPECT_EQ(LocateDataFile(env, kConfigFileName, kProductVantor, path), kAccessDenied);
    EXPECT_EQ(path, kUntouched);
}

TEST(InstallationPathsTest, EnsureCommonDataFolderCreatesOnlyWhenMissing) {
    FakeEnvironment missing;
    EXPECT_EQ(EnsureCommonDataFolder(missing), SOk);
    EXPECT_EQ(missing.created, std::vector<std::string>{R"(C:\ProgramData\Quorvane)"});

    FakeEnvironment present;
    present.exists = true;
    EXPECT_EQ(EnsureCommonDataFolder(present), SOk);
    EXPECT_TRUE(present.created.empty());

    FakeEnvironment windows2000;
    windows2000.os.version = OsVersion::Windows2000;
    EXPECT_EQ(EnsureCommonDataFolder(windows2000), SOk);
    EXPECT_TRUE(windows2000.created.empty());

    FakeEnvironment noVersion;
    noVersion.os = {OsVersion::QueryFailed, 5};
    EXPECT_EQ(EnsureCommonDataFolder(noVersion), kAccessDenied);
    EXPECT_TRUE(noVersion.created.empty());

    FakeEnvironment noCommon;
    noCommon.common = {EFail, ""};
    EXPECT_EQ(EnsureCommonDataFolder(noCommon), EFail);
    EXPECT_TRUE(noCommon.created.empty());

    FakeEnvironment cannotCreate;
    cannotCreate.createResult = kAccessDenied;
    EXPECT_EQ(EnsureCommonDataFolder(cannotCreate), kAccessDenied);
}

}  // namespace
}  // namespace vantor
