// What a run did, in words or as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modeler/object.h"

struct PairReport {
    bool active = true;
    std::string sourceName; // CP932, as the host holds it
    std::string targetName;
    uint32_t moved = 0;  // points whose value went from the source to the target map
    uint32_t copied = 0; // points on the plane: the value is in both maps now
    uint32_t left = 0;   // points whose source value stayed where it was
};

struct RunReport {
    std::string objectPath;
    std::string outputPath; // empty when nothing was written
    int layerNumber = 0;
    LWID mapType = LWVMAP_WGHT;
    bool confirmed = false; // OK pressed
    bool dryRun = false;
    bool changed = false; // some map of the object changed
    std::vector<PairReport> pairs;
    std::vector<std::string> messages; // error boxes the command showed, CP932
};

// Counts, for each pair, what happened to the points that had a value in its
// source map before the run.
void countTransfers(const Layer &before, const Layer &after, LWID type, std::vector<PairReport> &pairs);

std::string formatReport(const RunReport &report);
std::string formatReportJson(const RunReport &report);

// "WGHT" for a type code.
std::string typeName(LWID type);

// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string &utf8);
