#include "modeler/scripted.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "modeler/cp932.h"

static const char *const actionNames[] = {"pick", "type", "press", "click", "check-off", "ok", "cancel"};

const char *actionName(ActionKind kind) {
    return actionNames[int(kind)];
}

// Performing actions

static std::string wherePrefix(const PanelAction &action) {
    std::string prefix = action.line > 0 ? "line " + std::to_string(action.line) + ": " : "";
    return prefix + actionName(action.kind) + ": ";
}

static void fail(ScriptRun &run, ToolkitPanel &panel, const PanelAction *action, const std::string &message) {
    run.failed = true;
    panel.toolkit->errors.push_back((action ? wherePrefix(*action) : std::string()) + message);
}

static bool kindAndOrdinal(const std::string &name, ControlKind &kind, int &ordinal) {
    size_t hash = name.rfind('#');
    if (hash == std::string::npos) return false;
    std::string kindName = name.substr(0, hash);
    std::string number = name.substr(hash + 1);
    if (number.empty() || number.size() > 6 || number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    for (int i = 0; i < kControlKindCount; ++i) {
        if (kindName != controlKindName(ControlKind(i))) continue;
        kind = ControlKind(i);
        ordinal = std::atoi(number.c_str());
        return true;
    }
    return false;
}

static ToolkitControl *resolveControl(ToolkitPanel &panel, const std::string &name) {
    std::string label;
    if (utf8ToCp932(name, label)) {
        if (ToolkitControl *control = findControl(panel, label)) return control;
    }
    ControlKind kind;
    int ordinal;
    return kindAndOrdinal(name, kind, ordinal) ? findControl(panel, kind, ordinal) : nullptr;
}

static bool toCp932(const std::string &utf8, std::string &cp932, std::string &error) {
    if (utf8ToCp932(utf8, cp932)) return true;
    error = "\"" + utf8 + "\" cannot be written in CP932";
    return false;
}

static bool pickByText(ToolkitControl &control, const std::string &text, std::string &error) {
    std::string wanted;
    if (!toCp932(text, wanted, error)) return false;
    int count = entryCount(control);
    for (int i = 0; i < count; ++i) {
        if (entryText(control, i) == wanted) return pickItem(control, i);
    }
    error = "no entry \"" + text + "\"";
    return false;
}

static bool pick(ToolkitControl &control, const PanelAction &action, std::string &error) {
    ControlKind kind = control.setup.kind;
    if (kind != ControlKind::Choice && kind != ControlKind::Popup && kind != ControlKind::CustomPopup) {
        error = "a " + std::string(controlKindName(kind)) + " has no entries to pick";
        return false;
    }
    if (action.byText) return pickByText(control, action.text, error);
    if (pickItem(control, action.index)) return true;
    error =
        "no entry " + std::to_string(action.index) + " (it has " + std::to_string(entryCount(control)) + ")";
    return false;
}

static bool checkOff(ToolkitControl &list, const std::string &text, std::string &error) {
    std::string wanted;
    if (!toCp932(text, wanted, error)) return false;
    int rows = rowCount(list);
    for (int row = 0; row < rows; ++row) {
        if (cellText(list, row, 1) != wanted) continue;
        // The middle of the check column.
        return clickRow(list, row, columnWidth(list, 0) / 2);
    }
    error = "no row reads \"" + text + "\"";
    return false;
}

static bool refused(const ToolkitControl &control, std::string &error) {
    error = "a " + std::string(controlKindName(control.setup.kind)) + " cannot take that";
    return false;
}

static bool performOn(ToolkitControl &control, const PanelAction &action, std::string &error) {
    switch (action.kind) {
    case ActionKind::Pick:
        return pick(control, action, error);
    case ActionKind::Type: {
        std::string text;
        if (!toCp932(action.text, text, error)) return false;
        return typeText(control, text) || refused(control, error);
    }
    case ActionKind::Press:
        return pressButton(control) || refused(control, error);
    case ActionKind::Click:
        return clickRow(control, action.index, action.x) || refused(control, error);
    case ActionKind::CheckOff:
        if (control.setup.kind != ControlKind::MultiList) return refused(control, error);
        return checkOff(control, action.text, error);
    default:
        return refused(control, error);
    }
}

static PanelClose runScript(ToolkitPanel &panel, void *context) {
    ScriptRun &run = *static_cast<ScriptRun *>(context);
    std::string title = cp932ToDisplay(panel.title);
    while (!run.failed) {
        if (run.next >= run.actions.size()) {
            fail(run, panel, nullptr, "the script ended while panel \"" + title + "\" was open");
            break;
        }
        // Handlers may open a dialog that reads on from run.next; the list
        // itself is not changed, so the reference stays good.
        const PanelAction &action = run.actions[run.next++];
        if (action.kind == ActionKind::Ok) return PanelClose::Ok;
        if (action.kind == ActionKind::Cancel) return PanelClose::Cancel;
        ToolkitControl *control = resolveControl(panel, action.control);
        if (!control) {
            fail(run, panel, &action, "no control \"" + action.control + "\" on panel \"" + title + "\"");
            break;
        }
        std::string error;
        if (!performOn(*control, action, error)) fail(run, panel, &action, action.control + ": " + error);
    }
    return PanelClose::Error;
}

PanelDriver scriptedDriver(ScriptRun &run) {
    PanelDriver driver;
    driver.run = runScript;
    driver.context = &run;
    return driver;
}

// Reading script text

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

} // namespace

static bool splitWords(std::string_view line, std::vector<Word> &words, std::string &error) {
    size_t at = 0;
    while (at < line.size()) {
        char c = line[at];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++at;
            continue;
        }
        if (c == '#') break;
        Word word;
        if (c != '"') {
            while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r')
                word.text += line[at++];
            words.push_back(std::move(word));
            continue;
        }
        word.quoted = true;
        ++at;
        bool closed = false;
        while (at < line.size()) {
            char d = line[at++];
            if (d == '"') {
                closed = true;
                break;
            }
            if (d == '\\' && at < line.size() && (line[at] == '"' || line[at] == '\\')) d = line[at++];
            word.text += d;
        }
        if (!closed) {
            error = "a quoted text is not closed";
            return false;
        }
        words.push_back(std::move(word));
    }
    return true;
}

static bool readNumber(const Word &word, int &number) {
    if (word.quoted || word.text.empty()) return false;
    errno = 0;
    char *end = nullptr;
    long value = std::strtol(word.text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX) return false;
    number = int(value);
    return true;
}

static bool actionNamed(const std::string &name, ActionKind &kind) {
    for (int i = 0; i <= int(ActionKind::Cancel); ++i) {
        if (name != actionNames[i]) continue;
        kind = ActionKind(i);
        return true;
    }
    return false;
}

// The number of words after the action's name that each action takes.
static size_t wordsTaken(ActionKind kind) {
    switch (kind) {
    case ActionKind::Pick:
    case ActionKind::Type:
    case ActionKind::CheckOff:
        return 2;
    case ActionKind::Press:
        return 1;
    case ActionKind::Click:
        return 3;
    default:
        return 0;
    }
}

static bool readArguments(const std::vector<Word> &words, PanelAction &action, std::string &error) {
    switch (action.kind) {
    case ActionKind::Pick:
        action.byText = words[2].quoted;
        if (action.byText) {
            action.text = words[2].text;
            return true;
        }
        if (readNumber(words[2], action.index)) return true;
        error = "pick takes an entry number or a quoted text, not \"" + words[2].text + "\"";
        return false;
    case ActionKind::Type:
    case ActionKind::CheckOff:
        action.text = words[2].text;
        return true;
    case ActionKind::Click:
        if (readNumber(words[2], action.index) && readNumber(words[3], action.x)) return true;
        error = "click takes a row number and an x position";
        return false;
    default:
        return true;
    }
}

static bool parseLine(std::string_view line, std::vector<PanelAction> &actions, std::string &error) {
    std::vector<Word> words;
    if (!splitWords(line, words, error)) return false;
    if (words.empty()) return true;
    PanelAction action;
    if (words[0].quoted || !actionNamed(words[0].text, action.kind)) {
        error = "unknown action \"" + words[0].text + "\"";
        return false;
    }
    size_t taken = wordsTaken(action.kind);
    if (words.size() != taken + 1) {
        error = std::string(actionName(action.kind)) + " takes " + std::to_string(taken) + " word" +
                (taken == 1 ? "" : "s") + " after it, not " + std::to_string(words.size() - 1);
        return false;
    }
    if (taken > 0) action.control = words[1].text;
    if (!readArguments(words, action, error)) return false;
    actions.push_back(std::move(action));
    return true;
}

bool parseScript(std::string_view text, std::vector<PanelAction> &actions, std::string &error) {
    std::vector<PanelAction> parsed;
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        std::string lineError;
        size_t before = parsed.size();
        if (!parseLine(text.substr(start, end - start), parsed, lineError)) {
            error = "line " + std::to_string(lineNumber) + ": " + lineError;
            return false;
        }
        if (parsed.size() > before) parsed.back().line = lineNumber;
        start = end + 1;
    }
    actions.insert(actions.end(), parsed.begin(), parsed.end());
    return true;
}
