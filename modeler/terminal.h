// The terminal panel driver: draws the open panels in a terminal and lets
// the user work them with the keyboard and the mouse.
//
// Every change goes through the toolkit's user actions (pickItem, typeText,
// pressButton, clickRow), so the command's handlers run as for any user.
// The panel is redrawn from the toolkit after each action; a panel opened by
// a handler (a dialog) is drawn on top and run by the same driver.
//
// Keys: Tab and Shift-Tab move the focus in reading order, the arrows move it
// by place (Up and Down move the row inside a list, Left and Right the cursor
// inside an edit). Enter or Space cycles a choice, opens a popup's list,
// presses a button, or clicks the check column of a list's row. Escape (or
// Ctrl-C) cancels the panel, F10 or Ctrl-O confirms it. A mouse click acts on
// what is under it; on a list it reports x in pixels, 8 to a cell.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "modeler/toolkit.h"

// Cells a UTF-8 text takes in a terminal: East Asian wide and full-width
// characters take two, everything else one.
int displayWidth(std::string_view utf8);

// What the driver draws into before it goes to the screen.
enum class CellStyle : uint8_t { Plain, Reverse, Bold };

struct Cell {
    std::string glyph = " "; // one character, UTF-8; empty on the right half of a wide one
    CellStyle style = CellStyle::Plain;
};

struct Canvas {
    int rows = 0;
    int columns = 0;
    std::vector<Cell> cells; // row by row
    int cursorRow = -1;      // where the text cursor shows; -1 when hidden
    int cursorColumn = -1;
};

Canvas makeCanvas(int rows, int columns);

// Writes text from (row, column) in at most maxCells cells, cut at the
// canvas's edge; a wide character that does not fit whole is left out.
// Answers the cells written.
int putText(Canvas &canvas, int row, int column, std::string_view utf8, CellStyle style = CellStyle::Plain,
            int maxCells = INT_MAX);

// One row's text, without the spaces at its end.
std::string canvasLine(const Canvas &canvas, int row);

// A cell stands for 8 pixels of the panel's width.
constexpr int kPixelsPerCell = 8;
constexpr int kChoiceMarkCells = 3; // "(*)" before a choice's item
constexpr int kOkCells = 6;         // "[ OK ]"
constexpr int kCancelCells = 10;    // "[ Cancel ]"

// The first cell whose middle lies at or past pixel, and the middle pixel of
// a cell: the two agree, so a click reports a pixel in the column drawn there.
int cellOfPixel(int pixel);
int pixelOfCell(int cell);

// The cells inside a list's box: its width, or its columns' if wider.
int listInnerCells(const ToolkitControl &list);

// Where a control sits, in cells from the top left of its panel's inside.
struct ControlPlace {
    ToolkitControl *control = nullptr;
    int row = 0;
    int column = 0;      // the label
    int fieldColumn = 0; // the value; a list's box, on the row below the label
    int fieldWidth = 0;  // cells of the value, brackets and box borders included
    int height = 1;      // rows taken
    int listRow = 0;     // a list's highlighted row
    int listTop = 0;     // a list's first row shown
};

struct PanelLayout {
    int width = 0; // cells inside the frame
    int height = 0;
    std::vector<ControlPlace> places; // in reading order, which is the focus order
    int buttonRow = 0;
    int okColumn = 0;
    int cancelColumn = 0;
};

// Lays the controls out in lines by their y position (25 pixels a line) and
// along a line by x (8 pixels a cell), moved right where a label would
// overlap; edits widen into the room up to the next control or width.
PanelLayout layoutPanel(ToolkitPanel &panel, int width);

enum class KeyKind {
    Text, // text holds the characters typed, UTF-8
    Tab,
    BackTab,
    Up,
    Down,
    Left,
    Right,
    Home,
    End,
    Enter,
    Backspace,
    Delete,
    Escape,
    Confirm,
    Click,  // row and column: the cell on the screen
    Resize, // row and column: the screen's new size
};

struct KeyEvent {
    KeyKind kind = KeyKind::Text;
    std::string text;
    int row = 0;
    int column = 0;
};

// The driver's state of one open panel.
struct PanelView {
    ToolkitPanel *panel = nullptr;
    PanelLayout layout;
    int top = 0; // the frame's top left on the screen
    int left = 0;
    int screenRows = 0;
    int screenColumns = 0;
    int focus = 0;        // a place; places.size() is OK, one more Cancel
    bool editing = false; // draft holds the focused edit's text
    bool edited = false;  // the draft differs from what the edit holds
    std::string draft;    // UTF-8
    size_t cursor = 0;    // byte offset into draft, on a character boundary
    int dropEntry = -1;   // the open popup list's highlighted entry; -1 when closed
    int dropTop = 0;      // its first entry shown
    std::string message;  // shown until the next key
};

enum class ViewResult { Open, Ok, Cancel };

// Sets the view up for a panel shown at depth (0 for the first panel) on a
// screen of that size, its focus on the first control.
void openView(PanelView &view, ToolkitPanel &panel, int depth, int rows, int columns);

// Lays an open view out again for a screen of a new size.
void fitView(PanelView &view, int depth, int rows, int columns);

// Performs one key on the view; a handler it calls may run a nested panel
// before this returns.
ViewResult handleKey(PanelView &view, const KeyEvent &key);

// Draws the open panels, the last on top, with the message and help lines.
void drawViews(Canvas &canvas, const std::vector<PanelView *> &views);

// Where the driver reads keys from and shows what it draws: the terminal,
// or a stand-in.
struct TerminalIo {
    // Called as the first panel opens: sets the screen's size, or answers
    // false with error set when there is no screen to draw on.
    bool (*open)(void *context, int &rows, int &columns, std::string &error) = nullptr;
    void (*close)(void *context) = nullptr; // as the last panel closes
    // The next key; false when none can come any more.
    bool (*readKey)(void *context, KeyEvent &key) = nullptr;
    void (*show)(void *context, const Canvas &canvas) = nullptr;
    void *context = nullptr;
};

// The terminal on standard input and output, through curses.
TerminalIo cursesIo();

struct TerminalRun {
    TerminalIo io = cursesIo();
    bool failed = false; // the screen could not be opened or the keys ended
    std::string error;
    std::vector<PanelView *> views; // the open panels, the first at the bottom
    int rows = 0;
    int columns = 0;
};

// False, with error set, unless standard input and output are both a
// terminal of a type curses knows.
bool terminalUsable(std::string &error);

// A driver for Toolkit::driver that runs the panels on run's terminal. When
// the screen fails or the keys end, the panels close as PanelClose::Error,
// and run.failed and run.error (also in the toolkit's errors) say why.
PanelDriver terminalDriver(TerminalRun &run);
