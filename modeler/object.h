// The modeler's object in memory: layers of points with sparse vertex maps.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/globals.h"

typedef std::array<float, 3> Point;

constexpr uint32_t kNoValue = UINT32_MAX;

// A vertex map: a type code, a name (CP932 bytes) and, for some points of its
// layer, dimension floats each. Values are never overwritten in place: a set
// appends, so an edit can be undone by restoring slots.
struct VertexMap {
    LWID type = 0;
    std::string name;
    int dimension = 0;
    std::vector<uint32_t>
        slots; // per point index: its slot in values, or kNoValue; may be shorter than the layer
    std::vector<float> values; // dimension floats a slot
    uint32_t slotCount = 0;
    bool changed = false; // set since the object was read
};

struct Layer {
    int number = 0;
    int flags = 0;
    std::array<float, 3> pivot = {0, 0, 0};
    std::string name;
    int parent = -1; // -1 when the layer has none
    std::vector<Point> points;
    std::deque<VertexMap> maps;                           // in the order they were first seen or made
    std::unordered_multimap<uint64_t, uint32_t> mapIndex; // hash of type and name -> index in maps
    // For a layer read from a file: the index of the first point of each of its
    // PNTS chunks, in file order. Map records after a PNTS chunk count from there.
    std::vector<uint32_t> pointGroups;
};

// A top-level chunk of the file an object was read from, as bytes of
// Object::source (header and pad byte included), and what it belongs to.
struct LwoChunk {
    LWID id = 0;
    size_t offset = 0;
    size_t size = 0;
    uint32_t layer = kNoValue; // index into Object::layers; kNoValue before any layer
    uint32_t group = kNoValue; // index into that layer's pointGroups; kNoValue before its first PNTS
    uint32_t map = kNoValue;   // for a VMAP chunk: index into that layer's maps
};

struct Object {
    std::vector<Layer> layers;
    // The file the object was read from and its chunks, so that it can be
    // written back byte for byte; both empty for an object made in memory.
    std::string source;
    std::vector<LwoChunk> chunks;
};

// The index in layer.maps of the map of that type and name, or kNoValue.
uint32_t findMapIndex(const Layer &layer, LWID type, std::string_view name);

VertexMap *findMap(Layer &layer, LWID type, std::string_view name);
const VertexMap *findMap(const Layer &layer, LWID type, std::string_view name);

// Adds an empty map; the caller makes sure there is none of that type and name.
VertexMap &addMap(Layer &layer, LWID type, std::string_view name, int dimension);

// Removes the maps from index count on (newest first), as if never added.
void dropMapsFrom(Layer &layer, size_t count);

bool hasValue(const VertexMap &map, uint32_t point);

// The point's dimension floats, or null when it has no value.
const float *mapValue(const VertexMap &map, uint32_t point);

// Sets the point's value from count floats; the map keeps its own dimension,
// so extra values are dropped and missing ones are 0.
void setMapValue(VertexMap &map, uint32_t point, const float *values, int count);
void clearMapValue(VertexMap &map, uint32_t point);

// Number of points with a value.
uint32_t countValues(const VertexMap &map);

// Every value of a map by point index, for reports and comparisons.
std::map<uint32_t, std::vector<float>> mapValues(const VertexMap &map);
