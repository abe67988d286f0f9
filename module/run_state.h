// The record of one activation of the command, and the map kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/globals.h"
#include "host/meshedit.h"
#include "pairing/map_pair.h"
#include "settings/preset.h"

enum MapKind : int32_t { kWeightMaps = 0, kMorphMaps = 1, kSpotMaps = 2 };

constexpr int kMapKindCount = 3;
constexpr LWID mapTypeCodes[kMapKindCount] = {LWVMAP_WGHT, LWVMAP_MORF, LWVMAP_SPOT};
constexpr int mapDimensions[kMapKindCount] = {1, 3, 3};

// Settings read when the file holds none.
inline constexpr char kDefaultSourceToken[] = "Left";
inline constexpr char kDefaultTargetToken[] = "Right";
constexpr int32_t kDefaultDirection = -1;
constexpr int32_t kDefaultTokenPosition = 0;

struct RunState {
    GlobalFunc global = nullptr;
    MeshEditOp *edit = nullptr;
    std::vector<MapPair> pairs;
    std::vector<std::string> mapNames;
    int32_t direction = kDefaultDirection; // -1 or +1; the choice index 0 or 1 while the panel is open
    int32_t tokenPosition = kDefaultTokenPosition; // 0 prefix, any other value suffix
    std::string sourceToken;
    std::string targetToken;
    int32_t mapKind = kWeightMaps;
    std::vector<Preset> presets;
};

// A map kind that indexes the tables; anything out of range reads as weight.
inline int checkedMapKind(int32_t mapKind) {
    return mapKind >= 0 && mapKind < kMapKindCount ? mapKind : kWeightMaps;
}
