// The geometry stages of the 3D pipeline on a torus of 10,000 faces lit by 8
// lights: camera transform, culling, near clipping, depth sort, normals and
// lighting, each in time per vertex, next to a memcpy of the vertex and face
// arrays.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "scene3d/mesh.h"
#include "scene3d/world.h"

namespace {

// A torus lying in the xz plane: `around` x `tube` vertices, two faces per quad.
Mesh torus(int around, int tube) {
    Mesh mesh;
    mesh.name = "torus";
    const double pi = 3.14159265358979;
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const double a = 2 * pi * i / around, b = 2 * pi * j / tube;
            const double r = 1.5 + 0.5 * std::cos(b);
            mesh.vertices.push_back({static_cast<float>(r * std::cos(a)), static_cast<float>(0.5 * std::sin(b)),
                                     static_cast<float>(r * std::sin(a)), static_cast<float>(i) / around,
                                     static_cast<float>(j) / tube});
        }
    auto at = [&](int i, int j) { return static_cast<int16_t>((i % around) * tube + (j % tube)); };
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            mesh.faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), 0});
            mesh.faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1), 0});
        }
    mesh.materials.push_back({kMaterialGouraud, 0xC0A080, nullptr});
    return mesh;
}

const Mesh& benchMesh() {
    static const Mesh mesh = torus(100, 50);  // 5,000 vertices, 10,000 faces
    return mesh;
}

// Seconds per vertex (printed with an SI prefix: 2.5n is 2.5 ns).
benchmark::Counter perVertex(int vertices) {
    return benchmark::Counter(vertices, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

enum Stage { Transform, Cull, Clip, Sort, Normals, Lights };

// Builds the frame and runs every stage before `stage`. The camera sits just
// outside the ring, so the near plane cuts its nearest faces.
void prepare(World& world, Stage stage) {
    world.clearScene();
    world.setViewport(512, 256, 512);
    world.addMesh(benchMesh(), 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0);
    for (int i = 0; i < 8; ++i)
        world.addLight(static_cast<float>(3 * std::cos(i)), 1.0f, static_cast<float>(3 * std::sin(i)),
                       0x808080 + i * 0x101010, 1.0f, 6.0f);
    world.setCamera(0, 0, 0, 0, 0.2f, -2.05f, 3.2f);
    if (stage > Transform) world.transformToCamera();
    if (stage > Cull) world.cullBackFaces();
    if (stage > Clip) world.clipNear(World::kNearZ);
    if (stage > Sort) world.sortDrawItems();
    if (stage > Normals) world.computeNormals();
}

void runStage(World& world, Stage stage) {
    switch (stage) {
        case Transform: world.transformToCamera(); break;
        case Cull: world.cullBackFaces(); break;
        case Clip: world.clipNear(World::kNearZ); break;
        case Sort: world.sortDrawItems(); break;
        case Normals: world.computeNormals(); break;
        case Lights: world.lightVertices(); break;
    }
}

void BM_Stage(benchmark::State& state) {
    static World world(nullptr, 512, 256, 512);
    const Stage stage = static_cast<Stage>(state.range(0));
    int vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(world, stage);
        vertices = world.vertexCount;
        state.ResumeTiming();
        runStage(world, stage);
        benchmark::ClobberMemory();
    }
    state.counters["vertices"] = vertices;
    state.counters["vertices_out"] = world.vertexCount;
    state.counters["items_out"] = world.drawItemCount;
    state.counters["time_per_vertex"] = perVertex(vertices);
}
BENCHMARK(BM_Stage)->DenseRange(Transform, Lights)->ArgName("stage");

// The floor: copying the frame's vertex and face arrays once.
void BM_MemcpyVerticesAndFaces(benchmark::State& state) {
    const Mesh& mesh = benchMesh();
    std::vector<WorldVertex> vertices(mesh.vertices.size());
    std::vector<Face> faces(mesh.faces.size());
    for (auto _ : state) {
        std::memcpy(vertices.data(), mesh.vertices.data(), vertices.size() * sizeof(WorldVertex));
        std::memcpy(faces.data(), mesh.faces.data(), faces.size() * sizeof(Face));
        benchmark::ClobberMemory();
    }
    state.counters["time_per_vertex"] = perVertex(static_cast<int>(vertices.size()));
}
BENCHMARK(BM_MemcpyVerticesAndFaces);

}  // namespace
