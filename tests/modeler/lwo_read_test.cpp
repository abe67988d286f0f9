// Reading LWO2 files: real files from other programs, files built here, and
// files that are not valid LWO2.
#include <gtest/gtest.h>
#include <random>
#include <set>

#include "modeler/lwo.h"
#include "tests/support/fixtures.h"
#include "tests/support/lwo_builder.h"
#include "tests/support/paths.h"

namespace {

constexpr LWID id(const char (&text)[5]) {
    return makeLWID(text[0], text[1], text[2], text[3]);
}

Object readBytes(const std::string &bytes) {
    Object object;
    LwoError error;
    EXPECT_TRUE(readLwoBytes(bytes, "test.lwo", object, error)) << lwoErrorText(error);
    return object;
}

std::string sharedFile(const std::string &name) {
    return std::string(kSharedLwoDir) + "/" + name;
}

struct MapFacts {
    size_t layer;
    LWID type;
    std::string name;
    int dimension;
    uint32_t points; // with a value
};

struct SharedFacts {
    std::string file;
    std::vector<size_t> points; // a layer
    std::vector<MapFacts> maps;
};

const SharedFacts kSharedFacts[] = {
    {"hierarchy.lwo",
     {8, 266, 8, 8},
     {{1, id("WGHT"), "Weight=", 1, 266}, {1, id("WGHT"), "Weight0", 1, 266}}},
    {"box_2vc_1unused.lwo",
     {218},
     {{0, id("TXUV"), "testUV0", 2, 218},
      {0, id("TXUV"), "testUV1", 2, 218},
      {0, id("RGBA"), "Vertex Color 0", 4, 218},
      {0, id("RGBA"), "Vertex Color_Unused", 4, 218}}},
    {"UglyVertexColors.lwo",
     {1628},
     {{0, id("RGB "), "MyVColor", 3, 830}, {0, id("TXUV"), "Texture", 2, 266}}},
    {"ModoExport_vertNormals.lwo", {266}, {{0, id("NORM"), "vert_normals", 3, 266}}},
    {"boxuv.lwo", {24}, {{0, id("TXUV"), "Texture", 2, 24}}},
    {"Subdivision.lwo", {26}, {}},
};

TEST(LwoRead, FilesFromOtherProgramsGiveTheirLayersPointsAndMaps) {
    for (const SharedFacts &facts : kSharedFacts) {
        SCOPED_TRACE(facts.file);
        Object object;
        LwoError error;
        ASSERT_TRUE(readLwo(sharedFile(facts.file), object, error)) << lwoErrorText(error);
        ASSERT_EQ(object.layers.size(), facts.points.size());
        size_t mapCount = 0;
        for (size_t l = 0; l < object.layers.size(); ++l) {
            EXPECT_EQ(object.layers[l].points.size(), facts.points[l]);
            mapCount += object.layers[l].maps.size();
        }
        EXPECT_EQ(mapCount, facts.maps.size());
        for (const MapFacts &expected : facts.maps) {
            const VertexMap *map = findMap(object.layers[expected.layer], expected.type, expected.name);
            ASSERT_NE(map, nullptr) << expected.name;
            EXPECT_EQ(map->dimension, expected.dimension);
            EXPECT_EQ(countValues(*map), expected.points);
            EXPECT_FALSE(map->changed);
        }
        // The chunks cover the file after the FORM header, in order.
        size_t at = 12;
        for (const LwoChunk &chunk : object.chunks) {
            EXPECT_EQ(chunk.offset, at);
            at += chunk.size;
        }
        EXPECT_EQ(at, object.source.size());
    }
}

TEST(LwoRead, LayerHeadersAndValuesAsWritten) {
    Object object;
    LwoError error;
    ASSERT_TRUE(readLwo(sharedFile("hierarchy.lwo"), object, error)) << lwoErrorText(error);
    struct Expected {
        int number;
        std::string name;
        int parent;
        Point pivot;
    };
    const Expected expected[] = {{3, "ChildOfRoot0", 4, {0, 0, 0}},
                                 {4, "RootOfHierarchy", -1, {0, 0, 0}},
                                 {2, "GrandChildOfRoot0", 3, {0.8f, 0, 1.35f}},
                                 {1, "ChildOfRoot1", 4, {-2.75f, 0, -0.85f}}};
    ASSERT_EQ(object.layers.size(), 4u);
    for (size_t l = 0; l < 4; ++l) {
        EXPECT_EQ(object.layers[l].number, expected[l].number);
        EXPECT_EQ(object.layers[l].name, expected[l].name);
        EXPECT_EQ(object.layers[l].parent, expected[l].parent);
        EXPECT_EQ(object.layers[l].pivot, expected[l].pivot);
    }
    const VertexMap *uv = nullptr;
    ASSERT_TRUE(readLwo(sharedFile("boxuv.lwo"), object, error));
    uv = findMap(object.layers[0], id("TXUV"), "Texture");
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(mapValues(*uv).at(0), (std::vector<float>{0.32725638151168823f, 0.006543584167957306f}));
    EXPECT_EQ(object.layers[0].points[0], (Point{-0.5f, -0.5f, -0.5f}));
}

TEST(LwoRead, BuiltFileGivesItsLayersMapsAndChunkOwners) {
    Object object = readBytes(exampleFile());
    ASSERT_EQ(object.layers.size(), 2u);
    const Layer &body = object.layers[0];
    EXPECT_EQ(body.name, "Body");
    EXPECT_EQ(body.points.size(), 6u);
    EXPECT_EQ(object.layers[1].parent, 0);
    MapContents expected = {
        {{id("WGHT"), "LeftArm"}, {{0, {1.0f}}, {1, {0.5f}}, {2, {0.25f}}}},
        {{id("MORF"), "LeftSmile"}, {{1, {0, 0.125f, 0}}, {4, {0, 0.125f, 0}}}},
        {{id("PICK"), "Legs"}, {{2, {}}, {3, {}}}},
    };
    EXPECT_EQ(contents(body), expected);
    EXPECT_EQ(contents(object.layers[1]), (MapContents{{{id("WGHT"), "HatWeight"}, {{0, {1.0f}}}}}));
    // Each VMAP chunk names the layer and map it fed.
    for (const LwoChunk &chunk : object.chunks) {
        if (chunk.id != id("VMAP")) continue;
        ASSERT_LT(chunk.layer, object.layers.size());
        const Layer &layer = object.layers[chunk.layer];
        ASSERT_LT(chunk.map, layer.maps.size());
        std::string bytes = object.source.substr(chunk.offset, chunk.size);
        EXPECT_NE(bytes.find(layer.maps[chunk.map].name), std::string::npos);
        EXPECT_EQ(chunk.group, 0u);
    }
}

TEST(LwoRead, PointsAndMapsBeforeAnyLayrMakeADefaultLayer) {
    Object object = readBytes(form({
        pntsChunk({{1, 0, 0}, {2, 0, 0}}),
        vmapChunk("WGHT", 1, "W", {{1, {0.5f}}}),
        layrChunk(7, "Named"),
        pntsChunk({{3, 0, 0}}),
    }));
    ASSERT_EQ(object.layers.size(), 2u);
    EXPECT_EQ(object.layers[0].number, 0);
    EXPECT_EQ(object.layers[0].name, "");
    EXPECT_EQ(object.layers[0].parent, -1);
    EXPECT_EQ(object.layers[0].points.size(), 2u);
    EXPECT_EQ(contents(object.layers[0]), (MapContents{{{id("WGHT"), "W"}, {{1, {0.5f}}}}}));
    EXPECT_EQ(object.layers[1].number, 7);
    EXPECT_EQ(object.layers[1].points.size(), 1u);
}

TEST(LwoRead, VmapChunksOfOneTypeAndNameAreOneMapWithLaterValuesWinning) {
    Object object = readBytes(form({
        layrChunk(0, "L"),
        pntsChunk({{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}}),
        vmapChunk("WGHT", 1, "W", {{0, {0.1f}}, {1, {0.2f}}}),
        vmapChunk("MORF", 3, "W", {{0, {1, 2, 3}}}),
        vmapChunk("WGHT", 1, "W", {{1, {0.7f}}, {2, {0.3f}}}),
    }));
    const Layer &layer = object.layers[0];
    EXPECT_EQ(layer.maps.size(), 2u);
    EXPECT_EQ(contents(layer), (MapContents{{{id("WGHT"), "W"}, {{0, {0.1f}}, {1, {0.7f}}, {2, {0.3f}}}},
                                            {{id("MORF"), "W"}, {{0, {1, 2, 3}}}}}));
    std::vector<uint32_t> mapOfChunk;
    for (const LwoChunk &chunk : object.chunks)
        if (chunk.id == id("VMAP")) mapOfChunk.push_back(chunk.map);
    EXPECT_EQ(mapOfChunk, (std::vector<uint32_t>{0, 1, 0}));
}

TEST(LwoRead, IndexFormsDimensionZeroAndPolygonFlags) {
    Object object = readBytes(form({
        layrChunk(0, "L"), pntsChunk({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}),
        chunk("VMAP", "WGHT" + be2(1) + s0("W") + vx4(2) + f4(0.5f) + vx(0) + f4(0.25f)),
        vmapChunk("PICK", 0, "Set", {{1, {}}}),
        chunk("POLS", "FACE" + be2(0xFC00 | 3) + vx(0) + vx4(1) + vx(2)), // flag bits above the count
    }));
    const Layer &layer = object.layers[0];
    EXPECT_EQ(contents(layer), (MapContents{{{id("WGHT"), "W"}, {{0, {0.25f}}, {2, {0.5f}}}},
                                            {{id("PICK"), "Set"}, {{1, {}}}}}));
    EXPECT_EQ(findMap(layer, id("PICK"), "Set")->dimension, 0);
}

TEST(LwoRead, MapRecordsCountFromTheLatestPntsOfTheLayer) {
    Object object = readBytes(form({
        layrChunk(0, "L"),
        pntsChunk({{0, 0, 0}, {1, 0, 0}}),
        vmapChunk("WGHT", 1, "W", {{1, {0.5f}}}),
        pntsChunk({{2, 0, 0}, {3, 0, 0}, {4, 0, 0}}),
        vmapChunk("WGHT", 1, "W", {{0, {0.75f}}}),
        polsChunk({{0, 1, 2}}),
    }));
    const Layer &layer = object.layers[0];
    EXPECT_EQ(layer.points.size(), 5u);
    EXPECT_EQ(layer.pointGroups, (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(contents(layer), (MapContents{{{id("WGHT"), "W"}, {{1, {0.5f}}, {2, {0.75f}}}}}));
}

struct BadFile {
    std::string name;
    std::string file;
    LwoFault fault;
    std::string chunk;
    uint64_t chunkOffset;
    uint64_t offset;
};

size_t totalSize(const std::vector<std::string> &chunks) {
    size_t size = 0;
    for (const std::string &c : chunks)
        size += c.size();
    return size;
}

// A file of the good chunks followed by a bad one whose fault lies within
// bytes into it.
BadFile afterGood(const std::string &name, std::vector<std::string> good, const std::string &bad,
                  size_t within, LwoFault fault) {
    size_t chunkOffset = 12 + totalSize(good);
    good.push_back(bad);
    return {name, form(good), fault, bad.substr(0, 4), chunkOffset, chunkOffset + within};
}

std::vector<BadFile> badFiles() {
    const std::string layer = layrChunk(0, "L");
    const std::string points = pntsChunk({{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}});
    const std::vector<std::string> good = {layer, points};
    const std::string valid = form(good);
    std::string tooLong = valid;
    tooLong.replace(4, 4, be4(uint32_t(valid.size() - 7)));
    std::string lwob = valid;
    lwob.replace(8, 4, "LWOB");
    const size_t end = valid.size();
    const std::string weight = "WGHT" + be2(1) + s0("W");
    const std::string face = polsChunk({{0, 1, 2}});
    return {
        {"empty file", "", LwoFault::NotForm, "", 0, 0},
        {"not a FORM", "RIFF" + valid.substr(4), LwoFault::NotForm, "RIFF", 0, 0},
        {"FORM of another type", lwob, LwoFault::NotLwo2, "FORM", 0, 8},
        {"FORM size past the end", tooLong, LwoFault::FormSize, "FORM", 0, 4},
        {"FORM size short of the end", valid + "XX", LwoFault::FormSize, "FORM", 0, 4},
        {"FORM header cut", std::string("FORM\0\0", 6), LwoFault::ChunkHeaderCut, "FORM", 0, 0},
        {"no form type", withFormSize(std::string("FORM\0\0\0\0LW", 10)), LwoFault::NotLwo2, "FORM", 0, 8},
        {"chunk header cut", withFormSize(valid + std::string("PNTS\0", 5)), LwoFault::ChunkHeaderCut, "PNTS",
         end, end},
        {"chunk ID cut", withFormSize(valid + "PN"), LwoFault::ChunkHeaderCut, "", end, end},
        {"chunk past the end", withFormSize(valid + "PNTS" + be4(24) + std::string(12, '\0')),
         LwoFault::ChunkPastEnd, "PNTS", end, end},
        {"huge chunk length", withFormSize(valid + "PNTS" + be4(0xFFFFFFF0u) + std::string(12, '\0')),
         LwoFault::ChunkPastEnd, "PNTS", end, end},
        {"pad byte missing", withFormSize(valid + "XTRA" + be4(3) + "abc"), LwoFault::PadMissing, "XTRA", end,
         end + 11},
        {"sub-chunk past its chunk",
         withFormSize(valid + chunk("SURF", s0("S") + s0("") + "COLR" + be2(200) + f4(1))),
         LwoFault::SubChunkPastEnd, "SURF", end, end + 12},
        afterGood("sub-chunk header cut", good, chunk("SURF", s0("S") + s0("") + "CO"), 12,
                  LwoFault::SubChunkPastEnd),
        afterGood("sub-chunk pad past its chunk", good,
                  chunk("SURF", s0("S") + s0("") + "FLAG" + be2(1) + "x"), 12, LwoFault::SubChunkPastEnd),
        afterGood("surface source name unterminated", good, chunk("SURF", s0("S") + "src"), 10,
                  LwoFault::NameUnterminated),
        afterGood("map name unterminated", good, chunk("VMAP", "WGHT" + be2(1) + "abc"), 14,
                  LwoFault::NameUnterminated),
        afterGood("layer name unterminated", {}, chunk("LAYR", std::string(16, '\0') + "abc"), 24,
                  LwoFault::NameUnterminated),
        afterGood("tag unterminated", {}, chunk("TAGS", s0("a") + "bc"), 10, LwoFault::NameUnterminated),
        afterGood("map header short", good, chunk("VMAP", "WGHT" + be2(1).substr(0, 1)), 8,
                  LwoFault::ChunkTooShort),
        afterGood("layer header short", {}, chunk("LAYR", std::string(10, '\0')), 8, LwoFault::ChunkTooShort),
        afterGood("clip header short", {}, chunk("CLIP", be2(1)), 8, LwoFault::ChunkTooShort),
        afterGood("points not a multiple of 12", {layer}, chunk("PNTS", std::string(13, '\0')), 0,
                  LwoFault::PointsSize),
        afterGood("map before any points", {}, vmapChunk("WGHT", 1, "W", {}), 0, LwoFault::NoPoints),
        afterGood("polygons in a layer without points", {layer, points, layrChunk(1, "M")}, face, 0,
                  LwoFault::NoPoints),
        afterGood("polygon tag before any polygons", good, ptagChunk("SURF", {{0, 0}}), 12,
                  LwoFault::NoPolygons),
        afterGood("map record cut in its values", good,
                  chunk("VMAP", weight + vx(0) + f4(1) + vx(1) + be2(0)), 22, LwoFault::RecordCut),
        afterGood("short index cut", good, chunk("VMAP", weight + "\x01"), 16, LwoFault::RecordCut),
        afterGood("long index cut", good, chunk("VMAP", weight + std::string("\xFF\x00\x01", 3)), 16,
                  LwoFault::RecordCut),
        afterGood("polygon vertices cut", good, chunk("POLS", "FACE" + be2(3) + vx(0) + vx(1)), 18,
                  LwoFault::RecordCut),
        afterGood("map index equal to the point count", good, vmapChunk("WGHT", 1, "W", {{3, {1}}}), 16,
                  LwoFault::PointIndex),
        afterGood("long map index beyond the points", good, chunk("VMAP", weight + vx4(0x123456) + f4(1)), 16,
                  LwoFault::PointIndex),
        afterGood("polygon vertex beyond the points", good, polsChunk({{0, 1, 3}}), 18, LwoFault::PointIndex),
        afterGood("per-polygon map point beyond the points", {layer, points, face},
                  vmadChunk("TXUV", 2, "uv", {{3, 0, {0, 0}}}), 18, LwoFault::PointIndex),
        afterGood("per-polygon map polygon beyond the polygons", {layer, points, face},
                  vmadChunk("TXUV", 2, "uv", {{0, 1, {0, 0}}}), 18, LwoFault::PolygonIndex),
        afterGood("polygon tag beyond the polygons", {layer, points, face}, ptagChunk("SURF", {{1, 0}}), 12,
                  LwoFault::PolygonIndex),
        afterGood("polygon of no vertices", good, chunk("POLS", "FACE" + be2(0xFC00)), 12,
                  LwoFault::EmptyPolygon),
        afterGood("one map of two dimensions", {layer, points, vmapChunk("WGHT", 1, "W", {{0, {1}}})},
                  vmapChunk("WGHT", 3, "W", {}), 12, LwoFault::DimensionMismatch),
    };
}

TEST(LwoRead, RefusesBadFilesNamingChunkAndOffset) {
    for (const BadFile &bad : badFiles()) {
        SCOPED_TRACE(bad.name);
        Object object = readBytes(exampleFile());
        LwoError error;
        EXPECT_FALSE(readLwoBytes(bad.file, "bad.lwo", object, error));
        EXPECT_EQ(error.fault, bad.fault);
        EXPECT_EQ(error.chunk, bad.chunk);
        EXPECT_EQ(error.chunkOffset, bad.chunkOffset);
        EXPECT_EQ(error.offset, bad.offset);
        EXPECT_TRUE(object.layers.empty() && object.chunks.empty() && object.source.empty());
        std::string text = lwoErrorText(error);
        EXPECT_EQ(text.rfind("bad.lwo: ", 0), 0u) << text;
        EXPECT_NE(text.find(bad.chunk), std::string::npos) << text;
        EXPECT_NE(text.find("byte " + std::to_string(bad.offset)), std::string::npos) << text;
    }
}

TEST(LwoRead, ErrorTextsDifferByFault) {
    std::set<std::string> texts;
    for (const BadFile &bad : badFiles()) {
        Object object;
        LwoError error;
        readLwoBytes(bad.file, "bad.lwo", object, error);
        error.offset = error.chunkOffset = error.value = error.limit = 0; // leave only the words
        error.chunk = error.subChunk = "";
        texts.insert(lwoErrorText(error));
    }
    std::set<LwoFault> faults;
    for (const BadFile &bad : badFiles())
        faults.insert(bad.fault);
    EXPECT_EQ(texts.size(), faults.size());
}

// Maps keep a slot for every point up to their highest, so many sparse maps
// on many points are refused once they would take far more memory than the
// file's size warrants; a few hundred of them on 20000 points still read.
TEST(LwoRead, SparseMapsOutOfAllProportionToTheFileAreRefused) {
    const uint32_t pointCount = 20000;
    auto sparseFile = [&](int mapCount) {
        std::vector<std::string> chunks = {layrChunk(0, "L"), pntsChunk(std::vector<Vec3>(pointCount))};
        for (int m = 0; m < mapCount; ++m)
            chunks.push_back(vmapChunk("WGHT", 1, "W" + std::to_string(m), {{pointCount - 1, {1.0f}}}));
        return form(chunks);
    };
    Object object;
    LwoError error;
    EXPECT_TRUE(readLwoBytes(sparseFile(300), "sparse.lwo", object, error)) << lwoErrorText(error);
    EXPECT_EQ(object.layers[0].maps.size(), 300u);
    EXPECT_FALSE(readLwoBytes(sparseFile(600), "sparse.lwo", object, error));
    EXPECT_EQ(error.fault, LwoFault::TooLarge);
    EXPECT_EQ(error.chunk, "VMAP");
}

// Every prefix of a valid file is refused; with its FORM size made to match,
// a prefix that ends at a chunk boundary is a valid file and every other one
// is still refused.
TEST(LwoRead, EveryTruncationIsRefusedUnlessItEndsAtAChunk) {
    const std::string file = exampleFile();
    std::set<size_t> boundaries = {12};
    for (const ChunkBytes &c : splitChunks(file))
        boundaries.insert(c.offset + c.bytes.size());
    for (size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE(length);
        std::string prefix = file.substr(0, length);
        Object object;
        LwoError error;
        EXPECT_FALSE(readLwoBytes(prefix, "cut.lwo", object, error));
        if (length < 12) continue;
        prefix = withFormSize(prefix);
        bool read = readLwoBytes(prefix, "cut.lwo", object, error);
        EXPECT_EQ(read, boundaries.count(length) == 1) << lwoErrorText(error);
        std::string written;
        if (!read) continue;
        EXPECT_TRUE(lwoBytes(object, written, error) && written == prefix);
    }
}

// Single-byte changes with a fixed seed: each file is read or refused, and a
// file that is read gives its bytes back.
TEST(LwoRead, ChangedBytesAreReadOrRefusedButNeverMisread) {
    const std::string file = exampleFile();
    std::mt19937 random(12345);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string changed = file;
        size_t at = 8 + random() % (file.size() - 8);
        changed[at] = char(random() & 0xFF);
        Object object;
        LwoError error;
        if (!readLwoBytes(changed, "changed.lwo", object, error)) {
            ++refused;
            EXPECT_NE(error.fault, LwoFault::None);
            continue;
        }
        std::string written;
        ASSERT_TRUE(lwoBytes(object, written, error)) << lwoErrorText(error);
        EXPECT_EQ(written, changed);
    }
    EXPECT_GT(refused, 0);
}

TEST(LwoRead, FilesThatCannotBeReadNameThemselves) {
    TempDir dir;
    const std::string missing = dir.file("missing.lwo");
    for (const std::string &path : {missing, dir.path()}) {
        Object object;
        LwoError error;
        EXPECT_FALSE(readLwo(path, object, error));
        EXPECT_EQ(error.fault, LwoFault::CannotOpen);
        EXPECT_EQ(lwoErrorText(error).rfind(path + ": cannot be read: ", 0), 0u) << lwoErrorText(error);
    }
}

} // namespace
