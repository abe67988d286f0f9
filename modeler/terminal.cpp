// The terminal driver's loop, and the terminal itself through curses.
#define NCURSES_WIDECHAR 1

#include "modeler/terminal.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curses.h>
#include <langinfo.h>

// The driver

static void showViews(TerminalRun &run) {
    Canvas canvas = makeCanvas(run.rows, run.columns);
    drawViews(canvas, run.views);
    run.io.show(run.io.context, canvas);
}

// The next key that is not a change of the screen's size; those are taken
// on the way, and the panels laid out again.
static bool nextKey(TerminalRun &run, KeyEvent &key) {
    while (run.io.readKey(run.io.context, key)) {
        if (key.kind != KeyKind::Resize) return true;
        run.rows = key.row;
        run.columns = key.column;
        for (size_t depth = 0; depth < run.views.size(); ++depth)
            fitView(*run.views[depth], int(depth), run.rows, run.columns);
        showViews(run);
    }
    return false;
}

static PanelClose failRun(TerminalRun &run, ToolkitPanel &panel, const std::string &error) {
    if (!run.failed) {
        run.failed = true;
        run.error = error;
        panel.toolkit->errors.push_back(error);
    }
    return PanelClose::Error;
}

static PanelClose runView(TerminalRun &run, PanelView &view) {
    // A nested panel that failed leaves run.failed set for this one too.
    while (!run.failed) {
        showViews(run);
        KeyEvent key;
        if (!nextKey(run, key)) return failRun(run, *view.panel, "the terminal sent no more keys");
        ViewResult result = handleKey(view, key);
        if (result == ViewResult::Ok) return PanelClose::Ok;
        if (result == ViewResult::Cancel) return PanelClose::Cancel;
    }
    return PanelClose::Error;
}

static PanelClose runTerminal(ToolkitPanel &panel, void *context) {
    TerminalRun &run = *static_cast<TerminalRun *>(context);
    if (run.failed) return PanelClose::Error;
    if (!run.io.readKey || !run.io.show) return failRun(run, panel, "the terminal driver has no terminal");
    if (run.views.empty() && run.io.open) {
        std::string error;
        if (!run.io.open(run.io.context, run.rows, run.columns, error))
            return failRun(run, panel, error.empty() ? "the terminal could not be opened" : error);
    }
    PanelView view;
    openView(view, panel, int(run.views.size()), run.rows, run.columns);
    run.views.push_back(&view);
    PanelClose close = runView(run, view);
    run.views.pop_back();
    if (run.views.empty() && run.io.close) run.io.close(run.io.context);
    return close;
}

PanelDriver terminalDriver(TerminalRun &run) {
    PanelDriver driver;
    driver.run = runTerminal;
    driver.context = &run;
    return driver;
}

// The terminal, through curses. Curses keeps one screen for the process,
// and so does this: the screen and the character type it replaced.

namespace {

struct CursesScreen {
    SCREEN *screen = nullptr;
    std::string savedLocale;
};

CursesScreen cursesScreen;

bool localeIsUtf8() {
    const char *codeset = nl_langinfo(CODESET);
    return codeset && std::strcmp(codeset, "UTF-8") == 0;
}

// The labels are Japanese: curses writes and reads UTF-8, from the user's
// locale when it is UTF-8, else from C.UTF-8.
void useUtf8Locale() {
    const char *current = std::setlocale(LC_CTYPE, nullptr);
    cursesScreen.savedLocale = current ? current : "C";
    if (std::setlocale(LC_CTYPE, "") && localeIsUtf8()) return;
    if (std::setlocale(LC_CTYPE, "C.UTF-8") && localeIsUtf8()) return;
    std::setlocale(LC_CTYPE, "");
}

bool openCurses(void *, int &rows, int &columns, std::string &error) {
    if (!terminalUsable(error)) return false;
    useUtf8Locale();
    std::fflush(stdout);
    cursesScreen.screen = newterm(nullptr, stdout, stdin);
    if (!cursesScreen.screen) {
        std::setlocale(LC_CTYPE, cursesScreen.savedLocale.c_str());
        error = "the terminal could not be set up for the panel";
        return false;
    }
    // Raw: Ctrl-C comes as a key (cancel) instead of ending the program
    // with the terminal left in this mode.
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    mousemask(BUTTON1_PRESSED | BUTTON1_CLICKED, nullptr);
    mouseinterval(0);
    rows = LINES;
    columns = COLS;
    return true;
}

void closeCurses(void *) {
    if (!cursesScreen.screen) return;
    endwin();
    delscreen(cursesScreen.screen);
    cursesScreen.screen = nullptr;
    std::setlocale(LC_CTYPE, cursesScreen.savedLocale.c_str());
}

std::string utf8Of(wint_t code) {
    std::string text;
    if (code < 0x80) {
        text += char(code);
    } else if (code < 0x800) {
        text += char(0xC0 | (code >> 6));
        text += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += char(0xE0 | (code >> 12));
        text += char(0x80 | ((code >> 6) & 0x3F));
        text += char(0x80 | (code & 0x3F));
    } else {
        text += char(0xF0 | (code >> 18));
        text += char(0x80 | ((code >> 12) & 0x3F));
        text += char(0x80 | ((code >> 6) & 0x3F));
        text += char(0x80 | (code & 0x3F));
    }
    return text;
}

bool functionKey(wint_t code, KeyEvent &key) {
    switch (code) {
    case KEY_BTAB:
        key.kind = KeyKind::BackTab;
        return true;
    case KEY_UP:
        key.kind = KeyKind::Up;
        return true;
    case KEY_DOWN:
        key.kind = KeyKind::Down;
        return true;
    case KEY_LEFT:
        key.kind = KeyKind::Left;
        return true;
    case KEY_RIGHT:
        key.kind = KeyKind::Right;
        return true;
    case KEY_HOME:
        key.kind = KeyKind::Home;
        return true;
    case KEY_END:
        key.kind = KeyKind::End;
        return true;
    case KEY_ENTER:
        key.kind = KeyKind::Enter;
        return true;
    case KEY_BACKSPACE:
        key.kind = KeyKind::Backspace;
        return true;
    case KEY_DC:
        key.kind = KeyKind::Delete;
        return true;
    case KEY_RESIZE:
        key.kind = KeyKind::Resize;
        key.row = LINES;
        key.column = COLS;
        return true;
    case KEY_MOUSE: {
        MEVENT event;
        if (getmouse(&event) != OK || !(event.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED))) return false;
        key.kind = KeyKind::Click;
        key.row = event.y;
        key.column = event.x;
        return true;
    }
    default:
        if (code != wint_t(KEY_F(10))) return false;
        key.kind = KeyKind::Confirm;
        return true;
    }
}

bool characterKey(wint_t code, KeyEvent &key) {
    switch (code) {
    case '\t':
        key.kind = KeyKind::Tab;
        return true;
    case '\r':
    case '\n':
        key.kind = KeyKind::Enter;
        return true;
    case 27:
    case 3: // Ctrl-C
        key.kind = KeyKind::Escape;
        return true;
    case 15: // Ctrl-O
        key.kind = KeyKind::Confirm;
        return true;
    case 8:
    case 127:
        key.kind = KeyKind::Backspace;
        return true;
    default:
        if (code < 0x20 || code > 0x10FFFF) return false;
        key.kind = KeyKind::Text;
        key.text = utf8Of(code);
        return true;
    }
}

bool readCursesKey(void *, KeyEvent &key) {
    for (;;) {
        key = KeyEvent{};
        wint_t code = 0;
        errno = 0;
        int got = get_wch(&code);
        // A read cut short by a signal is tried again; any other failure
        // (end of input, a terminal gone) ends the keys.
        if (got == ERR && errno == EINTR) continue;
        if (got == ERR) return false;
        if (got == KEY_CODE_YES ? functionKey(code, key) : characterKey(code, key)) return true;
    }
}

attr_t attributeOf(CellStyle style) {
    return style == CellStyle::Reverse ? A_REVERSE : style == CellStyle::Bold ? A_BOLD : A_NORMAL;
}

void showCurses(void *, const Canvas &canvas) {
    for (int row = 0; row < canvas.rows && row < LINES; ++row) {
        move(row, 0);
        for (int column = 0; column < canvas.columns && column < COLS; ++column) {
            const Cell &cell = canvas.cells[size_t(row) * size_t(canvas.columns) + size_t(column)];
            if (cell.glyph.empty()) continue;
            attrset(attributeOf(cell.style));
            mvaddstr(row, column, cell.glyph.c_str());
        }
    }
    attrset(A_NORMAL);
    bool cursor = canvas.cursorRow >= 0 && canvas.cursorColumn >= 0;
    curs_set(cursor ? 1 : 0);
    if (cursor) move(canvas.cursorRow, canvas.cursorColumn);
    refresh();
}

} // namespace

TerminalIo cursesIo() {
    TerminalIo io;
    io.open = openCurses;
    io.close = closeCurses;
    io.readKey = readCursesKey;
    io.show = showCurses;
    return io;
}
