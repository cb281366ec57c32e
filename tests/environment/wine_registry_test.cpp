// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/steam_libraries.h"

TEST(WineRegistryString, DecodesEveryEscapeWineWrites) {
    EXPECT_EQ(DecodeWineRegistryString(R"(C:\\Games\\App)"), R"(C:\Games\App)");
    EXPECT_EQ(DecodeWineRegistryString(R"(say \"hi\" \] )"), "say \"hi\" ] ");
    EXPECT_EQ(DecodeWineRegistryString(R"(\t\n\r\a\b\v\f\e)"), "\t\n\r\a\b\v\f\x1b");
    EXPECT_EQ(DecodeWineRegistryString(R"(\x41\x263a)"), "A\xe2\x98\xba");
    EXPECT_EQ(DecodeWineRegistryString(R"(caf\xe9)"), "caf\xc3\xa9");
    EXPECT_EQ(DecodeWineRegistryString(R"(\x4142)"), "\xe4\x85\x82");  // at most 4 digits
    EXPECT_EQ(DecodeWineRegistryString(R"(\x41422)"),
              "\xe4\x85\x82"
              "2");
    EXPECT_EQ(DecodeWineRegistryString(R"(\101\7)"), "A\x07");
    EXPECT_EQ(DecodeWineRegistryString(R"(\xg)"), "xg");
    EXPECT_EQ(DecodeWineRegistryString("end\\"), "end\\");
}

TEST(WineRegistryString, JoinsSurrogatePairsAndReplacesLoneHalves) {
    EXPECT_EQ(DecodeWineRegistryString(R"(\xd83d\xde00)"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(DecodeWineRegistryString(R"(\xd83dA)"),
              "\xef\xbf\xbd"
              "A");
    EXPECT_EQ(DecodeWineRegistryString(R"(\xde00)"), "\xef\xbf\xbd");
}

TEST(WindowsPathMapping, NeedsADriveThePrefixKnows) {
    EXPECT_EQ(MapWindowsPathToHost("/nonexistent-prefix", "C:\\x\\"), "");
    EXPECT_EQ(MapWindowsPathToHost("/nonexistent-prefix", "\\\\server\\share\\"), "");
    EXPECT_EQ(MapWindowsPathToHost("/nonexistent-prefix", "data\\"), "");
}

TEST(SteamLibraryList, ReadsBothFormsAndStopsAtMalformedText) {
    struct Case {
        const char* text;
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        {R"("libraryfolders" { "0" { "path" "/a" "apps" { "7" "1" } } "1" { "PATH" "/b" } })",
         {"/a", "/b"}},
        {"\"LibraryFolders\"\n{\n\"TimeNextStatsReport\" \"1\"\n\"1\" \"/old\"\n}", {"/old"}},
        {R"("libraryfolders" { // comment "1" "/no"
            "1" { "path" "D:\\Steam \"x\"" } })",
         {"D:\\Steam \"x\""}},
        {R"("libraryfolders" { "1" { "path" "/a" } } } "2" { "path" "/b" })", {"/a"}},
        {R"("libraryfolders" { "1" { "path" "/unterminated)", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseSteamLibraryFolders(c.text), c.folders) << c.text;
    }
}
