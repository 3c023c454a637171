// Shape builders for the generated meshes: spheres, tubes, boxes, crystals and
// grids, each wound so that faces seen from outside pass the back-face test.
#pragma once

#include <cstdint>

#include "tools/content/mesh_writer.h"

// Every builder appends to `mesh` with all faces using material `material`.
void addIcosphere(MeshData& mesh, float radius, int subdivisions, int16_t material);
// A ring tube of `segments` steps around the y axis and `sides` steps around
// the tube; u runs `uRepeat` times around the ring, v once around the tube.
void addTorus(MeshData& mesh, float ringRadius, float tubeRadius, int segments, int sides, float uRepeat,
              int16_t material);
// A (p, q) torus knot tube around the y axis.
void addTorusKnot(MeshData& mesh, int p, int q, float ringRadius, float twistRadius, float tubeRadius,
                  int segments, int sides, int16_t material);
// A box centred at the origin with the given half sizes; each side its own
// four vertices with u, v spanning 0..1. `sideMaterials` gives the material of
// the sides +x, -x, +y, -y, +z, -z.
void addBox(MeshData& mesh, float hx, float hy, float hz, const int16_t sideMaterials[6]);
// A closed cylinder along y from -halfHeight to +halfHeight.
void addCylinder(MeshData& mesh, float radius, float halfHeight, int sides, int16_t material);
// A double pyramid along y: apexes at +-tip, a band of two rings at +-band
// (band 0 gives a single ring).
void addCrystal(MeshData& mesh, float radius, float tip, float band, int sides, int16_t material);
// A flat grid in the y = 0 plane facing +y, cells x cells, `size` wide,
// texture repeated `uvRepeat` times across.
void addGrid(MeshData& mesh, float size, int cells, float uvRepeat, int16_t material);
