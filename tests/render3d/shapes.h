// Meshes built in code for the render comparison and the 3D benchmarks: a
// subdivided icosahedron (three subdivisions give the ball's 642 vertices and
// 1280 faces) and a cube with one material per side. Faces are wound so that
// World::render shows their outside.
#pragma once

#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "scene3d/mesh.h"

namespace shapes {

inline WorldVertex scaled(WorldVertex v, float length) {
    const float s = length / std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x * s, v.y * s, v.z * s, v.u, v.v};
}

// Turns a face so that (b - a) x (c - a) points away from `inside`.
inline void windOutwards(const Mesh& mesh, Face& f, float ix, float iy, float iz) {
    const WorldVertex &a = mesh.vertices[static_cast<size_t>(f.a)], &b = mesh.vertices[static_cast<size_t>(f.b)],
                      &c = mesh.vertices[static_cast<size_t>(f.c)];
    const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    if (nx * (a.x - ix) + ny * (a.y - iy) + nz * (a.z - iz) < 0) std::swap(f.b, f.c);
}

// A sphere of radius 1 about the origin: 10 x 4^n + 2 vertices, 20 x 4^n faces.
inline Mesh icosphere(int subdivisions, Material material) {
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    Mesh mesh;
    mesh.name = "icosphere";
    for (auto [x, y, z] : {std::array{-1.f, t, 0.f}, {1.f, t, 0.f}, {-1.f, -t, 0.f}, {1.f, -t, 0.f}, {0.f, -1.f, t},
                           {0.f, 1.f, t}, {0.f, -1.f, -t}, {0.f, 1.f, -t}, {t, 0.f, -1.f}, {t, 0.f, 1.f},
                           {-t, 0.f, -1.f}, {-t, 0.f, 1.f}})
        mesh.vertices.push_back(scaled({x, y, z, 0, 0}, 1.0f));
    const int corners[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                                {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                                {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (const auto& c : corners)
        mesh.faces.push_back({static_cast<int16_t>(c[0]), static_cast<int16_t>(c[1]), static_cast<int16_t>(c[2]), 0});
    for (int level = 0; level < subdivisions; ++level) {
        std::map<std::pair<int, int>, int16_t> middles;
        auto middle = [&](int16_t a, int16_t b) {
            const auto key = std::minmax(a, b);
            auto found = middles.find(key);
            if (found != middles.end()) return found->second;
            const WorldVertex &p = mesh.vertices[static_cast<size_t>(a)], &q = mesh.vertices[static_cast<size_t>(b)];
            mesh.vertices.push_back(scaled({p.x + q.x, p.y + q.y, p.z + q.z, 0, 0}, 1.0f));
            return middles[key] = static_cast<int16_t>(mesh.vertices.size() - 1);
        };
        std::vector<Face> finer;
        for (const Face& f : mesh.faces) {
            const int16_t ab = middle(f.a, f.b), bc = middle(f.b, f.c), ca = middle(f.c, f.a);
            for (Face g : {Face{f.a, ab, ca, 0}, Face{ab, f.b, bc, 0}, Face{ca, bc, f.c, 0}, Face{ab, bc, ca, 0}})
                finer.push_back(g);
        }
        mesh.faces = std::move(finer);
    }
    for (Face& f : mesh.faces) windOutwards(mesh, f, 0, 0, 0);
    mesh.materials = {material};
    mesh.textureNames = {""};
    return mesh;
}

// A cube from -1 to 1 on every axis; side k has material k and spans texture
// coordinates 0.02 .. 0.98 (so no texel wraps inside a side).
inline Mesh cube(const std::array<Material, 6>& sides) {
    Mesh mesh;
    mesh.name = "cube";
    for (int16_t side = 0; side < 6; ++side) {
        const int axis = side / 2;
        const float out = side % 2 ? 1.0f : -1.0f;
        const int16_t base = static_cast<int16_t>(mesh.vertices.size());
        for (auto [s, t] : {std::pair{-1.f, -1.f}, {1.f, -1.f}, {1.f, 1.f}, {-1.f, 1.f}}) {
            float p[3];
            p[axis] = out;
            p[(axis + 1) % 3] = s;
            p[(axis + 2) % 3] = t;
            mesh.vertices.push_back({p[0], p[1], p[2], 0.5f + 0.48f * s, 0.5f + 0.48f * t});
        }
        for (Face f : {Face{base, static_cast<int16_t>(base + 1), static_cast<int16_t>(base + 2), side},
                       Face{base, static_cast<int16_t>(base + 2), static_cast<int16_t>(base + 3), side}}) {
            windOutwards(mesh, f, 0, 0, 0);
            mesh.faces.push_back(f);
        }
    }
    mesh.materials.assign(sides.begin(), sides.end());
    mesh.textureNames.assign(6, "");
    return mesh;
}

}  // namespace shapes
