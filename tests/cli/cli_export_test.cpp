// SPDX-License-Identifier: MIT
// lumo-cli export and info of models: what is written, what is refused, and that a
// refused export leaves no file behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/json_reader.h"
#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/model_builder.h"

using namespace lumo::test;

namespace {

class CliExport : public testing::Test {
protected:
    void SetUp() override {
        LgpWriter writer;
        for (const auto& [name, bytes] : DemoModelEntries(2, 4)) {
            writer.Add(name, bytes);
        }
        writer.Add("wide.a", AnimationFile(7, {0, 1, 2}, {{}}));
        writer.AddText("bad.hrc", "not a skeleton\n");
        m_archive = m_dir.Write("char.lgp", writer.Build());
    }

    bool GlbAt(const std::string& path) {
        const Bytes file = std::filesystem::exists(path) ? ReadFile(path) : Bytes();
        return file.size() > 12 && std::string(file.begin(), file.begin() + 4) == "glTF";
    }

    TempDir m_dir;
    std::string m_archive;
};

TEST_F(CliExport, WritesSkinnedPosedAndStaticModels) {
    const std::vector<std::vector<std::string>> runs = {
        {"demo.hrc", "--all-anims"},
        {"demo.hrc", "--anim", "DEMO1", "--anim", "demo0.a"},
        {"demo.hrc", "--pose", "demo1:3"},
        {"demo.hrc", "--pose", "rest"},
        {"demd.p"},
        {"demb.rsd"},
    };
    for (const auto& run : runs) {
        std::vector<std::string> args = {"export", m_archive, "-o", m_dir.File("out.glb")};
        args.insert(args.end(), run.begin(), run.end());
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 0) << run[0] << " " << r.err;
        EXPECT_TRUE(GlbAt(m_dir.File("out.glb"))) << run[0];
        std::filesystem::remove(m_dir.File("out.glb"));
    }
}

TEST_F(CliExport, RefusalsWriteNothing) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"demo.hrc"}, 2, "export needs -o"},
        {{"demo.hrc", "-o", "x.glb", "--pose", "rest", "--anim", "demo0"}, 2, "--pose writes one"},
        {{"demo.hrc", "-o", "x.glb", "--all-models"}, 2, "takes no ENTRY"},
        {{"demo.hrc", "-o", "x.glb", "--anim", "wide"}, 1, "wide.a animates 7 bones"},
        {{"demo.hrc", "-o", "x.glb", "--pose", "demo0:4"}, 1, "there is no frame 4"},
        {{"demd.p", "-o", "x.glb", "--all-anims"}, 1, "animations go with a skeleton"},
        {{"bad.hrc", "-o", "x.glb"}, 1, "the first line is not :HEADER_BLOCK"},
        {{"demo.hrc", "-o", "char.lgp"}, 1, "is the archive being read"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"export", m_archive};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult r = RunCli(args, m_dir.Path());
        EXPECT_EQ(r.exitCode, c.status) << c.message << ": " << r.err;
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
        EXPECT_FALSE(std::filesystem::exists(m_dir.File("x.glb"))) << c.message;
    }
}

TEST_F(CliExport, AllModelsWritesEverySkeletonAndReportsTheBrokenOne) {
    const CliResult r = RunCli({"export", m_archive, "--all-models", "-o", m_dir.File("models")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(GlbAt(m_dir.File("models/demo.glb")));
    EXPECT_TRUE(Contains(r.err, "bad.hrc")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("models/bad.glb")));
}

TEST_F(CliExport, InfoNamesTheAnimationsThatFit) {
    const CliResult text = RunCli({"info", m_archive, "demo.hrc"});
    EXPECT_TRUE(Contains(text.out, "bones\t3\n")) << text.out;
    EXPECT_TRUE(Contains(text.out, "animation\tdemo0.a\nanimation\tdemo1.a\n")) << text.out;
    const CliResult json = RunCli({"info", m_archive, "demo.hrc", "demo0.a", "--json"});
    const std::unique_ptr<JsonValue> doc = ParseJson(json.out);
    ASSERT_TRUE(doc) << json.out;
    EXPECT_EQ((*doc)[0]["animations"].items.size(), 2u);
    EXPECT_EQ((*doc)[0]["polygons"].text, "36");
    EXPECT_EQ((*doc)[1]["frames"].text, "4");
}

}  // namespace

TEST_F(CliExport, VerifyWarnsOfModelPiecesTheDecodersRefuse) {
    Bytes cutAnimation = AnimationFile(3, {0, 1, 2}, {{}, {}});
    cutAnimation.resize(cutAnimation.size() - 4);
    const auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    const struct {
        std::string name;
        Bytes bytes;
        std::string warning;  // "" for a piece that decodes
    } cases[] = {
        {"bad.p", PBuilder().AddGroup(BoxGroup({}, {1, 1, 1}, {}, false)).Set(kPVersion, 2).Build(),
         "model: version 2"},
        {"bad.hrc", text("not a skeleton\n"), "skeleton: the first line is not :HEADER_BLOCK"},
        {"Bad.RSD", text("PLY=A.PLY\n"), "resource: the first line is not @RSD940102"},
        {"bad.rsdx", text("PLY=A.PLY\n"), ""},  // another extension: not a resource
        {"cut.a", cutAnimation, "animation: 2 frames of 3 bones need more than"},
        {"ok.a", AnimationFile(3, {0, 1, 2}, {{}, {}}), ""},
    };
    LgpWriter writer;
    for (const auto& [name, bytes] : DemoModelEntries(1, 2)) {
        writer.Add(name, bytes);
    }
    for (const auto& c : cases) {
        writer.Add(c.name, c.bytes);
    }
    const std::string archive = m_dir.Write("pieces.lgp", writer.Build());
    const CliResult r = RunCli({"verify", archive});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const auto& c : cases) {
        if (!c.warning.empty()) {
            const size_t at = r.out.find("\t" + c.name + "\twarning: " + c.warning);
            EXPECT_NE(at, std::string::npos) << c.name << ":\n" << r.out;
        }
    }
    EXPECT_EQ(Lines(r.out).size(), 4u) << r.out;
    EXPECT_EQ(RunCli({"verify", "--strict", archive}).exitCode, 1);
}
