// The modeler's mesh edit: reads see earlier writes, done keeps or undoes.
#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace {

LWPntID point(uint32_t index) {
    return reinterpret_cast<LWPntID>(uintptr_t(index) + 1);
}

struct EditFixture {
    Object object = lineObject({-1, 0, 1});
    Host host;
    EditFixture() {
        paint(object.layers[0], LWVMAP_WGHT, "LeftArm", 0, {0.5f});
        paint(object.layers[0], LWVMAP_WGHT, "LeftArm", 2, {0.25f});
        host.object = &object;
    }
};

TEST(MeshEdit, ReadsSeeWritesOfTheSameEdit) {
    EditFixture f;
    ActiveHost active(f.host);
    MeshEditOp *edit = hostModCommand()->editBegin(0, 0, 0);
    ASSERT_NE(edit, nullptr);
    const float value[3] = {0.75f, 0, 0};
    edit->pntVMap(edit->state, point(1), LWVMAP_WGHT, "RightArm", 1, value);
    float read[3] = {9, 9, 9};
    void *handle = edit->pointVSet(edit->state, nullptr, LWVMAP_WGHT, "RightArm");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(edit->pointVGet(edit->state, point(1), read), 1);
    EXPECT_EQ(read[0], 0.75f);
    EXPECT_EQ(edit->pointVGet(edit->state, point(0), read), 0);
    edit->pntVMap(edit->state, point(1), LWVMAP_WGHT, "RightArm", 1, nullptr);
    EXPECT_EQ(edit->pointVSet(edit->state, handle, 0, nullptr), handle);
    EXPECT_EQ(edit->pointVGet(edit->state, point(1), read), 0);
    EXPECT_EQ(edit->pointVSet(edit->state, nullptr, LWVMAP_WGHT, "NoSuchMap"), nullptr);
    EXPECT_EQ(edit->pointVGet(edit->state, point(0), read), 0);
    edit->done(edit->state, EDERR_NONE, 0);
    EXPECT_EQ(f.host.stats.editsKept, 1);
}

TEST(MeshEdit, DoneWithAnErrorRestoresTheObject) {
    EditFixture f;
    MapContents before = contents(f.object.layers[0]);
    size_t mapsBefore = f.object.layers[0].maps.size();
    ActiveHost active(f.host);
    MeshEditOp *edit = hostModCommand()->editBegin(0, 0, 0);
    ASSERT_NE(edit, nullptr);
    const float value[3] = {0.1f, 0, 0};
    edit->pntVMap(edit->state, point(0), LWVMAP_WGHT, "LeftArm", 1, nullptr);
    edit->pntVMap(edit->state, point(2), LWVMAP_WGHT, "LeftArm", 1, value);
    edit->pntVMap(edit->state, point(1), LWVMAP_WGHT, "LeftArm", 1, value);
    edit->pntVMap(edit->state, point(0), LWVMAP_WGHT, "RightArm", 1, value);
    edit->pntVMap(edit->state, point(0), LWVMAP_WGHT, "RightArm", 1, nullptr);
    edit->done(edit->state, 1, 0);
    EXPECT_EQ(contents(f.object.layers[0]), before);
    EXPECT_EQ(f.object.layers[0].maps.size(), mapsBefore);
    EXPECT_EQ(findMap(f.object.layers[0], LWVMAP_WGHT, "RightArm"), nullptr);
    EXPECT_FALSE(f.object.layers[0].maps[0].changed);
    EXPECT_EQ(f.host.stats.editsDiscarded, 1);
    EXPECT_EQ(f.host.edit, nullptr);
}

TEST(MeshEdit, RefusesBadPointsAndSecondEdits) {
    EditFixture f;
    ActiveHost active(f.host);
    MeshEditOp *edit = hostModCommand()->editBegin(0, 0, 0);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(hostModCommand()->editBegin(0, 0, 0), nullptr);
    const float value[3] = {1, 0, 0};
    EXPECT_NE(edit->pntVMap(edit->state, point(3), LWVMAP_WGHT, "LeftArm", 1, value), EDERR_NONE);
    EXPECT_NE(edit->pntVMap(edit->state, nullptr, LWVMAP_WGHT, "LeftArm", 1, value), EDERR_NONE);
    edit->pointVSet(edit->state, nullptr, LWVMAP_WGHT, "LeftArm");
    float read[3];
    EXPECT_EQ(edit->pointVGet(edit->state, point(3), read), 0);
    edit->done(edit->state, EDERR_NONE, 0);
}

TEST(MeshEdit, BeginAnswersNullWhenTheHostCannotEdit) {
    EditFixture f;
    f.host.failEditBegin = true;
    ActiveHost active(f.host);
    EXPECT_EQ(hostModCommand()->editBegin(0, 0, 0), nullptr);
    Host empty;
    ActiveHost noObject(empty);
    EXPECT_EQ(hostModCommand()->editBegin(0, 0, 0), nullptr);
}

TEST(MeshEdit, ScanVisitsEveryPointInOrderWithDoublePositions) {
    Object object = lineObject({-1.5f, 0.0f, 2.25f});
    Host host;
    host.object = &object;
    ActiveHost active(host);
    MeshEditOp *edit = hostModCommand()->editBegin(0, 0, 0);
    ASSERT_NE(edit, nullptr);
    std::vector<std::pair<LWPntID, double>> seen;
    edit->pointScan(
        edit->state,
        [](void *data, const EDPointInfo *info) {
            static_cast<decltype(seen) *>(data)->emplace_back(info->pnt, info->position[0]);
            return EDERR_NONE;
        },
        &seen, EDLAYER_PRIMARY);
    edit->done(edit->state, EDERR_NONE, 0);
    EXPECT_EQ(seen,
              (std::vector<std::pair<LWPntID, double>>{{point(0), -1.5}, {point(1), 0.0}, {point(2), 2.25}}));
}

} // namespace

namespace {

// Maps are kept in a deque, which is not one block: many maps make sure each
// is reached by its own index, for reads, writes and undo alike.
TEST(MeshEdit, ManyMapsAreEachSelectedWrittenAndUndoneByTheirOwnIndex) {
    Object object = lineObject({-1, 1});
    const int kMaps = 40;
    for (int m = 0; m < kMaps; ++m)
        paint(object.layers[0], LWVMAP_WGHT, "Map" + std::to_string(m), 0, {float(m)});
    MapContents before = contents(object.layers[0]);
    Host host;
    host.object = &object;
    ActiveHost active(host);
    MeshEditOp *edit = hostModCommand()->editBegin(0, 0, 0);
    ASSERT_NE(edit, nullptr);
    for (int m = 0; m < kMaps; ++m) {
        std::string name = "Map" + std::to_string(m);
        float read[3] = {-1, -1, -1};
        ASSERT_NE(edit->pointVSet(edit->state, nullptr, LWVMAP_WGHT, name.c_str()), nullptr) << name;
        ASSERT_EQ(edit->pointVGet(edit->state, point(0), read), 1) << name;
        EXPECT_EQ(read[0], float(m)) << name;
        const float value[3] = {100.0f + m, 0, 0};
        edit->pntVMap(edit->state, point(1), LWVMAP_WGHT, name.c_str(), 1, value);
        edit->pntVMap(edit->state, point(0), LWVMAP_WGHT, name.c_str(), 1, nullptr);
    }
    for (int m = 0; m < kMaps; ++m) {
        const VertexMap *map = findMap(object.layers[0], LWVMAP_WGHT, "Map" + std::to_string(m));
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(mapValues(*map), (std::map<uint32_t, std::vector<float>>{{1, {100.0f + m}}})) << m;
    }
    edit->done(edit->state, 1, 0);
    EXPECT_EQ(contents(object.layers[0]), before);
}

} // namespace
