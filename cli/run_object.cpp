#include "cli/run_object.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/scratch.h"
#include "modeler/host.h"
#include "modeler/loader.h"
#include "modeler/lwo.h"
#include "modeler/terminal.h"

namespace {

const LWID kKindTypes[] = {LWVMAP_WGHT, LWVMAP_MORF, LWVMAP_SPOT};
const char kSettingsFileName[] = "sorvex.cfg.txt";

bool pickLayer(const Object &object, const RunOptions &options, size_t &index, std::string &error) {
    index = 0;
    if (!options.layer) return true;
    for (size_t i = 0; i < object.layers.size(); ++i) {
        if (object.layers[i].number != *options.layer) continue;
        index = i;
        return true;
    }
    error = options.objectPath + " has no layer " + std::to_string(*options.layer);
    return false;
}

// Prints a progress line on stderr once a scan has taken more than a second.
struct Progress {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    bool shown = false;
    void update(size_t done, size_t total) {
        // The scan reports its first point before any other: the clock starts there.
        if (done == 0) start = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) return;
        std::fprintf(stderr, "\rsorvex: %zu of %zu points", done, total);
        shown = true;
    }
    void finish() {
        if (shown) std::fputs("\n", stderr);
    }
};

// The options panel as it closed: confirmed or not, its pairs and map kind.
void readPanel(const Toolkit &toolkit, RunReport &report) {
    const PanelRecord *panel = nullptr;
    for (const PanelRecord &record : toolkit.history)
        if (record.title == "Sorvex") panel = &record;
    if (!panel || panel->close != PanelClose::Ok) return;
    report.confirmed = true;
    for (const ControlRecord &control : panel->controls) {
        if (control.setup.kind == ControlKind::Popup && control.value >= 0 && control.value < 3)
            report.mapType = kKindTypes[control.value];
        if (control.setup.kind != ControlKind::MultiList) continue;
        for (const std::vector<std::string> &row : control.rows) {
            PairReport pair;
            pair.active = !row.empty() && row[0] == "v";
            pair.sourceName = row.size() > 1 ? row[1] : "";
            pair.targetName = row.size() > 2 ? row[2] : "";
            report.pairs.push_back(pair);
        }
    }
}

bool anyMapChanged(const Layer &layer) {
    for (const VertexMap &map : layer.maps)
        if (map.changed) return true;
    return false;
}

// Runs the module; kExitDone unless it could not be loaded or refused to run.
int activateModule(const RunOptions &options, Host &host, std::string &error) {
    std::string module = options.modulePath.empty() ? defaultModulePath() : options.modulePath;
    int result = 0;
    Progress progress;
    host.scanProgress = [&progress](size_t done, size_t total) { progress.update(done, total); };
    bool loaded = runSorvex(module, host, 3, result, error);
    progress.finish();
    if (!loaded) return kExitModule;
    if (result == 1) error = module + ": the command does not support this host's interface version";
    if (result == 2) error = module + ": the command found no message service";
    return result == 0 ? kExitDone : kExitModule;
}

bool useSettingsCopy(Host &host, const ScratchDir &copy, std::string &error) {
    if (copy.path.empty()) {
        error = "cannot make a temporary folder for the dry run";
        return false;
    }
    std::filesystem::path file = std::filesystem::path(host.settingsDirectory) / kSettingsFileName;
    std::error_code failed;
    if (std::filesystem::exists(file, failed))
        std::filesystem::copy_file(file, copy.path / kSettingsFileName, failed);
    if (failed) {
        error = file.string() + ": " + failed.message();
        return false;
    }
    host.settingsDirectory = copy.path.string();
    return true;
}

} // namespace

int runObject(const RunOptions &options, ObjectRun &run, RunReport &report, std::string &error) {
    Object object;
    LwoError lwoError;
    if (!readLwo(options.objectPath, object, lwoError)) {
        error = lwoErrorText(lwoError);
        return kExitFile;
    }
    size_t layerIndex;
    if (!pickLayer(object, options, layerIndex, error)) return kExitUsage;
    TerminalRun terminal;
    if (run.interactive && !terminalUsable(error)) return kExitUsage;
    run.toolkit.driver = run.interactive ? terminalDriver(terminal) : scriptedDriver(run.script);

    Host host;
    host.object = &object;
    host.primaryLayer = layerIndex;
    host.echoMessages = true;
    host.settingsDirectory =
        options.settingsDirectory.empty() ? defaultSettingsDirectory() : options.settingsDirectory;
    std::error_code ignored;
    std::filesystem::create_directories(host.settingsDirectory, ignored);
    // A dry run writes nothing: the command saves its settings into a copy.
    ScratchDir dryRunSettings;
    if (options.dryRun && !useSettingsCopy(host, dryRunSettings, error)) return kExitFile;
    attachToolkit(host, run.toolkit);
    Layer before = layerIndex < object.layers.size() ? object.layers[layerIndex] : Layer{};

    int status = activateModule(options, host, error);
    if (status != kExitDone) return status;
    if (run.script.failed || terminal.failed) {
        error = run.toolkit.errors.empty() ? "the panel script failed" : run.toolkit.errors.back();
        return kExitUsage;
    }

    report.objectPath = options.objectPath;
    report.layerNumber = before.number;
    report.dryRun = options.dryRun;
    for (const HostMessage &message : host.messages)
        report.messages.push_back(message.line1);
    if (!report.messages.empty()) return kExitMessage;
    readPanel(run.toolkit, report);
    if (!report.confirmed) return kExitDone;
    const Layer &after = object.layers[layerIndex];
    countTransfers(before, after, report.mapType, report.pairs);
    report.changed = anyMapChanged(after);

    // In place, an unchanged object is left alone; a new output file is
    // written all the same, so that it is there.
    std::string target = options.outputPath.empty() ? options.objectPath : options.outputPath;
    bool write = !options.dryRun && (report.changed || !options.outputPath.empty());
    if (!write) return kExitDone;
    if (!writeLwo(object, target, lwoError)) {
        error = lwoErrorText(lwoError);
        return kExitFile;
    }
    report.outputPath = target;
    return kExitDone;
}
