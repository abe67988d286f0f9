// The mesh edit a command opens through LWModCommand::editBegin. Changes are
// journalled so that done() with an error puts the layer back as it was.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "modeler/host.h"

namespace {

struct JournalEntry {
    uint32_t map;
    uint32_t point;
    uint32_t oldSlot;
};

// What a map held when the edit began; maps added later are dropped on undo.
struct MapMark {
    size_t valueCount;
    uint32_t slotCount;
    bool changed;
};

} // namespace

struct MeshEdit {
    MeshEditOp op;
    Host *host;
    Layer *layer;
    uint32_t selected = kNoValue; // map index chosen by pointVSet
    std::vector<MapMark> marks;
    std::vector<JournalEntry> journal;
    long writes = 0;
};

static MeshEdit *editOf(EDStateRef state) {
    return reinterpret_cast<MeshEdit *>(state);
}

// Point identifiers are index + 1, so that no point is null.
static LWPntID pointId(uint32_t index) {
    return reinterpret_cast<LWPntID>(uintptr_t(index) + 1);
}

static bool pointIndex(const MeshEdit &edit, LWPntID point, uint32_t &index) {
    uintptr_t id = reinterpret_cast<uintptr_t>(point);
    if (id == 0 || id > edit.layer->points.size()) return false;
    index = uint32_t(id - 1);
    return true;
}

static void *mapHandle(uint32_t index) {
    return reinterpret_cast<void *>(uintptr_t(index) + 1);
}

static void undo(MeshEdit &edit) {
    Layer &layer = *edit.layer;
    for (auto it = edit.journal.rbegin(); it != edit.journal.rend(); ++it) {
        if (it->map >= edit.marks.size()) continue; // a map made by this edit, dropped below
        layer.maps[it->map].slots[it->point] = it->oldSlot;
    }
    dropMapsFrom(layer, edit.marks.size());
    for (size_t i = 0; i < edit.marks.size(); ++i) {
        VertexMap &map = layer.maps[i];
        map.values.resize(edit.marks[i].valueCount);
        map.slotCount = edit.marks[i].slotCount;
        map.changed = edit.marks[i].changed;
    }
}

static void done(EDStateRef state, EDError error, int) {
    std::unique_ptr<MeshEdit> edit(editOf(state));
    Host &host = *edit->host;
    if (error != EDERR_NONE) {
        undo(*edit);
        ++host.stats.editsDiscarded;
    } else {
        ++host.stats.editsKept;
    }
    host.edit = nullptr;
}

static EDError pointScan(EDStateRef state, EDPointScanFunc callback, void *userData, int) {
    MeshEdit &edit = *editOf(state);
    const std::vector<Point> &points = edit.layer->points;
    const uint32_t kProgressStep = 1 << 16;
    for (uint32_t i = 0; i < points.size(); ++i) {
        if (edit.host->scanProgress && i % kProgressStep == 0) edit.host->scanProgress(i, points.size());
        EDPointInfo info = {pointId(i), {points[i][0], points[i][1], points[i][2]}};
        EDError error = callback(userData, &info);
        if (error != EDERR_NONE) return error;
    }
    return EDERR_NONE;
}

static void *pointVSet(EDStateRef state, void *vmap, LWID type, const char *name) {
    MeshEdit &edit = *editOf(state);
    edit.selected = kNoValue;
    if (vmap) {
        uintptr_t handle = reinterpret_cast<uintptr_t>(vmap);
        if (handle > edit.layer->maps.size()) return nullptr;
        edit.selected = uint32_t(handle - 1);
        return vmap;
    }
    ++edit.host->stats.nameLookups;
    if (!name) return nullptr;
    edit.selected = findMapIndex(*edit.layer, type, name);
    return edit.selected == kNoValue ? nullptr : mapHandle(edit.selected);
}

// Fills the caller's three floats; a map of more values gives its first three.
static int pointVGet(EDStateRef state, LWPntID point, float *value) {
    MeshEdit &edit = *editOf(state);
    uint32_t index;
    if (edit.selected == kNoValue || !pointIndex(edit, point, index)) return 0;
    const VertexMap &map = edit.layer->maps[edit.selected];
    if (!hasValue(map, index)) return 0;
    const float *stored = mapValue(map, index);
    int count = std::min(map.dimension, 3);
    if (value) {
        std::fill(value, value + 3, 0.0f);
        std::copy(stored, stored + count, value);
    }
    return 1;
}

static void journal(MeshEdit &edit, uint32_t mapIndex, uint32_t point) {
    const VertexMap &map = edit.layer->maps[mapIndex];
    uint32_t slot = hasValue(map, point) ? map.slots[point] : kNoValue;
    edit.journal.push_back({mapIndex, point, slot});
}

static EDError pntVMap(EDStateRef state, LWPntID point, LWID type, const char *name, int dimension,
                       const float *value) {
    MeshEdit &edit = *editOf(state);
    uint32_t index;
    if (!name || dimension < 0 || !pointIndex(edit, point, index)) return 1;
    if (++edit.writes == edit.host->throwOnWrite) throw std::bad_alloc();
    uint32_t mapIndex = findMapIndex(*edit.layer, type, name);
    if (!value) {
        if (mapIndex == kNoValue || !hasValue(edit.layer->maps[mapIndex], index)) return EDERR_NONE;
        journal(edit, mapIndex, index);
        clearMapValue(edit.layer->maps[mapIndex], index);
        edit.layer->maps[mapIndex].changed = true;
        return EDERR_NONE;
    }
    if (mapIndex == kNoValue) {
        mapIndex = uint32_t(edit.layer->maps.size());
        addMap(*edit.layer, type, name, dimension);
    }
    VertexMap &map = edit.layer->maps[mapIndex];
    journal(edit, mapIndex, index);
    setMapValue(map, index, value, dimension);
    map.changed = true;
    return EDERR_NONE;
}

static MeshEditOp *editBegin(int, int, int);

static LWModCommand modCommand = {editBegin};

LWModCommand *hostModCommand() {
    return &modCommand;
}

static MeshEditOp *editBegin(int, int, int) {
    Host *host = currentHost();
    Layer *layer = host ? primaryLayer(*host) : nullptr;
    if (!layer || host->failEditBegin || host->edit) return nullptr;
    auto *edit = new MeshEdit{};
    edit->op = {reinterpret_cast<EDStateRef>(edit), done, pointScan, pointVSet, pointVGet, pntVMap};
    edit->host = host;
    edit->layer = layer;
    for (const VertexMap &map : layer->maps)
        edit->marks.push_back({map.values.size(), map.slotCount, map.changed});
    host->edit = edit;
    ++host->stats.editsOpened;
    return &edit->op;
}
