// The World's construction, viewport, per-frame reset and scene settings.
#include "scene3d/world.h"

#include <algorithm>
#include <cstdint>
#include <cmath>

#include "resources/resource_cache.h"
#include "resources/upper_case.h"
#include "scene3d/float_to_int.h"
#include "scene3d/mesh.h"

namespace {

// The glow of a point sprite: 255 within about 7.4 cells of the centre, then
// falling with 1 - sin(r) to 0 at r = pi / 2 (31 cells).
void buildFlareSprite(std::vector<uint8_t>& sprite) {
    const int side = World::kFlareSide;
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            const float x = static_cast<float>(j - 32) * 0.05f;
            const float y = static_cast<float>(i - 32) * 0.05f;
            const float r = std::sqrt(x * x + y * y);
            double value = 0.0;
            if (r < 1.570796) value = std::min(255.0, (1.0 - std::sin(static_cast<double>(r))) * 400.0);
            sprite[static_cast<size_t>(i * side + j)] = static_cast<uint8_t>(value);
        }
    }
}

void buildMulTable3d(std::vector<uint8_t>& table) {
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j) table[static_cast<size_t>(i * 256 + j)] = static_cast<uint8_t>((i * j) >> 8);
}

int32_t channel(int32_t rgb, int shift) { return (rgb >> shift) & 0xFF; }

}  // namespace

World::World(ResourceCache* resourceCache, int viewportWidth, int viewportHeight, int viewportPitch)
    : resources(resourceCache) {
    // The first viewport sizes the depth buffer; every later one is limited to it.
    placeViewport(viewportWidth, viewportHeight, viewportPitch, SIZE_MAX);
    initialWidth_ = width;
    initialHeight_ = height;
    initialPitch_ = pitch;
    depthBuffer.assign(static_cast<size_t>(std::max(pitch, 0)) * static_cast<size_t>(std::max(height, 0)), 0);
    depthStamp = 81;
    halfMinSide = static_cast<float>(minSide / 2.0);

    vertices.resize(kMaxVertices);
    faces.resize(kMaxFaces);
    faceNormals.resize(kMaxDrawItems);
    vertexNormals.resize(kMaxDrawItems);
    drawItems.resize(kMaxDrawItems);
    materials.resize(kMaxMaterials);
    drawOrder.resize(kMaxDrawItems);
    for (std::vector<int32_t>& bucket : sortBuckets) bucket.resize(kMaxDrawItems);
    depthKeys.resize(kMaxDrawItems);
    lights.resize(kMaxLights);
    vertexColours.resize(kMaxVertices);
    mulTable3d.resize(256 * 256);
    flareSprite.resize(kFlareSide * kFlareSide);

    buildMulTable3d(mulTable3d);
    buildFlareSprite(flareSprite);

    clearScene();
    setAmbient(0);
    flatLighting = 1;
    clearDepthBuffer();
}

World::~World() = default;

void World::restart() {
    width = prevWidth = initialWidth_;
    height = prevHeight = initialHeight_;
    pitch = prevPitch = initialPitch_;
    minSide = width > height ? height : width;
    clearScene();
    setAmbient(0);
    flatLighting = 1;
    clearDepthBuffer();
    randomState = kInitialRandomState;
    for (auto& [name, scene] : scenes_)
        for (KfNode& node : scene->nodes)
            if (node.type == kKfEmitter) restartEmitter(node);
}

void World::setViewport(int w, int h, int p) { placeViewport(w, h, p, depthBuffer.size()); }

void World::placeViewport(int w, int h, int p, size_t capacity) {
    // Whatever a caller asks, the renderer never reaches past the depth buffer
    // (`capacity` entries): rows are at most `pitch` wide and there are at most
    // as many as it holds. A World built with no pixels draws none.
    w = std::max(w, 0);
    h = std::max(h, 0);
    p = std::max(p, 0);
    if (capacity != SIZE_MAX) {
        p = static_cast<int>(std::min(static_cast<size_t>(p), capacity));
        w = std::min(w, p);
        if (p == 0 || static_cast<size_t>(h) * static_cast<size_t>(p) > capacity)
            h = p == 0 ? 0 : static_cast<int>(capacity / static_cast<size_t>(p));
    }
    width = w;
    height = h;
    pitch = p;
    minSide = w > h ? h : w;
    if (w != prevWidth && h != prevHeight && p != prevPitch && !depthBuffer.empty()) clearDepthBuffer();
    prevWidth = w;
    prevHeight = h;
    prevPitch = p;
}

World& World::clearScene() {
    vertexCount = 0;
    faceCount = 0;
    drawItemCount = 0;
    materialCount = 0;
    lightCount = 0;
    zoom = 3.2f;
    cameraRotY = cameraRotX = cameraRotZ = 0.0f;
    cameraX = cameraY = 0.0f;
    cameraZ = -3.0f;
    drops = FrameDrops{};
    lastPlacedMesh_ = nullptr;
    return *this;
}

World& World::setCamera(float rz, float rx, float ry, float x, float y, float z, float newZoom) {
    cameraRotZ = rz;
    cameraRotX = rx;
    cameraRotY = ry;
    cameraX = x;
    cameraY = y;
    cameraZ = z;
    zoom = newZoom;
    return *this;
}

World& World::setAmbient(int32_t rgb) {
    ambientR = channel(rgb, 16);
    ambientG = channel(rgb, 8);
    ambientB = channel(rgb, 0);
    return *this;
}

World& World::addLight(float x, float y, float z, int32_t rgb, float intensity, float range) {
    if (lightCount >= kMaxLights) {
        ++drops.lights;
        return *this;
    }
    lights[static_cast<size_t>(lightCount++)] = {x,     y, z, channel(rgb, 16), channel(rgb, 8), channel(rgb, 0),
                                                 intensity, 1.0f / range};
    return *this;
}

void World::addParticle(float x, float y, float z, int32_t rgb, float size) {
    if (vertexCount >= kMaxVertices || drawItemCount >= kMaxDrawItems) {
        ++drops.particles;
        return;
    }
    const uint32_t c = static_cast<uint32_t>(rgb);
    const uint16_t colour565 = static_cast<uint16_t>(((c & 0xF80000u) >> 8) + ((c & 0xFC00u) >> 5) + ((c & 0xF8u) >> 3));
    const uint16_t size256 = static_cast<uint16_t>(truncToInt32(std::fabs(size) * 256.0f));
    drawItems[static_cast<size_t>(drawItemCount++)] = {kDrawSprite, 0, static_cast<uint16_t>(vertexCount), colour565,
                                                       size256};
    vertices[static_cast<size_t>(vertexCount++)] = {x, y, z, 0.0f, 0.0f};
}

Mesh& World::mesh(const std::string& name) {
    const std::string key = upperCase(name);
    auto found = meshes_.find(key);
    if (found != meshes_.end()) return *found->second;
    auto mesh = std::make_unique<Mesh>(readMesh(resources->getBytes(name), name));
    return *meshes_.emplace(key, std::move(mesh)).first->second;
}
