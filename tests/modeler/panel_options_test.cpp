// The options panel of the real module, operated by scripts: its controls,
// what OK and Cancel do with the settings file and the object, the update
// button and the map kind.
#include <gtest/gtest.h>

#include "tests/support/panel_scene.h"

namespace {

const LWID kWeight = LWVMAP_WGHT;
const LWID kMorph = LWVMAP_MORF;

// Points at x -1, 0 and 1 with the values 0.1, 0.2 and 0.3 in LeftArm.
Object armObject() {
    Object object = lineObject({-1, 0, 1});
    Layer &layer = object.layers[0];
    paint(layer, kWeight, "LeftArm", 0, {0.1f});
    paint(layer, kWeight, "LeftArm", 1, {0.2f});
    paint(layer, kWeight, "LeftArm", 2, {0.3f});
    return object;
}

// LeftArm as armObject has it, after a transfer towards the side of that sign.
MapContents armsMovedTowards(int sign) {
    MapContents expected;
    if (sign < 0) {
        expected[{kWeight, "LeftArm"}] = {{1, {0.2f}}, {2, {0.3f}}};
        expected[{kWeight, "RightArm"}] = {{0, {0.1f}}, {1, {0.2f}}};
    } else {
        expected[{kWeight, "LeftArm"}] = {{0, {0.1f}}, {1, {0.2f}}};
        expected[{kWeight, "RightArm"}] = {{1, {0.2f}}, {2, {0.3f}}};
    }
    return expected;
}

TEST(OptionsPanel, ControlsInTheirOrderWithLabelsDescriptorsAndPositions) {
    struct Expected {
        ControlKind kind;
        std::string label;
        int type;
        int x, y;
        int width;
        std::vector<std::string> items;
    };
    const Expected expected[] = {
        {ControlKind::Choice,
         "\x83\x52\x83\x73\x81\x5B\x95\xFB\x8C\xFC\x28\x58\x8E\xB2\x29",
         9,
         4,
         27,
         0,
         {"\x81\x7C\x20\x81\xA9\x20\x81\x7B", "\x81\x7C\x20\x81\xA8\x20\x81\x7B"}},
        {ControlKind::Choice,
         "\x92\x75\x8A\xB7\x88\xCA\x92\x75",
         9,
         220,
         27,
         0,
         {"\x90\xDA\x93\xAA\x8E\xAB", "\x90\xDA\x94\xF6\x8E\xAB"}},
        {ControlKind::Edit, "\x8C\xB3\x83\x7D\x83\x62\x83\x76", 1, 4, 52, 32, {}},
        {ControlKind::Edit, "\x91\xCE\x8F\xDB\x83\x7D\x83\x62\x83\x76", 1, 240, 52, 32, {}},
        {ControlKind::Button, "\x8D\x58\x90\x56", 2, 4, 77, 0, {}},
        {ControlKind::MultiList, "\x92\x75\x82\xAB\x8A\xB7\x82\xA6\x88\xEA\x97\x97", 22, 4, 102, 450, {}},
        {ControlKind::Popup,
         "\x92\xB8\x93\x5F\x83\x7D\x83\x62\x83\x76\x83\x5E\x83\x43\x83\x76",
         9,
         4,
         2,
         75,
         {"\x83\x45\x83\x46\x83\x43\x83\x67", "\x83\x82\x81\x5B\x83\x74",
          "\x83\x58\x83\x7C\x83\x62\x83\x67"}},
        {ControlKind::CustomPopup, "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67", 18, 220, 2, 150, {}},
    };
    PanelScene scene(armObject());
    ASSERT_EQ(runScript(scene, "ok"), 0);
    const PanelRecord &panel = optionsPanel(scene);
    EXPECT_EQ(panel.title, "Sorvex");
    EXPECT_EQ(panel.close, PanelClose::Ok);
    ASSERT_EQ(panel.controls.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ControlSetup &setup = panel.controls[i].setup;
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(setup.kind, expected[i].kind);
        EXPECT_EQ(setup.label, expected[i].label);
        EXPECT_EQ(setup.type, expected[i].type);
        EXPECT_EQ(panel.controls[i].x, expected[i].x);
        EXPECT_EQ(panel.controls[i].y, expected[i].y);
        EXPECT_EQ(setup.width, expected[i].width);
        EXPECT_EQ(setup.items, expected[i].items);
        if (setup.kind == ControlKind::Choice) {
            EXPECT_EQ(setup.vertical, 0);
        }
    }
    const ControlSetup &list = panel.controls[5].setup;
    EXPECT_EQ(list.visibleRows, 8);
    EXPECT_EQ(list.top, 0);
    EXPECT_TRUE(scene.toolkit.errors.empty()) << scene.toolkit.errors[0];
}

TEST(OptionsPanel, StartsFromTheStoredSettings) {
    PanelScene scene(armObject());
    writeFile(scene.settingsPath(), settingsText({"Le", "Ri", "1", "1"}));
    ASSERT_EQ(runScript(scene, "ok"), 0);
    const PanelRecord &panel = optionsPanel(scene);
    EXPECT_EQ(controlOf(panel, ControlKind::Choice, 1).value, 1);
    EXPECT_EQ(controlOf(panel, ControlKind::Choice, 2).value, 1);
    EXPECT_EQ(controlOf(panel, ControlKind::Edit, 1).text, "Le");
    EXPECT_EQ(controlOf(panel, ControlKind::Edit, 2).text, "Ri");
    EXPECT_EQ(controlOf(panel, ControlKind::Popup).value, 0);
}

TEST(OptionsPanel, DirectionShownAsItsChoiceAndGivenBackOnOk) {
    struct Case {
        const char *stored; // line 3 of the settings file; null for no file
        const char *script;
        int shown;
        const char *saved;
    } cases[] = {
        {nullptr, "ok", 0, "-1"},
        {"-1", "ok", 0, "-1"},
        {"1", "ok", 1, "1"},
        {nullptr, "pick ChoiceControl#1 1\nok", 1, "1"},
        {"1", "pick \"コピー方向(X軸)\" \"－ ← ＋\"\nok", 0, "-1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        PanelScene scene(armObject());
        if (c.stored) writeFile(scene.settingsPath(), settingsText({"Left", "Right", c.stored, "0"}));
        ASSERT_EQ(runScript(scene, c.script), 0);
        EXPECT_EQ(controlOf(optionsPanel(scene), ControlKind::Choice, 1).value, c.shown);
        EXPECT_EQ(readFile(scene.settingsPath()), settingsText({"Left", "Right", c.saved, "0"}));
        EXPECT_EQ(contents(scene.layer()), armsMovedTowards(std::stoi(c.saved)));
    }
}

TEST(OptionsPanel, TokensEditedWithoutUpdateAreSavedButThePairsStay) {
    PanelScene scene(armObject());
    ASSERT_EQ(runScript(scene, "type \"元マップ\" \"Arm\"\ntype EditControl#2 \"Leg\"\nok"), 0);
    EXPECT_EQ(readFile(scene.settingsPath()), settingsText({"Arm", "Leg", "-1", "0"}));
    EXPECT_EQ(controlOf(optionsPanel(scene), ControlKind::MultiList).rows,
              (Rows{{"v", "LeftArm", "RightArm"}}));
    EXPECT_EQ(contents(scene.layer()), armsMovedTowards(-1));
}

TEST(OptionsPanel, MorphPickedWithoutUpdateTransfersMorphsUnderTheWeightNames) {
    Object object = lineObject({-1, 1});
    Layer &layer = object.layers[0];
    paint(layer, kWeight, "LeftArm", 0, {0.5f});
    paint(layer, kMorph, "LeftArm", 0, {1, 2, 3});
    paint(layer, kMorph, "LeftLeg", 0, {4, 5, 6});
    PanelScene scene(std::move(object));
    ASSERT_EQ(runScript(scene, "pick \"頂点マップタイプ\" \"モーフ\"\nok"), 0);

    MapContents expected;
    expected[{kWeight, "LeftArm"}] = {{0, {0.5f}}};
    expected[{kMorph, "LeftArm"}] = {};
    expected[{kMorph, "LeftLeg"}] = {{0, {4, 5, 6}}};
    expected[{kMorph, "RightArm"}] = {{0, {1, 2, 3}}};
    EXPECT_EQ(contents(scene.layer()), expected);
    const VertexMap *made = findMap(scene.layer(), kMorph, "RightArm");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->dimension, 3);
}

TEST(OptionsPanel, UpdateListsTheMapsOfThePickedKindAllSwitchedOn) {
    const char *scripts[] = {
        "pick \"頂点マップタイプ\" 1\npress \"更新\"\nok",
        "check-off \"置き換え一覧\" LeftArm\npick PopupControl#1 1\npress \"更新\"\nok",
        "pick PopupControl#1 1\npress 更新\ncheck-off 置き換え一覧 LeftFace\npress ButtonControl#1\nok",
    };
    for (const char *script : scripts) {
        SCOPED_TRACE(script);
        Object object = lineObject({-1, 1});
        Layer &layer = object.layers[0];
        paint(layer, kWeight, "LeftArm", 0, {0.5f});
        paint(layer, kMorph, "LeftFace", 0, {1, 2, 3});
        paint(layer, kMorph, "RightFace", 1, {7, 8, 9});
        paint(layer, kMorph, "LeftBrow", 1, {4, 5, 6});
        PanelScene scene(std::move(object));
        ASSERT_EQ(runScript(scene, script), 0);
        const ControlRecord &list = controlOf(optionsPanel(scene), ControlKind::MultiList);
        EXPECT_EQ(list.rows, (Rows{{"v", "LeftFace", "RightFace"}, {"v", "LeftBrow", "RightBrow"}}));
        MapContents expected;
        expected[{kWeight, "LeftArm"}] = {{0, {0.5f}}};
        expected[{kMorph, "LeftFace"}] = {};
        expected[{kMorph, "RightFace"}] = {{0, {1, 2, 3}}, {1, {7, 8, 9}}};
        expected[{kMorph, "LeftBrow"}] = {{1, {4, 5, 6}}};
        EXPECT_EQ(contents(scene.layer()), expected);
    }
}

TEST(OptionsPanel, CancelLeavesTheSettingsFileAndTheObjectAsTheyWere) {
    const std::string stored =
        settingsText({"Left", "Right", "-1", "0", "Stored", "Left", "Right", "1", "1"});
    struct Case {
        bool withFile;
        const char *script;
    } cases[] = {
        {true, "cancel"},
        {false, "cancel"},
        {true, "press \"更新\"\ncancel"},
        {true, "type \"対象マップ\" \"Links\"\npress \"更新\"\ncheck-off \"置き換え一覧\" LeftArm\ncancel"},
        {true, "pick \"プリセット\" 1\ntype \"プリセット名\" \"Added\"\nok\ncancel"},
        {false, "pick \"プリセット\" \" ( new ) \"\nok\ncancel"},
        {true, "pick \"プリセット\" \"Stored\"\npress \"更新\"\ncancel"},
        {true, "pick \"頂点マップタイプ\" 2\npick ChoiceControl#1 1\ncancel"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        PanelScene scene(armObject());
        if (c.withFile) writeFile(scene.settingsPath(), stored);
        MapContents before = contents(scene.layer());
        ASSERT_EQ(runScript(scene, c.script), 0);
        EXPECT_EQ(optionsPanel(scene).close, PanelClose::Cancel);
        if (c.withFile)
            EXPECT_EQ(readFile(scene.settingsPath()), stored);
        else
            EXPECT_FALSE(fileExists(scene.settingsPath()));
        EXPECT_EQ(contents(scene.layer()), before);
        EXPECT_EQ(scene.host.stats.editsOpened, 0);
        EXPECT_TRUE(scene.toolkit.errors.empty());
    }
}

TEST(OptionsPanel, EmptyPairListStillSavesAndOpensAndClosesTheEdit) {
    Object object = lineObject({-1, 0, 1});
    paint(object.layers[0], kWeight, "ArmLeft", 0, {0.5f});
    PanelScene scene(std::move(object));
    MapContents before = contents(scene.layer());
    ASSERT_EQ(runScript(scene, "ok"), 0);
    const ControlRecord &list = controlOf(optionsPanel(scene), ControlKind::MultiList);
    EXPECT_EQ(list.headings, (std::vector<std::string>{" ", "source", "dist"}));
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(readFile(scene.settingsPath()), settingsText({"Left", "Right", "-1", "0"}));
    EXPECT_EQ(scene.host.stats.editsOpened, 1);
    EXPECT_EQ(scene.host.stats.editsKept, 1);
    EXPECT_EQ(contents(scene.layer()), before);
}

TEST(OptionsPanel, WithoutAPanelNothingIsSavedOrEdited) {
    for (bool withhold : {true, false}) {
        SCOPED_TRACE(withhold ? "no panel service" : "panel not created");
        PanelScene scene(armObject());
        if (withhold)
            scene.host.withheld.insert("LWPanelServices");
        else
            scene.toolkit.createLimit = 0;
        MapContents before = contents(scene.layer());
        ASSERT_EQ(runScript(scene, "ok"), 0);
        EXPECT_TRUE(scene.toolkit.history.empty());
        EXPECT_FALSE(fileExists(scene.settingsPath()));
        EXPECT_EQ(scene.host.stats.editsOpened, 0);
        EXPECT_EQ(contents(scene.layer()), before);
    }
}

TEST(OptionsPanel, ScriptErrorsAreReportedAndCancelEveryOpenPanel) {
    struct Case {
        const char *script;
        std::string error;
        size_t panels;
    } cases[] = {
        {"press \"Nope\"\nok", "line 1: press: no control \"Nope\" on panel \"Sorvex\"", 1},
        {"", "the script ended while panel \"Sorvex\" was open", 1},
        {"type \"更新\" \"x\"\nok", "line 1: type: 更新: a ButtonControl cannot take that", 1},
        {"pick ChoiceControl#1 2\nok", "line 1: pick: ChoiceControl#1: no entry 2 (it has 2)", 1},
        {"pick EditControl#3 0", "line 1: pick: no control \"EditControl#3\" on panel \"Sorvex\"", 1},
        {"pick \"置換位置\" \"接頭\"", "line 1: pick: 置換位置: no entry \"接頭\"", 1},
        {"\ncheck-off \"置き換え一覧\" \"LeftLeg\"\nok",
         "line 2: check-off: 置き換え一覧: no row reads \"LeftLeg\"", 1},
        {"pick \"プリセット\" 0\ntype \"プリセット名\" \"A\"",
         "the script ended while panel \"プリセット作成\" was open", 2},
        {"pick \"プリセット\" 0\npress \"更新\"\nok\nok",
         "line 2: press: no control \"更新\" on panel \"プリセット作成\"", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        PanelScene scene(armObject());
        MapContents before = contents(scene.layer());
        ASSERT_EQ(runScript(scene, c.script), 0);
        EXPECT_EQ(scene.toolkit.errors, std::vector<std::string>{c.error});
        ASSERT_EQ(scene.toolkit.history.size(), c.panels);
        for (const PanelRecord &panel : scene.toolkit.history)
            EXPECT_EQ(panel.close, PanelClose::Error);
        EXPECT_FALSE(fileExists(scene.settingsPath()));
        EXPECT_EQ(scene.host.stats.editsOpened, 0);
        EXPECT_EQ(contents(scene.layer()), before);
    }
}

TEST(OptionsPanel, TypedTokenIsReadBackAsAtMost259Bytes) {
    const std::string long259(259, 'A');
    Object object = lineObject({-1, 1});
    paint(object.layers[0], kWeight, long259 + "Arm", 0, {0.5f});
    PanelScene scene(std::move(object));
    std::string script = "type \"元マップ\" \"" + std::string(300, 'A') + "\"\npress \"更新\"\nok";
    ASSERT_EQ(runScript(scene, script), 0);
    EXPECT_EQ(controlOf(optionsPanel(scene), ControlKind::MultiList).rows,
              (Rows{{"v", long259 + "Arm", "RightArm"}}));
    EXPECT_EQ(readFile(scene.settingsPath()), settingsText({long259, "Right", "-1", "0"}));
}

} // namespace
