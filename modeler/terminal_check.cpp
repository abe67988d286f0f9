// Whether the panel can be shown: a terminal on both ends, of a known type.
// (Apart from the rest: term.h defines the terminal's capabilities as macros
// with common names.)
#include "modeler/terminal.h"

#include <cstdlib>
#include <curses.h>
#include <string>
#include <term.h>
#include <unistd.h>

bool terminalUsable(std::string &error) {
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        error = "the panel needs a terminal, and standard input or output is not one";
        return false;
    }
    const char *type = std::getenv("TERM");
    if (!type || !*type) {
        error = "the panel needs a terminal, and TERM is not set";
        return false;
    }
    int status = 0;
    if (setupterm(type, STDOUT_FILENO, &status) != OK) {
        error = std::string("the terminal type \"") + type + "\" is not known";
        return false;
    }
    // Drawing a panel takes moving the cursor anywhere on the screen.
    const char *cursorMove = tigetstr(const_cast<char *>("cup"));
    bool placesCursor = cursorMove && cursorMove != reinterpret_cast<char *>(-1);
    del_curterm(cur_term);
    if (placesCursor) return true;
    error = std::string("the terminal type \"") + type + "\" cannot place the cursor";
    return false;
}
