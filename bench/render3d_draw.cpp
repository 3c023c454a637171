// World::render against Mesa's llvmpipe on one thread (OSMesa, LP_NUM_THREADS=0)
// doing the same work in the same run: (a) a frame of the lit Gouraud ball,
// (b) 200 large textured perspective triangles, about 4x overdraw, opaque and
// translucent, (c) 5,000 point sprites. Frames per second and pixels drawn
// per second ("items") for both.
#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_common.h"
#include "scene3d/world.h"
#include "tests/render3d/osmesa_peer.h"
#include "tests/render3d/shapes.h"

namespace {

constexpr int kWidth = 512, kHeight = 256;
constexpr float kZoom = 3.2f, kHalfMinSide = 128.0f;
constexpr uint32_t kBackground = 0x0000FF;  // a blue no scene here draws

OsMesaPeer& peer() {
    static OsMesaPeer* instance = [] {
        setenv("LP_NUM_THREADS", "0", 1);  // llvmpipe on the calling thread alone
        return new OsMesaPeer(kWidth, kHeight);
    }();
    return *instance;
}

struct Ours {
    World world{nullptr, kWidth, kHeight, kWidth};
    std::vector<uint32_t> frame = std::vector<uint32_t>(kWidth * kHeight);

    void begin(float cameraZ) {
        std::fill(frame.begin(), frame.end(), kBackground);
        world.clearScene();
        world.setViewport(kWidth, kHeight, kWidth);
        world.setCamera(0, 0, 0, 0, 0, cameraZ, kZoom);
    }
    long drawnPixels() const {
        return static_cast<long>(std::count_if(frame.begin(), frame.end(), [](uint32_t p) { return p != kBackground; }));
    }
};

// ---- (a) the ball: 642 vertices, 1280 faces, one point light, Gouraud ----

const Mesh& ball() {
    static const Mesh mesh = shapes::icosphere(3, {kMaterialGouraud, 0xE0C0A0, nullptr});
    return mesh;
}

constexpr float kLightX = -2, kLightY = 2, kLightZ = -2.5f, kLightRange = 6;

void ballOurs(benchmark::State& state) {
    Ours ours;
    float angle = 0;
    for (auto _ : state) {
        ours.begin(-3.0f);
        ours.world.setAmbient(0x202020);
        ours.world.addLight(kLightX, kLightY, kLightZ, 0xFFFFFF, 1.0f, kLightRange);
        ours.world.addMesh(ball(), 0, 60 * angle, 90 * angle, 0, 0, 0, 1, 1, 1, 0, 0, 0);
        ours.world.render(ours.frame.data());
        angle += 0.01f;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ours.drawnPixels());
    bench::countFrames(state);
}

void ballOsMesa(benchmark::State& state) {
    OsMesaPeer& gl = peer();
    const Mesh& mesh = ball();
    std::vector<GLuint> indices;
    for (const Face& f : mesh.faces)
        for (int v : {f.a, f.b, f.c}) indices.push_back(static_cast<GLuint>(v));
    // Positions double as unit normals on the sphere.
    std::vector<float> positions;
    for (const WorldVertex& v : mesh.vertices) positions.insert(positions.end(), {v.x, v.y, v.z});
    const GLfloat colour[4] = {0xE0 / 255.f, 0xC0 / 255.f, 0xA0 / 255.f, 1}, ambient[4] = {0.125f, 0.125f, 0.125f, 1},
                  white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1},
                  light[4] = {kLightX, kLightY, kLightZ, 1};
    float angle = 0;
    for (auto _ : state) {
        gl.project(kZoom, kHalfMinSide);
        gl.clear(kBackground);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_CULL_FACE);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, black);
        glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 1.0f / (kLightRange * kLightRange));
        glMaterialfv(GL_FRONT, GL_DIFFUSE, colour);
        glMaterialfv(GL_FRONT, GL_AMBIENT, colour);
        // World to camera: the camera 3 units back, y turned to grow downwards.
        glScalef(1, -1, 1);
        glTranslatef(0, 0, 3);
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        glRotatef(90 * angle, 0, 1, 0);
        glRotatef(60 * angle, 1, 0, 0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions.data());
        glNormalPointer(GL_FLOAT, 0, positions.data());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHTING);
        gl.finish();
        angle += 0.01f;
    }
    long pixels = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) pixels += gl.pixel(x, y) != kBackground;
    state.SetItemsProcessed(state.iterations() * pixels);
    bench::countFrames(state);
}

// ---- (b) fill rate: 200 textured perspective triangles, ~4x overdraw ----

struct FillScene {
    Mesh mesh;                                // world space, camera at the origin
    std::vector<OsMesaPeer::Vertex> corners;  // the same in camera space
    Image texture = bench::noisyImage(256, 256, 5);
    long pixels = 0;                          // covered per frame, overdraw counted

    explicit FillScene(uint32_t flags) {
        std::mt19937 rng(21);
        auto in = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); };
        for (int k = 0; k < 200; ++k) {
            // A triangle of about 2,600 pixels, inside the screen, its corners
            // at different depths (the texture is foreshortened).
            const float cx = in(60, 452), cy = in(50, 206);
            float sx[3], sy[3];
            for (int i = 0; i < 3; ++i) {
                const float a = static_cast<float>(i) * 2.094f + in(-0.3f, 0.3f);
                sx[i] = cx + 48 * std::cos(a);
                sy[i] = cy + 48 * std::sin(a);
            }
            pixels += static_cast<long>(std::abs((sx[1] - sx[0]) * (sy[2] - sy[0]) - (sy[1] - sy[0]) * (sx[2] - sx[0])) / 2);
            for (int i = 0; i < 3; ++i) {
                const float z = in(1.5f, 4.0f), u = in(0, 2), v = in(0, 2);
                const float x = (sx[i] - kWidth / 2) * z / (kZoom * kHalfMinSide);
                const float y = (sy[i] - kHeight / 2) * z / (kZoom * kHalfMinSide);
                mesh.vertices.push_back({x, -y, z, u, v});
                corners.push_back({x, y, z, 0xFFFFFF, u, v});
            }
            const int16_t b = static_cast<int16_t>(3 * k);
            Face f{b, static_cast<int16_t>(b + 1), static_cast<int16_t>(b + 2), 0};
            shapes::windOutwards(mesh, f, 0, 0, 1e6f);  // facing the camera
            mesh.faces.push_back(f);
        }
        mesh.materials = {{flags, 0xFFFFFF, &texture}};
        mesh.textureNames = {""};
    }
};

void fillOurs(benchmark::State& state, uint32_t flags) {
    const FillScene scene(flags);
    Ours ours;
    for (auto _ : state) {
        ours.begin(0.0f);
        ours.world.setAmbient(0xFFFFFF);
        ours.world.addMesh(scene.mesh, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0);
        ours.world.render(ours.frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * scene.pixels);
    bench::countFrames(state);
}

void fillOsMesa(benchmark::State& state, uint32_t flags) {
    const FillScene scene(flags);
    OsMesaPeer& gl = peer();
    const auto blend = (flags & kMaterialTranslucent) ? OsMesaPeer::Blend::half : OsMesaPeer::Blend::opaque;
    for (auto _ : state) {
        gl.project(kZoom, kHalfMinSide);
        gl.clear(0);
        gl.drawTriangles(scene.corners, &scene.texture, blend);
        gl.finish();
    }
    state.SetItemsProcessed(state.iterations() * scene.pixels);
    bench::countFrames(state);
}

// ---- (c) 5,000 point sprites ----

struct Sprite {
    float x, y, z, size;  // camera space; size in world units
    uint32_t colour;
};

std::vector<Sprite> sprites(long& pixels) {
    std::mt19937 rng(33);
    auto in = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); };
    std::vector<Sprite> all;
    pixels = 0;
    for (int k = 0; k < 5000; ++k) {
        const float z = in(2, 6);
        const Sprite s{in(-1.2f, 1.2f) * z / 2, in(-0.6f, 0.6f) * z / 2, z, in(0.05f, 0.15f),
                       static_cast<uint32_t>(rng()) & 0xF8FCF8u};
        const long side = static_cast<long>(s.size * kZoom * kHalfMinSide / z);
        pixels += side * side;
        all.push_back(s);
    }
    return all;
}

void spritesOurs(benchmark::State& state) {
    long pixels;
    const std::vector<Sprite> all = sprites(pixels);
    Ours ours;
    for (auto _ : state) {
        ours.begin(0.0f);
        for (const Sprite& s : all) ours.world.addParticle(s.x, -s.y, s.z, static_cast<int32_t>(s.colour), s.size);
        ours.world.render(ours.frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    bench::countFrames(state);
}

void spritesOsMesa(benchmark::State& state) {
    long pixels;
    const std::vector<Sprite> all = sprites(pixels);
    // The glow in grey in the corner of a 256 x 256 texture; each quad spans
    // texture coordinates 0 .. 0.25, the glow's 64 x 64 texels.
    World world(nullptr, kWidth, kHeight, kWidth);
    Image glow(256, 256);
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c) glow.pixels[r * 256 + c] = world.flareSprite[r * 64 + c] * 0x010101u;
    std::vector<OsMesaPeer::Vertex> quads;
    for (const Sprite& s : all) {
        const float h = s.size / 2;
        const OsMesaPeer::Vertex c[4] = {{s.x - h, s.y - h, s.z, s.colour, 0, 0},
                                         {s.x + h, s.y - h, s.z, s.colour, 0.25f, 0},
                                         {s.x + h, s.y + h, s.z, s.colour, 0.25f, 0.25f},
                                         {s.x - h, s.y + h, s.z, s.colour, 0, 0.25f}};
        for (int i : {0, 1, 2, 0, 2, 3}) quads.push_back(c[i]);
    }
    OsMesaPeer& gl = peer();
    for (auto _ : state) {
        gl.project(kZoom, kHalfMinSide);
        gl.clear(0);
        gl.drawTriangles(quads, &glow, OsMesaPeer::Blend::add);
        gl.finish();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    bench::countFrames(state);
}

}  // namespace

BENCHMARK(ballOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(ballOsMesa)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fillOurs, opaque, kMaterialTextured)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fillOsMesa, opaque, kMaterialTextured)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fillOurs, translucent, kMaterialTextured | kMaterialTranslucent)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fillOsMesa, translucent, kMaterialTextured | kMaterialTranslucent)->Unit(benchmark::kMicrosecond);
BENCHMARK(spritesOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(spritesOsMesa)->Unit(benchmark::kMicrosecond);
