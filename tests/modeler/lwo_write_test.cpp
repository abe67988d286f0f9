// Writing LWO2 files: byte-identical round trips, edited maps written anew
// in their places, objects made in memory, and atomic saving.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

#include "modeler/host.h"
#include "modeler/lwo.h"
#include "tests/support/fixtures.h"
#include "tests/support/lwo_builder.h"
#include "tests/support/paths.h"
#include "tests/support/tools.h"

namespace fs = std::filesystem;

namespace {

constexpr LWID id(const char (&text)[5]) {
    return makeLWID(text[0], text[1], text[2], text[3]);
}

std::vector<std::string> sharedFiles() {
    std::vector<std::string> files;
    for (const auto &entry : fs::directory_iterator(kSharedLwoDir))
        if (entry.path().extension() == ".lwo") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// A file with a map in two chunks (each after a VMPA), one layer with two
// PNTS chunks, and one with data before any LAYR.
std::string splitMapFile() {
    return form({
        pntsChunk({{0, 0, 0}}),
        vmapChunk("WGHT", 1, "Lone", {{0, {1}}}),
        layrChunk(1, "Split"),
        pntsChunk({{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}}),
        chunk("VMPA", be4(0) + be4(1)),
        vmapChunk("WGHT", 1, "W", {{0, {0.1f}}, {2, {0.3f}}}),
        vmapChunk("MORF", 3, "M", {{1, {1, 2, 3}}}),
        chunk("VMPA", be4(0) + be4(2)),
        vmapChunk("WGHT", 1, "W", {{1, {0.2f}}}),
        polsChunk({{0, 1, 2}}),
        pntsChunk({{-2, 0, 0}, {2, 0, 0}}),
        vmapChunk("MORF", 3, "M", {{1, {4, 5, 6}}}),
        polsChunk({{0, 1, 0}}),
    });
}

Object read(const std::string &bytes) {
    Object object;
    LwoError error;
    EXPECT_TRUE(readLwoBytes(bytes, "test.lwo", object, error)) << lwoErrorText(error);
    return object;
}

std::string bytesOf(const Object &object) {
    std::string bytes;
    LwoError error;
    EXPECT_TRUE(lwoBytes(object, bytes, error)) << lwoErrorText(error);
    return bytes;
}

std::vector<std::string> chunkList(const std::string &file) {
    std::vector<std::string> list;
    for (const ChunkBytes &c : splitChunks(file))
        list.push_back(c.bytes);
    return list;
}

std::vector<MapContents> allContents(const Object &object) {
    std::vector<MapContents> all;
    for (const Layer &layer : object.layers)
        all.push_back(contents(layer));
    return all;
}

// A map change as a command makes it: a value, or none to clear the point.
struct Change {
    uint32_t point;
    LWID type;
    std::string name;
    std::vector<float> value;
};

// Makes the changes through the host's mesh edit on that layer and keeps them.
void editLayer(Object &object, size_t layer, const std::vector<Change> &changes) {
    Host host;
    host.object = &object;
    host.primaryLayer = layer;
    ActiveHost active(host);
    MeshEditOp *edit = hostModCommand()->editBegin(0, 0, EDLAYER_PRIMARY);
    ASSERT_NE(edit, nullptr);
    std::vector<LWPntID> ids;
    edit->pointScan(
        edit->state,
        [](void *data, const EDPointInfo *info) {
            static_cast<std::vector<LWPntID> *>(data)->push_back(info->pnt);
            return EDERR_NONE;
        },
        &ids, EDLAYER_PRIMARY);
    for (const Change &c : changes) {
        ASSERT_LT(c.point, ids.size());
        const float *value = c.value.empty() ? nullptr : c.value.data();
        EXPECT_EQ(
            edit->pntVMap(edit->state, ids[c.point], c.type, c.name.c_str(), int(c.value.size()), value),
            EDERR_NONE);
    }
    edit->done(edit->state, EDERR_NONE, 0);
}

TEST(LwoWrite, ReadingAndWritingWithoutEditsGivesTheSameBytes) {
    std::vector<std::pair<std::string, std::string>> files = {{"example", exampleFile()},
                                                              {"split maps", splitMapFile()}};
    for (const std::string &path : sharedFiles())
        files.push_back({path, readFile(path)});
    ASSERT_GE(files.size(), 8u);
    TempDir dir;
    for (const auto &file : files) {
        SCOPED_TRACE(file.first);
        Object object = read(file.second);
        EXPECT_EQ(bytesOf(object), file.second);
        LwoError error;
        ASSERT_TRUE(writeLwo(object, dir.file("out.lwo"), error)) << lwoErrorText(error);
        EXPECT_EQ(readFile(dir.file("out.lwo")), file.second);
    }
}

// The first layer of the example file with LeftArm changed at a point, every
// LeftSmile value cleared and a new map made: the two old maps are written in
// their places, the new one after the layer's last VMAP, all else as it was.
TEST(LwoWrite, EditedMapsAreWrittenInTheirPlacesAndAllElseAsItWas) {
    const std::string original = exampleFile();
    Object object = read(original);
    editLayer(object, 0,
              {{1, id("WGHT"), "LeftArm", {0.75f}},
               {1, id("MORF"), "LeftSmile", {}},
               {4, id("MORF"), "LeftSmile", {}},
               {5, id("WGHT"), "RightArm", {1.0f}},
               {4, id("WGHT"), "RightArm", {0.5f}}});
    std::vector<std::string> expected = chunkList(original);
    ASSERT_EQ(expected[5].substr(8, 4), "WGHT");
    ASSERT_EQ(expected[6].substr(8, 4), "MORF");
    ASSERT_EQ(expected[7].substr(8, 4), "PICK");
    expected[5] = vmapChunk("WGHT", 1, "LeftArm", {{0, {1.0f}}, {1, {0.75f}}, {2, {0.25f}}});
    expected[6] = vmapChunk("MORF", 3, "LeftSmile", {});
    expected.insert(expected.begin() + 8, vmapChunk("WGHT", 1, "RightArm", {{4, {0.5f}}, {5, {1.0f}}}));
    std::string written = bytesOf(object);
    EXPECT_EQ(chunkList(written), expected);
    EXPECT_EQ(written, form(expected));
    EXPECT_EQ(allContents(read(written)), allContents(object));
}

// Edits through the mesh edit on files from other programs and on built
// files: only the edited maps' VMAP chunks differ, the new ones come after
// the layer's last VMAP chunk, and reading the result gives the edit.
TEST(LwoWrite, OnlyTheEditedMapsChunksChange) {
    struct Case {
        std::string name;
        std::string file;
        size_t layer;
        std::vector<Change> changes;
        std::set<std::string> editedNames;
        size_t newMaps;
    };
    const std::vector<Case> cases = {
        {"hierarchy: weight changed, weight added",
         readFile(std::string(kSharedLwoDir) + "/hierarchy.lwo"),
         1,
         {{0, id("WGHT"), "Weight0", {0.5f}},
          {265, id("WGHT"), "Weight0", {}},
          {3, id("WGHT"), "Weight1", {0.25f}}},
         {"Weight0", "Weight1"},
         1},
        {"patches: a weight map where there was none",
         readFile(std::string(kSharedLwoDir) + "/Subdivision.lwo"),
         0,
         {{2, id("WGHT"), "Fresh", {1.0f}}},
         {"Fresh"},
         1},
        {"vertex colours: a colour changed",
         readFile(std::string(kSharedLwoDir) + "/UglyVertexColors.lwo"),
         0,
         {{0, id("RGB "), "MyVColor", {0.25f, 0.5f, 0.75f}}},
         {"MyVColor"},
         0},
        {"example: the second layer's map",
         exampleFile(),
         1,
         {{2, id("WGHT"), "HatWeight", {0.5f}}},
         {"HatWeight"},
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Object object = read(c.file);
        editLayer(object, c.layer, c.changes);
        std::string written = bytesOf(object);
        auto unedited = [&](const std::string &file) {
            std::vector<std::string> kept;
            for (const std::string &bytes : chunkList(file)) {
                bool edited = false;
                for (const std::string &name : c.editedNames)
                    edited = edited || (bytes.substr(0, 4) == "VMAP" &&
                                        bytes.substr(14, name.size() + 1) == name + '\0');
                if (!edited) kept.push_back(bytes);
            }
            return kept;
        };
        EXPECT_EQ(unedited(written), unedited(c.file));
        EXPECT_EQ(chunkList(written).size(), chunkList(c.file).size() + c.newMaps);
        Object again = read(written);
        EXPECT_EQ(allContents(again), allContents(object));
        EXPECT_EQ(bytesOf(again), written);
    }
}

TEST(LwoWrite, NewMapsFollowThePntsWhenALayerHadNoMaps) {
    const std::string original = form({layrChunk(0, "L"), pntsChunk({{0, 0, 0}, {1, 0, 0}}),
                                       chunk("BBOX", std::string(24, '\0')), polsChunk({{0, 1}})});
    Object object = read(original);
    editLayer(object, 0, {{1, id("WGHT"), "W", {0.5f}}});
    std::vector<std::string> expected = chunkList(original);
    expected.insert(expected.begin() + 2, vmapChunk("WGHT", 1, "W", {{1, {0.5f}}}));
    EXPECT_EQ(chunkList(bytesOf(object)), expected);
}

// A changed map kept in two chunks of one group is written as one chunk in
// the place of the first; the second goes, with the VMPA in front of it.
// Values of points of a later PNTS chunk go after that chunk.
TEST(LwoWrite, ChunksOfOneMapAreMergedAndGroupsKeptApart) {
    const std::string original = splitMapFile();
    Object object = read(original);
    Layer &layer = object.layers[1];
    ASSERT_EQ(layer.pointGroups, (std::vector<uint32_t>{0, 3}));
    editLayer(object, 1,
              {{1, id("WGHT"), "W", {0.5f}}, {4, id("WGHT"), "W", {0.75f}}, {3, id("MORF"), "M", {7, 8, 9}}});
    std::vector<std::string> chunks = chunkList(original);
    std::vector<std::string> expected = {
        chunks[0],
        chunks[1],
        chunks[2],
        chunks[3],
        chunks[4],
        vmapChunk("WGHT", 1, "W", {{0, {0.1f}}, {1, {0.5f}}, {2, {0.3f}}}),
        vmapChunk("MORF", 3, "M", {{1, {1, 2, 3}}}),
        chunks[9],                                                   // POLS
        chunks[10],                                                  // PNTS of the second group
        vmapChunk("MORF", 3, "M", {{0, {7, 8, 9}}, {1, {4, 5, 6}}}), // counted from that PNTS
        vmapChunk("WGHT", 1, "W", {{1, {0.75f}}}),
        chunks[12],
    };
    std::string written = bytesOf(object);
    EXPECT_EQ(chunkList(written), expected);
    EXPECT_EQ(allContents(read(written)), allContents(object));
}

TEST(LwoWrite, ObjectMadeInMemoryIsWrittenAsLayersPointsAndMaps) {
    Object object = lineObject({-1, 0, 1});
    Layer &first = object.layers[0];
    first.name = "Odd";
    first.pivot = {1, 2, 3};
    first.flags = 1;
    paint(first, id("WGHT"), "LeftArm", 2, {0.5f});
    paint(first, id("WGHT"), "LeftArm", 0, {0.25f});
    paint(first, id("PICK"), "Set", 1, {});
    Layer &second = object.layers.emplace_back();
    second.number = 5;
    second.name = "Even";
    second.parent = 1;
    second.points = {{4, 5, 6}};
    paint(second, id("MORF"), "Mo", 0, {1, 2, 3});
    const std::string expected = form({
        layrChunk(1, "Odd", -1, 1, {1, 2, 3}),
        pntsChunk({{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}}),
        vmapChunk("WGHT", 1, "LeftArm", {{0, {0.25f}}, {2, {0.5f}}}),
        vmapChunk("PICK", 0, "Set", {{1, {}}}),
        layrChunk(5, "Even", 1),
        pntsChunk({{4, 5, 6}}),
        vmapChunk("MORF", 3, "Mo", {{0, {1, 2, 3}}}),
    });
    EXPECT_EQ(bytesOf(object), expected);
    EXPECT_EQ(bytesOf(Object()), form({}));
}

// Indices below 0xFF00 take two bytes and the others four, in point order.
TEST(LwoWrite, IndexFormFollowsTheIndex) {
    Object object = lineObject({});
    Layer &layer = object.layers[0];
    layer.points.assign(0xFF10, Point{0, 0, 0});
    for (uint32_t point : {0xFF05u, 3u, 0xFEFFu, 0xFF00u})
        paint(layer, id("WGHT"), "W", point, {float(point)});
    std::string written = bytesOf(object);
    std::string expected = vmapChunk(
        "WGHT", 1, "W",
        {{3, {3.0f}}, {0xFEFF, {float(0xFEFF)}}, {0xFF00, {float(0xFF00)}}, {0xFF05, {float(0xFF05)}}});
    ASSERT_GE(written.size(), expected.size());
    EXPECT_EQ(written.substr(written.size() - expected.size()), expected);
    EXPECT_EQ(expected.size(), 8 + 8 + 2 * 6 + 2 * 8);
    EXPECT_EQ(contents(read(written).layers[0]), contents(layer));
}

TEST(LwoWrite, RefusesWhatTheFormatCannotHold) {
    struct Case {
        std::string name;
        void (*spoil)(Object &object);
    };
    const Case cases[] = {
        {"map name with a NUL",
         [](Object &o) { paint(o.layers[0], id("WGHT"), std::string("a\0b", 3), 0, {1}); }},
        {"layer name with a NUL", [](Object &o) { o.layers[0].name = std::string("a\0b", 3); }},
        {"layer number too large", [](Object &o) { o.layers[0].number = 0x10000; }},
        {"map dimension too large", [](Object &o) { addMap(o.layers[0], id("WGHT"), "Big", 0x10000); }},
    };
    TempDir dir;
    const std::string target = dir.file("target.lwo");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(target, "before");
        Object object = lineObject({0, 1});
        c.spoil(object);
        LwoError error;
        EXPECT_FALSE(writeLwo(object, target, error));
        EXPECT_EQ(error.fault, LwoFault::CannotEncode);
        EXPECT_EQ(lwoErrorText(error).rfind(target + ": cannot be written as LWO2: ", 0), 0u);
        EXPECT_EQ(readFile(target), "before");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
    // A layer added to an object read from a file has no place in it.
    Object fromFile = read(exampleFile());
    fromFile.layers.emplace_back().points.push_back({0, 0, 0});
    std::string bytes;
    LwoError error;
    EXPECT_FALSE(lwoBytes(fromFile, bytes, error));
    EXPECT_EQ(error.fault, LwoFault::CannotEncode);
}

TEST(LwoWrite, SavingReplacesTheFileWholeKeepingItsPermissionsAndLinks) {
    TempDir dir;
    const std::string target = dir.file("figure.lwo");
    writeFile(target, "an older and longer file than the new one");
    chmod(target.c_str(), 0640);
    fs::create_symlink(target, dir.file("link.lwo"));
    Object object = lineObject({0});
    LwoError error;
    ASSERT_TRUE(writeLwo(object, dir.file("link.lwo"), error)) << lwoErrorText(error);
    EXPECT_EQ(readFile(target), bytesOf(object));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.lwo")));
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(LwoWrite, FailedSavesLeaveEverythingAsItWas) {
    TempDir dir;
    fs::create_directory(dir.file("folder"));
    writeFile(dir.file("folder/inside"), "kept");
    const std::string targets[] = {dir.file("no such folder/out.lwo"), dir.file("folder")};
    for (const std::string &target : targets) {
        SCOPED_TRACE(target);
        LwoError error;
        EXPECT_FALSE(writeLwo(lineObject({0}), target, error));
        EXPECT_EQ(error.fault, LwoFault::CannotWrite);
        EXPECT_EQ(lwoErrorText(error).rfind(target + ": cannot be written: ", 0), 0u) << lwoErrorText(error);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
        EXPECT_EQ(readFile(dir.file("folder/inside")), "kept");
    }
}

// Another program's reader loads what we wrote after an edit, with the same
// point and face counts as the original.
TEST(LwoWrite, AnotherReaderLoadsEditedFiles) {
    if (!hasAssimp()) GTEST_SKIP() << "assimp is not installed";
    TempDir dir;
    std::vector<std::string> files = sharedFiles();
    // That reader does not skip the pad byte of a chunk it does not know, so
    // the example goes without its odd-length chunk.
    std::vector<std::string> chunks;
    for (const std::string &bytes : chunkList(exampleFile()))
        if (bytes.substr(0, 4) != "XTRA") chunks.push_back(bytes);
    writeFile(dir.file("example.lwo"), form(chunks));
    files.push_back(dir.file("example.lwo"));
    for (const std::string &path : files) {
        SCOPED_TRACE(path);
        Object object;
        LwoError error;
        ASSERT_TRUE(readLwo(path, object, error)) << lwoErrorText(error);
        editLayer(object, 0, {{0, id("WGHT"), "Added", {0.5f}}, {1, id("WGHT"), "Added", {1.0f}}});
        const std::string edited = dir.file("edited.lwo");
        ASSERT_TRUE(writeLwo(object, edited, error)) << lwoErrorText(error);
        std::string before = assimpCounts(path);
        EXPECT_NE(before, "");
        EXPECT_EQ(assimpCounts(edited), before);
    }
}

} // namespace
