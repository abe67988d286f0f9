// Reads LWO2 bytes from memory. A file that is read must write back as the
// same bytes; with every map marked changed it must write as a file whose
// FORM size fits and that reads back to the same maps.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "modeler/lwo.h"

static void failWith(const char *what) {
    std::fprintf(stderr, "lwo_fuzz: %s\n", what);
    std::abort();
}

static bool sameMaps(const Layer &a, const Layer &b) {
    if (a.maps.size() != b.maps.size()) return false;
    for (size_t m = 0; m < a.maps.size(); ++m) {
        const VertexMap &x = a.maps[m];
        const VertexMap &y = b.maps[m];
        if (x.type != y.type || x.name != y.name || x.dimension != y.dimension) return false;
        for (uint32_t point = 0; point < a.points.size(); ++point) {
            if (hasValue(x, point) != hasValue(y, point)) return false;
            if (hasValue(x, point) && x.dimension > 0 &&
                std::memcmp(mapValue(x, point), mapValue(y, point), sizeof(float) * size_t(x.dimension)) != 0)
                return false;
        }
    }
    return true;
}

static uint32_t formSize(const std::string &file) {
    const uint8_t *p = reinterpret_cast<const uint8_t *>(file.data()) + 4;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Object object;
    LwoError error;
    if (!readLwoBytes(bytes, "fuzz.lwo", object, error)) {
        if (error.fault == LwoFault::None || lwoErrorText(error).empty())
            failWith("a refusal without a fault");
        return 0;
    }
    std::string written;
    if (!lwoBytes(object, written, error) || written != bytes) failWith("the round trip changed the bytes");
    for (Layer &layer : object.layers)
        for (VertexMap &map : layer.maps)
            map.changed = true;
    if (!lwoBytes(object, written, error)) failWith(lwoErrorText(error).c_str());
    if (formSize(written) != written.size() - 8) failWith("the FORM size is not the file size less 8");
    Object again;
    if (!readLwoBytes(written, "again.lwo", again, error)) failWith(lwoErrorText(error).c_str());
    if (again.layers.size() != object.layers.size()) failWith("the layers changed");
    for (size_t l = 0; l < object.layers.size(); ++l)
        if (!sameMaps(object.layers[l], again.layers[l])) failWith("the maps changed");
    return 0;
}

// After a mutation the FORM size and the chunk lengths are mostly made to
// fit again, so that inputs get past the first checks into the chunks.
static void fixLengths(uint8_t *data, size_t size) {
    if (size < 12 || std::memcmp(data, "FORM", 4) != 0) return;
    auto put = [](uint8_t *p, uint32_t value) {
        for (int k = 0; k < 4; ++k)
            p[k] = uint8_t(value >> (24 - 8 * k));
    };
    put(data + 4, uint32_t(size - 8));
    size_t at = 12;
    while (size - at >= 8) {
        uint8_t *header = data + at;
        uint32_t length = (uint32_t(header[4]) << 24) | (uint32_t(header[5]) << 16) |
                          (uint32_t(header[6]) << 8) | uint32_t(header[7]);
        size_t room = size - at - 8;
        if (length > room) put(header + 4, uint32_t(length = uint32_t(room)));
        at += 8 + size_t(length) + (length & 1);
        if (at > size) break;
    }
}

extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize, unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 4 != 0) fixLengths(data, size);
    return size;
}
