#include "tests/support/lwo_builder.h"

#include <cstring>

std::string be2(uint32_t value) {
    return {char(value >> 8), char(value)};
}

std::string be4(uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string f4(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return be4(bits);
}

std::string vx(uint32_t index) {
    return index < 0xFF00 ? be2(index) : vx4(index);
}

std::string vx4(uint32_t index) {
    return be4(index | 0xFF000000u);
}

std::string s0(const std::string &text) {
    std::string out = text + '\0';
    if (out.size() % 2) out += '\0';
    return out;
}

std::string chunk(const std::string &id, const std::string &body) {
    std::string out = id + be4(uint32_t(body.size())) + body;
    if (body.size() % 2) out += '\0';
    return out;
}

std::string subChunk(const std::string &id, const std::string &body) {
    std::string out = id + be2(uint32_t(body.size())) + body;
    if (body.size() % 2) out += '\0';
    return out;
}

std::string form(const std::vector<std::string> &chunks) {
    std::string file = "FORM" + be4(0) + "LWO2";
    for (const std::string &c : chunks)
        file += c;
    return withFormSize(file);
}

std::string withFormSize(std::string file) {
    if (file.size() >= 8) file.replace(4, 4, be4(uint32_t(file.size() - 8)));
    return file;
}

std::string layrChunk(uint16_t number, const std::string &name, int parent, uint16_t flags, Vec3 pivot) {
    std::string body = be2(number) + be2(flags) + f4(pivot[0]) + f4(pivot[1]) + f4(pivot[2]) + s0(name);
    if (parent >= 0) body += be2(uint32_t(parent));
    return chunk("LAYR", body);
}

std::string pntsChunk(const std::vector<Vec3> &points) {
    std::string body;
    for (const Vec3 &p : points)
        body += f4(p[0]) + f4(p[1]) + f4(p[2]);
    return chunk("PNTS", body);
}

static std::string floats(const std::vector<float> &values) {
    std::string out;
    for (float v : values)
        out += f4(v);
    return out;
}

std::string vmapChunk(const std::string &type, uint16_t dimension, const std::string &name,
                      const std::vector<VmapRecord> &records) {
    std::string body = type + be2(dimension) + s0(name);
    for (const VmapRecord &r : records)
        body += vx(r.point) + floats(r.value);
    return chunk("VMAP", body);
}

std::string vmadChunk(const std::string &type, uint16_t dimension, const std::string &name,
                      const std::vector<VmadRecord> &records) {
    std::string body = type + be2(dimension) + s0(name);
    for (const VmadRecord &r : records)
        body += vx(r.point) + vx(r.polygon) + floats(r.value);
    return chunk("VMAD", body);
}

std::string polsChunk(const std::vector<std::vector<uint32_t>> &polygons, const std::string &type) {
    std::string body = type;
    for (const std::vector<uint32_t> &polygon : polygons) {
        body += be2(uint32_t(polygon.size()));
        for (uint32_t index : polygon)
            body += vx(index);
    }
    return chunk("POLS", body);
}

std::string ptagChunk(const std::string &type, const std::vector<std::pair<uint32_t, uint16_t>> &tags) {
    std::string body = type;
    for (const auto &tag : tags)
        body += vx(tag.first) + be2(tag.second);
    return chunk("PTAG", body);
}

std::string tagsChunk(const std::vector<std::string> &tags) {
    std::string body;
    for (const std::string &tag : tags)
        body += s0(tag);
    return chunk("TAGS", body);
}

std::string surfChunk(const std::string &name) {
    std::string colour = f4(0.8f) + f4(0.7f) + f4(0.6f) + be2(0);
    std::string body = s0(name) + s0("") + subChunk("COLR", colour) + subChunk("DIFF", f4(1.0f) + be2(0));
    return chunk("SURF", body);
}

static uint32_t getBe4(const std::string &bytes, size_t at) {
    uint32_t value = 0;
    for (size_t k = 0; k < 4; ++k)
        value = (value << 8) | uint8_t(bytes[at + k]);
    return value;
}

std::vector<ChunkBytes> splitChunks(const std::string &file) {
    std::vector<ChunkBytes> chunks;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        size_t length = getBe4(file, at + 4);
        size_t size = 8 + length + (length & 1);
        chunks.push_back({file.substr(at, 4), at, file.substr(at, size)});
        at += size;
    }
    return chunks;
}

std::string exampleFile() {
    std::vector<Vec3> body = {{-1, 0, 0}, {-0.5f, 1, 0}, {0, 0, 0}, {0, 1, 0}, {0.5f, 1, 0}, {1, 0, 0}};
    std::vector<Vec3> hat = {{0, 2, 0}, {0.25f, 2.5f, 0}, {-0.25f, 2.5f, 0}};
    return form({
        tagsChunk({"Skin", "Hat"}),
        layrChunk(0, "Body"),
        pntsChunk(body),
        chunk("BBOX", f4(-1) + f4(0) + f4(0) + f4(1) + f4(1) + f4(0)),
        chunk("VMPA", be4(0) + be4(0)),
        vmapChunk("WGHT", 1, "LeftArm", {{0, {1.0f}}, {1, {0.5f}}, {2, {0.25f}}}),
        vmapChunk("MORF", 3, "LeftSmile", {{1, {0.0f, 0.125f, 0.0f}}, {4, {0.0f, 0.125f, 0.0f}}}),
        vmapChunk("PICK", 0, "Legs", {{2, {}}, {3, {}}}),
        polsChunk({{0, 1, 2}, {2, 3, 4, 5}}),
        ptagChunk("SURF", {{0, 0}, {1, 0}}),
        vmadChunk("TXUV", 2, "UV", {{2, 1, {0.5f, 0.5f}}}),
        chunk("XTRA", "odd"),
        layrChunk(1, "Hat", 0),
        pntsChunk(hat),
        vmapChunk("WGHT", 1, "HatWeight", {{0, {1.0f}}}),
        polsChunk({{0, 1, 2}}),
        ptagChunk("SURF", {{0, 1}}),
        surfChunk("Skin"),
        surfChunk("Hat"),
    });
}
