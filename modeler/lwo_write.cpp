// The LWO2 writer. An object read from a file is written back chunk by chunk
// from its source; only the VMAP chunks of changed maps are made anew.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "modeler/lwo.h"

namespace {

constexpr LWID kLayr = makeLWID('L', 'A', 'Y', 'R');
constexpr LWID kPnts = makeLWID('P', 'N', 'T', 'S');
constexpr LWID kVmap = makeLWID('V', 'M', 'A', 'P');
constexpr LWID kVmpa = makeLWID('V', 'M', 'P', 'A');
constexpr uint32_t kLargestIndex = 0x00FFFFFF; // what the four-byte index form holds

void putU2(std::string &out, uint16_t value) {
    out += char(value >> 8);
    out += char(value);
}

void putU4(std::string &out, uint32_t value) {
    out += char(value >> 24);
    out += char(value >> 16);
    out += char(value >> 8);
    out += char(value);
}

void putF4(std::string &out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putU4(out, bits);
}

// An index in two bytes below 0xFF00, else in four with the top byte 0xFF.
void putVx(std::string &out, uint32_t index) {
    if (index < 0xFF00) return putU2(out, uint16_t(index));
    putU4(out, index | 0xFF000000u);
}

void putName(std::string &out, const std::string &name) {
    out += name;
    out += '\0';
    if (name.size() % 2 == 0) out += '\0'; // name and terminator odd: pad to even
}

bool cannotEncode(LwoError &error, const std::string &reason) {
    error.fault = LwoFault::CannotEncode;
    error.reason = reason;
    return false;
}

// Room for extra more bytes, grown geometrically: a large file is not copied
// again and again as it grows.
void makeRoom(std::string &out, size_t extra) {
    if (out.capacity() - out.size() >= extra) return;
    out.reserve(std::max(out.size() + extra, 2 * out.capacity()));
}

// A chunk is written in place: its header with the length left open, the
// body straight after it, then the length and the pad byte.
size_t beginChunk(std::string &out, LWID id) {
    putU4(out, id);
    putU4(out, 0);
    return out.size();
}

bool endChunk(std::string &out, size_t bodyStart, LwoError &error) {
    size_t length = out.size() - bodyStart;
    if (length > UINT32_MAX) return cannotEncode(error, "a chunk longer than 4 GB");
    for (int k = 0; k < 4; ++k)
        out[bodyStart - 4 + k] = char(uint32_t(length) >> (24 - 8 * k));
    if (length % 2) out += '\0';
    return true;
}

bool putChunk(std::string &out, LWID id, const std::string &body, LwoError &error) {
    size_t start = beginChunk(out, id);
    out += body;
    return endChunk(out, start, error);
}

bool checkName(const std::string &name, const char *what, LwoError &error) {
    if (name.find('\0') == std::string::npos) return true;
    return cannotEncode(error, std::string(what) + " name holds a NUL byte");
}

// A VMAP chunk with the map's values for the points first..end-1, in point
// order, indices counted from first.
bool putVmap(std::string &out, const VertexMap &map, uint32_t first, size_t end, LwoError &error) {
    if (map.dimension < 0 || map.dimension > 0xFFFF)
        return cannotEncode(error, "a map dimension beyond 65535");
    if (!checkName(map.name, "a map", error)) return false;
    size_t last = std::min(end, map.slots.size());
    makeRoom(out, 16 + map.name.size() + (last > first ? last - first : 0) * (4 + 4 * size_t(map.dimension)));
    size_t start = beginChunk(out, kVmap);
    putU4(out, map.type);
    putU2(out, uint16_t(map.dimension));
    putName(out, map.name);
    for (size_t point = first; point < last; ++point) {
        if (!hasValue(map, uint32_t(point))) continue;
        if (point - first > kLargestIndex) return cannotEncode(error, "a point index beyond 16777215");
        putVx(out, uint32_t(point - first));
        const float *value = mapValue(map, uint32_t(point));
        for (int k = 0; k < map.dimension; ++k)
            putF4(out, value[k]);
    }
    return endChunk(out, start, error);
}

bool putLayer(std::string &out, const Layer &layer, LwoError &error) {
    bool fits = layer.number >= 0 && layer.number <= 0xFFFF && layer.flags >= 0 && layer.flags <= 0xFFFF &&
                layer.parent >= -1 && layer.parent <= 0xFFFF;
    if (!fits) return cannotEncode(error, "a layer number, flags or parent beyond 65535");
    if (!checkName(layer.name, "a layer", error)) return false;
    std::string body;
    putU2(body, uint16_t(layer.number));
    putU2(body, uint16_t(layer.flags));
    for (float axis : layer.pivot)
        putF4(body, axis);
    putName(body, layer.name);
    if (layer.parent >= 0) putU2(body, uint16_t(layer.parent));
    if (!putChunk(out, kLayr, body, error)) return false;
    body.clear();
    for (const Point &point : layer.points)
        for (float axis : point)
            putF4(body, axis);
    if (!putChunk(out, kPnts, body, error)) return false;
    for (const VertexMap &map : layer.maps)
        if (!putVmap(out, map, 0, layer.points.size(), error)) return false;
    return true;
}

// Where a changed map's values of one PNTS chunk's points go.
typedef std::tuple<uint32_t, uint32_t, uint32_t> MapGroup; // layer, map, group

enum class Action { Keep, Rewrite, Drop };

struct Plan {
    std::vector<Action> actions;                          // one a chunk
    std::map<size_t, std::vector<MapGroup>> insertsAfter; // chunk index -> VMAP chunks new there
};

size_t groupEnd(const Layer &layer, uint32_t group) {
    return group + 1 < layer.pointGroups.size() ? layer.pointGroups[group + 1] : layer.points.size();
}

bool hasValueIn(const VertexMap &map, size_t first, size_t end) {
    for (size_t point = first; point < std::min(end, map.slots.size()); ++point)
        if (map.slots[point] != kNoValue) return true;
    return false;
}

bool isChangedMap(const Object &object, const LwoChunk &chunk) {
    if (chunk.id != kVmap || chunk.layer >= object.layers.size()) return false;
    const Layer &layer = object.layers[chunk.layer];
    return chunk.map < layer.maps.size() && layer.maps[chunk.map].changed;
}

// A changed map's first VMAP chunk after each PNTS chunk is rewritten and its
// later ones dropped, with the VMPA that stands in front of a dropped one.
// Notes where each group (a PNTS chunk and what follows it) ends.
bool markChangedChunks(const Object &object, Plan &plan, std::set<MapGroup> &written,
                       std::map<std::pair<uint32_t, uint32_t>, size_t> &groupEndChunk, LwoError &error) {
    const std::vector<LwoChunk> &chunks = object.chunks;
    plan.actions.assign(chunks.size(), Action::Keep);
    for (size_t i = 0; i < chunks.size(); ++i) {
        const LwoChunk &chunk = chunks[i];
        if (chunk.offset > object.source.size() || chunk.size > object.source.size() - chunk.offset)
            return cannotEncode(error, "a chunk outside the file the object was read from");
        if ((chunk.id == kPnts || chunk.id == kVmap) && chunk.group != kNoValue)
            groupEndChunk[{chunk.layer, chunk.group}] = i;
        if (!isChangedMap(object, chunk)) continue;
        bool first = written.insert({chunk.layer, chunk.map, chunk.group}).second;
        plan.actions[i] = first ? Action::Rewrite : Action::Drop;
        if (!first && i > 0 && chunks[i - 1].id == kVmpa) plan.actions[i - 1] = Action::Drop;
    }
    return true;
}

// Where a changed map has values but no chunk after a PNTS chunk, a new chunk
// goes after that group's last VMAP chunk, or after the PNTS when there is
// none. A new map without values goes in the layer's first group.
bool placeNewChunks(const Object &object, Plan &plan, const std::set<MapGroup> &written,
                    const std::map<std::pair<uint32_t, uint32_t>, size_t> &groupEndChunk, LwoError &error) {
    for (uint32_t l = 0; l < object.layers.size(); ++l) {
        const Layer &layer = object.layers[l];
        for (uint32_t m = 0; m < layer.maps.size(); ++m) {
            if (!layer.maps[m].changed) continue;
            if (layer.pointGroups.empty()) return cannotEncode(error, "a map in a layer without points");
            bool hasChunk = false;
            for (uint32_t g = 0; g < layer.pointGroups.size(); ++g)
                hasChunk = hasChunk || written.count({l, m, g});
            for (uint32_t g = 0; g < layer.pointGroups.size(); ++g) {
                bool needed = hasValueIn(layer.maps[m], layer.pointGroups[g], groupEnd(layer, g)) ||
                              (!hasChunk && g == 0);
                if (!needed || written.count({l, m, g})) continue;
                auto place = groupEndChunk.find({l, g});
                if (place == groupEndChunk.end())
                    return cannotEncode(error, "a layer's points without a PNTS chunk");
                plan.insertsAfter[place->second].push_back({l, m, g});
            }
        }
    }
    return true;
}

bool planChunks(const Object &object, Plan &plan, LwoError &error) {
    std::vector<bool> inFile(object.layers.size(), false);
    for (const LwoChunk &chunk : object.chunks)
        if (chunk.layer < inFile.size()) inFile[chunk.layer] = true;
    for (bool found : inFile)
        if (!found) return cannotEncode(error, "a layer added to an object read from a file");
    std::set<MapGroup> written;
    std::map<std::pair<uint32_t, uint32_t>, size_t> groupEndChunk; // (layer, group) -> chunk index
    return markChangedChunks(object, plan, written, groupEndChunk, error) &&
           placeNewChunks(object, plan, written, groupEndChunk, error);
}

bool putMapGroup(std::string &out, const Object &object, const MapGroup &target, LwoError &error) {
    const Layer &layer = object.layers[std::get<0>(target)];
    uint32_t group = std::get<2>(target);
    return putVmap(out, layer.maps[std::get<1>(target)], layer.pointGroups[group], groupEnd(layer, group),
                   error);
}

bool putFromSource(std::string &out, const Object &object, LwoError &error) {
    Plan plan;
    if (!planChunks(object, plan, error)) return false;
    for (size_t i = 0; i < object.chunks.size(); ++i) {
        const LwoChunk &chunk = object.chunks[i];
        if (plan.actions[i] == Action::Keep) out.append(object.source, chunk.offset, chunk.size);
        if (plan.actions[i] == Action::Rewrite &&
            !putMapGroup(out, object, {chunk.layer, chunk.map, chunk.group}, error))
            return false;
        auto inserts = plan.insertsAfter.find(i);
        if (inserts == plan.insertsAfter.end()) continue;
        for (const MapGroup &target : inserts->second)
            if (!putMapGroup(out, object, target, error)) return false;
    }
    return true;
}

bool fail(LwoError &error, LwoFault fault, const std::string &reason) {
    error.fault = fault;
    error.reason = reason;
    return false;
}

bool writeAll(int fd, const std::string &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += size_t(written);
    }
    return true;
}

// A new file beside target that no one else uses, created with the usual
// permissions (0666 less the umask).
int createTemporary(const std::string &target, std::string &temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes the bytes to a temporary file beside the target, flushes it to disk
// and renames it over the target, so the target is either as it was or
// wholly new. A symbolic link is followed, so the link stays a link.
bool saveAtomically(const std::string &path, const std::string &bytes, LwoError &error) {
    std::string target = path;
    if (char *resolved = realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    std::string temporary;
    int fd = createTemporary(target, temporary);
    if (fd < 0) return fail(error, LwoFault::CannotWrite, std::strerror(errno));
    struct stat existing;
    if (stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        (void)fchmod(fd, existing.st_mode & 07777); // keep the file's permissions
    bool ok = writeAll(fd, bytes) && fsync(fd) == 0;
    int cause = ok ? 0 : errno;
    if (close(fd) != 0 && ok) ok = false, cause = errno;
    if (ok && rename(temporary.c_str(), target.c_str()) != 0) ok = false, cause = errno;
    if (ok) return true;
    unlink(temporary.c_str());
    return fail(error, LwoFault::CannotWrite, std::strerror(cause ? cause : EIO));
}

} // namespace

bool lwoBytes(const Object &object, std::string &bytes, LwoError &error) {
    std::string out;
    out.reserve(object.source.size());
    out += "FORM";
    putU4(out, 0);
    out += "LWO2";
    bool ok = true;
    if (!object.source.empty()) {
        ok = putFromSource(out, object, error);
    } else {
        for (const Layer &layer : object.layers)
            ok = ok && putLayer(out, layer, error);
    }
    if (!ok) return false;
    if (out.size() - 8 > UINT32_MAX) return cannotEncode(error, "a file longer than 4 GB");
    uint32_t formSize = uint32_t(out.size() - 8);
    for (int k = 0; k < 4; ++k)
        out[4 + k] = char(formSize >> (24 - 8 * k));
    bytes = std::move(out);
    return true;
}

bool writeLwo(const Object &object, const std::string &path, LwoError &error) {
    error = LwoError();
    error.file = path;
    std::string bytes;
    if (!lwoBytes(object, bytes, error)) return false;
    return saveAtomically(path, bytes, error);
}
