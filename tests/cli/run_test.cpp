// The sorvex program end to end: real files, the real module, the options
// worked on the command's panel.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "modeler/lwo.h"
#include "tests/cli/cli_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/paths.h"
#include "tests/support/tools.h"

namespace {

typedef std::map<uint32_t, std::vector<float>> Values;

// A scratch folder with figure.lwo and a settings folder of its own.
struct Workspace {
    TempDir dir;
    std::string object = dir.file("figure.lwo");
    std::string settings = dir.file("settings");
    Workspace() { writeFile(object, figureFile()); }

    ProgramRun run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"run", object, "--settings-dir", settings});
        return runProgram(args, dir.path());
    }
};

Object readObject(const std::string &path) {
    Object object;
    LwoError error;
    EXPECT_TRUE(readLwo(path, object, error)) << lwoErrorText(error);
    return object;
}

Values valuesOf(const std::string &path, LWID type, const std::string &name, size_t layer = 0) {
    Object object = readObject(path);
    if (layer >= object.layers.size()) return {};
    const VertexMap *map = findMap(object.layers[layer], type, name);
    return map ? mapValues(*map) : Values{};
}

TEST(SorvexRun, MovesLeftValuesToRightMapsAndSavesInPlace) {
    Workspace w;
    ProgramRun run = w.run({});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("on  LeftArm -> RightArm: 2 moved, 1 copied, 2 left"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("on  LeftLeg -> RightLeg: 1 moved, 0 copied, 1 left"), std::string::npos)
        << run.out;
    EXPECT_EQ(valuesOf(w.object, LWVMAP_WGHT, "LeftArm"), (Values{{2, {0.3f}}, {3, {0.4f}}, {4, {0.5f}}}));
    EXPECT_EQ(valuesOf(w.object, LWVMAP_WGHT, "RightArm"), (Values{{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}}));
    EXPECT_EQ(valuesOf(w.object, LWVMAP_MORF, "LeftSmile"), (Values{{1, {1, 2, 3}}, {3, {4, 5, 6}}}));
    EXPECT_EQ(readFile(w.settings + "/sorvex.cfg.txt"), "Left\nRight\n-1\n0\n");
}

// Each option once, checked by what it does to the file.
TEST(SorvexRun, OptionsWorkThePanelAsAUserWould) {
    struct Case {
        const char *what;
        std::vector<std::string> args;
        LWID type;
        std::string map;
        Values expected;
        size_t layer = 0;
    } cases[] = {
        {"--direction pos",
         {"--direction", "pos"},
         LWVMAP_WGHT,
         "RightArm",
         {{2, {0.3f}}, {3, {0.4f}}, {4, {0.5f}}}},
        {"--kind morph", {"--kind", "morph"}, LWVMAP_MORF, "RightSmile", {{1, {1, 2, 3}}}},
        {"--source and --target",
         {"--source", "Left", "--target", "R_"},
         LWVMAP_WGHT,
         "R_Leg",
         {{1, {0.6f}}}},
        {"an empty --target strips the token", {"--target", ""}, LWVMAP_WGHT, "Leg", {{1, {0.6f}}}},
        {"--position suffix",
         {"--position", "suffix", "--source", "Arm", "--target", "Hand"},
         LWVMAP_WGHT,
         "LeftHand",
         {{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}}},
        {"--off leaves that pair alone",
         {"--off", "LeftArm"},
         LWVMAP_WGHT,
         "LeftArm",
         {{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}, {3, {0.4f}}, {4, {0.5f}}}},
        {"--layer", {"--layer", "2"}, LWVMAP_WGHT, "RightHand", {{0, {1}}}, 1},
    };
    for (const Case &c : cases) {
        Workspace w;
        ProgramRun run = w.run(c.args);
        ASSERT_EQ(run.status, 0) << c.what << "\n" << run.err;
        EXPECT_EQ(valuesOf(w.object, c.type, c.map, c.layer), c.expected) << c.what;
    }
}

TEST(SorvexRun, PresetsAreStoredAndPickedBack) {
    Workspace w;
    ProgramRun add = w.run({"--direction", "pos", "--position", "suffix", "--source", "Arm", "--target",
                            "Hand", "--add-preset", "arms to hands", "-o", w.dir.file("out.lwo")});
    ASSERT_EQ(add.status, 0) << add.err;
    EXPECT_EQ(readFile(w.settings + "/sorvex.cfg.txt"),
              "Arm\nHand\n1\n1\n\"arms to hands\"\nArm\nHand\n1\n1\n");
    ProgramRun back = w.run(
        {"--direction", "neg", "--source", "Left", "--position", "prefix", "-o", w.dir.file("out.lwo")});
    ASSERT_EQ(back.status, 0) << back.err;
    ProgramRun picked = w.run({"--preset", "arms to hands", "--dry-run", "--json"});
    ASSERT_EQ(picked.status, 0) << picked.err;
    EXPECT_NE(picked.out.find("{\"on\":true,\"source\":\"LeftArm\",\"target\":\"LeftHand\",\"moved\":2,"
                              "\"copied\":1,\"left\":2}"),
              std::string::npos)
        << picked.out;
}

TEST(SorvexRun, ScriptFileWorksThePanel) {
    Workspace w;
    writeFile(w.dir.file("split.txt"), "# morph maps, to the right\n"
                                       "pick \"頂点マップタイプ\" \"モーフ\"\n"
                                       "pick ChoiceControl#1 1\n"
                                       "press \"更新\"\n"
                                       "ok\n");
    ProgramRun run = w.run({"--script", "split.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(valuesOf(w.object, LWVMAP_MORF, "RightSmile"), (Values{{3, {4, 5, 6}}}));
    writeFile(w.dir.file("broken.txt"), "press \"No such button\"\nok\n");
    std::string before = readFile(w.object);
    ProgramRun broken = w.run({"--script", "broken.txt"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("line 1"), std::string::npos) << broken.err;
    EXPECT_EQ(readFile(w.object), before);
}

TEST(SorvexRun, WritesNothingWhenItShouldNot) {
    struct Case {
        const char *what;
        std::vector<std::string> args;
        bool settingsWritten;
    } cases[] = {
        {"--dry-run", {"--dry-run", "--add-preset", "p"}, false},
        {"--cancel", {"--cancel", "--source", "Leg"}, false},
        {"no pair matches", {"--source", "Nothing"}, true},
    };
    for (const Case &c : cases) {
        Workspace w;
        // An old time stamp shows whether the file was touched at all.
        utimbuf old = {1000000000, 1000000000};
        ASSERT_EQ(utime(w.object.c_str(), &old), 0);
        std::string before = readFile(w.object);
        ProgramRun run = w.run(c.args);
        EXPECT_EQ(run.status, 0) << c.what << "\n" << run.err;
        struct stat info;
        ASSERT_EQ(stat(w.object.c_str(), &info), 0);
        EXPECT_EQ(info.st_mtime, 1000000000) << c.what;
        EXPECT_EQ(readFile(w.object), before) << c.what;
        EXPECT_EQ(fileExists(w.settings + "/sorvex.cfg.txt"), c.settingsWritten) << c.what;
    }
}

TEST(SorvexRun, OutputOptionLeavesTheInputAsItWas) {
    Workspace w;
    std::string before = readFile(w.object);
    std::string output = w.dir.file("out.lwo");
    ProgramRun run = w.run({"-o", output});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(w.object), before);
    EXPECT_EQ(valuesOf(output, LWVMAP_WGHT, "RightLeg"), (Values{{1, {0.6f}}}));
    ProgramRun unchanged = w.run({"--output", w.dir.file("same.lwo"), "--source", "Nothing"});
    ASSERT_EQ(unchanged.status, 0) << unchanged.err;
    EXPECT_EQ(readFile(w.dir.file("same.lwo")), before);
}

TEST(SorvexRun, ExitStatusTellsWhatWentWrong) {
    Workspace w;
    writeFile(w.dir.file("junk.lwo"), "FORM\0\0\0\4LWOB");
    Object bare = lineObject({-1, 1});
    paint(bare.layers[0], LWVMAP_MORF, "LeftSmile", 0, {1, 2, 3});
    LwoError error;
    ASSERT_TRUE(writeLwo(bare, w.dir.file("morph-only.lwo"), error)) << lwoErrorText(error);
    struct Case {
        const char *what;
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {"unknown option", {"run", w.object, "--frobnicate"}, 1, "unknown option --frobnicate"},
        {"bad kind", {"run", w.object, "--kind", "colour"}, 1, "--kind takes weight or morph or spot"},
        {"token CP932 cannot hold", {"run", w.object, "--source", "\xF0\x9F\x98\x80"}, 1, "CP932"},
        {"no object", {"run"}, 1, "needs an object file"},
        {"unknown preset", {"run", w.object, "--preset", "Nope"}, 1, "no stored preset named \"Nope\""},
        {"unknown pair", {"run", w.object, "--off", "Nope"}, 1, "no pair has the source map \"Nope\""},
        {"no such layer", {"run", w.object, "--layer", "7"}, 1, "has no layer 7"},
        {"missing file", {"run", w.dir.file("missing.lwo")}, 2, "missing.lwo"},
        {"not LWO2", {"run", w.dir.file("junk.lwo")}, 2, "junk.lwo"},
        {"no module", {"run", w.object, "--module", w.dir.file("none.p")}, 3, "no such file"},
        {"no weight maps", {"run", w.dir.file("morph-only.lwo")}, 4, "ウェイトマップがありません。"},
        {"unknown command", {"frob"}, 1, "unknown command"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--settings-dir", w.settings});
        if (c.args.size() == 1) args.resize(1);
        ProgramRun run = runProgram(args, w.dir.path());
        EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << "\n" << run.err;
    }
}

TEST(SorvexRun, HelpOnEveryLevel) {
    const std::vector<std::string> cases[] = {
        {"--help"}, {"run", "--help"}, {"maps", "--help"}, {"demo", "--help"}};
    for (const auto &args : cases) {
        ProgramRun run = runProgram(args);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_NE(run.out.find("usage: sorvex"), std::string::npos) << args[0];
    }
}

TEST(SorvexMaps, ListsEachLayersMaps) {
    Workspace w;
    ProgramRun run = runProgram({"maps", w.object});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("layer 1 \"Body\": 8 points, 3 vertex maps"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("WGHT  1  LeftArm"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("MORF  3  LeftSmile"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("layer 2 \"Props\": 3 points, 1 vertex maps"), std::string::npos) << run.out;
}

// Another program's reader takes what we wrote, with the same geometry.
TEST(SorvexRun, AssimpReadsTheWrittenFile) {
    if (!hasAssimp()) GTEST_SKIP() << "assimp is not installed";
    Workspace w;
    std::string before = assimpCounts(w.object);
    ASSERT_NE(before, "");
    ASSERT_EQ(w.run({}).status, 0);
    EXPECT_EQ(assimpCounts(w.object), before);
}

} // namespace
