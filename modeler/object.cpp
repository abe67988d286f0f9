#include "modeler/object.h"

#include <algorithm>
#include <functional>

static uint64_t mapKey(LWID type, std::string_view name) {
    return std::hash<std::string_view>()(name) * 31 + type;
}

uint32_t findMapIndex(const Layer &layer, LWID type, std::string_view name) {
    auto range = layer.mapIndex.equal_range(mapKey(type, name));
    for (auto it = range.first; it != range.second; ++it) {
        const VertexMap &map = layer.maps[it->second];
        if (map.type == type && map.name == name) return it->second;
    }
    return kNoValue;
}

VertexMap *findMap(Layer &layer, LWID type, std::string_view name) {
    uint32_t index = findMapIndex(layer, type, name);
    return index == kNoValue ? nullptr : &layer.maps[index];
}

const VertexMap *findMap(const Layer &layer, LWID type, std::string_view name) {
    uint32_t index = findMapIndex(layer, type, name);
    return index == kNoValue ? nullptr : &layer.maps[index];
}

VertexMap &addMap(Layer &layer, LWID type, std::string_view name, int dimension) {
    layer.mapIndex.emplace(mapKey(type, name), uint32_t(layer.maps.size()));
    VertexMap &map = layer.maps.emplace_back();
    map.type = type;
    map.name = name;
    map.dimension = dimension;
    return map;
}

void dropMapsFrom(Layer &layer, size_t count) {
    while (layer.maps.size() > count) {
        const VertexMap &map = layer.maps.back();
        auto range = layer.mapIndex.equal_range(mapKey(map.type, map.name));
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second != layer.maps.size() - 1) continue;
            layer.mapIndex.erase(it);
            break;
        }
        layer.maps.pop_back();
    }
}

bool hasValue(const VertexMap &map, uint32_t point) {
    return point < map.slots.size() && map.slots[point] != kNoValue;
}

const float *mapValue(const VertexMap &map, uint32_t point) {
    if (!hasValue(map, point)) return nullptr;
    return map.values.data() + size_t(map.slots[point]) * map.dimension;
}

void setMapValue(VertexMap &map, uint32_t point, const float *values, int count) {
    if (point >= map.slots.size()) map.slots.resize(size_t(point) + 1, kNoValue);
    map.slots[point] = map.slotCount++;
    int copied = std::max(0, std::min(count, map.dimension));
    map.values.insert(map.values.end(), values, values + copied);
    map.values.resize(map.values.size() + (map.dimension - copied), 0.0f);
}

void clearMapValue(VertexMap &map, uint32_t point) {
    if (point < map.slots.size()) map.slots[point] = kNoValue;
}

uint32_t countValues(const VertexMap &map) {
    return uint32_t(
        std::count_if(map.slots.begin(), map.slots.end(), [](uint32_t s) { return s != kNoValue; }));
}

std::map<uint32_t, std::vector<float>> mapValues(const VertexMap &map) {
    std::map<uint32_t, std::vector<float>> values;
    for (uint32_t point = 0; point < map.slots.size(); ++point) {
        const float *value = mapValue(map, point);
        if (value || hasValue(map, point)) values[point].assign(value, value + map.dimension);
    }
    return values;
}
