#include "cli/report.h"

#include <algorithm>
#include <cstdio>

#include "modeler/cp932.h"

std::string typeName(LWID type) {
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((type >> shift) & 0xFF);
        name += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return name;
}

// A pair that is off, or whose source is its target, moves nothing: every
// value stays where it was.
static void countPair(const VertexMap *source, const VertexMap *targetAfter, const VertexMap *sourceAfter,
                      PairReport &pair) {
    if (!source) return;
    if (!pair.active || pair.sourceName == pair.targetName) {
        pair.left = countValues(*source);
        return;
    }
    for (uint32_t point = 0; point < source->slots.size(); ++point) {
        if (!hasValue(*source, point)) continue;
        const float *value = mapValue(*source, point);
        if (!sourceAfter || !hasValue(*sourceAfter, point))
            ++pair.moved;
        else if (targetAfter && hasValue(*targetAfter, point) &&
                 std::equal(value, value + source->dimension, mapValue(*targetAfter, point)))
            ++pair.copied;
        else
            ++pair.left;
    }
}

void countTransfers(const Layer &before, const Layer &after, LWID type, std::vector<PairReport> &pairs) {
    for (PairReport &pair : pairs) {
        pair.moved = pair.copied = pair.left = 0;
        const VertexMap *target = findMap(after, type, pair.targetName);
        // A copy needs the target to hold the source's values, dimension for dimension.
        const VertexMap *source = findMap(before, type, pair.sourceName);
        if (target && source && target->dimension < source->dimension) target = nullptr;
        countPair(source, target, findMap(after, type, pair.sourceName), pair);
    }
}

std::string formatReport(const RunReport &report) {
    std::string text;
    char line[512];
    // Messages the command showed are on stderr already.
    if (!report.messages.empty()) return text;
    if (!report.confirmed) return "cancelled: nothing changed\n";
    std::snprintf(line, sizeof line, "%s, layer %d, %s maps\n", report.objectPath.c_str(), report.layerNumber,
                  typeName(report.mapType).c_str());
    text += line;
    if (report.pairs.empty()) text += "  no map pairs\n";
    for (const PairReport &pair : report.pairs) {
        std::snprintf(line, sizeof line, "  %-3s %s -> %s: %u moved, %u copied, %u left\n",
                      pair.active ? "on" : "off", cp932ToDisplay(pair.sourceName).c_str(),
                      cp932ToDisplay(pair.targetName).c_str(), pair.moved, pair.copied, pair.left);
        text += line;
    }
    if (report.dryRun)
        text += "dry run: nothing written\n";
    else if (!report.outputPath.empty())
        text += "wrote " + report.outputPath + "\n";
    else
        text += "no change: nothing written\n";
    return text;
}

std::string jsonString(const std::string &utf8) {
    std::string quoted = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

std::string formatReportJson(const RunReport &report) {
    std::string json = "{";
    json += "\"object\":" + jsonString(report.objectPath);
    json += ",\"confirmed\":" + std::string(report.confirmed ? "true" : "false");
    json += ",\"layer\":" + std::to_string(report.layerNumber);
    json += ",\"type\":" + jsonString(typeName(report.mapType));
    json += ",\"dryRun\":" + std::string(report.dryRun ? "true" : "false");
    json += ",\"changed\":" + std::string(report.changed ? "true" : "false");
    json +=
        ",\"written\":" + (report.outputPath.empty() ? std::string("null") : jsonString(report.outputPath));
    json += ",\"messages\":[";
    for (size_t i = 0; i < report.messages.size(); ++i)
        json += (i ? "," : "") + jsonString(cp932ToDisplay(report.messages[i]));
    json += "],\"pairs\":[";
    for (size_t i = 0; i < report.pairs.size(); ++i) {
        const PairReport &pair = report.pairs[i];
        json += i ? ",{" : "{";
        json += "\"on\":" + std::string(pair.active ? "true" : "false");
        json += ",\"source\":" + jsonString(cp932ToDisplay(pair.sourceName));
        json += ",\"target\":" + jsonString(cp932ToDisplay(pair.targetName));
        json += ",\"moved\":" + std::to_string(pair.moved);
        json += ",\"copied\":" + std::to_string(pair.copied);
        json += ",\"left\":" + std::to_string(pair.left) + "}";
    }
    return json + "]}\n";
}
