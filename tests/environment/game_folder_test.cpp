// SPDX-License-Identifier: MIT
// The data folder lookup against fake homes and Wine prefixes made in a temporary folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "environment/game_environment.h"

namespace fs = std::filesystem;

namespace {

const char kKey[] = R"([Software\\Square Soft, Inc.\\Final Fantasy VII] 1700000000)";

class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_home = fs::temp_directory_path() /
                 ("lumo-env-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_home);
        fs::create_directories(m_home);
        m_home = fs::canonical(m_home);
    }
    void TearDown() override { fs::remove_all(m_home); }

    // A prefix laid out as Wine makes it: drive_c, and dosdevices/c: linking to it.
    fs::path MakePrefix(const fs::path& prefix, const std::string& registryBody) {
        fs::create_directories(prefix / "drive_c");
        fs::create_directories(prefix / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
        std::ofstream(prefix / "system.reg", std::ios::binary)
            << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
            << "[Software\\\\Other] 1700000000\n\"AppPath\"=\"C:\\\\Wrong\"\n\n"
            << registryBody;
        return prefix;
    }

    fs::path MakeWine(const std::string& body) { return MakePrefix(m_home / ".wine", body); }

    std::string Lookup(const std::string& winePrefix = std::string()) {
        CGameEnvironment environment(RegistrySources{m_home.string(), winePrefix});
        const char* folder = environment.GetGameDataFolder();
        return folder ? folder : "(null)";
    }

    fs::path m_home;
};

std::string AppPathKey(const std::string& valueLine) {
    return std::string(kKey) + "\n#time=1d9a\n\"Other\"=\"x\"\n" + valueLine + "\n\n";
}

}  // namespace

TEST_F(GameFolderTest, AppendsDataAndNeverDoublesTheTrailingBackslash) {
    MakeWine(AppPathKey(R"("AppPath"="C:\\Game")"));
    const std::string expected = (m_home / ".wine/drive_c/Game/data/").string();
    EXPECT_EQ(Lookup(), expected);

    fs::remove_all(m_home / ".wine");
    MakeWine(AppPathKey(R"("AppPath"="C:\\Game\\")"));
    EXPECT_EQ(Lookup(), expected);
}

TEST_F(GameFolderTest, NothingToFindLeavesTheFolderEmpty) {
    EXPECT_EQ(Lookup(), "(null)");  // no prefix at all
    MakeWine(AppPathKey(R"("AppPath"="")"));
    EXPECT_EQ(Lookup(), "(null)");
    fs::remove_all(m_home / ".wine");
    MakeWine(AppPathKey(R"("Path"="C:\\Game")"));
    EXPECT_EQ(Lookup(), "(null)");
    fs::remove_all(m_home / ".wine");
    MakeWine("[Software\\\\Square Soft, Inc.] 1\n\"AppPath\"=\"C:\\\\Game\"\n");
    EXPECT_EQ(Lookup(), "(null)");
    fs::remove_all(m_home / ".wine");
    MakeWine(AppPathKey(R"("AppPath"=dword:00000001)"));  // not text
    EXPECT_EQ(Lookup(), "(null)");
}

TEST_F(GameFolderTest, KeyAndValueNamesMatchIgnoringCaseAlsoUnderWow6432Node) {
    MakeWine(
        "[SOFTWARE\\\\Wow6432Node\\\\square soft, inc.\\\\FINAL FANTASY VII] 1\n"
        "\"apppath\"=str(2):\"C:\\\\Games\\\\FF7\\\\\"\r\n");
    EXPECT_EQ(Lookup(), (m_home / ".wine/drive_c/Games/FF7/data/").string());
}

TEST_F(GameFolderTest, DecodesEscapesInTheValue) {
    MakeWine(AppPathKey(R"("AppPath"="C:\\Jeux\\Caf\xe9 \"7\"")"));
    EXPECT_EQ(Lookup(), (m_home / ".wine/drive_c/Jeux/Caf\xc3\xa9 \"7\"/data/").string());
}

TEST_F(GameFolderTest, MapsOtherDrivesThroughDosdevicesAndMatchesFoldersIgnoringCase) {
    const fs::path prefix = MakeWine(AppPathKey(R"("AppPath"="d:\\games\\ff7")"));
    EXPECT_EQ(Lookup(), "(null)");  // drive D: unknown to the prefix

    const fs::path disc = m_home / "disc";
    fs::create_directories(disc / "Games" / "FF7" / "DATA");
    fs::create_directory_symlink(disc, prefix / "dosdevices" / "d:");
    EXPECT_EQ(Lookup(), (disc / "Games/FF7/DATA/").string());
}

TEST_F(GameFolderTest, WithoutDosdevicesDriveCIsTheDriveCFolder) {
    const fs::path prefix = MakeWine(AppPathKey(R"("AppPath"="C:\\Game")"));
    fs::remove_all(prefix / "dosdevices");
    EXPECT_EQ(Lookup(), (prefix / "drive_c/Game/data/").string());
}

TEST_F(GameFolderTest, SearchesWineprefixThenDotWineThenProtonPrefixes) {
    const fs::path proton = m_home / ".local/share/Steam/steamapps/compatdata/39140/pfx";
    MakePrefix(proton, AppPathKey(R"("AppPath"="C:\\Proton")"));
    EXPECT_EQ(Lookup(), (proton / "drive_c/Proton/data/").string());

    MakeWine(AppPathKey(R"("AppPath"="C:\\Wine")"));
    EXPECT_EQ(Lookup(), (m_home / ".wine/drive_c/Wine/data/").string());

    const fs::path custom = MakePrefix(m_home / "custom", AppPathKey(R"("AppPath"="C:\\Own")"));
    EXPECT_EQ(Lookup(custom.string()), (custom / "drive_c/Own/data/").string());
}

TEST_F(GameFolderTest, APrefixWithoutAUsableValueGivesWayToTheNext) {
    MakeWine(AppPathKey(R"("AppPath"="")"));
    const fs::path proton = m_home / ".steam/steam/steamapps/compatdata/1/pfx";
    MakePrefix(proton, AppPathKey(R"("AppPath"="C:\\Proton")"));
    EXPECT_EQ(Lookup(), (proton / "drive_c/Proton/data/").string());
}

// The search stops at the first hit taken, so later prefixes cost nothing at start-up.
TEST_F(GameFolderTest, VisitingStopsAtTheFirstHitTaken) {
    MakeWine(AppPathKey(R"("AppPath"="")"));
    MakePrefix(m_home / ".steam/steam/steamapps/compatdata/1/pfx",
               AppPathKey(R"("AppPath"="C:\\One")"));
    MakePrefix(m_home / ".steam/steam/steamapps/compatdata/2/pfx",
               AppPathKey(R"("AppPath"="C:\\Two")"));
    const RegistrySources sources{m_home.string(), ""};
    const std::vector<std::string> key = {"software", "Square Soft, Inc.", "Final Fantasy VII"};
    ASSERT_EQ(FindMachineRegistryValues(sources, key, "AppPath").size(), 3u);

    std::vector<std::string> seen;
    VisitMachineRegistryValues(sources, key, "AppPath", [&seen](const RegistryHit& hit) {
        seen.push_back(hit.text);
        return !hit.text.empty();
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"", "C:\\One"}));
}

TEST_F(GameFolderTest, TooLongValuesLeaveTheFolderEmpty) {
    MakeWine(AppPathKey("\"AppPath\"=\"C:\\\\" + std::string(300, 'x') + "\""));
    EXPECT_EQ(Lookup(), "(null)");
}

TEST(GameFolderText, KeepsTheFolderWithinTheClassicPathLimit) {
    auto compose = [](size_t length, bool trailing) {
        std::string value = "C:\\" + std::string(length - 3 - (trailing ? 1 : 0), 'x');
        if (trailing) {
            value += '\\';
        }
        return CGameEnvironment::ComposeGameDataFolder(value);
    };
    EXPECT_EQ(compose(253, false).size(), 259u);  // 253 + "\" + "data\" just fits
    EXPECT_EQ(compose(254, false), "");
    EXPECT_EQ(compose(254, true).size(), 259u);
    EXPECT_EQ(compose(255, true), "");
    EXPECT_EQ(compose(259, true), "");
    EXPECT_EQ(compose(260, false), "");  // does not fit the registry read at all
    EXPECT_EQ(CGameEnvironment::ComposeGameDataFolder(""), "");
    EXPECT_EQ(CGameEnvironment::ComposeGameDataFolder("X:\\Game"), "X:\\Game\\data\\");
    EXPECT_EQ(CGameEnvironment::ComposeGameDataFolder("X:\\Game\\"), "X:\\Game\\data\\");
}

TEST_F(GameFolderTest, SearchesEveryLibraryTheSteamInstallationsList) {
    const fs::path library = m_home / "disks/games/SteamLibrary";
    const fs::path proton = library / "steamapps/compatdata/39140/pfx";
    MakePrefix(proton, AppPathKey(R"("AppPath"="C:\\Lib")"));
    fs::create_directories(m_home / ".local/share/Steam/steamapps");
    std::ofstream(m_home / ".local/share/Steam/steamapps/libraryfolders.vdf")
        << "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" << m_home.string()
        << "/.local/share/Steam\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" << library.string()
        << "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"39140\"\t\t\"0\"\n\t\t}\n\t}\n}\n";
    EXPECT_EQ(Lookup(), (proton / "drive_c/Lib/data/").string());

    fs::remove_all(m_home / ".local");
    const fs::path flatpak = m_home / ".var/app/com.valvesoftware.Steam/.local/share/Steam";
    MakePrefix(flatpak / "steamapps/compatdata/39140/pfx", AppPathKey(R"("AppPath"="C:\\Flat")"));
    EXPECT_EQ(Lookup(), (flatpak / "steamapps/compatdata/39140/pfx/drive_c/Flat/data/").string());
}

TEST_F(GameFolderTest, APrefixNamingAMissingFolderDoesNotHideOneThatExists) {
    MakeWine(AppPathKey(R"("AppPath"="C:\\Gone")"));
    const fs::path proton = m_home / ".steam/steam/steamapps/compatdata/1/pfx";
    MakePrefix(proton, AppPathKey(R"("AppPath"="C:\\Here")"));
    EXPECT_EQ(Lookup(), (m_home / ".wine/drive_c/Gone/data/").string());  // none exists
    fs::create_directories(proton / "drive_c/Here/data");
    EXPECT_EQ(Lookup(), (proton / "drive_c/Here/data/").string());
}

TEST_F(GameFolderTest, BinaryAndUtf16ValuesAreReadAsText) {
    // "C:\Caf<e9>" as bytes, across a continued line, then a NUL and junk.
    MakeWine(AppPathKey("\"AppPath\"=hex:43,3a,5c,43,61,\\\n  66,e9,00,41"));
    EXPECT_EQ(Lookup(), (m_home / ".wine/drive_c/Caf\xc3\xa9/data/").string());
    fs::remove_all(m_home / ".wine");
    MakeWine(AppPathKey("\"AppPath\"=hex(2):43,00,3a,00,5c,00,47,00,00,00"));
    EXPECT_EQ(Lookup(), (m_home / ".wine/drive_c/G/data/").string());
}
