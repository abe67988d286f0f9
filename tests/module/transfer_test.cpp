// The per-point transfer against the modeler's mesh edit.
#include <cmath>
#include <gtest/gtest.h>

#include "module/run_state.h"
#include "pairing/pairing.h"
#include "tests/support/fixtures.h"
#include "transfer/transfer.h"

namespace {

const float kNaN = std::nanf("");

// Runs the scan on the object's first layer with the given pairs, as the
// command does after the panel: one edit, one scan, done with no error.
void runTransfer(Object &object, RunState &state, Host &host) {
    host.object = &object;
    ActiveHost active(host);
    state.global = hostGlobal;
    state.edit = hostModCommand()->editBegin(0, 0, 0);
    ASSERT_NE(state.edit, nullptr);
    state.edit->pointScan(state.edit->state, transferPoint, &state, EDLAYER_PRIMARY);
    state.edit->done(state.edit->state, EDERR_NONE, 0);
    state.edit = nullptr;
}

RunState stateWithPairs(std::vector<std::string> names, int direction, int kind = kWeightMaps,
                        std::string source = "Left", std::string target = "Right", int position = 0) {
    RunState state;
    state.mapNames = std::move(names);
    state.sourceToken = std::move(source);
    state.targetToken = std::move(target);
    state.tokenPosition = position;
    state.direction = direction;
    state.mapKind = kind;
    buildPairs(state);
    return state;
}

typedef std::map<uint32_t, std::vector<float>> Values;

Values valuesOf(const Layer &layer, LWID type, const std::string &name) {
    const VertexMap *map = findMap(layer, type, name);
    return map ? mapValues(*map) : Values{};
}

// Points at x = -2, 0, -0, 3, NaN, each with the weight 0.1 * (index + 1).
Object paintedLine() {
    Object object = lineObject({-2.0f, 0.0f, -0.0f, 3.0f, kNaN});
    for (uint32_t i = 0; i < 5; ++i)
        paint(object.layers[0], LWVMAP_WGHT, "LeftArm", i, {0.1f * (i + 1)});
    return object;
}

TEST(Transfer, MovesOnTheDestinationSideAndCopiesOnThePlane) {
    struct Case {
        int direction;
        Values left, right;
    } cases[] = {
        {-1, {{1, {0.2f}}, {2, {0.3f}}, {3, {0.4f}}, {4, {0.5f}}}, {{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}}},
        {+1, {{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}, {4, {0.5f}}}, {{1, {0.2f}}, {2, {0.3f}}, {3, {0.4f}}}},
    };
    for (const Case &c : cases) {
        Object object = paintedLine();
        RunState state = stateWithPairs({"LeftArm"}, c.direction);
        Host host;
        runTransfer(object, state, host);
        const Layer &layer = object.layers[0];
        EXPECT_EQ(valuesOf(layer, LWVMAP_WGHT, "LeftArm"), c.left) << c.direction;
        EXPECT_EQ(valuesOf(layer, LWVMAP_WGHT, "RightArm"), c.right) << c.direction;
        EXPECT_EQ(findMap(layer, LWVMAP_WGHT, "RightArm")->dimension, 1);
    }
}

TEST(Transfer, MorphValuesMoveWholeWithDimensionThree) {
    Object object = lineObject({-1.0f, 1.0f});
    paint(object.layers[0], LWVMAP_MORF, "LeftSmile", 0, {1.5f, -2.25f, 3.0f});
    paint(object.layers[0], LWVMAP_MORF, "LeftSmile", 1, {4.0f, 5.0f, 6.0f});
    RunState state = stateWithPairs({"LeftSmile"}, -1, kMorphMaps);
    Host host;
    runTransfer(object, state, host);
    const Layer &layer = object.layers[0];
    EXPECT_EQ(valuesOf(layer, LWVMAP_MORF, "LeftSmile"), (Values{{1, {4.0f, 5.0f, 6.0f}}}));
    EXPECT_EQ(valuesOf(layer, LWVMAP_MORF, "RightSmile"), (Values{{0, {1.5f, -2.25f, 3.0f}}}));
    EXPECT_EQ(findMap(layer, LWVMAP_MORF, "RightSmile")->dimension, 3);
}

TEST(Transfer, ExistingTargetValuesAreReplacedOnlyWhereValuesMove) {
    Object object = lineObject({-1.0f, 1.0f, -1.0f});
    Layer &layer = object.layers[0];
    paint(layer, LWVMAP_WGHT, "LeftArm", 0, {0.5f});
    for (uint32_t i = 0; i < 3; ++i)
        paint(layer, LWVMAP_WGHT, "RightArm", i, {0.9f});
    RunState state = stateWithPairs({"LeftArm"}, -1);
    Host host;
    runTransfer(object, state, host);
    EXPECT_EQ(valuesOf(layer, LWVMAP_WGHT, "RightArm"), (Values{{0, {0.5f}}, {1, {0.9f}}, {2, {0.9f}}}));
}

TEST(Transfer, PairsSharingATargetLetTheLaterPairWin) {
    Object object = lineObject({-1.0f, 0.0f});
    Layer &layer = object.layers[0];
    for (uint32_t i = 0; i < 2; ++i) {
        paint(layer, LWVMAP_WGHT, "ArmLeft", i, {0.25f});
        paint(layer, LWVMAP_WGHT, "LegLeft", i, {0.75f});
    }
    // Suffix mode with an empty source token: every name pairs with "R".
    RunState state = stateWithPairs({"ArmLeft", "LegLeft"}, -1, kWeightMaps, "", "R", 1);
    Host host;
    runTransfer(object, state, host);
    EXPECT_EQ(valuesOf(layer, LWVMAP_WGHT, "R"), (Values{{0, {0.75f}}, {1, {0.75f}}}));
    EXPECT_EQ(valuesOf(layer, LWVMAP_WGHT, "ArmLeft"), (Values{{1, {0.25f}}}));
    EXPECT_EQ(valuesOf(layer, LWVMAP_WGHT, "LegLeft"), (Values{{1, {0.75f}}}));
}

TEST(Transfer, LeavesTheObjectAsItWas) {
    struct Case {
        const char *what;
        RunState state;
    } cases[] = {
        {"source and target are the same map", stateWithPairs({"LeftArm"}, -1, kWeightMaps, "Left", "Left")},
        {"the pair is switched off",
         [] {
             RunState state = stateWithPairs({"LeftArm"}, -1);
             state.pairs[0].active = 0;
             return state;
         }()},
        {"no pairs", stateWithPairs({"LeftArm"}, -1, kWeightMaps, "Nothing", "Right")},
    };
    for (Case &c : cases) {
        Object object = paintedLine();
        MapContents before = contents(object.layers[0]);
        Host host;
        runTransfer(object, c.state, host);
        EXPECT_EQ(contents(object.layers[0]), before) << c.what;
    }
}

TEST(Transfer, FindsEachSourceMapByNameOncePerScan) {
    Object object = lineObject({-1, -2, -3, 0, 1, 2});
    Layer &layer = object.layers[0];
    for (uint32_t i = 0; i < 6; ++i) {
        paint(layer, LWVMAP_WGHT, "LeftArm", i, {1});
        paint(layer, LWVMAP_WGHT, "LeftLeg", i, {1});
    }
    RunState state = stateWithPairs({"LeftArm", "LeftLeg"}, -1);
    state.pairs[1].active = 0;
    Host host;
    runTransfer(object, state, host);
    EXPECT_EQ(host.stats.nameLookups, 2);
}

} // namespace
