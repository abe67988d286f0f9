// The bundled sample: its generator still makes the committed file, and the
// file holds a mirrored figure with Left maps over both halves.
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "modeler/lwo.h"
#include "tests/support/fixtures.h"
#include "tests/support/paths.h"
#include "tests/support/tools.h"

namespace {

const std::string kSample = std::string(kSourceDir) + "/samples/figure.lwo";

constexpr LWID id(const char (&text)[5]) {
    return makeLWID(text[0], text[1], text[2], text[3]);
}

TEST(Sample, GeneratorMakesTheCommittedFile) {
    TempDir dir;
    std::string command = std::string(kBinaryDir) + "/samples/make_figure '" + dir.file("figure.lwo") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::string made = readFile(dir.file("figure.lwo"));
    EXPECT_FALSE(made.empty());
    EXPECT_TRUE(made == readFile(kSample)) << "run the sample_figure target and commit samples/figure.lwo";
}

TEST(Sample, IsAMirroredFigureWithLeftMapsOverBothHalves) {
    Object object;
    LwoError error;
    ASSERT_TRUE(readLwo(kSample, object, error)) << lwoErrorText(error);
    ASSERT_EQ(object.layers.size(), 1u);
    const Layer &layer = object.layers[0];
    EXPECT_GE(layer.points.size(), 200u);
    EXPECT_LE(layer.points.size(), 1000u);
    std::set<std::pair<LWID, std::string>> maps;
    for (const VertexMap &map : layer.maps)
        maps.insert({map.type, map.name});
    EXPECT_EQ(maps, (std::set<std::pair<LWID, std::string>>{
                        {id("WGHT"), "LeftArm"}, {id("WGHT"), "LeftLeg"}, {id("MORF"), "LeftSmile"}}));
    std::set<LWID> chunkIds;
    for (const LwoChunk &chunk : object.chunks)
        chunkIds.insert(chunk.id);
    for (LWID needed : {id("TAGS"), id("POLS"), id("PTAG"), id("SURF")})
        EXPECT_EQ(chunkIds.count(needed), 1u);

    std::map<Point, uint32_t> byPosition;
    for (uint32_t i = 0; i < layer.points.size(); ++i)
        byPosition[layer.points[i]] = i;
    for (const VertexMap &map : layer.maps) {
        SCOPED_TRACE(map.name);
        int sides[3] = {0, 0, 0}; // points with a value at x < 0, x = 0, x > 0
        for (const auto &entry : mapValues(map)) {
            const Point &p = layer.points[entry.first];
            ++sides[p[0] < 0 ? 0 : p[0] == 0 ? 1 : 2];
            // The mirror image carries the mirrored value.
            auto mirror = byPosition.find({-p[0], p[1], p[2]});
            ASSERT_NE(mirror, byPosition.end());
            const float *value = mapValue(map, mirror->second);
            ASSERT_NE(value, nullptr);
            std::vector<float> expected = entry.second;
            if (map.type == id("MORF")) expected[0] = -expected[0];
            EXPECT_EQ(std::vector<float>(value, value + map.dimension), expected);
        }
        EXPECT_GT(sides[0], 0);
        EXPECT_GT(sides[1], 0);
        EXPECT_GT(sides[2], 0);
    }
}

TEST(Sample, AnotherReaderLoadsIt) {
    if (!hasAssimp()) GTEST_SKIP() << "assimp is not installed";
    std::string output = commandOutput("assimp info '" + kSample + "' 2>&1");
    size_t at = output.find("\nFaces:");
    ASSERT_NE(at, std::string::npos) << output;
    // 256 quads and 12 octagons, as triangles
    EXPECT_EQ(std::stoul(output.substr(at + 7)), 256u * 2 + 12u * 6) << output;
}

} // namespace
