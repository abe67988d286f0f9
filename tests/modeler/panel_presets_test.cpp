// The preset popup and the preset dialog of the real module's options panel.
#include <gtest/gtest.h>

#include "tests/support/panel_scene.h"

namespace {

const LWID kWeight = LWVMAP_WGHT;

Object armObject() {
    Object object = lineObject({-1, 1});
    paint(object.layers[0], kWeight, "LeftArm", 0, {0.5f});
    return object;
}

std::vector<std::string> presetEntries(const PanelScene &scene) {
    return controlOf(optionsPanel(scene), ControlKind::CustomPopup).entries;
}

TEST(Presets, WithoutPresetsThePopupHoldsTheNewEntryAlone) {
    PanelScene scene(armObject());
    ASSERT_EQ(runScript(scene, "ok"), 0);
    EXPECT_EQ(presetEntries(scene), std::vector<std::string>{kNewPresetEntry});
    EXPECT_EQ(scene.toolkit.history.size(), 1u);
}

TEST(Presets, NewEntryOpensTheDialogAndItsNameTakesThatPlace) {
    PanelScene scene(armObject());
    ASSERT_EQ(runScript(scene, "pick \"プリセット\" 0\ntype \"プリセット名\" \"Set1\"\nok\nok"), 0);
    ASSERT_EQ(scene.toolkit.history.size(), 2u);
    const PanelRecord &dialog = scene.toolkit.history[1];
    EXPECT_EQ(dialog.title, kDialogTitle);
    EXPECT_EQ(dialog.close, PanelClose::Ok);
    ASSERT_EQ(dialog.controls.size(), 1u);
    const ControlRecord &name = dialog.controls[0];
    EXPECT_EQ(name.setup.kind, ControlKind::Edit);
    EXPECT_EQ(name.setup.label, kPresetNameLabel);
    EXPECT_EQ(name.setup.type, 1);
    EXPECT_EQ(name.setup.width, 64);
    EXPECT_EQ(name.text, "Set1");

    EXPECT_EQ(presetEntries(scene), (std::vector<std::string>{"Set1", kNewPresetEntry}));
    EXPECT_EQ(controlOf(optionsPanel(scene), ControlKind::CustomPopup).drawCount, 1);
    EXPECT_EQ(readFile(scene.settingsPath()),
              settingsText({"Left", "Right", "-1", "0", "Set1", "Left", "Right", "0", "0"}));
}

TEST(Presets, DialogTakesAnyNameAndCancelAddsNothing) {
    struct Case {
        const char *script;
        std::vector<std::string> entries;
        std::string file;
    } cases[] = {
        {"pick \"プリセット\" 1\nok\nok",
         {"Set1", "", kNewPresetEntry},
         settingsText(
             {"Left", "Right", "-1", "0", "Set1", "L", "R", "1", "1", "\"\"", "Left", "Right", "0", "0"})},
        {"pick \"プリセット\" 1\ntype \"プリセット名\" \"Set1\"\nok\nok",
         {"Set1", "Set1", kNewPresetEntry},
         settingsText(
             {"Left", "Right", "-1", "0", "Set1", "L", "R", "1", "1", "Set1", "Left", "Right", "0", "0"})},
        {"pick \"プリセット\" 1\ntype \"プリセット名\" \"Gone\"\ncancel\nok",
         {"Set1", kNewPresetEntry},
         settingsText({"Left", "Right", "-1", "0", "Set1", "L", "R", "1", "1"})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        PanelScene scene(armObject());
        writeFile(scene.settingsPath(),
                  settingsText({"Left", "Right", "-1", "0", "Set1", "L", "R", "1", "1"}));
        ASSERT_EQ(runScript(scene, c.script), 0);
        EXPECT_EQ(presetEntries(scene), c.entries);
        EXPECT_EQ(readFile(scene.settingsPath()), c.file);
    }
}

TEST(Presets, ChoicesAreStoredAsIndicesAndPickedBack) {
    PanelScene scene(armObject());
    const char *script = "pick \"コピー方向(X軸)\" \"－ → ＋\"\n"
                         "pick \"置換位置\" 1\n"
                         "type \"元マップ\" \"_L\"\n"
                         "type \"対象マップ\" \"_R\"\n"
                         "pick \"プリセット\" \" ( new ) \"\n"
                         "type \"プリセット名\" \"Pos\"\n"
                         "ok\n"
                         "pick \"コピー方向(X軸)\" 0\n"
                         "pick \"置換位置\" 0\n"
                         "type \"元マップ\" \"Left\"\n"
                         "type \"対象マップ\" \"Right\"\n"
                         "pick \"プリセット\" \"Pos\"\n"
                         "ok\n";
    ASSERT_EQ(runScript(scene, script), 0);
    const PanelRecord &panel = optionsPanel(scene);
    EXPECT_EQ(controlOf(panel, ControlKind::Choice, 1).value, 1);
    EXPECT_EQ(controlOf(panel, ControlKind::Choice, 2).value, 1);
    EXPECT_EQ(controlOf(panel, ControlKind::Edit, 1).text, "_L");
    EXPECT_EQ(controlOf(panel, ControlKind::Edit, 2).text, "_R");
    EXPECT_EQ(readFile(scene.settingsPath()),
              settingsText({"_L", "_R", "1", "1", "Pos", "_L", "_R", "1", "1"}));
}

TEST(Presets, StoredPresetSetsTheChoicesOfTheNextRun) {
    PanelScene scene(armObject());
    writeFile(scene.settingsPath(), settingsText({"Left", "Right", "-1", "0", "Pos", "A", "B", "1", "1"}));
    ASSERT_EQ(runScript(scene, "pick \"プリセット\" \"Pos\"\nok"), 0);
    const PanelRecord &panel = optionsPanel(scene);
    EXPECT_EQ(controlOf(panel, ControlKind::Choice, 1).value, 1);
    EXPECT_EQ(readFile(scene.settingsPath()), settingsText({"A", "B", "1", "1", "Pos", "A", "B", "1", "1"}));
}

// Picking a preset sets the choices without calling their handlers; the
// update button must still derive the pairs with the preset's position.
TEST(Presets, UpdateAfterAPickUsesThePresetsTokenPosition) {
    const std::string suffixPreset = "pick \"置換位置\" 1\n"
                                     "type \"元マップ\" \"_L\"\n"
                                     "type \"対象マップ\" \"_R\"\n"
                                     "pick \"プリセット\" \" ( new ) \"\n"
                                     "type \"プリセット名\" \"Sfx\"\n"
                                     "ok\n"
                                     "pick \"置換位置\" 0\n"
                                     "type \"元マップ\" \"Left\"\n"
                                     "type \"対象マップ\" \"Right\"\n"
                                     "press \"更新\"\n";
    struct Case {
        const char *name;
        std::string settings;
        std::string script;
    } cases[] = {
        {"made in this run", "", suffixPreset + "pick \"プリセット\" \"Sfx\"\npress \"更新\"\nok"},
        {"read from the file", settingsText({"Left", "Right", "-1", "0", "Sfx", "_L", "_R", "0", "1"}),
         "pick \"プリセット\" \"Sfx\"\npress \"更新\"\nok"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Object object = lineObject({-1, 1});
        Layer &layer = object.layers[0];
        paint(layer, kWeight, "LeftArm", 0, {0.25f});
        paint(layer, kWeight, "Arm_L", 0, {0.5f});
        paint(layer, kWeight, "Leg_L_2", 0, {0.75f});
        PanelScene scene(std::move(object));
        if (!c.settings.empty()) writeFile(scene.settingsPath(), c.settings);
        ASSERT_EQ(runScript(scene, c.script), 0);
        const PanelRecord &panel = optionsPanel(scene);
        EXPECT_EQ(controlOf(panel, ControlKind::Choice, 2).value, 1);
        EXPECT_EQ(controlOf(panel, ControlKind::MultiList).rows,
                  (Rows{{"v", "Arm_L", "Arm_R"}, {"v", "Leg_L_2", "Leg_R"}}));
        MapContents expected;
        expected[{kWeight, "LeftArm"}] = {{0, {0.25f}}};
        expected[{kWeight, "Arm_L"}] = {};
        expected[{kWeight, "Leg_L_2"}] = {};
        expected[{kWeight, "Arm_R"}] = {{0, {0.5f}}};
        expected[{kWeight, "Leg_R"}] = {{0, {0.75f}}};
        EXPECT_EQ(contents(scene.layer()), expected);
    }
}

} // namespace
