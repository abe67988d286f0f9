// The LWO2 reader. Every read goes through a Span that knows where its chunk
// ends; a length is compared with what is left by subtraction before it is
// used, so nothing past a chunk is ever read and nothing is allocated beyond
// what the bytes there can hold.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unordered_map>

#include "modeler/lwo.h"

namespace {

constexpr LWID kForm = makeLWID('F', 'O', 'R', 'M');
constexpr LWID kLwo2 = makeLWID('L', 'W', 'O', '2');
constexpr LWID kLayr = makeLWID('L', 'A', 'Y', 'R');
constexpr LWID kPnts = makeLWID('P', 'N', 'T', 'S');
constexpr LWID kVmap = makeLWID('V', 'M', 'A', 'P');
constexpr LWID kVmad = makeLWID('V', 'M', 'A', 'D');
constexpr LWID kPols = makeLWID('P', 'O', 'L', 'S');
constexpr LWID kPtag = makeLWID('P', 'T', 'A', 'G');
constexpr LWID kTags = makeLWID('T', 'A', 'G', 'S');
constexpr LWID kSurf = makeLWID('S', 'U', 'R', 'F');
constexpr LWID kClip = makeLWID('C', 'L', 'I', 'P');
constexpr LWID kEnvl = makeLWID('E', 'N', 'V', 'L');

// The slot budget: a file whose maps each cover every point needs fewer
// slots than it has bytes, so this leaves room for many sparse maps.
constexpr uint64_t kSlotsPerByte = 16;
constexpr uint64_t kSlotsForAnyFile = 1u << 22;

struct Span {
    const uint8_t *at;
    const uint8_t *end;
    size_t left() const { return size_t(end - at); }
};

// What the chunks read so far left behind in a layer.
struct LayerState {
    bool hasPoints = false;
    uint32_t groupStart = 0; // first point of the latest PNTS chunk
    uint32_t groupCount = 0; // its points
    bool hasPolygons = false;
    uint32_t polygonCount = 0;                      // polygons of the latest POLS chunk
    std::unordered_map<std::string, uint32_t> maps; // type bytes and name -> index in the layer's maps
};

struct Reader {
    Reader(const uint8_t *file, Object &object, LwoError &error) : file(file), object(object), error(error) {}
    const uint8_t *file; // first byte of the file
    Object &object;
    LwoError &error;
    std::vector<LayerState> states; // one a layer
    uint32_t layer = kNoValue;      // the layer chunks belong to now
    LWID chunkId = 0;
    size_t chunkOffset = 0;
    uint32_t chunkMap = kNoValue; // the map a VMAP chunk fed
    // Per-point slots the maps may still take. Maps keep a slot for every
    // point up to their highest, so a file of many sparse maps on many points
    // would otherwise take memory out of all proportion to its size.
    uint64_t slotBudget = 0;
};

uint16_t getU2(const uint8_t *p) {
    return uint16_t((p[0] << 8) | p[1]);
}

uint32_t getU4(const uint8_t *p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

float getF4(const uint8_t *p) {
    uint32_t bits = getU4(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string idText(LWID id) {
    return {char(id >> 24), char(id >> 16), char(id >> 8), char(id)};
}

bool fail(Reader &reader, LwoFault fault, const uint8_t *where, uint64_t value = 0, uint64_t limit = 0) {
    LwoError &error = reader.error;
    error.fault = fault;
    error.chunk = idText(reader.chunkId);
    error.chunkOffset = reader.chunkOffset;
    error.offset = uint64_t(where - reader.file);
    error.value = value;
    error.limit = limit;
    return false;
}

bool takeU2(Span &span, uint16_t &value) {
    if (span.left() < 2) return false;
    value = getU2(span.at);
    span.at += 2;
    return true;
}

bool takeU4(Span &span, uint32_t &value) {
    if (span.left() < 4) return false;
    value = getU4(span.at);
    span.at += 4;
    return true;
}

// A variable-length index: two bytes, or four when the first is 0xFF (which
// is then masked out).
bool takeVx(Span &span, uint32_t &value) {
    if (span.left() < 2) return false;
    if (span.at[0] != 0xFF) {
        value = getU2(span.at);
        span.at += 2;
        return true;
    }
    if (span.left() < 4) return false;
    value = getU4(span.at) & 0x00FFFFFFu;
    span.at += 4;
    return true;
}

// A name: bytes up to a NUL inside the span, and the pad byte that makes its
// length even. A pad missing at the very end of the chunk misaligns nothing,
// so it is let pass.
bool takeName(Span &span, std::string &name) {
    const void *nul = std::memchr(span.at, 0, span.left());
    if (!nul) return false;
    size_t length = size_t(static_cast<const uint8_t *>(nul) - span.at);
    name.assign(reinterpret_cast<const char *>(span.at), length);
    size_t taken = length + 1 + ((length + 1) & 1);
    span.at += taken <= span.left() ? taken : span.left();
    return true;
}

const uint8_t *chunkStart(const Reader &reader) {
    return reader.file + reader.chunkOffset;
}

bool failShort(Reader &reader, const Span &span, size_t needed) {
    return fail(reader, LwoFault::ChunkTooShort, span.at, span.left(), needed);
}

// The layer point data goes to; data before any LAYR makes a default layer.
uint32_t currentLayer(Reader &reader) {
    if (reader.layer == kNoValue) {
        reader.layer = uint32_t(reader.object.layers.size());
        reader.object.layers.emplace_back();
        reader.states.emplace_back();
    }
    return reader.layer;
}

// The state of the current layer when it has points; null otherwise.
LayerState *pointsState(Reader &reader) {
    if (reader.layer == kNoValue || !reader.states[reader.layer].hasPoints) return nullptr;
    return &reader.states[reader.layer];
}

bool readLayr(Reader &reader, Span span) {
    if (span.left() < 16) return failShort(reader, span, 16);
    Layer layer;
    layer.number = getU2(span.at);
    layer.flags = getU2(span.at + 2);
    for (int axis = 0; axis < 3; ++axis)
        layer.pivot[axis] = getF4(span.at + 4 + 4 * axis);
    span.at += 16;
    const uint8_t *nameAt = span.at;
    if (!takeName(span, layer.name)) return fail(reader, LwoFault::NameUnterminated, nameAt);
    uint16_t parent;
    if (takeU2(span, parent)) layer.parent = parent;
    reader.layer = uint32_t(reader.object.layers.size());
    reader.object.layers.push_back(std::move(layer));
    reader.states.emplace_back();
    return true;
}

bool readPnts(Reader &reader, Span span) {
    if (span.left() % 12 != 0) return fail(reader, LwoFault::PointsSize, chunkStart(reader), span.left(), 12);
    Layer &layer = reader.object.layers[currentLayer(reader)];
    LayerState &state = reader.states[reader.layer];
    size_t count = span.left() / 12; // bounded by the chunk, so the allocation is too
    state.hasPoints = true;
    state.groupStart = uint32_t(layer.points.size());
    state.groupCount = uint32_t(count);
    layer.pointGroups.push_back(state.groupStart);
    if (layer.points.empty())
        layer.points.reserve(count); // not for every PNTS: that would copy over and over
    for (; span.at != span.end; span.at += 12)
        layer.points.push_back({getF4(span.at), getF4(span.at + 4), getF4(span.at + 8)});
    return true;
}

// The map a VMAP chunk of that type, dimension and name feeds: the one an
// earlier chunk of the layer made, or a new one.
bool mapFor(Reader &reader, LWID type, uint16_t dimension, const std::string &name, const uint8_t *at,
            uint32_t &index) {
    Layer &layer = reader.object.layers[reader.layer];
    auto known = reader.states[reader.layer].maps.emplace(idText(type) + name, uint32_t(layer.maps.size()));
    index = known.first->second;
    if (known.second) {
        addMap(layer, type, name, dimension);
        return true;
    }
    int expected = layer.maps[index].dimension;
    if (dimension != expected)
        return fail(reader, LwoFault::DimensionMismatch, at, dimension, uint64_t(expected));
    return true;
}

// Takes the slots a map needs to hold a value for point, from the budget.
bool takeSlots(Reader &reader, const VertexMap &map, uint32_t point, const uint8_t *at) {
    if (point < map.slots.size()) return true;
    uint64_t growth = uint64_t(point) + 1 - map.slots.size();
    if (growth > reader.slotBudget) return fail(reader, LwoFault::TooLarge, at, growth, reader.slotBudget);
    reader.slotBudget -= growth;
    return true;
}

// VMAP records: a point index of the latest PNTS chunk and dimension floats.
bool readMapRecords(Reader &reader, const LayerState &state, VertexMap &map, uint16_t dimension, Span span) {
    size_t valueBytes = 4 * size_t(dimension);
    std::vector<float> value;
    while (span.left() > 0) {
        const uint8_t *recordAt = span.at;
        uint32_t index;
        if (!takeVx(span, index) || span.left() < valueBytes)
            return fail(reader, LwoFault::RecordCut, recordAt, span.left(), valueBytes);
        if (index >= state.groupCount)
            return fail(reader, LwoFault::PointIndex, recordAt, index, state.groupCount);
        value.resize(dimension); // only once a whole record is known to be there
        for (size_t k = 0; k < dimension; ++k, span.at += 4)
            value[k] = getF4(span.at);
        uint32_t point = state.groupStart + index;
        if (!takeSlots(reader, map, point, recordAt)) return false;
        setMapValue(map, point, value.data(), dimension);
    }
    return true;
}

bool readVmap(Reader &reader, Span span) {
    const LayerState *state = pointsState(reader);
    if (!state) return fail(reader, LwoFault::NoPoints, chunkStart(reader));
    if (span.left() < 6) return failShort(reader, span, 6);
    LWID type = getU4(span.at);
    uint16_t dimension = getU2(span.at + 4);
    const uint8_t *dimensionAt = span.at + 4;
    span.at += 6;
    std::string name;
    const uint8_t *nameAt = span.at;
    if (!takeName(span, name)) return fail(reader, LwoFault::NameUnterminated, nameAt);
    if (!mapFor(reader, type, dimension, name, dimensionAt, reader.chunkMap)) return false;
    VertexMap &map = reader.object.layers[reader.layer].maps[reader.chunkMap];
    return readMapRecords(reader, *state, map, dimension, span);
}

bool readPols(Reader &reader, Span span) {
    LayerState *state = pointsState(reader);
    if (!state) return fail(reader, LwoFault::NoPoints, chunkStart(reader));
    if (span.left() < 4) return failShort(reader, span, 4);
    span.at += 4;
    uint32_t count = 0;
    while (span.left() > 0) {
        const uint8_t *polygonAt = span.at;
        uint16_t head;
        if (!takeU2(span, head)) return fail(reader, LwoFault::RecordCut, polygonAt, span.left(), 2);
        uint32_t vertices = head & 0x03FF; // the high 6 bits are flags
        if (vertices == 0) return fail(reader, LwoFault::EmptyPolygon, polygonAt);
        for (uint32_t k = 0; k < vertices; ++k) {
            const uint8_t *vertexAt = span.at;
            uint32_t index;
            if (!takeVx(span, index)) return fail(reader, LwoFault::RecordCut, vertexAt, span.left(), 2);
            if (index >= state->groupCount)
                return fail(reader, LwoFault::PointIndex, vertexAt, index, state->groupCount);
        }
        ++count;
    }
    state->hasPolygons = true;
    state->polygonCount = count;
    return true;
}

// A polygon index of a PTAG or VMAD record.
bool checkPolygon(Reader &reader, const LayerState *state, uint32_t index, const uint8_t *at) {
    if (!state || !state->hasPolygons) return fail(reader, LwoFault::NoPolygons, at);
    if (index >= state->polygonCount)
        return fail(reader, LwoFault::PolygonIndex, at, index, state->polygonCount);
    return true;
}

bool readPtag(Reader &reader, Span span) {
    const LayerState *state = reader.layer == kNoValue ? nullptr : &reader.states[reader.layer];
    if (span.left() < 4) return failShort(reader, span, 4);
    span.at += 4;
    while (span.left() > 0) {
        const uint8_t *recordAt = span.at;
        uint32_t polygon;
        uint16_t tag;
        if (!takeVx(span, polygon) || !takeU2(span, tag))
            return fail(reader, LwoFault::RecordCut, recordAt, span.left(), 4);
        if (!checkPolygon(reader, state, polygon, recordAt)) return false;
    }
    return true;
}

bool readVmad(Reader &reader, Span span) {
    const LayerState *state = pointsState(reader);
    if (!state) return fail(reader, LwoFault::NoPoints, chunkStart(reader));
    if (span.left() < 6) return failShort(reader, span, 6);
    size_t valueBytes = 4 * size_t(getU2(span.at + 4));
    span.at += 6;
    std::string name;
    const uint8_t *nameAt = span.at;
    if (!takeName(span, name)) return fail(reader, LwoFault::NameUnterminated, nameAt);
    while (span.left() > 0) {
        const uint8_t *recordAt = span.at;
        uint32_t point, polygon;
        if (!takeVx(span, point) || !takeVx(span, polygon) || span.left() < valueBytes)
            return fail(reader, LwoFault::RecordCut, recordAt, span.left(), valueBytes);
        if (point >= state->groupCount)
            return fail(reader, LwoFault::PointIndex, recordAt, point, state->groupCount);
        if (!checkPolygon(reader, state, polygon, recordAt)) return false;
        span.at += valueBytes;
    }
    return true;
}

bool readTags(Reader &reader, Span span) {
    std::string tag;
    while (span.left() > 0) {
        const uint8_t *tagAt = span.at;
        if (!takeName(span, tag)) return fail(reader, LwoFault::NameUnterminated, tagAt);
    }
    return true;
}

// Sub-chunks of a SURF, CLIP or ENVL: ID, U2 length, data and pad, each
// bounded by what is left of the chunk.
bool readSubChunks(Reader &reader, Span span) {
    while (span.left() > 0) {
        const uint8_t *subAt = span.at;
        if (span.left() < 6) return fail(reader, LwoFault::SubChunkPastEnd, subAt, span.left(), 6);
        uint16_t length = getU2(subAt + 4);
        size_t room = span.left() - 6;
        size_t padded = size_t(length) + (length & 1);
        if (padded > room) {
            fail(reader, LwoFault::SubChunkPastEnd, subAt, padded, room);
            reader.error.subChunk = idText(getU4(subAt));
            return false;
        }
        span.at += 6 + padded;
    }
    return true;
}

bool readSurf(Reader &reader, Span span) {
    std::string name;
    for (int k = 0; k < 2; ++k) { // the surface's name and its source's
        const uint8_t *nameAt = span.at;
        if (!takeName(span, name)) return fail(reader, LwoFault::NameUnterminated, nameAt);
    }
    return readSubChunks(reader, span);
}

bool readClip(Reader &reader, Span span) {
    uint32_t index;
    if (!takeU4(span, index)) return failShort(reader, span, 4);
    return readSubChunks(reader, span);
}

bool readEnvl(Reader &reader, Span span) {
    uint32_t index;
    if (!takeVx(span, index)) return failShort(reader, span, 2);
    return readSubChunks(reader, span);
}

bool readBody(Reader &reader, LWID id, Span body) {
    switch (id) {
    case kLayr:
        return readLayr(reader, body);
    case kPnts:
        return readPnts(reader, body);
    case kVmap:
        return readVmap(reader, body);
    case kPols:
        return readPols(reader, body);
    case kPtag:
        return readPtag(reader, body);
    case kVmad:
        return readVmad(reader, body);
    case kTags:
        return readTags(reader, body);
    case kSurf:
        return readSurf(reader, body);
    case kClip:
        return readClip(reader, body);
    case kEnvl:
        return readEnvl(reader, body);
    default:
        return true; // kept as it is
    }
}

bool readChunk(Reader &reader, Span &form) {
    const uint8_t *start = form.at;
    reader.chunkOffset = size_t(start - reader.file);
    reader.chunkId = form.left() >= 4 ? getU4(start) : 0;
    if (form.left() < 8) {
        fail(reader, LwoFault::ChunkHeaderCut, start, form.left(), 8);
        if (form.left() < 4) reader.error.chunk.clear();
        return false;
    }
    uint32_t length = getU4(start + 4);
    size_t room = form.left() - 8;
    if (length > room) return fail(reader, LwoFault::ChunkPastEnd, start, length, room);
    if ((length & 1) && length == room) return fail(reader, LwoFault::PadMissing, start + 8 + length);
    reader.chunkMap = kNoValue;
    if (!readBody(reader, reader.chunkId, Span{start + 8, start + 8 + length})) return false;
    LwoChunk chunk;
    chunk.id = reader.chunkId;
    chunk.offset = reader.chunkOffset;
    chunk.size = 8 + size_t(length) + (length & 1);
    chunk.layer = reader.layer;
    if (reader.layer != kNoValue && reader.states[reader.layer].hasPoints)
        chunk.group = uint32_t(reader.object.layers[reader.layer].pointGroups.size() - 1);
    chunk.map = reader.chunkMap;
    reader.object.chunks.push_back(chunk);
    form.at += chunk.size;
    return true;
}

bool readForm(Reader &reader, const uint8_t *data, size_t size) {
    reader.chunkId = kForm;
    if (size < 4 || getU4(data) != kForm) {
        reader.chunkId = size >= 4 ? getU4(data) : 0;
        fail(reader, LwoFault::NotForm, data);
        if (size < 4) reader.error.chunk.clear();
        return false;
    }
    if (size < 8) return fail(reader, LwoFault::ChunkHeaderCut, data, size, 8);
    uint32_t formSize = getU4(data + 4);
    if (formSize != size - 8) return fail(reader, LwoFault::FormSize, data + 4, formSize, size - 8);
    if (size < 12 || getU4(data + 8) != kLwo2) return fail(reader, LwoFault::NotLwo2, data + 8);
    Span form{data + 12, data + size};
    while (form.left() > 0)
        if (!readChunk(reader, form)) return false;
    return true;
}

bool readSource(std::string source, const std::string &name, Object &object, LwoError &error) {
    object = Object();
    error = LwoError();
    error.file = name;
    Object read;
    Reader reader(reinterpret_cast<const uint8_t *>(source.data()), read, error);
    reader.slotBudget = kSlotsPerByte * source.size() + kSlotsForAnyFile;
    if (!readForm(reader, reader.file, source.size())) return false;
    read.source = std::move(source);
    object = std::move(read);
    return true;
}

} // namespace

bool readLwoBytes(std::string_view bytes, const std::string &name, Object &object, LwoError &error) {
    return readSource(std::string(bytes), name, object, error);
}

// The whole file, or false with the reason.
static bool readWholeFile(const std::string &path, std::string &bytes, std::string &reason) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat info;
    bool ok = fstat(fileno(file), &info) == 0;
    if (!ok) reason = std::strerror(errno);
    if (ok && !S_ISREG(info.st_mode)) ok = false, reason = "not a regular file";
    if (ok && uint64_t(info.st_size) > uint64_t(UINT32_MAX) + 8)
        ok = false, reason = "larger than an LWO2 file can be";
    if (ok) {
        errno = 0;
        bytes.resize(size_t(info.st_size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fgetc(file) == EOF;
        if (!ok) reason = errno ? std::strerror(errno) : "the file changed while it was read";
    }
    std::fclose(file);
    return ok;
}

bool readLwo(const std::string &path, Object &object, LwoError &error) {
    object = Object();
    error = LwoError();
    error.file = path;
    std::string bytes;
    if (readWholeFile(path, bytes, error.reason)) return readSource(std::move(bytes), path, object, error);
    error.fault = LwoFault::CannotOpen;
    return false;
}
