// Writes the bundled sample object: a small symmetric figure (torso, head,
// arms and legs as eight-sided tubes) with one surface, the weight maps
// "LeftArm" and "LeftLeg" and the morph map "LeftSmile". The maps were
// painted on the left and then mirrored with the geometry, so both halves
// and the points on x = 0 carry values in the Left maps.
//
// usage: make_figure OUTPUT.lwo
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/lwo_builder.h"

namespace {

// Directions around a tube; the exact zeros keep the halves mirror images.
const float kRoot = 0.70710678f;
const float kCos[8] = {1, kRoot, 0, -kRoot, -1, -kRoot, 0, kRoot};
const float kSin[8] = {0, kRoot, 1, kRoot, 0, -kRoot, -1, -kRoot};
const int kSides = 8;

enum class Axis { X, Y };

struct Figure {
    std::vector<Vec3> points;
    std::vector<std::vector<uint32_t>> polygons;
    std::vector<VmapRecord> leftArm, leftLeg, leftSmile;
};

// A tube of rings along an axis, with quads between rings and a cap at each
// end. Rings lie at the given ascending positions along the axis, around
// centre (the other two coordinates), radius (a, b) across. Answers the
// first point.
uint32_t addTube(Figure &figure, Axis axis, const std::vector<float> &rings, Vec3 centre, float a, float b,
                 bool mirrored) {
    uint32_t first = uint32_t(figure.points.size());
    for (float along : rings) {
        for (int k = 0; k < kSides; ++k) {
            Vec3 p = centre;
            if (axis == Axis::Y) p = {centre[0] + a * kCos[k], along, centre[2] + b * kSin[k]};
            if (axis == Axis::X) p = {along, centre[1] + a * kCos[k], centre[2] + b * kSin[k]};
            if (mirrored) p[0] = -p[0];
            figure.points.push_back(p);
        }
    }
    auto ring = [&](size_t r, int k) { return first + uint32_t(r * kSides + (k % kSides)); };
    std::vector<std::vector<uint32_t>> faces;
    for (size_t r = 0; r + 1 < rings.size(); ++r)
        for (int k = 0; k < kSides; ++k)
            faces.push_back({ring(r, k), ring(r, k + 1), ring(r + 1, k + 1), ring(r + 1, k)});
    std::vector<uint32_t> start, end;
    for (int k = 0; k < kSides; ++k) {
        start.push_back(ring(0, kSides - 1 - k));
        end.push_back(ring(rings.size() - 1, k));
    }
    faces.push_back(start);
    faces.push_back(end);
    for (std::vector<uint32_t> &face : faces) {
        // Faces are listed clockwise seen from outside; a tube along x, or a
        // mirrored one, goes round the other way.
        if ((axis == Axis::X) != mirrored) std::reverse(face.begin(), face.end());
        figure.polygons.push_back(face);
    }
    return first;
}

void weighRing(std::vector<VmapRecord> &map, uint32_t first, size_t ring, float weight) {
    for (int k = 0; k < kSides; ++k)
        map.push_back({first + uint32_t(ring * kSides + k), {weight}});
}

Figure makeFigure() {
    Figure figure;
    const std::vector<float> torsoRings = {0.9f, 1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f};
    uint32_t torso = addTube(figure, Axis::Y, torsoRings, {0, 0, 0}, 0.3f, 0.15f, false);
    uint32_t head = addTube(figure, Axis::Y, {1.6f, 1.7f, 1.8f, 1.9f, 2.0f}, {0, 0, 0}, 0.12f, 0.12f, false);
    const std::vector<float> armRings = {0.3f, 0.42f, 0.54f, 0.66f, 0.78f, 0.9f};
    const std::vector<float> legRings = {0.0f, 0.15f, 0.3f, 0.45f, 0.6f, 0.75f, 0.9f};
    const float armWeights[] = {0.5f, 0.625f, 0.75f, 0.875f, 1.0f, 1.0f};
    // The torso's top rings go with the arms and its bottom ring with the legs.
    weighRing(figure.leftArm, torso, torsoRings.size() - 1, 0.25f);
    weighRing(figure.leftArm, torso, torsoRings.size() - 2, 0.125f);
    weighRing(figure.leftLeg, torso, 0, 0.25f);
    for (bool mirrored : {false, true}) {
        uint32_t arm = addTube(figure, Axis::X, armRings, {0, 1.4f, 0}, 0.07f, 0.07f, mirrored);
        for (size_t r = 0; r < armRings.size(); ++r)
            weighRing(figure.leftArm, arm, r, armWeights[r]);
        uint32_t leg = addTube(figure, Axis::Y, legRings, {0.15f, 0, 0}, 0.09f, 0.09f, mirrored);
        for (size_t r = 0; r < legRings.size(); ++r)
            weighRing(figure.leftLeg, leg, r, r + 1 == legRings.size() ? 0.5f : 1.0f);
    }
    // The smile lifts the mouth ring's front points, outward on each side.
    for (int k = 0; k < kSides; ++k) {
        if (kSin[k] <= 0) continue;
        float outward = kCos[k] > 0 ? 0.01f : kCos[k] < 0 ? -0.01f : 0.0f;
        figure.leftSmile.push_back({head + uint32_t(kSides + k), {outward, 0.02f, 0.0f}});
    }
    return figure;
}

std::vector<VmapRecord> inPointOrder(std::vector<VmapRecord> records) {
    std::stable_sort(records.begin(), records.end(),
                     [](const VmapRecord &a, const VmapRecord &b) { return a.point < b.point; });
    return records;
}

std::string figureFile() {
    Figure figure = makeFigure();
    std::vector<std::pair<uint32_t, uint16_t>> surfaces;
    for (uint32_t polygon = 0; polygon < figure.polygons.size(); ++polygon)
        surfaces.push_back({polygon, 0});
    return form({
        tagsChunk({"Skin"}),
        layrChunk(1, "Figure"),
        pntsChunk(figure.points),
        vmapChunk("WGHT", 1, "LeftArm", inPointOrder(figure.leftArm)),
        vmapChunk("WGHT", 1, "LeftLeg", inPointOrder(figure.leftLeg)),
        vmapChunk("MORF", 3, "LeftSmile", inPointOrder(figure.leftSmile)),
        polsChunk(figure.polygons),
        ptagChunk("SURF", surfaces),
        surfChunk("Skin"),
    });
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_figure OUTPUT.lwo\n");
        return 1;
    }
    std::string bytes = figureFile();
    FILE *out = std::fopen(argv[1], "wb");
    bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out) ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "make_figure: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
