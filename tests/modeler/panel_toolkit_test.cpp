// The modeler's panel toolkit as a command uses it, and the scripted
// driver's text format, without the module.
#include <cstring>
#include <gtest/gtest.h>

#include "modeler/scripted.h"
#include "modeler/toolkit.h"
#include "tests/support/fixtures.h"

namespace {

// A host with a toolkit whose driver is a function of the test.
struct Bench {
    Host host;
    Toolkit toolkit;
    ActiveHost active{host};
    LWPanelFuncs &panels = toolkit.funcs;

    Bench() { attachToolkit(host, toolkit); }
};

struct HandlerCalls {
    int count = 0;
    LWControl *control = nullptr;
};

void countCall(LWControl *control, void *data) {
    auto *calls = static_cast<HandlerCalls *>(data);
    ++calls->count;
    calls->control = control;
}

LWValue integer(intptr_t value) {
    LWValue v;
    v.intv.type = LWT_INTEGER;
    v.intv.value = value;
    return v;
}

intptr_t readInteger(LWControl *control, uint32_t attribute) {
    LWValue v = integer(-12345);
    control->get(control, attribute, &v);
    return v.intv.value;
}

void writeInteger(LWControl *control, uint32_t attribute, intptr_t value) {
    LWValue v = integer(value);
    control->set(control, attribute, &v);
}

void writeText(LWControl *control, const char *text, int length) {
    LWValue v;
    v.str.type = LWT_STRING;
    v.str.buf = const_cast<char *>(text);
    v.str.bufLen = length;
    control->set(control, CTL_VALUE, &v);
}

std::string readText(LWControl *control, int bufferSize) {
    std::vector<char> buffer(size_t(bufferSize) + 8, '#');
    LWValue v;
    v.str.type = LWT_STRING;
    v.str.buf = buffer.data();
    v.str.bufLen = bufferSize;
    control->get(control, CTL_VALUE, &v);
    // Nothing may be written past the buffer given.
    for (size_t i = size_t(bufferSize); i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], '#');
    return std::string(buffer.data(), strnlen(buffer.data(), size_t(bufferSize)));
}

ToolkitControl &ownerOf(LWControl *control) {
    return *reinterpret_cast<ControlHandle *>(control)->owner;
}

const char *fruits[] = {"apple", "pear", nullptr};

int threeRows(void *) {
    return 3;
}
const char *rowCell(void *, int row, int column) {
    static std::string text;
    text = std::to_string(row) + ":" + std::to_string(column);
    return column == 1 && row == 1 ? nullptr : text.c_str();
}
int twoColumns(void *, int column) {
    return column < 2 ? 40 : 0;
}
const char *twoNames(void *, int index) {
    return index == 0 ? "first" : index == 1 ? "second" : nullptr;
}
int twoNamesCount(void *) {
    return 2;
}

// One control of every kind.
struct AllKinds {
    LWPanelID panel;
    LWControl *choice, *popup, *edit, *button, *list, *custom;
};

AllKinds addAllKinds(LWPanelFuncs &panels) {
    AllKinds all;
    all.panel = panels.create("Test", nullptr);
    LWPanControlDesc desc;
    desc.choice = {LWT_CHOICE, fruits, 0};
    all.choice = panels.addControl(all.panel, "ChoiceControl", &desc, "choice");
    desc.popup = {LWT_CHOICE, fruits, 75};
    all.popup = panels.addControl(all.panel, "PopupControl", &desc, "popup");
    desc.edit = {LWT_EDIT, 32};
    all.edit = panels.addControl(all.panel, "EditControl", &desc, "edit");
    desc.button = {LWT_BUTTON};
    all.button = panels.addControl(all.panel, "ButtonControl", &desc, "button");
    desc.multiList = {LWT_MLIST, 450, 8, 0, threeRows, rowCell, twoColumns};
    all.list = panels.addControl(all.panel, "MultiListBoxControl", &desc, "list");
    desc.customPopup = {LWT_CUSTPOPUP, 150, twoNamesCount, twoNames};
    all.custom = panels.addControl(all.panel, "CustomPopupControl", &desc, "custom");
    return all;
}

TEST(Toolkit, ValuesSetByTheCommandCallNoHandlerAndUserActionsAlwaysDo) {
    Bench bench;
    AllKinds all = addAllKinds(bench.panels);
    struct Case {
        LWControl *control;
        bool (*act)(ToolkitControl &);
        int value; // the value after the action
    } cases[] = {
        {all.choice, [](ToolkitControl &c) { return pickItem(c, 1); }, 1},
        {all.popup, [](ToolkitControl &c) { return pickItem(c, 1); }, 1},
        {all.custom, [](ToolkitControl &c) { return pickItem(c, 1); }, 1},
        {all.list, [](ToolkitControl &c) { return clickRow(c, 2, 17); }, 2},
        {all.button, [](ToolkitControl &c) { return pressButton(c); }, 0},
        {all.edit, [](ToolkitControl &c) { return typeText(c, "typed"); }, 0},
    };
    for (const Case &c : cases) {
        ToolkitControl &control = ownerOf(c.control);
        SCOPED_TRACE(controlKindName(control.setup.kind));
        HandlerCalls calls;
        writeInteger(c.control, CTL_USERDATA, reinterpret_cast<intptr_t>(&calls));
        writeInteger(c.control, CTL_USEREVENT, reinterpret_cast<intptr_t>(&countCall));
        if (control.setup.kind == ControlKind::Edit)
            writeText(c.control, "set", 3);
        else
            writeInteger(c.control, CTL_VALUE, 0);
        EXPECT_EQ(calls.count, 0);
        ASSERT_TRUE(c.act(control));
        EXPECT_EQ(calls.count, 1);
        EXPECT_EQ(calls.control, c.control);
        if (control.setup.kind == ControlKind::Edit)
            EXPECT_EQ(readText(c.control, 260), "typed");
        else
            EXPECT_EQ(readInteger(c.control, CTL_VALUE), c.value);
    }
    bench.panels.destroy(all.panel);
}

TEST(Toolkit, UserActionsAreRefusedByControlsThatCannotTakeThem) {
    Bench bench;
    AllKinds all = addAllKinds(bench.panels);
    EXPECT_FALSE(pickItem(ownerOf(all.choice), 2));
    EXPECT_FALSE(pickItem(ownerOf(all.choice), -1));
    EXPECT_FALSE(pickItem(ownerOf(all.custom), 2));
    EXPECT_FALSE(pickItem(ownerOf(all.edit), 0));
    EXPECT_FALSE(typeText(ownerOf(all.button), "x"));
    EXPECT_FALSE(pressButton(ownerOf(all.list)));
    EXPECT_FALSE(clickRow(ownerOf(all.popup), 0, 0));
    EXPECT_EQ(readInteger(all.choice, CTL_VALUE), 0);
    bench.panels.destroy(all.panel);
}

TEST(Toolkit, TakesTheDescriptorsValuesDuringAddControl) {
    Bench bench;
    LWPanelID panel = bench.panels.create("Test", nullptr);
    const char *items[] = {"one", "two", nullptr};
    LWPanControlDesc desc;
    desc.popup = {LWT_CHOICE, items, 75};
    LWControl *popup = bench.panels.addControl(panel, "PopupControl", &desc, "popup");
    desc.edit = {LWT_EDIT, 12};
    items[0] = "changed";
    LWControl *edit = bench.panels.addControl(panel, "EditControl", &desc, "edit");
    EXPECT_EQ(ownerOf(popup).setup.items, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ownerOf(popup).setup.width, 75);
    EXPECT_EQ(ownerOf(edit).setup.width, 12);
    EXPECT_EQ(ownerOf(edit).setup.type, LWT_EDIT);
    bench.panels.destroy(panel);
}

TEST(Toolkit, EditTextsAreCutToTheBufferTheCommandPasses) {
    struct Case {
        size_t length;
        int bufferSize;
        size_t read;
    } reads[] = {{300, 260, 259}, {259, 260, 259}, {5, 260, 5}, {5, 3, 2}, {5, 1, 0}, {0, 260, 0}};
    Bench bench;
    LWPanelID panel = bench.panels.create("Test", nullptr);
    LWPanControlDesc desc;
    desc.edit = {LWT_EDIT, 32};
    LWControl *edit = bench.panels.addControl(panel, "EditControl", &desc, "edit");
    for (const Case &c : reads) {
        std::string text(c.length, 'x');
        writeText(edit, text.c_str(), int(text.size()));
        EXPECT_EQ(readText(edit, c.bufferSize), std::string(c.read, 'x'))
            << c.length << " into " << c.bufferSize;
    }
    // Written texts end at the length given or at a terminator, whichever comes first.
    writeText(edit, "abcdef", 3);
    EXPECT_EQ(ownerOf(edit).text, "abc");
    writeText(edit, "ab\0cd", 5);
    EXPECT_EQ(ownerOf(edit).text, "ab");
    writeText(edit, nullptr, 4);
    EXPECT_EQ(ownerOf(edit).text, "");
    EXPECT_TRUE(bench.toolkit.errors.empty());
    bench.panels.destroy(panel);
}

TEST(Toolkit, ListReportsTheRowAndTheXOfTheLastClick) {
    Bench bench;
    AllKinds all = addAllKinds(bench.panels);
    EXPECT_EQ(readInteger(all.list, CTL_VALUE), -1);
    ASSERT_TRUE(clickRow(ownerOf(all.list), 1, 31));
    EXPECT_EQ(readInteger(all.list, CTL_VALUE), 1);
    EXPECT_EQ(readInteger(all.list, CTL_MOUSEX), 31);
    ASSERT_TRUE(clickRow(ownerOf(all.list), 7, -2));
    EXPECT_EQ(readInteger(all.list, CTL_VALUE), 7);
    EXPECT_EQ(readInteger(all.list, CTL_MOUSEX), -2);
    bench.panels.destroy(all.panel);
}

TEST(Toolkit, OpenRunsTheDriverAndRecordsEachPanelAtClose) {
    struct Case {
        PanelClose close;
        int flags;
        bool driver;
        int answer;
        PanelClose recorded;
        size_t errors;
    } cases[] = {
        {PanelClose::Ok, 7, true, 1, PanelClose::Ok, 0},
        {PanelClose::Cancel, 7, true, 0, PanelClose::Cancel, 0},
        {PanelClose::Error, 7, true, 0, PanelClose::Error, 0},
        {PanelClose::Ok, 6, true, 0, PanelClose::Error, 1},
        {PanelClose::Ok, 7, false, 0, PanelClose::Error, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.flags);
        Bench bench;
        PanelClose close = c.close;
        if (c.driver) {
            bench.toolkit.driver.context = &close;
            bench.toolkit.driver.run = [](ToolkitPanel &panel, void *context) {
                typeText(*panel.controls[2], "typed");
                pickItem(*panel.controls[0], 1);
                clickRow(*panel.controls[4], 1, 3);
                return *static_cast<PanelClose *>(context);
            };
        }
        AllKinds all = addAllKinds(bench.panels);
        EXPECT_EQ(bench.panels.open(all.panel, c.flags), c.answer);
        EXPECT_EQ(bench.toolkit.errors.size(), c.errors);
        ASSERT_EQ(bench.toolkit.history.size(), 1u);
        const PanelRecord &record = bench.toolkit.history[0];
        EXPECT_EQ(record.title, "Test");
        EXPECT_EQ(record.close, c.recorded);
        ASSERT_EQ(record.controls.size(), 6u);
        EXPECT_EQ(record.controls[0].entries, (std::vector<std::string>{"apple", "pear"}));
        EXPECT_EQ(record.controls[0].value, c.driver && c.flags == 7 ? 1 : 0);
        EXPECT_EQ(record.controls[2].text, c.driver && c.flags == 7 ? "typed" : "");
        EXPECT_EQ(record.controls[4].headings, (std::vector<std::string>{"-1:0", "-1:1"}));
        EXPECT_EQ(record.controls[4].rows,
                  (std::vector<std::vector<std::string>>{{"0:0", "0:1"}, {"1:0", ""}, {"2:0", "2:1"}}));
        EXPECT_EQ(record.controls[5].entries, (std::vector<std::string>{"first", "second"}));
        bench.panels.destroy(all.panel);
        EXPECT_TRUE(bench.toolkit.panels.empty());
    }
}

TEST(Toolkit, PanelsOpenedFromAHandlerAreRecordedAfterTheirParent) {
    Bench bench;
    bench.toolkit.driver.run = [](ToolkitPanel &panel, void *) {
        if (panel.title == "outer") pressButton(*panel.controls[0]);
        return panel.title == "outer" ? PanelClose::Ok : PanelClose::Cancel;
    };
    LWPanelID outer = bench.panels.create("outer", nullptr);
    LWPanControlDesc desc;
    desc.button = {LWT_BUTTON};
    LWControl *button = bench.panels.addControl(outer, "ButtonControl", &desc, "open");
    static LWPanelFuncs *panels;
    panels = &bench.panels;
    writeInteger(button, CTL_USEREVENT, reinterpret_cast<intptr_t>(+[](LWControl *, void *) {
                     LWPanelID inner = panels->create("inner", nullptr);
                     EXPECT_EQ(panels->open(inner, 7), 0);
                     panels->destroy(inner);
                 }));
    EXPECT_EQ(bench.panels.open(outer, 7), 1);
    bench.panels.destroy(outer);
    ASSERT_EQ(bench.toolkit.history.size(), 2u);
    EXPECT_EQ(bench.toolkit.history[0].title, "outer");
    EXPECT_EQ(bench.toolkit.history[0].close, PanelClose::Ok);
    EXPECT_EQ(bench.toolkit.history[1].title, "inner");
    EXPECT_EQ(bench.toolkit.history[1].close, PanelClose::Cancel);
}

TEST(Toolkit, CreateFailsOnceTheLimitIsUsed) {
    Bench bench;
    bench.toolkit.createLimit = 1;
    LWPanelID first = bench.panels.create("first", nullptr);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(bench.panels.create("second", nullptr), nullptr);
    bench.panels.destroy(first);
    Host other;
    ActiveHost withoutToolkit(other);
    bench.toolkit.createLimit = -1;
    EXPECT_EQ(bench.panels.create("third", nullptr), nullptr);
}

TEST(Toolkit, MisuseIsRefusedAndReported) {
    Bench bench;
    LWPanelID panel = bench.panels.create("Test", nullptr);
    LWPanControlDesc desc;
    desc.button = {LWT_BUTTON};
    EXPECT_EQ(bench.panels.addControl(panel, "SliderControl", &desc, "x"), nullptr);
    EXPECT_EQ(bench.panels.addControl(panel, "ButtonControl", nullptr, "x"), nullptr);
    LWControl *button = bench.panels.addControl(panel, "ButtonControl", &desc, "x");
    writeInteger(button, 99, 5);
    writeText(button, "text", 4);
    EXPECT_EQ(readInteger(button, CTL_X), 0);
    desc.edit = {LWT_EDIT, 10};
    LWControl *edit = bench.panels.addControl(panel, "EditControl", &desc, "e");
    writeInteger(edit, CTL_VALUE, 3);
    EXPECT_EQ(bench.toolkit.errors.size(), 5u);
    bench.panels.destroy(panel);
}

TEST(ScriptText, ReadsEveryActionWithItsLine) {
    const char *text = "# a comment\n"
                       "pick \"置換位置\" 1\n"
                       "\n"
                       "pick PopupControl#1 \"モーフ\"   # trailing comment\n"
                       "type \"元マップ\" \"a \\\"b\\\" # c\\\\\"\n"
                       "type EditControl#2 \"\"\r\n"
                       "  press 更新\n"
                       "click \"置き換え一覧\" -1 15\n"
                       "check-off \"置き換え一覧\" LeftArm\n"
                       "ok\n"
                       "cancel";
    struct Expected {
        ActionKind kind;
        std::string control;
        int index;
        bool byText;
        std::string text;
        int x;
        int line;
    } expected[] = {
        {ActionKind::Pick, "置換位置", 1, false, "", 0, 2},
        {ActionKind::Pick, "PopupControl#1", 0, true, "モーフ", 0, 4},
        {ActionKind::Type, "元マップ", 0, false, "a \"b\" # c\\", 0, 5},
        {ActionKind::Type, "EditControl#2", 0, false, "", 0, 6},
        {ActionKind::Press, "更新", 0, false, "", 0, 7},
        {ActionKind::Click, "置き換え一覧", -1, false, "", 15, 8},
        {ActionKind::CheckOff, "置き換え一覧", 0, false, "LeftArm", 0, 9},
        {ActionKind::Ok, "", 0, false, "", 0, 10},
        {ActionKind::Cancel, "", 0, false, "", 0, 11},
    };
    std::vector<PanelAction> actions;
    std::string error;
    ASSERT_TRUE(parseScript(text, actions, error)) << error;
    ASSERT_EQ(actions.size(), std::size(expected));
    for (size_t i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actions[i].kind, expected[i].kind);
        EXPECT_EQ(actions[i].control, expected[i].control);
        EXPECT_EQ(actions[i].index, expected[i].index);
        EXPECT_EQ(actions[i].byText, expected[i].byText);
        EXPECT_EQ(actions[i].text, expected[i].text);
        EXPECT_EQ(actions[i].x, expected[i].x);
        EXPECT_EQ(actions[i].line, expected[i].line);
    }
}

TEST(ScriptText, ReportsTheLineOfAMistakeAndKeepsNothing) {
    struct Case {
        const char *text;
        const char *error;
    } cases[] = {
        {"ok\njump \"x\"", "line 2: unknown action \"jump\""},
        {"\"ok\"", "line 1: unknown action \"ok\""},
        {"ok\n\npress", "line 3: press takes 1 word after it, not 0"},
        {"ok now", "line 1: ok takes 0 words after it, not 1"},
        {"type \"a\" \"b", "line 1: a quoted text is not closed"},
        {"pick \"a\" one", "line 1: pick takes an entry number or a quoted text, not \"one\""},
        {"pick \"a\" 99999999999",
         "line 1: pick takes an entry number or a quoted text, not \"99999999999\""},
        {"click \"a\" 1 \"2\"", "line 1: click takes a row number and an x position"},
        {"click \"a\" 1x 2", "line 1: click takes a row number and an x position"},
        {"check-off \"a\"", "line 1: check-off takes 2 words after it, not 1"},
    };
    for (const Case &c : cases) {
        std::vector<PanelAction> actions(1);
        std::string error;
        EXPECT_FALSE(parseScript(c.text, actions, error)) << c.text;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(actions.size(), 1u);
    }
}

TEST(ScriptedDriver, NamesControlsByCp932LabelOrByKindAndOrder) {
    Bench bench;
    ScriptRun run;
    std::string error;
    ASSERT_TRUE(parseScript("type \"更新\" \"by label\"\ntype EditControl#2 \"second\"\n"
                            "pick ChoiceControl#1 \"pear\"\npick CustomPopupControl#1 1\nok",
                            run.actions, error))
        << error;
    bench.toolkit.driver = scriptedDriver(run);
    LWPanelID panel = bench.panels.create("Test", nullptr);
    LWPanControlDesc desc;
    desc.edit = {LWT_EDIT, 10};
    LWControl *first = bench.panels.addControl(panel, "EditControl", &desc, "\x8D\x58\x90\x56");
    LWControl *second = bench.panels.addControl(panel, "EditControl", &desc, "other");
    desc.choice = {LWT_CHOICE, fruits, 0};
    LWControl *choice = bench.panels.addControl(panel, "ChoiceControl", &desc, "fruit");
    desc.customPopup = {LWT_CUSTPOPUP, 150, twoNamesCount, twoNames};
    LWControl *custom = bench.panels.addControl(panel, "CustomPopupControl", &desc, "custom");
    EXPECT_EQ(bench.panels.open(panel, 7), 1);
    EXPECT_EQ(ownerOf(first).text, "by label");
    EXPECT_EQ(ownerOf(second).text, "second");
    EXPECT_EQ(ownerOf(choice).value, 1);
    EXPECT_EQ(ownerOf(custom).value, 1);
    EXPECT_EQ(run.next, run.actions.size());
    EXPECT_FALSE(run.failed);
    EXPECT_TRUE(bench.toolkit.errors.empty());
    bench.panels.destroy(panel);
}

TEST(ScriptedDriver, TextsThatCp932CannotHoldAreErrors) {
    Bench bench;
    ScriptRun run;
    std::string error;
    ASSERT_TRUE(parseScript("type EditControl#1 \"\xF0\x9F\x98\x80\"\nok", run.actions, error)) << error;
    bench.toolkit.driver = scriptedDriver(run);
    LWPanelID panel = bench.panels.create("Test", nullptr);
    LWPanControlDesc desc;
    desc.edit = {LWT_EDIT, 10};
    LWControl *edit = bench.panels.addControl(panel, "EditControl", &desc, "e");
    EXPECT_EQ(bench.panels.open(panel, 7), 0);
    EXPECT_EQ(ownerOf(edit).text, "");
    EXPECT_TRUE(run.failed);
    ASSERT_EQ(bench.toolkit.errors.size(), 1u);
    EXPECT_NE(bench.toolkit.errors[0].find("cannot be written in CP932"), std::string::npos);
    bench.panels.destroy(panel);
}

} // namespace
