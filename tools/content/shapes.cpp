#include "tools/content/shapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalised(Vec3 a) {
    const double length = std::sqrt(dot(a, a));
    return length > 0 ? a * (1.0 / length) : a;
}

int16_t addVertex(MeshData& mesh, Vec3 p, double u, double v) {
    if (mesh.vertices.size() >= 0x7FFF) throw std::runtime_error("mesh too large for 16-bit indices");
    mesh.vertices.push_back({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z),
                             static_cast<float>(u), static_cast<float>(v)});
    return static_cast<int16_t>(mesh.vertices.size() - 1);
}

Vec3 position(const MeshData& mesh, int index) {
    const MeshVertex& v = mesh.vertices[static_cast<size_t>(index)];
    return {v.x, v.y, v.z};
}

// Adds the face, flipped if needed so that its normal points away from `inside`.
// Only valid for faces of shapes that are convex around `inside`.
void addFaceFacingOut(MeshData& mesh, int16_t a, int16_t b, int16_t c, Vec3 inside, int16_t material) {
    const Vec3 pa = position(mesh, a), pb = position(mesh, b), pc = position(mesh, c);
    const Vec3 normal = cross(pb - pa, pc - pa);
    const Vec3 centre = (pa + pb + pc) * (1.0 / 3.0);
    if (dot(normal, centre - inside) < 0) std::swap(b, c);
    mesh.faces.push_back({a, b, c, material});
}

// A grid of (rows + 1) x (columns + 1) vertices made by `point(i, j)`; the
// quad (i, j) becomes two faces wound (i,j) (i,j+1) (i+1,j), which faces
// outwards when d point/dj x d point/di does.
template <typename PointFn>
void addSurface(MeshData& mesh, int rows, int columns, int16_t material, PointFn point) {
    const int16_t base = static_cast<int16_t>(mesh.vertices.size());
    for (int i = 0; i <= rows; ++i) {
        for (int j = 0; j <= columns; ++j) {
            const auto [p, u, v] = point(i, j);
            addVertex(mesh, p, u, v);
        }
    }
    auto index = [&](int i, int j) { return static_cast<int16_t>(base + i * (columns + 1) + j); };
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            mesh.faces.push_back({index(i, j), index(i, j + 1), index(i + 1, j), material});
            mesh.faces.push_back({index(i + 1, j), index(i, j + 1), index(i + 1, j + 1), material});
        }
    }
}

struct SurfacePoint {
    Vec3 p;
    double u, v;
};

// Sweeps a circle of `radius` along a closed path given by `centre(s)`, s in
// [0, 1), using the path's Frenet frame (the paths used here never straighten).
template <typename PathFn>
void addTube(MeshData& mesh, int segments, int sides, double radius, double uRepeat, int16_t material,
             PathFn centre) {
    auto frameAt = [&](double s, Vec3& normal, Vec3& binormal) {
        const double h = 1e-4;
        const Vec3 before = centre(s - h), here = centre(s), after = centre(s + h);
        const Vec3 tangent = normalised(after - before);
        const Vec3 bend = (after + before) - here * 2.0;  // second derivative direction
        normal = normalised(bend - tangent * dot(bend, tangent));
        binormal = cross(tangent, normal);
    };
    addSurface(mesh, segments, sides, material, [&](int i, int j) {
        const double s = static_cast<double>(i % segments) / segments;
        const double angle = 2.0 * kPi * (j % sides) / sides;
        Vec3 normal, binormal;
        frameAt(s, normal, binormal);
        // Outward = cos*N + sin*B; d/dj is (-sin*N + cos*B), d/di is the tangent T,
        // and (-sin N + cos B) x T = outward for a right-handed (T, N, B).
        const Vec3 out = normal * std::cos(angle) + binormal * std::sin(angle);
        return SurfacePoint{centre(s) + out * radius, uRepeat * i / segments, static_cast<double>(j) / sides};
    });
}

}  // namespace

void addIcosphere(MeshData& mesh, float radius, int subdivisions, int16_t material) {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<Vec3> points = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                                {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    std::vector<std::array<int, 3>> triangles = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                                 {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                                 {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                                 {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (Vec3& p : points) p = normalised(p);
    for (int level = 0; level < subdivisions; ++level) {
        std::map<std::pair<int, int>, int> midpoints;
        auto midpoint = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            const auto found = midpoints.find(key);
            if (found != midpoints.end()) return found->second;
            points.push_back(
                normalised((points[static_cast<size_t>(a)] + points[static_cast<size_t>(b)]) * 0.5));
            const int index = static_cast<int>(points.size() - 1);
            midpoints.emplace(key, index);
            return index;
        };
        std::vector<std::array<int, 3>> finer;
        for (const auto& [a, b, c] : triangles) {
            const int ab = midpoint(a, b), bc = midpoint(b, c), ca = midpoint(c, a);
            finer.push_back({a, ab, ca});
            finer.push_back({b, bc, ab});
            finer.push_back({c, ca, bc});
            finer.push_back({ab, bc, ca});
        }
        triangles = std::move(finer);
    }
    const int16_t base = static_cast<int16_t>(mesh.vertices.size());
    for (const Vec3& p : points) {
        const double u = 0.5 + std::atan2(p.z, p.x) / (2.0 * kPi);
        const double v = 0.5 - std::asin(p.y) / kPi;
        addVertex(mesh, p * radius, u, v);
    }
    for (const auto& [a, b, c] : triangles) {
        addFaceFacingOut(mesh, static_cast<int16_t>(base + a), static_cast<int16_t>(base + b),
                         static_cast<int16_t>(base + c), {0, 0, 0}, material);
    }
}

void addTorus(MeshData& mesh, float ringRadius, float tubeRadius, int segments, int sides, float uRepeat,
              int16_t material) {
    addTube(mesh, segments, sides, tubeRadius, uRepeat, material, [&](double s) {
        const double angle = 2.0 * kPi * s;
        return Vec3{ringRadius * std::cos(angle), 0.0, ringRadius * std::sin(angle)};
    });
}

void addTorusKnot(MeshData& mesh, int p, int q, float ringRadius, float twistRadius, float tubeRadius,
                  int segments, int sides, int16_t material) {
    addTube(mesh, segments, sides, tubeRadius, 4.0, material, [&](double s) {
        const double angle = 2.0 * kPi * s;
        const double radius = ringRadius + twistRadius * std::cos(q * angle);
        return Vec3{radius * std::cos(p * angle), twistRadius * std::sin(q * angle),
                    radius * std::sin(p * angle)};
    });
}

void addBox(MeshData& mesh, float hx, float hy, float hz, const int16_t sideMaterials[6]) {
    const Vec3 half{hx, hy, hz};
    // Each side: its outward axis and the two in-plane axes (u, v).
    const std::array<std::array<Vec3, 3>, 6> sides = {{
        {{{1, 0, 0}, {0, 0, -1}, {0, -1, 0}}},
        {{{-1, 0, 0}, {0, 0, 1}, {0, -1, 0}}},
        {{{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}},
        {{{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}},
        {{{0, 0, 1}, {1, 0, 0}, {0, -1, 0}}},
        {{{0, 0, -1}, {-1, 0, 0}, {0, -1, 0}}},
    }};
    auto scaled = [&](Vec3 a) { return Vec3{a.x * half.x, a.y * half.y, a.z * half.z}; };
    for (int side = 0; side < 6; ++side) {
        const auto& [out, uAxis, vAxis] = sides[static_cast<size_t>(side)];
        int16_t corner[4];
        for (int k = 0; k < 4; ++k) {
            const double su = (k == 1 || k == 2) ? 1 : -1;
            const double sv = (k >= 2) ? 1 : -1;
            corner[k] = addVertex(mesh, scaled(out + uAxis * su + vAxis * sv), (su + 1) / 2, (sv + 1) / 2);
        }
        const Vec3 inside{0, 0, 0};
        addFaceFacingOut(mesh, corner[0], corner[1], corner[2], inside, sideMaterials[side]);
        addFaceFacingOut(mesh, corner[0], corner[2], corner[3], inside, sideMaterials[side]);
    }
}

void addCylinder(MeshData& mesh, float radius, float halfHeight, int sides, int16_t material) {
    // Mantle: rows along the height (top to bottom), columns around.
    addSurface(mesh, 1, sides, material, [&](int i, int j) {
        const double angle = 2.0 * kPi * j / sides;
        const double y = i == 0 ? halfHeight : -halfHeight;
        // d/dj runs towards +angle, d/di downwards: (-sin, 0, cos) x (0, -1, 0)
        // = (cos, 0, sin) is outward.
        return SurfacePoint{{radius * std::cos(angle), y, radius * std::sin(angle)},
                            static_cast<double>(j) / sides,
                            static_cast<double>(i)};
    });
    for (const double y : {static_cast<double>(halfHeight), -static_cast<double>(halfHeight)}) {
        const int16_t centre = addVertex(mesh, {0, y, 0}, 0.5, 0.5);
        const int16_t first = static_cast<int16_t>(mesh.vertices.size());
        for (int j = 0; j < sides; ++j) {
            const double angle = 2.0 * kPi * j / sides;
            addVertex(mesh, {radius * std::cos(angle), y, radius * std::sin(angle)},
                      0.5 + 0.5 * std::cos(angle), 0.5 + 0.5 * std::sin(angle));
        }
        for (int j = 0; j < sides; ++j) {
            const int16_t a = static_cast<int16_t>(first + j),
                          b = static_cast<int16_t>(first + (j + 1) % sides);
            addFaceFacingOut(mesh, centre, a, b, {0, 0, 0}, material);
        }
    }
}

void addCrystal(MeshData& mesh, float radius, float tip, float band, int sides, int16_t material) {
    const int16_t top = addVertex(mesh, {0, tip, 0}, 0.5, 0);
    const int16_t bottom = addVertex(mesh, {0, -tip, 0}, 0.5, 1);
    const int rings = band > 0 ? 2 : 1;
    const int16_t first = static_cast<int16_t>(mesh.vertices.size());
    for (int ring = 0; ring < rings; ++ring) {
        const double y = rings == 1 ? 0.0 : (ring == 0 ? band : -band);
        for (int j = 0; j < sides; ++j) {
            const double angle = 2.0 * kPi * j / sides;
            addVertex(mesh, {radius * std::cos(angle), y, radius * std::sin(angle)},
                      static_cast<double>(j) / sides, 0.5);
        }
    }
    auto ringVertex = [&](int ring, int j) {
        return static_cast<int16_t>(first + ring * sides + (j % sides));
    };
    const Vec3 inside{0, 0, 0};
    for (int j = 0; j < sides; ++j) {
        addFaceFacingOut(mesh, top, ringVertex(0, j), ringVertex(0, j + 1), inside, material);
        addFaceFacingOut(mesh, bottom, ringVertex(rings - 1, j), ringVertex(rings - 1, j + 1), inside,
                         material);
        if (rings == 2) {
            addFaceFacingOut(mesh, ringVertex(0, j), ringVertex(1, j), ringVertex(0, j + 1), inside,
                             material);
            addFaceFacingOut(mesh, ringVertex(0, j + 1), ringVertex(1, j), ringVertex(1, j + 1), inside,
                             material);
        }
    }
}

void addGrid(MeshData& mesh, float size, int cells, float uvRepeat, int16_t material) {
    // Rows run along +z, columns along +x: d/dj = +x, d/di = +z, and
    // (+x) x (+z) = -y, so rows are taken along -z to face +y.
    addSurface(mesh, cells, cells, material, [&](int i, int j) {
        const double x = size * (static_cast<double>(j) / cells - 0.5);
        const double z = size * (0.5 - static_cast<double>(i) / cells);
        return SurfacePoint{{x, 0.0, z}, uvRepeat * j / cells, uvRepeat * i / cells};
    });
}
