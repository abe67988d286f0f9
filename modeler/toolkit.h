// The modeler's panel toolkit: the panels and controls a command builds
// through "LWPanelServices", run by a driver that stands for the user.
//
// Setting a value from the command never calls the control's handler; a
// user action (pickItem, typeText, pressButton, clickRow) changes the value
// and then always calls it. Texts are the command's CP932 bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/panel.h"

struct Host;
struct Toolkit;
struct ToolkitPanel;
struct ToolkitControl;

enum class ControlKind { Choice, Popup, Edit, Button, MultiList, CustomPopup };

constexpr int kControlKindCount = 6;

// What addControl was given, copied: the command reuses one descriptor.
struct ControlSetup {
    ControlKind kind = ControlKind::Button;
    std::string label;
    int type = 0;                   // the descriptor's type code
    std::vector<std::string> items; // choice and popup
    int vertical = 0;               // choice
    int width = 0;                  // popup, edit (characters), list and custom popup (pixels)
    int visibleRows = 0;            // list
    int top = 0;                    // list: first visible row
};

// The record the command holds as an LWControl, and the way back to the control.
struct ControlHandle {
    LWControl funcs;
    ToolkitControl *owner;
};

struct ToolkitControl {
    ControlHandle handle;
    ToolkitPanel *panel = nullptr;
    ControlSetup setup;
    LWCountFunc count = nullptr;             // list, custom popup
    LWMultiNameFunc cell = nullptr;          // list
    LWColumnWidthFunc columnWidth = nullptr; // list
    LWNameFunc name = nullptr;               // custom popup
    int x = 0;
    int y = 0;
    int value = 0;    // item index; list: the row last clicked, -1 before any
    std::string text; // edit
    int mouseX = 0;   // list: pixels from its left edge of the last click
    LWPanHookFunc handler = nullptr;
    void *userData = nullptr;
    int drawCount = 0;
};

struct ToolkitPanel {
    Toolkit *toolkit = nullptr;
    std::string title;
    std::vector<std::unique_ptr<ToolkitControl>> controls; // in the order added
    bool isOpen = false;
};

enum class PanelClose { Ok, Cancel, Error };

// Stands for the user of an open modal panel: performs actions on it until
// OK or Cancel, and answers how it closed (Error when it could not go on).
// A handler may open another panel meanwhile; the driver runs that one too.
struct PanelDriver {
    PanelClose (*run)(ToolkitPanel &panel, void *context) = nullptr;
    void *context = nullptr;
};

// A control as it was when its panel closed.
struct ControlRecord {
    ControlSetup setup;
    int x = 0;
    int y = 0;
    int value = 0;
    std::string text;
    int drawCount = 0;                          // redraws the command asked for
    std::vector<std::string> entries;           // choice and popup items, custom popup names
    std::vector<std::string> headings;          // list
    std::vector<std::vector<std::string>> rows; // list: each row's cells (null cells empty)
};

struct PanelRecord {
    std::string title;
    PanelClose close = PanelClose::Error;
    std::vector<ControlRecord> controls;
};

LWPanelFuncs toolkitFuncs();

struct Toolkit {
    LWPanelFuncs funcs = toolkitFuncs(); // what "LWPanelServices" answers
    PanelDriver driver;
    int createLimit = -1;                              // panels that can still be created; -1 any number
    std::vector<PanelRecord> history;                  // every panel opened, in the order opened
    std::vector<std::string> errors;                   // misuse by the command and driver errors, in UTF-8
    std::vector<std::unique_ptr<ToolkitPanel>> panels; // not yet destroyed
};

// Offers the toolkit as the host's "LWPanelServices".
void attachToolkit(Host &host, Toolkit &toolkit);

// "ChoiceControl", "PopupControl", ... as the command names the kinds.
const char *controlKindName(ControlKind kind);

// User actions. Each is refused (false, nothing changes) when the control
// is not of a kind that takes it. pickItem takes an index of the control's
// entries; clickRow takes any row, as a click on the headings or below the
// last row reports one outside the rows.
bool pickItem(ToolkitControl &control, int index);
bool typeText(ToolkitControl &control, std::string_view text);
bool pressButton(ToolkitControl &control);
bool clickRow(ToolkitControl &control, int row, int x);

// What a choice, popup or custom popup offers.
int entryCount(const ToolkitControl &control);
std::string entryText(const ToolkitControl &control, int index);

// What a list shows, through its callbacks. Columns end at the first width
// that is not positive. Row -1 holds the headings; a null cell reads empty.
int rowCount(const ToolkitControl &list);
int columnCount(const ToolkitControl &list);
int columnWidth(const ToolkitControl &list, int column);
std::string cellText(const ToolkitControl &list, int row, int column);

// The first control with that label, or the ordinal-th (from 1) of that
// kind; null when there is none.
ToolkitControl *findControl(ToolkitPanel &panel, std::string_view label);
ToolkitControl *findControl(ToolkitPanel &panel, ControlKind kind, int ordinal);
