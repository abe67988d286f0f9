// The replacement list of the real module's options panel: its cells, and
// clicks in and beside its check column.
#include <gtest/gtest.h>

#include "tests/support/panel_scene.h"

namespace {

const LWID kWeight = LWVMAP_WGHT;

// LeftArm and LeftLeg pair; ArmLeft does not.
Object twoPairObject() {
    Object object = lineObject({-1, 1});
    Layer &layer = object.layers[0];
    paint(layer, kWeight, "LeftArm", 0, {0.25f});
    paint(layer, kWeight, "ArmLeft", 0, {0.5f});
    paint(layer, kWeight, "LeftLeg", 0, {0.75f});
    return object;
}

TEST(ReplacementList, ShowsHeadingsAndOneRowAPairInMapOrder) {
    PanelScene scene(twoPairObject());
    ASSERT_EQ(runScript(scene, "ok"), 0);
    const ControlRecord &list = controlOf(optionsPanel(scene), ControlKind::MultiList);
    EXPECT_EQ(list.headings, (std::vector<std::string>{" ", "source", "dist"}));
    EXPECT_EQ(list.rows, (Rows{{"v", "LeftArm", "RightArm"}, {"v", "LeftLeg", "RightLeg"}}));
}

TEST(ReplacementList, ClickSwitchesARowOnlyInTheCheckColumnAndWithinTheRows) {
    const std::string list = "\"置き換え一覧\"";
    struct Case {
        std::string clicks;
        std::vector<std::string> marks;
        int redraws;
    } cases[] = {
        {"click " + list + " 0 30", {" ", "v"}, 1},
        {"click " + list + " 0 0", {" ", "v"}, 1},
        {"click " + list + " 1 -7", {"v", " "}, 1},
        {"click " + list + " 0 31", {"v", "v"}, 0},
        {"click " + list + " 1 200", {"v", "v"}, 0},
        {"click " + list + " 2 0", {"v", "v"}, 0},
        {"click " + list + " 9 0", {"v", "v"}, 0},
        {"click " + list + " -1 0", {"v", "v"}, 0},
        {"click " + list + " 1 10\nclick " + list + " 1 10", {"v", "v"}, 2},
        {"check-off " + list + " LeftLeg", {"v", " "}, 1},
        {"click MultiListBoxControl#1 0 5\ncheck-off " + list + " LeftLeg", {" ", " "}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.clicks);
        PanelScene scene(twoPairObject());
        ASSERT_EQ(runScript(scene, c.clicks + "\nok"), 0);
        const ControlRecord &record = controlOf(optionsPanel(scene), ControlKind::MultiList);
        ASSERT_EQ(record.rows.size(), 2u);
        EXPECT_EQ((std::vector<std::string>{record.rows[0][0], record.rows[1][0]}), c.marks);
        EXPECT_EQ(record.drawCount, c.redraws);
    }
}

TEST(ReplacementList, SwitchedOffPairIsLeftAloneByTheTransfer) {
    PanelScene scene(twoPairObject());
    ASSERT_EQ(runScript(scene, "check-off \"置き換え一覧\" LeftArm\nok"), 0);
    MapContents expected;
    expected[{kWeight, "LeftArm"}] = {{0, {0.25f}}};
    expected[{kWeight, "ArmLeft"}] = {{0, {0.5f}}};
    expected[{kWeight, "LeftLeg"}] = {};
    expected[{kWeight, "RightLeg"}] = {{0, {0.75f}}};
    EXPECT_EQ(contents(scene.layer()), expected);
}

} // namespace
