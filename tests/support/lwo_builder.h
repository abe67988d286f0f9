// Pieces of LWO2 files, written out byte by byte, for building test files and
// the bundled sample without the modeler's own writer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

typedef std::array<float, 3> Vec3;

std::string be2(uint32_t value);
std::string be4(uint32_t value);
std::string f4(float value);
std::string vx(uint32_t index);          // two bytes below 0xFF00, else four with the top byte 0xFF
std::string vx4(uint32_t index);         // always four bytes
std::string s0(const std::string &text); // terminated, padded to even

// A chunk: ID, four-byte length, body and a pad byte when the length is odd.
std::string chunk(const std::string &id, const std::string &body);
// A sub-chunk: ID, two-byte length, body and pad.
std::string subChunk(const std::string &id, const std::string &body);
// FORM, its size, LWO2 and the chunks.
std::string form(const std::vector<std::string> &chunks);
// The file with its FORM size set to its length less 8.
std::string withFormSize(std::string file);

std::string layrChunk(uint16_t number, const std::string &name, int parent = -1, uint16_t flags = 0,
                      Vec3 pivot = {0, 0, 0});
std::string pntsChunk(const std::vector<Vec3> &points);

struct VmapRecord {
    uint32_t point;
    std::vector<float> value;
};
std::string vmapChunk(const std::string &type, uint16_t dimension, const std::string &name,
                      const std::vector<VmapRecord> &records);

struct VmadRecord {
    uint32_t point;
    uint32_t polygon;
    std::vector<float> value;
};
std::string vmadChunk(const std::string &type, uint16_t dimension, const std::string &name,
                      const std::vector<VmadRecord> &records);

std::string polsChunk(const std::vector<std::vector<uint32_t>> &polygons, const std::string &type = "FACE");
std::string ptagChunk(const std::string &type, const std::vector<std::pair<uint32_t, uint16_t>> &tags);
std::string tagsChunk(const std::vector<std::string> &tags);
// A SURF with a grey COLR and a DIFF.
std::string surfChunk(const std::string &name);

// The top-level chunks of a file as they lie (header and pad included).
struct ChunkBytes {
    std::string id;
    size_t offset;
    std::string bytes;
};
std::vector<ChunkBytes> splitChunks(const std::string &file);

// A small file with most of what a real one holds: tags, two layers (the
// second a child of the first), weight, morph and selection maps, polygons,
// polygon tags, a per-polygon map, a surface and a chunk no reader knows.
// Points of the first layer lie at x = -1, -0.5, 0, 0, 0.5, 1.
std::string exampleFile();
