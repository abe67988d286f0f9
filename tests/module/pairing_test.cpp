// Map catalogue and pair derivation, called directly with the modeler's
// services as the host.
#include <gtest/gtest.h>

#include "module/run_state.h"
#include "pairing/pairing.h"
#include "tests/support/fixtures.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> Pairs;

Pairs derive(const std::vector<std::string> &names, const std::string &source, const std::string &target,
             int position) {
    RunState state;
    state.mapNames = names;
    state.sourceToken = source;
    state.targetToken = target;
    state.tokenPosition = position;
    buildPairs(state);
    Pairs pairs;
    for (const MapPair &pair : state.pairs) {
        EXPECT_EQ(pair.active, 1);
        EXPECT_EQ(pair.sourceHandle, nullptr);
        pairs.emplace_back(pair.sourceName, pair.targetName);
    }
    return pairs;
}

// "アーム左" (arm, left) in CP932: its last character 0x8D 0xB6 holds the
// byte 0xB6, which a one-byte token can match.
const std::string kArmLeftCp932 = "\x83\x41\x81\x5B\x83\x80\x8D\xB6";

struct PairCase {
    const char *what;
    std::vector<std::string> names;
    std::string source, target;
    int position;
    Pairs expected;
};

TEST(BuildPairs, DerivesTargetsByteForByte) {
    std::string longName(1000, 'x');
    const PairCase cases[] = {
        {"prefix", {"LeftArm", "ArmLeft", "leftArm"}, "Left", "Right", 0, {{"LeftArm", "RightArm"}}},
        {"suffix",
         {"ArmLeft", "Arm_Left_2", "LeftArm", "leftArm"},
         "Left",
         "Right",
         1,
         {{"ArmLeft", "ArmRight"}, {"Arm_Left_2", "Arm_Right"}, {"LeftArm", "Right"}}},
        {"suffix takes the first occurrence", {"LeftLeft"}, "Left", "Right", 1, {{"LeftLeft", "Right"}}},
        {"any non-zero position is suffix", {"ArmLeft"}, "Left", "Right", 7, {{"ArmLeft", "ArmRight"}}},
        {"empty source, prefix", {"Arm", ""}, "", "R_", 0, {{"Arm", "R_Arm"}, {"", "R_"}}},
        {"empty source, suffix", {"Arm", "Leg"}, "", "R", 1, {{"Arm", "R"}, {"Leg", "R"}}},
        {"empty target strips the token", {"LeftArm"}, "Left", "", 0, {{"LeftArm", "Arm"}}},
        {"no match", {"Arm", "Leg"}, "Left", "Right", 0, {}},
        {"name shorter than the token", {"Lef", "L"}, "Left", "Right", 0, {}},
        {"name shorter than the token, suffix", {"Lef"}, "Left", "Right", 1, {}},
        {"case-sensitive", {"LEFTArm", "leftArm"}, "Left", "Right", 0, {}},
        {"target equal to the source", {"LeftArm"}, "Left", "Left", 0, {{"LeftArm", "LeftArm"}}},
        {"token inside a double-byte character",
         {kArmLeftCp932},
         "\xB6",
         "R",
         1,
         {{kArmLeftCp932, "\x83\x41\x81\x5B\x83\x80\x8DR"}}},
        {"CP932 tokens",
         {"\x8D\xB6\x98\x72"},
         "\x8D\xB6",
         "\x89\x45",
         0,
         {{"\x8D\xB6\x98\x72", "\x89\x45\x98\x72"}}},
        {"1,000-byte name, prefix",
         {"Left" + longName},
         "Left",
         "Right",
         0,
         {{"Left" + longName, "Right" + longName}}},
        {"1,000-byte name, suffix",
         {longName + "Left_x"},
         "Left",
         "Right",
         1,
         {{longName + "Left_x", longName + "Right"}}},
    };
    for (const PairCase &c : cases)
        EXPECT_EQ(derive(c.names, c.source, c.target, c.position), c.expected) << c.what;
}

TEST(BuildPairs, RebuildingSwitchesEveryPairBackOn) {
    RunState state;
    state.mapNames = {"LeftArm", "LeftLeg"};
    state.sourceToken = "Left";
    state.targetToken = "Right";
    state.tokenPosition = 0;
    buildPairs(state);
    state.pairs[1].active = 0;
    state.pairs[1].sourceHandle = &state;
    buildPairs(state);
    ASSERT_EQ(state.pairs.size(), 2u);
    EXPECT_EQ(state.pairs[1].active, 1);
    EXPECT_EQ(state.pairs[1].sourceHandle, nullptr);
}

TEST(CollectMapNames, ListsTheMapsOfTheCurrentKindInOrder) {
    Object object = lineObject({0});
    Layer &layer = object.layers[0];
    paint(layer, LWVMAP_WGHT, "LeftArm", 0, {1});
    paint(layer, LWVMAP_MORF, "LeftSmile", 0, {1, 2, 3});
    paint(layer, LWVMAP_WGHT, "LeftLeg", 0, {1});
    paint(layer, LWVMAP_SPOT, "LeftSpot", 0, {1, 2, 3});
    Host host;
    host.object = &object;
    ActiveHost active(host);
    RunState state;
    state.global = hostGlobal;
    state.mapNames = {"stale"};
    const std::pair<int, std::vector<std::string>> cases[] = {
        {kWeightMaps, {"LeftArm", "LeftLeg"}}, {kMorphMaps, {"LeftSmile"}}, {kSpotMaps, {"LeftSpot"}}};
    for (const auto &[kind, names] : cases) {
        state.mapKind = kind;
        collectMapNames(state);
        EXPECT_EQ(state.mapNames, names) << kind;
    }
}

TEST(CollectMapNames, MissingServiceLeavesTheListEmpty) {
    Object object = lineObject({0});
    paint(object.layers[0], LWVMAP_WGHT, "LeftArm", 0, {1});
    Host host;
    host.object = &object;
    host.withheld.insert("Scene Objects 5");
    ActiveHost active(host);
    RunState state;
    state.global = hostGlobal;
    state.mapNames = {"stale"};
    collectMapNames(state);
    EXPECT_TRUE(state.mapNames.empty());
}

// A host whose object service answers a negative count or null names.
int negativeCount(LWID) {
    return -3;
}
int threeMaps(LWID) {
    return 3;
}
const char *nullMiddle(LWID, int index) {
    return index == 1 ? nullptr : index == 0 ? "LeftArm" : "LeftLeg";
}
LWObjectFuncs negativeFuncs = {negativeCount, nullMiddle};
LWObjectFuncs nullNameFuncs = {threeMaps, nullMiddle};
LWObjectFuncs *answeredFuncs = nullptr;
void *oddGlobal(const char *name, int) {
    return std::string(name) == "Scene Objects 5" ? answeredFuncs : nullptr;
}

TEST(CollectMapNames, SkipsNullNamesAndTakesANegativeCountAsNone) {
    RunState state;
    state.global = oddGlobal;
    answeredFuncs = &negativeFuncs;
    collectMapNames(state);
    EXPECT_TRUE(state.mapNames.empty());
    answeredFuncs = &nullNameFuncs;
    collectMapNames(state);
    EXPECT_EQ(state.mapNames, (std::vector<std::string>{"LeftArm", "LeftLeg"}));
}

} // namespace
