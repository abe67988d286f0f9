// The panel's callbacks and texts called directly, with the modeler's
// toolkit standing in for the host's.
#include <gtest/gtest.h>

#include "modeler/toolkit.h"
#include "module/run_state.h"
#include "panel/panel.h"
#include "tests/support/fixtures.h"

namespace {

RunState twoPairState() {
    RunState state;
    MapPair on;
    on.sourceName = "LeftArm";
    on.targetName = "RightArm";
    MapPair off = on;
    off.active = 0;
    off.sourceName = "LeftLeg";
    off.targetName = "RightLeg";
    state.pairs = {on, off};
    Preset first;
    first.name = "First";
    Preset second;
    second.name = "Second";
    state.presets = {first, second};
    return state;
}

TEST(ListView, CellsByRowAndColumn) {
    RunState state = twoPairState();
    struct Case {
        int row, column;
        const char *text; // null for no text
    } cases[] = {
        {-1, 0, " "},     {-1, 1, "source"}, {-1, 2, "dist"},    {-1, 3, nullptr},
        {0, 0, "v"},      {0, 1, "LeftArm"}, {0, 2, "RightArm"}, {0, 3, nullptr},
        {0, -1, nullptr}, {1, 0, " "},       {1, 1, "LeftLeg"},  {1, 2, "RightLeg"},
        {2, 0, nullptr},  {2, 1, nullptr},   {-2, 1, nullptr},   {1 << 30, 0, nullptr},
    };
    EXPECT_EQ(listCount(&state), 2);
    for (const Case &c : cases) {
        const char *cell = listCell(&state, c.row, c.column);
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
        if (!c.text)
            EXPECT_EQ(cell, nullptr);
        else
            EXPECT_STREQ(cell, c.text);
    }
}

TEST(ListView, EmptyListHasHeadingsOnly) {
    RunState state;
    EXPECT_EQ(listCount(&state), 0);
    EXPECT_STREQ(listCell(&state, -1, 1), "source");
    EXPECT_EQ(listCell(&state, 0, 0), nullptr);
}

TEST(ListView, ColumnWidths) {
    RunState state;
    const std::pair<int, int> cases[] = {{-1, 0}, {0, 30}, {1, 210}, {2, 210}, {3, 0}, {100, 0}};
    for (auto [column, width] : cases)
        EXPECT_EQ(listColumnWidth(&state, column), width) << column;
}

TEST(PresetPopup, PresetsThenTheNewEntry) {
    RunState state = twoPairState();
    EXPECT_EQ(presetCount(&state), 3);
    EXPECT_STREQ(presetName(&state, 0), "First");
    EXPECT_STREQ(presetName(&state, 1), "Second");
    EXPECT_STREQ(presetName(&state, 2), " ( new ) ");
    EXPECT_EQ(presetName(&state, 3), nullptr);
    EXPECT_EQ(presetName(&state, -1), nullptr);
    RunState none;
    EXPECT_EQ(presetCount(&none), 1);
    EXPECT_STREQ(presetName(&none, 0), " ( new ) ");
}

// A bench that plays the host for runOptionsPanel.
struct Bench {
    Host host;
    Toolkit toolkit;
    ActiveHost active{host};
    Bench() { attachToolkit(host, toolkit); }
};

TEST(Callbacks, NullUserDataAnswersNothingAndChangesNothing) {
    EXPECT_EQ(listCount(nullptr), 0);
    EXPECT_EQ(listCell(nullptr, -1, 0), nullptr);
    EXPECT_EQ(listCell(nullptr, 0, 1), nullptr);
    EXPECT_EQ(listColumnWidth(nullptr, 0), 0);
    EXPECT_EQ(presetCount(nullptr), 0);
    EXPECT_EQ(presetName(nullptr, 0), nullptr);

    Bench bench;
    RunState state = twoPairState();
    bench.toolkit.driver.context = &state;
    bench.toolkit.driver.run = [](ToolkitPanel &panel, void *context) {
        RunState &state = *static_cast<RunState *>(context);
        for (auto &control : panel.controls) {
            control->value = 0;
            control->mouseX = 0;
        }
        // Every handler, called as the toolkit would but without user data.
        for (auto &control : panel.controls) {
            if (control->handler) control->handler(&control->handle.funcs, nullptr);
        }
        EXPECT_EQ(state.pairs[0].active, 1);
        EXPECT_EQ(state.presets.size(), 2u);
        EXPECT_EQ(state.direction, 1);
        for (auto &control : panel.controls)
            EXPECT_EQ(control->drawCount, 0) << controlKindName(control->setup.kind);
        EXPECT_EQ(panel.toolkit->history.size(), 1u);
        return PanelClose::Cancel;
    };
    state.direction = 1;
    EXPECT_EQ(runOptionsPanel(state, hostGlobal), 0);
    EXPECT_TRUE(bench.toolkit.errors.empty());
}

TEST(PanelTexts, LongTokensAreCutAt259BytesBetweenCharacters) {
    const std::string shortText = "Left";
    const std::string a259(259, 'A');
    const std::string b258(258, 'B');
    const std::string c257(257, 'C');
    const std::string ka = "\x83\x4A"; // a double-byte character
    struct Case {
        std::string text;
        std::string fitted;
    } cases[] = {
        {shortText, shortText},
        {"", ""},
        {a259, a259},
        {a259 + "ZZZ", a259},
        {b258 + ka, b258},
        {c257 + ka, c257 + ka},
        {c257 + ka + ka, c257 + ka},
        {std::string(200, 'D') + "\x83", std::string(200, 'D') + "\x83"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.size());
        EXPECT_EQ(fittingLength(c.text, 259), c.fitted.size());

        Bench bench;
        RunState state;
        state.direction = -1;
        state.tokenPosition = 0;
        state.sourceToken = c.text;
        state.targetToken = c.text + "tail";
        std::string shown;
        bench.toolkit.driver.context = &shown;
        bench.toolkit.driver.run = [](ToolkitPanel &panel, void *context) {
            *static_cast<std::string *>(context) = findControl(panel, ControlKind::Edit, 1)->text;
            return PanelClose::Ok;
        };
        ASSERT_EQ(runOptionsPanel(state, hostGlobal), 1);
        EXPECT_EQ(shown, c.fitted);
        EXPECT_EQ(state.sourceToken, c.fitted);
        EXPECT_EQ(state.targetToken.size(), fittingLength(c.text + "tail", 259));
        EXPECT_EQ(state.direction, -1);
    }
}

TEST(PresetPopup, AnIndexOutsideTheEntriesChangesNothing) {
    for (int index : {-1, 3, 1000}) {
        Bench bench;
        RunState state = twoPairState();
        state.presets[0].sourceToken = "From";
        state.presets[0].tokenPosition = 1;
        state.direction = -1;
        state.tokenPosition = 0;
        state.sourceToken = "Left";
        state.targetToken = "Right";
        bench.toolkit.driver.context = &index;
        bench.toolkit.driver.run = [](ToolkitPanel &panel, void *context) {
            ToolkitControl &popup = *findControl(panel, ControlKind::CustomPopup, 1);
            popup.value = *static_cast<int *>(context);
            popup.handler(&popup.handle.funcs, popup.userData);
            return PanelClose::Ok;
        };
        ASSERT_EQ(runOptionsPanel(state, hostGlobal), 1);
        EXPECT_EQ(state.sourceToken, "Left") << index;
        EXPECT_EQ(state.tokenPosition, 0) << index;
        EXPECT_EQ(state.presets.size(), 2u) << index;
        EXPECT_EQ(bench.toolkit.history.size(), 1u) << index;
    }
}

TEST(PresetDialog, FailsWithoutAnOpenOptionsPanelOrWhenNotCreated) {
    Bench bench;
    RunState state;
    EXPECT_FALSE(runPresetDialog(state));
    bench.toolkit.createLimit = 1;
    bench.toolkit.driver.context = &state;
    bench.toolkit.driver.run = [](ToolkitPanel &panel, void *) {
        pickItem(*findControl(panel, ControlKind::CustomPopup, 1), 0);
        return PanelClose::Ok;
    };
    state.sourceToken = "Left";
    ASSERT_EQ(runOptionsPanel(state, hostGlobal), 1);
    EXPECT_TRUE(state.presets.empty());
    EXPECT_EQ(bench.toolkit.history.size(), 1u);
}

} // namespace
