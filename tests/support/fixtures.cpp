#include "tests/support/fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

const std::string kNoWeightMapsText =
    "\x83\x45\x83\x46\x83\x43\x83\x67\x83\x7D\x83\x62\x83\x76\x82\xAA\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";

Object lineObject(std::initializer_list<float> xs) {
    Object object;
    Layer &layer = object.layers.emplace_back();
    layer.number = 1;
    for (float x : xs)
        layer.points.push_back({x, 0.0f, 0.0f});
    return object;
}

void paint(Layer &layer, LWID type, const std::string &name, uint32_t point, std::vector<float> value) {
    VertexMap *map = findMap(layer, type, name);
    if (!map) map = &addMap(layer, type, name, int(value.size()));
    setMapValue(*map, point, value.data(), int(value.size()));
}

MapContents contents(const Layer &layer) {
    MapContents result;
    for (const VertexMap &map : layer.maps)
        result[{map.type, map.name}] = mapValues(map);
    return result;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorvex-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
    dir = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool fileExists(const std::string &path) {
    return std::filesystem::exists(path);
}
