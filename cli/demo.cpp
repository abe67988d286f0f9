// sorvex demo: the command on a copy of the bundled sample, with its maps
// shown before and after.
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/run_object.h"
#include "cli/scratch.h"
#include "modeler/cp932.h"
#include "modeler/lwo.h"

namespace fs = std::filesystem;

namespace {

struct SideCounts {
    uint32_t negative = 0, plane = 0, positive = 0;
};

SideCounts countSides(const Layer &layer, const VertexMap &map) {
    SideCounts counts;
    for (uint32_t point = 0; point < layer.points.size(); ++point) {
        if (!hasValue(map, point)) continue;
        float x = layer.points[point][0];
        if (x < 0) ++counts.negative;
        if (x == 0) ++counts.plane;
        if (x > 0) ++counts.positive;
    }
    return counts;
}

void printMaps(const char *heading, const Object &object) {
    std::printf("%s\n  %-4s  %-20s %6s %6s %6s\n", heading, "type", "map", "x<0", "x=0", "x>0");
    const Layer &layer = object.layers.at(0);
    for (const VertexMap &map : layer.maps) {
        SideCounts counts = countSides(layer, map);
        std::printf("  %-4s  %-20s %6u %6u %6u\n", typeName(map.type).c_str(),
                    cp932ToDisplay(map.name).c_str(), counts.negative, counts.plane, counts.positive);
    }
    std::printf("\n");
}

bool readObject(const std::string &path, Object &object) {
    LwoError error;
    if (readLwo(path, object, error)) return true;
    std::fprintf(stderr, "sorvex demo: %s\n", lwoErrorText(error).c_str());
    return false;
}

} // namespace

int demoCommand(const std::vector<std::string> &args) {
    RunOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-h" || args[i] == "--help") {
            std::fputs(kDemoUsage, stdout);
            return kExitDone;
        }
        if (args[i] == "--module" && i + 1 < args.size()) {
            options.modulePath = args[++i];
            continue;
        }
        std::fprintf(stderr, "sorvex demo: unknown argument \"%s\"\n\n%s", args[i].c_str(), kDemoUsage);
        return kExitUsage;
    }
    std::string sample = programDirectory() + "/samples/figure.lwo";
    if (!fs::exists(sample)) sample = SORVEX_SAMPLE_DIR "/figure.lwo";
    ScratchDir scratch; // the copy and the demo's own settings
    std::error_code failed;
    if (scratch.path.empty()) {
        std::fprintf(stderr, "sorvex demo: cannot make a scratch folder\n");
        return kExitFile;
    }
    options.objectPath = (scratch.path / "figure.lwo").string();
    options.settingsDirectory = (scratch.path / "settings").string();
    fs::copy_file(sample, options.objectPath, failed);
    if (failed) {
        std::fprintf(stderr, "sorvex demo: cannot copy the sample %s: %s\n", sample.c_str(),
                     failed.message().c_str());
        return kExitFile;
    }

    Object object;
    if (!readObject(options.objectPath, object)) return kExitFile;
    std::printf("Sorvex demo on a copy of %s\n", sample.c_str());
    std::printf(
        "Settings: source token Left, target token Right, prefix, values moved to the points with x < 0\n\n");
    printMaps("Vertex maps before:", object);

    ObjectRun run;
    run.script.actions.push_back(PanelAction{}); // OK on the options panel
    RunReport report;
    std::string error;
    int status = runObject(options, run, report, error);
    if (status != kExitDone) {
        if (!error.empty()) std::fprintf(stderr, "sorvex demo: %s\n", error.c_str());
        return status;
    }
    Object after;
    if (!readObject(options.objectPath, after)) return kExitFile;
    printMaps("Vertex maps after:", after);
    report.objectPath = "figure.lwo";
    report.outputPath = report.outputPath.empty() ? "" : "figure.lwo (the copy)";
    std::fputs(formatReport(report).c_str(), stdout);
    return kExitDone;
}
