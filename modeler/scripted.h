// The scripted panel driver: performs a list of user actions on the open
// panels, each as a user would (the control's value changes, then its
// handler is called). A panel opened by a handler (a dialog) takes the next
// actions, until its own ok or cancel.
//
// An action that names no control on the open panel, or one the control
// cannot take, and a script that ends while a panel is open, are errors: the
// error goes to the toolkit's errors and every open panel closes as
// cancelled (PanelClose::Error).
//
// Script text: one action a line. Blank lines, and everything from a # that
// begins a word, are ignored. Words are separated by spaces or tabs; a word
// in double quotes may hold spaces and # and takes \" and \\ escapes.
//
//   pick CONTROL INDEX        pick entry INDEX (from 0) of a choice, popup or custom popup
//   pick CONTROL "TEXT"       pick the first entry that reads TEXT
//   type CONTROL "TEXT"       replace an edit's text (may be "")
//   press CONTROL             press a button
//   click CONTROL ROW X       click a list at row ROW, X pixels from its left edge
//   check-off CONTROL "TEXT"  click the check column (the first column) of the
//                             first list row whose second column reads TEXT
//   ok                        confirm the open panel
//   cancel                    cancel the open panel
//
// CONTROL is a label (e.g. "置換位置"), or a kind and its place among the
// panel's controls of that kind, counted from 1 in the order they were added
// (e.g. EditControl#2). Labels and texts are UTF-8 and are matched and typed
// as CP932. Example:
//
//   pick "頂点マップタイプ" "モーフ"
//   type "元マップ" "Left"
//   press "更新"
//   check-off "置き換え一覧" "LeftArm"
//   ok
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "modeler/toolkit.h"

enum class ActionKind { Pick, Type, Press, Click, CheckOff, Ok, Cancel };

struct PanelAction {
    ActionKind kind = ActionKind::Ok;
    std::string control; // label (UTF-8), or kind#n
    int index = 0;       // pick: entry; click: row
    bool byText = false; // pick: match text instead of index
    std::string text;    // pick by text, type, check-off (UTF-8)
    int x = 0;           // click
    int line = 0;        // line of the script text; 0 when not read from one
};

// Where a run of a script stands.
struct ScriptRun {
    std::vector<PanelAction> actions;
    size_t next = 0;     // the next action to perform
    bool failed = false; // an error stopped the script
};

// A driver for Toolkit::driver that performs run's actions.
PanelDriver scriptedDriver(ScriptRun &run);

// Appends the actions of script text. On failure, error says which line and
// why, and nothing is appended.
bool parseScript(std::string_view text, std::vector<PanelAction> &actions, std::string &error);

// "pick", "type", ... as the script text writes the action.
const char *actionName(ActionKind kind);
