// The command's mesh edit seen from the host: opened once after OK, and
// never left half done.
#include <gtest/gtest.h>

#include "tests/support/panel_scene.h"

namespace {

// Weights on both sides of the plane, so that OK moves values.
Object weightedLine() {
    Object object = lineObject({-2, -1, 0, 1, 2});
    for (uint32_t i = 0; i < 5; ++i)
        paint(object.layers[0], LWVMAP_WGHT, "LeftArm", i, {0.1f * (i + 1)});
    return object;
}

TEST(ActivateEdit, OkMovesTheValuesInOneKeptEdit) {
    PanelScene scene(weightedLine());
    EXPECT_EQ(runScript(scene, "ok"), 0);
    EXPECT_EQ(scene.host.stats.editsOpened, 1);
    EXPECT_EQ(scene.host.stats.editsKept, 1);
    ASSERT_NE(findMap(scene.layer(), LWVMAP_WGHT, "RightArm"), nullptr);
    EXPECT_EQ(countValues(*findMap(scene.layer(), LWVMAP_WGHT, "RightArm")), 3u);
}

TEST(ActivateEdit, NoEditFromTheHostLeavesTheObjectAsItWas) {
    PanelScene scene(weightedLine());
    MapContents before = contents(scene.layer());
    scene.host.failEditBegin = true;
    EXPECT_EQ(runScript(scene, "ok"), 0);
    EXPECT_EQ(contents(scene.layer()), before);
    EXPECT_EQ(scene.host.stats.editsOpened, 0);
    // The settings were saved before the edit was asked for.
    EXPECT_TRUE(fileExists(scene.settingsPath()));
}

// A failure inside the scan must not unwind into the host: the command
// closes its edit with an error, so the host discards every change.
TEST(ActivateEdit, FailureMidScanDiscardsTheEditAndAnswersZero) {
    PanelScene scene(weightedLine());
    MapContents before = contents(scene.layer());
    scene.host.throwOnWrite = 4;
    EXPECT_EQ(runScript(scene, "ok"), 0);
    EXPECT_EQ(scene.host.stats.editsOpened, 1);
    EXPECT_EQ(scene.host.stats.editsDiscarded, 1);
    EXPECT_EQ(scene.host.edit, nullptr);
    EXPECT_EQ(contents(scene.layer()), before);
}

} // namespace
