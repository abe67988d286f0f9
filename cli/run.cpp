// sorvex run: the command on one object file, its panel worked by the
// options, a script or the user at the terminal.
#include <cstdio>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/run_object.h"
#include "modeler/scripted.h"

namespace {

// The panel actions for the options, in the order a user would take them,
// with the option each comes from (for messages).
struct OptionActions {
    std::vector<PanelAction> actions;
    std::vector<std::string> options;
};

void add(OptionActions &out, const std::string &option, ActionKind kind, const char *control, int index = 0,
         std::string text = "", bool byText = false) {
    PanelAction action;
    action.kind = kind;
    action.control = control;
    action.index = index;
    action.text = std::move(text);
    action.byText = byText;
    action.x = 1; // inside the check column of the list
    out.actions.push_back(action);
    out.options.push_back(option);
}

const char kKindPopup[] = "PopupControl#1";
const char kPresetPopup[] = "CustomPopupControl#1";
const char kDirectionChoice[] = "ChoiceControl#1";
const char kPositionChoice[] = "ChoiceControl#2";
const char kSourceEdit[] = "EditControl#1";
const char kTargetEdit[] = "EditControl#2";
const char kUpdateButton[] = "ButtonControl#1";
const char kPairList[] = "MultiListBoxControl#1";
const char kNewPresetEntry[] = " ( new ) ";

int kindIndex(const std::string &kind) {
    return kind == "morph" ? 1 : kind == "spot" ? 2 : 0;
}

OptionActions optionActions(const RunOptions &options) {
    OptionActions out;
    if (options.kind) add(out, "--kind", ActionKind::Pick, kKindPopup, kindIndex(*options.kind));
    if (options.preset) add(out, "--preset", ActionKind::Pick, kPresetPopup, 0, *options.preset, true);
    if (options.direction)
        add(out, "--direction", ActionKind::Pick, kDirectionChoice, *options.direction == "pos" ? 1 : 0);
    if (options.position)
        add(out, "--position", ActionKind::Pick, kPositionChoice, *options.position == "suffix" ? 1 : 0);
    if (options.sourceToken) add(out, "--source", ActionKind::Type, kSourceEdit, 0, *options.sourceToken);
    if (options.targetToken) add(out, "--target", ActionKind::Type, kTargetEdit, 0, *options.targetToken);
    if (options.kind || options.preset || options.position || options.sourceToken || options.targetToken)
        add(out, "update", ActionKind::Press, kUpdateButton);
    for (const std::string &map : options.off)
        add(out, "--off", ActionKind::CheckOff, kPairList, 0, map);
    if (options.addPreset) {
        add(out, "--add-preset", ActionKind::Pick, kPresetPopup, 0, kNewPresetEntry, true);
        add(out, "--add-preset", ActionKind::Type, "EditControl#1", 0, *options.addPreset);
        add(out, "--add-preset", ActionKind::Ok, "");
    }
    add(out, options.cancel ? "--cancel" : "ok", options.cancel ? ActionKind::Cancel : ActionKind::Ok, "");
    return out;
}

// Says which option could not be carried out, in the user's words.
std::string optionError(const OptionActions &planned, const ScriptRun &script, const Toolkit &toolkit) {
    std::string detail = toolkit.errors.empty() ? "the panel could not be worked" : toolkit.errors.back();
    if (script.next == 0 || script.next > planned.actions.size()) return detail;
    const std::string &option = planned.options[script.next - 1];
    const PanelAction &action = planned.actions[script.next - 1];
    if (option == "--preset") return "--preset: no stored preset named \"" + action.text + "\"";
    if (option == "--off") return "--off: no pair has the source map \"" + action.text + "\"";
    return option + ": " + detail;
}

bool readScript(const std::string &path, std::vector<PanelAction> &actions, std::string &error) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot be read";
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    if (!parseScript(text, actions, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void printReport(const RunReport &report, bool json) {
    std::fputs((json ? formatReportJson(report) : formatReport(report)).c_str(), stdout);
}

} // namespace

int runCommand(const std::vector<std::string> &args) {
    RunOptions options;
    std::string error;
    if (!parseRunOptions(args, options, error)) {
        std::fprintf(stderr, "sorvex run: %s\n\n%s", error.c_str(), kRunUsage);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(kRunUsage, stdout);
        return kExitDone;
    }
    ObjectRun run;
    OptionActions planned;
    if (options.interactive) {
        run.interactive = true;
    } else if (!options.scriptPath.empty()) {
        if (!readScript(options.scriptPath, run.script.actions, error)) {
            std::fprintf(stderr, "sorvex run: %s\n", error.c_str());
            return kExitUsage;
        }
    } else {
        planned = optionActions(options);
        run.script.actions = planned.actions;
    }
    RunReport report;
    int status = runObject(options, run, report, error);
    if (status == kExitUsage && run.script.failed && options.scriptPath.empty() && !options.interactive)
        error = optionError(planned, run.script, run.toolkit);
    if (status != kExitDone && status != kExitMessage) {
        std::fprintf(stderr, "sorvex run: %s\n", error.c_str());
        return status;
    }
    printReport(report, options.json);
    return status;
}
