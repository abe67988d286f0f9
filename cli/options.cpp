#include "cli/options.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "modeler/cp932.h"

const char kUsage[] = "usage: sorvex <command> [options]\n"
                      "\n"
                      "Moves vertex map values from the Left maps to the Right maps (or any pair of side\n"
                      "tokens) for the points on one side of x = 0 of an LWO2 object.\n"
                      "\n"
                      "commands:\n"
                      "  run OBJECT.lwo [options]   run the command on an object (saved in place unless -o)\n"
                      "  maps OBJECT.lwo            list each layer's vertex maps\n"
                      "  demo                       run the command on a copy of the bundled sample\n"
                      "\n"
                      "sorvex <command> --help tells more.\n";

const char kRunUsage[] =
    "usage: sorvex run OBJECT.lwo [options]\n"
    "\n"
    "Runs the command on the object's primary layer and saves the object in place,\n"
    "unless -o is given. The options are performed on the command's panel as a user\n"
    "would, in this order: kind, preset, direction, position, tokens, the update\n"
    "button (when any of those was given), switches, new preset, then OK or Cancel.\n"
    "\n"
    "  -o, --output FILE          write the result there; the input stays as it was\n"
    "  --layer N                  the primary layer, by its LAYR number (default: the first)\n"
    "  --settings-dir DIR         where the settings file lives\n"
    "                             (default $XDG_CONFIG_HOME/sorvex, else ~/.config/sorvex)\n"
    "  --module FILE              the module to load (default: sorvex.p beside this program)\n"
    "  --kind weight|morph|spot   the vertex map type\n"
    "  --preset NAME              pick the stored preset of that name\n"
    "  --direction neg|pos        move values to the points with x < 0 (neg) or x > 0 (pos)\n"
    "  --position prefix|suffix   where the source token stands in a map name\n"
    "  --source TOKEN             the side token searched for in map names (may be empty)\n"
    "  --target TOKEN             the side token put in its place (may be empty)\n"
    "  --off MAP                  switch off the pair whose source map is MAP (repeatable)\n"
    "  --add-preset NAME          store the panel's settings as a new preset\n"
    "  --cancel                   press Cancel instead of OK: nothing is saved or changed\n"
    "  --script FILE              perform the panel actions written in FILE instead\n"
    "  -i, --interactive          show the panel in the terminal and operate it yourself\n"
    "  --dry-run                  run everything and report, but write nothing (neither the\n"
    "                             object nor the settings)\n"
    "  --json                     print the report as JSON\n"
    "  -h, --help                 show this help\n"
    "\n"
    "exit status: 0 done or cancelled, 1 wrong usage, 2 a file could not be read or\n"
    "written or is not valid LWO2, 3 the module could not be loaded or refused to run,\n"
    "4 the command showed an error message (no weight maps).\n";

const char kMapsUsage[] = "usage: sorvex maps OBJECT.lwo\n"
                          "\n"
                          "Lists each layer's vertex maps: type, dimension, name, and the number of\n"
                          "points with a value.\n";

const char kDemoUsage[] = "usage: sorvex demo [--module FILE]\n"
                          "\n"
                          "Runs the command with its default settings (Left to Right, values moved to\n"
                          "x < 0) on a copy of the bundled sample figure, with a settings folder of its\n"
                          "own, and shows the weight maps before and after.\n";

static bool representable(const std::string &what, const std::string &utf8, std::string &error) {
    std::string cp932;
    if (utf8ToCp932(utf8, cp932)) return true;
    error = what + " \"" + utf8 + "\" cannot be written in the modeler's code page (CP932)";
    return false;
}

static bool oneOf(const std::string &option, const std::string &value,
                  std::initializer_list<const char *> allowed, std::string &error) {
    for (const char *word : allowed)
        if (value == word) return true;
    error = option + " takes ";
    for (const char *word : allowed)
        error += std::string(word) + (word == *(allowed.end() - 1) ? "" : " or ");
    error += ", not \"" + value + "\"";
    return false;
}

static bool parseLayer(const std::string &value, std::optional<int> &layer, std::string &error) {
    char *end = nullptr;
    long number = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || number < 0 || number > 65535) {
        error = "--layer takes a layer number from 0 to 65535, not \"" + value + "\"";
        return false;
    }
    layer = int(number);
    return true;
}

// Options that take a value; values are checked after all are read.
static std::string *valueSlot(const std::string &name, RunOptions &options) {
    if (name == "-o" || name == "--output") return &options.outputPath;
    if (name == "--settings-dir") return &options.settingsDirectory;
    if (name == "--module") return &options.modulePath;
    if (name == "--script") return &options.scriptPath;
    return nullptr;
}

static std::optional<std::string> *optionalSlot(const std::string &name, RunOptions &options) {
    if (name == "--kind") return &options.kind;
    if (name == "--preset") return &options.preset;
    if (name == "--direction") return &options.direction;
    if (name == "--position") return &options.position;
    if (name == "--source") return &options.sourceToken;
    if (name == "--target") return &options.targetToken;
    if (name == "--add-preset") return &options.addPreset;
    return nullptr;
}

static bool checkValues(RunOptions &options, std::string &error) {
    if (options.kind && !oneOf("--kind", *options.kind, {"weight", "morph", "spot"}, error)) return false;
    if (options.direction && !oneOf("--direction", *options.direction, {"neg", "pos"}, error)) return false;
    if (options.position && !oneOf("--position", *options.position, {"prefix", "suffix"}, error))
        return false;
    const std::pair<const char *, const std::optional<std::string> *> texts[] = {
        {"--preset", &options.preset},
        {"--source", &options.sourceToken},
        {"--target", &options.targetToken},
        {"--add-preset", &options.addPreset}};
    for (const auto &[what, text] : texts)
        if (*text && !representable(what, **text, error)) return false;
    for (const std::string &map : options.off)
        if (!representable("--off", map, error)) return false;
    if (options.objectPath.empty()) {
        error = "run needs an object file";
        return false;
    }
    if (options.interactive && !options.scriptPath.empty()) {
        error = "--interactive and --script cannot be used together";
        return false;
    }
    return true;
}

bool parseRunOptions(const std::vector<std::string> &args, RunOptions &options, std::string &error) {
    options = RunOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        std::string *slot = valueSlot(arg, options);
        std::optional<std::string> *optional = optionalSlot(arg, options);
        bool takesValue = slot || optional || arg == "--layer" || arg == "--off";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        if (slot) {
            *slot = args[++i];
        } else if (optional) {
            *optional = args[++i];
        } else if (arg == "--layer") {
            if (!parseLayer(args[++i], options.layer, error)) return false;
        } else if (arg == "--off") {
            options.off.push_back(args[++i]);
        } else if (arg == "--cancel") {
            options.cancel = true;
        } else if (arg == "-i" || arg == "--interactive") {
            options.interactive = true;
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
            return true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else if (options.objectPath.empty()) {
            options.objectPath = arg;
        } else {
            error = "run takes one object file; \"" + arg + "\" is one too many";
            return false;
        }
    }
    return checkValues(options, error);
}

std::string defaultSettingsDirectory() {
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) return std::string(config) + "/sorvex";
    const char *home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/sorvex";
}

std::string programDirectory() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

std::string defaultModulePath() {
    return programDirectory() + "/sorvex.p";
}
