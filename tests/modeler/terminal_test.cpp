// The terminal panel driver, run on the real module with a stand-in
// terminal: keys and clicks go in, the screens drawn come out.
#include <gtest/gtest.h>

#include "modeler/loader.h"
#include "modeler/terminal.h"
#include "tests/support/fixtures.h"
#include "tests/support/paths.h"

namespace {

const LWID kWeight = LWVMAP_WGHT;
const std::string kDefaultSettings = "Left\nRight\n-1\n0\n";

typedef std::vector<KeyEvent> Keys;

Keys press(KeyKind kind, int times = 1) {
    Keys keys;
    for (int i = 0; i < times; ++i)
        keys.push_back(KeyEvent{kind, "", 0, 0});
    return keys;
}

Keys type(const std::string &utf8) {
    return {KeyEvent{KeyKind::Text, utf8, 0, 0}};
}

// A click on the cell offset cells into the first place the screen shows
// text, found on the screen when the click is read.
Keys clickOn(const std::string &text, int offset = 0) {
    return {KeyEvent{KeyKind::Click, text, offset, 0}};
}

Keys operator+(Keys a, const Keys &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string screenText(const Canvas &canvas) {
    std::string text;
    for (int row = 0; row < canvas.rows; ++row)
        text += canvasLine(canvas, row) + "\n";
    return text;
}

// The cell where text begins on the screen: the glyphs from there on spell it.
bool locate(const Canvas &canvas, const std::string &text, int &row, int &column) {
    for (row = 0; row < canvas.rows; ++row) {
        for (column = 0; column < canvas.columns; ++column) {
            std::string spelled;
            for (int at = column; at < canvas.columns && spelled.size() < text.size(); ++at)
                spelled += canvas.cells[size_t(row * canvas.columns + at)].glyph;
            if (spelled == text) return true;
        }
    }
    return false;
}

struct FakeTerminal {
    Keys keys;
    size_t next = 0;
    int rows = 24;
    int columns = 80;
    std::string openError; // refuses to open when set
    int opens = 0;
    int closes = 0;
    Canvas shown;                  // the last screen
    std::vector<std::string> seen; // the screen as each key was read
};

bool openFake(void *context, int &rows, int &columns, std::string &error) {
    FakeTerminal &terminal = *static_cast<FakeTerminal *>(context);
    ++terminal.opens;
    error = terminal.openError;
    rows = terminal.rows;
    columns = terminal.columns;
    return error.empty();
}

void closeFake(void *context) {
    ++static_cast<FakeTerminal *>(context)->closes;
}

bool readFake(void *context, KeyEvent &key) {
    FakeTerminal &terminal = *static_cast<FakeTerminal *>(context);
    if (terminal.next >= terminal.keys.size()) return false;
    key = terminal.keys[terminal.next++];
    terminal.seen.push_back(screenText(terminal.shown));
    if (key.kind != KeyKind::Click || key.text.empty()) return true;
    int row, column;
    if (!locate(terminal.shown, key.text, row, column)) {
        ADD_FAILURE() << "no \"" << key.text << "\" on the screen:\n" << screenText(terminal.shown);
        return false;
    }
    column += key.row;
    key.row = row;
    key.column = column;
    return true;
}

void showFake(void *context, const Canvas &canvas) {
    static_cast<FakeTerminal *>(context)->shown = canvas;
}

struct Scene {
    TempDir settings;
    Object object;
    Host host;
    Toolkit toolkit;
    FakeTerminal terminal;
    TerminalRun run;

    explicit Scene(Object sceneObject) : object(std::move(sceneObject)) {
        host.object = &object;
        host.settingsDirectory = settings.path();
        attachToolkit(host, toolkit);
        run.io = TerminalIo{openFake, closeFake, readFake, showFake, &terminal};
        toolkit.driver = terminalDriver(run);
    }

    // Runs the command with the keys; answers what activate answered.
    int runKeys(const Keys &keys) {
        terminal.keys = keys;
        int result = -1;
        std::string error;
        EXPECT_TRUE(runSorvex(kModulePath, host, 3, result, error)) << error;
        return result;
    }

    std::string settingsFile() const { return readFile(settings.file("sorvex.cfg.txt")); }
    bool settingsWritten() const { return fileExists(settings.file("sorvex.cfg.txt")); }
    const PanelRecord &panel(size_t index = 0) const { return toolkit.history.at(index); }
    std::string screen() const { return screenText(terminal.shown); }
};

// LeftArm and LeftLeg, each with a value on both sides.
Object twoArms() {
    Object object = lineObject({-1, 1});
    Layer &layer = object.layers[0];
    paint(layer, kWeight, "LeftArm", 0, {0.25f});
    paint(layer, kWeight, "LeftArm", 1, {0.5f});
    paint(layer, kWeight, "LeftLeg", 0, {0.75f});
    paint(layer, LWVMAP_MORF, "LeftSmile", 0, {1, 2, 3});
    return object;
}

const ControlRecord &recordOf(const PanelRecord &panel, ControlKind kind) {
    for (const ControlRecord &control : panel.controls)
        if (control.setup.kind == kind) return control;
    static const ControlRecord none;
    ADD_FAILURE() << "no " << controlKindName(kind);
    return none;
}

std::vector<std::string> column(const ControlRecord &list, size_t index) {
    std::vector<std::string> cells;
    for (const std::vector<std::string> &row : list.rows)
        cells.push_back(row.at(index));
    return cells;
}

bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

TEST(TerminalText, DisplayWidthCountsWideCharactersTwice) {
    struct Case {
        std::string text;
        int width;
    } cases[] = {
        {"", 0},
        {"Left", 4},
        {"\xE7\xBD\xAE\xE6\x8F\x9B", 4},               // 置換
        {"\xEF\xBC\x8D \xE2\x86\x90 \xEF\xBC\x8B", 7}, // － ← ＋: the arrow is narrow
        {"\xEF\xBD\xB1", 1},                           // half-width katakana
        {"\xF0\x9F\x98\x80", 2},                       // an emoji
        {"\xFF"
         "a",
         2}, // a stray byte takes a cell
    };
    for (const Case &c : cases)
        EXPECT_EQ(displayWidth(c.text), c.width) << c.text;
}

TEST(TerminalText, CanvasCutsTextAndNeverLeavesHalfAWideCharacter) {
    struct Case {
        const char *what;
        int column;
        std::string first;  // written first, from column 0
        std::string second; // written at column over it
        int maxCells;
        std::string line;
        int written;
    } cases[] = {
        {"cut at the edge", 3, "", "abcdef", 100, "   abc", 3},
        {"cut at maxCells", 0, "", "abcdef", 2, "ab", 2},
        {"a wide character past the edge is left out", 4, "", "a\xE7\xBD\xAE", 100, "    a", 1},
        {"a wide character past maxCells is left out", 0, "", "\xE7\xBD\xAE\xE6\x8F\x9B", 3, "\xE7\xBD\xAE",
         2},
        {"writing on a right half blanks the left", 1, "\xE7\xBD\xAE", "x", 100, " x", 1},
        {"writing on a left half blanks the right", 0,
         "\xE7\xBD\xAE"
         "b",
         "x", 100, "x b", 1},
        {"control characters show as ?", 0, "", "a\tb", 100, "a?b", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas = makeCanvas(2, 6);
        putText(canvas, 0, 0, c.first);
        EXPECT_EQ(putText(canvas, 0, c.column, c.second, CellStyle::Plain, c.maxCells), c.written);
        EXPECT_EQ(canvasLine(canvas, 0), c.line);
        std::string glyphs;
        for (int i = 0; i < canvas.columns; ++i)
            glyphs += canvas.cells[size_t(i)].glyph.empty() ? "_" : canvas.cells[size_t(i)].glyph;
        // Every right half follows a wide character.
        for (int i = 0; i < canvas.columns; ++i) {
            if (!canvas.cells[size_t(i)].glyph.empty()) continue;
            ASSERT_GT(i, 0) << glyphs;
            EXPECT_EQ(displayWidth(canvas.cells[size_t(i - 1)].glyph), 2) << glyphs;
        }
    }
}

TEST(TerminalPanel, ShowsEveryControlOfTheOptionsPanelInEightyColumns) {
    Scene scene(twoArms());
    ASSERT_EQ(scene.runKeys(press(KeyKind::Escape)), 0);
    ASSERT_EQ(scene.terminal.seen.size(), 1u);
    std::string screen = scene.terminal.seen[0];
    // Each line of the panel, in order, and what it holds from left to right.
    std::vector<std::vector<std::string>> lines = {
        {"+- Sorvex -"},
        {"頂点マップタイプ [ウェイト", "プリセット [ ( new )"},
        {"コピー方向(X軸) (*)－ ← ＋ ( )－ → ＋", "置換位置 (*)接頭辞 ( )接尾辞"},
        {"元マップ [Left ", "対象マップ [Right "},
        {"[ 更新 ]"},
        {"置き換え一覧"},
        {"+----"},
        {"source", "dist"},
        {"v   LeftArm", "RightArm"},
        {"v   LeftLeg", "RightLeg"},
    };
    size_t at = 0;
    for (const std::vector<std::string> &parts : lines) {
        size_t end = screen.find('\n', at);
        ASSERT_NE(end, std::string::npos) << screen;
        std::string line = screen.substr(at, end - at);
        size_t from = 0;
        for (const std::string &part : parts) {
            from = line.find(part, from);
            EXPECT_NE(from, std::string::npos) << "\"" << part << "\" in \"" << line << "\"";
        }
        at = end + 1;
    }
    EXPECT_TRUE(contains(screen, "[ OK ]  [ Cancel ]")) << screen;
    // The headings and the names sit over the pixels of their columns:
    // the check column is 30 pixels (4 cells), the source column 210.
    int row, sourceColumn, nameColumn, distColumn, targetColumn;
    ASSERT_TRUE(locate(scene.terminal.shown, "source", row, sourceColumn));
    ASSERT_TRUE(locate(scene.terminal.shown, "LeftArm", row, nameColumn));
    ASSERT_TRUE(locate(scene.terminal.shown, "dist", row, distColumn));
    ASSERT_TRUE(locate(scene.terminal.shown, "RightArm", row, targetColumn));
    EXPECT_EQ(sourceColumn, nameColumn);
    EXPECT_EQ(distColumn, targetColumn);
    EXPECT_EQ(distColumn - sourceColumn, cellOfPixel(240) - cellOfPixel(30));
}

// Keys worked on the options panel, each run from the stored defaults.
TEST(TerminalPanel, KeysWorkTheControlsThroughTheirHandlers) {
    const std::string withDirection1 = "Left\nRight\n1\n0\n";
    struct Case {
        const char *what;
        Keys keys;
        int close; // PanelClose of the options panel
        std::vector<std::string> marks;
        std::vector<std::string> targets;
        std::string settings; // empty: not written
    } cases[] = {
        {"Space on the list's first row switches it off",
         press(KeyKind::Tab, 7) + type(" ") + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {" ", "v"},
         {"RightArm", "RightLeg"},
         kDefaultSettings},
        {"Down then Enter switches the second row",
         press(KeyKind::Tab, 7) + press(KeyKind::Down) + press(KeyKind::Enter) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", " "},
         {"RightArm", "RightLeg"},
         kDefaultSettings},
        {"two Spaces switch a row back on",
         press(KeyKind::Tab, 7) + type(" ") + type(" ") + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         {"RightArm", "RightLeg"},
         kDefaultSettings},
        {"Enter on the direction choice picks its other item",
         press(KeyKind::Tab, 2) + press(KeyKind::Enter) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         {"RightArm", "RightLeg"},
         withDirection1},
        {"Up from the source edit reaches the direction choice",
         press(KeyKind::Tab, 4) + press(KeyKind::Up) + type(" ") + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         {"RightArm", "RightLeg"},
         withDirection1},
        {"a typed token and the update button rebuild the pairs",
         press(KeyKind::Tab, 5) + press(KeyKind::Backspace, 5) + type("R_") + press(KeyKind::Tab) +
             press(KeyKind::Enter) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         {"R_Arm", "R_Leg"},
         "Left\nR_\n-1\n0\n"},
        {"the kind popup's list picks morph for the update button",
         press(KeyKind::Enter) + press(KeyKind::Down) + press(KeyKind::Enter) + press(KeyKind::Tab, 6) +
             press(KeyKind::Enter) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v"},
         {"RightSmile"},
         kDefaultSettings},
        {"Escape closes the popup's list without picking",
         press(KeyKind::Enter) + press(KeyKind::Down) + press(KeyKind::Escape) + press(KeyKind::Tab, 6) +
             press(KeyKind::Enter) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         {"RightArm", "RightLeg"},
         kDefaultSettings},
        {"Enter on OK confirms",
         press(KeyKind::Tab, 8) + press(KeyKind::Enter),
         int(PanelClose::Ok),
         {"v", "v"},
         {"RightArm", "RightLeg"},
         kDefaultSettings},
        {"Shift-Tab from the first control reaches Cancel",
         press(KeyKind::BackTab) + press(KeyKind::Enter),
         int(PanelClose::Cancel),
         {"v", "v"},
         {"RightArm", "RightLeg"},
         ""},
        {"Escape cancels after a switch",
         press(KeyKind::Tab, 7) + type(" ") + press(KeyKind::Escape),
         int(PanelClose::Cancel),
         {" ", "v"},
         {"RightArm", "RightLeg"},
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene(twoArms());
        ASSERT_EQ(scene.runKeys(c.keys), 0);
        EXPECT_EQ(scene.terminal.next, c.keys.size());
        ASSERT_EQ(scene.toolkit.history.size(), 1u);
        EXPECT_EQ(int(scene.panel().close), c.close);
        const ControlRecord &list = recordOf(scene.panel(), ControlKind::MultiList);
        EXPECT_EQ(column(list, 0), c.marks);
        EXPECT_EQ(column(list, 2), c.targets);
        EXPECT_EQ(scene.settingsWritten() ? scene.settingsFile() : "", c.settings);
        EXPECT_FALSE(scene.run.failed) << scene.run.error;
        EXPECT_TRUE(scene.toolkit.errors.empty()) << scene.toolkit.errors.front();
    }
}

TEST(TerminalPanel, ConfirmedSwitchLeavesThatPairAloneAndCancelChangesNothing) {
    Scene confirmed(twoArms());
    ASSERT_EQ(confirmed.runKeys(press(KeyKind::Tab, 7) + type(" ") + press(KeyKind::Confirm)), 0);
    MapContents expected = contents(twoArms().layers[0]);
    expected[{kWeight, "LeftLeg"}] = {};
    expected[{kWeight, "RightLeg"}] = {{0, {0.75f}}};
    EXPECT_EQ(contents(confirmed.object.layers[0]), expected);

    Scene cancelled(twoArms());
    ASSERT_EQ(cancelled.runKeys(press(KeyKind::Tab, 7) + type(" ") + press(KeyKind::Escape)), 0);
    EXPECT_EQ(contents(cancelled.object.layers[0]), contents(twoArms().layers[0]));
    EXPECT_FALSE(cancelled.settingsWritten());
}

TEST(TerminalPanel, EditRefusesWhatTheCodePageCannotHoldAndPastTheBuffer) {
    struct Case {
        const char *what;
        std::string typed;
        std::string message;
        std::string token; // the target token saved
    } cases[] = {
        {"an emoji", "R\xF0\x9F\x98\x80", "cannot be written in the modeler's code page (CP932)", "R"},
        {"Japanese is typed as CP932", "\xE5\x8F\xB3", "", "\x89\x45"},
        {"the 260th byte", std::string(300, 'a'), "an edit holds at most 259 bytes", std::string(259, 'a')},
        {"a double-byte character over the last byte", std::string(258, 'a') + "\xE5\x8F\xB3",
         "an edit holds at most 259 bytes", std::string(258, 'a')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene(twoArms());
        Keys keys = press(KeyKind::Tab, 5) + press(KeyKind::Backspace, 5) + type(c.typed) +
                    press(KeyKind::Tab) + press(KeyKind::Confirm);
        ASSERT_EQ(scene.runKeys(keys), 0);
        // The message shows after the typing, until the next key.
        std::string afterTyping = scene.terminal.seen.at(keys.size() - 2);
        if (c.message.empty())
            EXPECT_FALSE(contains(afterTyping, "cannot")) << afterTyping;
        else
            EXPECT_TRUE(contains(afterTyping, c.message)) << afterTyping;
        EXPECT_EQ(scene.settingsFile(), "Left\n" + c.token + "\n-1\n0\n");
    }
}

TEST(TerminalPanel, PresetDialogIsDrawnOnTopAndRunByTheSameKeys) {
    const std::string name = "\xE3\x81\xBF\xE3\x81\x8E"; // みぎ
    const std::string nameCp932 = "\x82\xDD\x82\xAC";
    struct Case {
        const char *what;
        Keys dialogKeys;
        std::string settings;
    } cases[] = {
        {"confirmed with a name", type(name) + press(KeyKind::Confirm),
         kDefaultSettings + nameCp932 + "\nLeft\nRight\n0\n0\n"},
        {"confirmed with OK's button", type(name) + press(KeyKind::Tab) + press(KeyKind::Enter),
         kDefaultSettings + nameCp932 + "\nLeft\nRight\n0\n0\n"},
        {"cancelled", type(name) + press(KeyKind::Escape), kDefaultSettings},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene(twoArms());
        // The preset popup holds " ( new ) " alone: open its list and pick it.
        Keys keys = press(KeyKind::Tab) + press(KeyKind::Enter) + press(KeyKind::Enter) + c.dialogKeys +
                    press(KeyKind::Confirm);
        ASSERT_EQ(scene.runKeys(keys), 0);
        ASSERT_EQ(scene.toolkit.history.size(), 2u);
        std::string dialogShown = scene.terminal.seen.at(3);
        EXPECT_TRUE(contains(dialogShown, "+- Sorvex -")) << dialogShown;
        EXPECT_TRUE(contains(dialogShown, "+- プリセット作成 -")) << dialogShown;
        EXPECT_TRUE(contains(dialogShown, "プリセット名 [")) << dialogShown;
        EXPECT_EQ(scene.settingsFile(), c.settings);
        // One screen for both panels: opened once, closed once.
        EXPECT_EQ(scene.terminal.opens, 1);
        EXPECT_EQ(scene.terminal.closes, 1);
    }
}

TEST(TerminalPanel, ClicksActOnWhatIsUnderThem) {
    struct Case {
        const char *what;
        Keys keys;
        int close;
        std::vector<std::string> marks;
        std::string settings;
    } cases[] = {
        {"in the check column",
         clickOn("v   LeftArm", 1) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {" ", "v"},
         kDefaultSettings},
        {"on the last cell of the check column",
         clickOn("v   LeftLeg", 2) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", " "},
         kDefaultSettings},
        {"on a source name",
         clickOn("LeftArm") + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         kDefaultSettings},
        {"on the headings",
         clickOn("source") + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         kDefaultSettings},
        {"on a choice's item",
         clickOn("( )－ → ＋", 4) + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {"v", "v"},
         "Left\nRight\n1\n0\n"},
        {"on OK",
         clickOn("v   LeftArm", 0) + clickOn("[ OK ]", 2),
         int(PanelClose::Ok),
         {" ", "v"},
         kDefaultSettings},
        {"on Cancel", clickOn("[ Cancel ]", 3), int(PanelClose::Cancel), {"v", "v"}, ""},
        {"on the kind popup, then its list",
         clickOn("[ウェイト") + clickOn("スポット") + clickOn("[ 更新 ]") + press(KeyKind::Confirm),
         int(PanelClose::Ok),
         {},
         kDefaultSettings},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene(twoArms());
        ASSERT_EQ(scene.runKeys(c.keys), 0);
        EXPECT_EQ(scene.terminal.next, c.keys.size());
        EXPECT_EQ(int(scene.panel().close), c.close);
        EXPECT_EQ(column(recordOf(scene.panel(), ControlKind::MultiList), 0), c.marks);
        EXPECT_EQ(scene.settingsWritten() ? scene.settingsFile() : "", c.settings);
    }
}

TEST(TerminalPanel, LongListScrollsWithTheHighlightedRow) {
    Object object = lineObject({-1});
    for (char c = 'A'; c <= 'J'; ++c)
        paint(object.layers[0], kWeight, std::string("Left") + c, 0, {1});
    Scene scene(std::move(object));
    Keys keys = press(KeyKind::Tab, 7) + press(KeyKind::Down, 9) + type(" ") + press(KeyKind::Confirm);
    ASSERT_EQ(scene.runKeys(keys), 0);
    std::vector<std::string> marks(10, "v");
    marks[9] = " ";
    EXPECT_EQ(column(recordOf(scene.panel(), ControlKind::MultiList), 0), marks);
    std::string first = scene.terminal.seen.at(0), last = scene.terminal.seen.back();
    EXPECT_TRUE(contains(first, " 1-8 of 10 ")) << first;
    EXPECT_TRUE(contains(first, "LeftA") && !contains(first, "LeftJ")) << first;
    EXPECT_TRUE(contains(last, " 3-10 of 10 ")) << last;
    EXPECT_TRUE(contains(last, "    LeftJ") && !contains(last, "LeftB")) << last;
    const Layer &layer = scene.object.layers[0];
    EXPECT_EQ(mapValues(*findMap(layer, kWeight, "LeftJ")),
              (std::map<uint32_t, std::vector<float>>{{0, {1}}}));
    EXPECT_EQ(findMap(layer, kWeight, "RightJ"), nullptr);
    ASSERT_NE(findMap(layer, kWeight, "RightI"), nullptr);
    EXPECT_EQ(mapValues(*findMap(layer, kWeight, "RightI")),
              (std::map<uint32_t, std::vector<float>>{{0, {1}}}));
}

TEST(TerminalPanel, TerminalThatFailsClosesThePanelsAsErrors) {
    struct Case {
        const char *what;
        Keys keys;
        std::string openError;
        std::string error;
        int opens;
        int closes;
    } cases[] = {
        {"the keys end", press(KeyKind::Tab), "", "the terminal sent no more keys", 1, 1},
        {"the keys end in the dialog", press(KeyKind::Tab) + press(KeyKind::Enter, 2) + type("x"), "",
         "the terminal sent no more keys", 1, 1},
        {"the screen cannot be opened", press(KeyKind::Confirm), "no screen here", "no screen here", 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene(twoArms());
        scene.terminal.openError = c.openError;
        EXPECT_EQ(scene.runKeys(c.keys), 0);
        EXPECT_TRUE(scene.run.failed);
        EXPECT_EQ(scene.run.error, c.error);
        ASSERT_FALSE(scene.toolkit.errors.empty());
        EXPECT_EQ(scene.toolkit.errors.back(), c.error);
        EXPECT_EQ(scene.panel().close, PanelClose::Error);
        EXPECT_EQ(scene.terminal.opens, c.opens);
        EXPECT_EQ(scene.terminal.closes, c.closes);
        EXPECT_FALSE(scene.settingsWritten());
        EXPECT_EQ(contents(scene.object.layers[0]), contents(twoArms().layers[0]));
    }
}

TEST(TerminalPanel, ResizedScreenIsLaidOutAgain) {
    Scene scene(twoArms());
    Keys keys = {KeyEvent{KeyKind::Resize, "", 30, 120}};
    ASSERT_EQ(scene.runKeys(keys + press(KeyKind::Confirm)), 0);
    EXPECT_EQ(scene.terminal.shown.columns, 120);
    EXPECT_EQ(scene.terminal.shown.rows, 30);
    // The help line follows the bottom of the screen.
    EXPECT_TRUE(contains(canvasLine(scene.terminal.shown, 29), "Esc: cancel")) << scene.screen();
    EXPECT_TRUE(contains(scene.screen(), "v   LeftArm")) << scene.screen();
}

} // namespace
