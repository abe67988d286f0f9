// sorvex maps: what vertex maps an object holds.
#include <cstdio>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/report.h"
#include "modeler/cp932.h"
#include "modeler/lwo.h"

static void printLayer(const Layer &layer) {
    std::printf("layer %d", layer.number);
    if (!layer.name.empty()) std::printf(" \"%s\"", cp932ToDisplay(layer.name).c_str());
    std::printf(": %zu points, %zu vertex maps\n", layer.points.size(), layer.maps.size());
    for (const VertexMap &map : layer.maps)
        std::printf("  %s  %d  %-32s %u\n", typeName(map.type).c_str(), map.dimension,
                    cp932ToDisplay(map.name).c_str(), countValues(map));
}

int mapsCommand(const std::vector<std::string> &args) {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(kMapsUsage, stdout);
        return kExitDone;
    }
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        std::fputs(kMapsUsage, stderr);
        return kExitUsage;
    }
    Object object;
    LwoError error;
    if (!readLwo(args[0], object, error)) {
        std::fprintf(stderr, "sorvex: %s\n", lwoErrorText(error).c_str());
        return kExitFile;
    }
    for (const Layer &layer : object.layers)
        printLayer(layer);
    return kExitDone;
}
