// The 3D world: one frame's vertices, faces, materials, draw items and lights,
// the camera, the viewport and the renderer's work buffers. main makes the one
// instance; the 3D scene functions refill it every frame and World::render draws it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene3d/kf_scene.h"

struct Image;
struct Mesh;
class ResourceCache;

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// A vertex of the frame: position (world space until World::render moves it to
// camera space) and texture coordinates (1.0 spans the texture once).
struct WorldVertex {
    float x, y, z, u, v;
};

// A triangle: vertex indices into the frame's vertices and a material index.
struct Face {
    int16_t a, b, c, material;
};

// Material flag bits; flags & 7 is the span mode.
constexpr uint32_t kMaterialTextured = 1;
constexpr uint32_t kMaterialGouraud = 2;
constexpr uint32_t kMaterialTranslucent = 4;
constexpr uint32_t kMaterialEnvMapped = 0x80000000u;

// A material as the renderer reads it. `texture` is the 256 x 256 picture that
// World::loadMeshTextures attached (null until then; only read when textured).
struct Material {
    uint32_t flags;
    uint32_t colour;  // 0x00RRGGBB
    const Image* texture;
};

// Something to draw: a face (kind 0, index = face) or a point sprite (kind 1,
// index = vertex, colour in 5-6-5 bits, size x 256 read as signed 16 bits).
struct DrawItem {
    uint8_t kind;
    uint8_t zero;
    uint16_t index;
    uint16_t colour565;
    uint16_t size;
};

constexpr uint8_t kDrawFace = 0;
constexpr uint8_t kDrawSprite = 1;

// A point light; r, g, b are 0 ... 255, invRange is 1 / range.
struct Light {
    float x, y, z;
    int32_t r, g, b;
    float intensity;
    float invRange;
};

// What a frame could not hold: additions refused at the capacities and faces
// the near clipper could not split for lack of room. Reset by clearScene.
struct FrameDrops {
    int meshes = 0;
    int lights = 0;
    int particles = 0;
    int clippedFaces = 0;

    int total() const { return meshes + lights + particles + clippedFaces; }
};

class World {
public:
    static constexpr int kMaxVertices = 14000;
    static constexpr int kMaxFaces = 15000;
    static constexpr int kMaxMaterials = 1000;
    static constexpr int kMaxDrawItems = 15000;
    static constexpr int kMaxLights = 500;
    static constexpr int kSortDigits = 16;  // radix-sort buckets, one per 4-bit digit
    static constexpr int kFlareSide = 64;   // flareSprite is kFlareSide x kFlareSide bytes
    static constexpr float kNearZ = 0.125f;

    // Allocates every list and work buffer, builds the sprite and table, and
    // clears the depth buffer. The depth buffer holds pitch x height entries;
    // later viewports are limited to it.
    World(ResourceCache* resources, int width, int height, int pitch);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Puts back what frames depend on as the constructor and loadScene left
    // it: viewport, depth buffer and stamp, ambient colour, lighting mode, the
    // emitters' random generator, and every loaded scene's particle pools and
    // emitter times. Meshes, textures and scenes stay loaded.
    void restart();

    // --- frame set-up ---------------------------------------------------------
    // Clears the depth buffer only when width, height and pitch all change.
    void setViewport(int width, int height, int pitch);
    // Empties the lists and restores the default camera; the ambient colour stays.
    World& clearScene();
    World& setCamera(float rz, float rx, float ry, float x, float y, float z, float zoom);
    World& setAmbient(int32_t rgb);
    World& addLight(float x, float y, float z, int32_t rgb, float intensity, float range);
    void addParticle(float x, float y, float z, int32_t rgb, float size);
    // Whether addParticle would take one more (else it counts a drop).
    bool particleFits() const { return vertexCount < kMaxVertices && drawItemCount < kMaxDrawItems; }

    // --- meshes -----------------------------------------------------------------
    // The mesh filed under `name` (any letter case), read and checked on first
    // use and shared by every later request. Throws LoadError "<name>: <problem>".
    Mesh& mesh(const std::string& name);
    // Places the mesh with F (pivot, scale, roll z, pitch x, yaw y, translation).
    void addMesh(const Mesh& mesh, float rz, float rx, float ry, float x, float y, float z, float sx,
                 float sy, float sz, float px, float py, float pz);
    // Moves the vertices the last addMesh of `mesh` placed by an ancestor's F.
    void applyParentTransform(const Mesh& mesh, float rz, float rx, float ry, float x, float y, float z,
                              float sx, float sy, float sz, float px, float py, float pz);

    // --- keyframe scenes ----------------------------------------------------------
    // The scene filed under `name` (any letter case), read and checked on first
    // use: its meshes fetched (shared by name) with their textures, its particle
    // pools made empty. Later calls return the same scene with its run-time
    // state. Throws LoadError "<name>: <problem>".
    KfScene& loadScene(const std::string& name);
    // Attaches the 256 x 256 texture of every textured material of the mesh.
    void loadMeshTextures(Mesh& mesh);
    // The picture `name` at 256 x 256: as it is when it has that size, else a
    // bilinear, wrapping resample filed back under the same name, so that every
    // later request gets the copy.
    const Image& loadTexture(const std::string& name);
    // Poses the scene at `t` seconds into the frame: its ambient colour, meshes
    // (moved by their ancestors), lights, camera and particles. Emitters advance
    // their pools. Returns the number of nodes.
    int drawScene(KfScene& scene, float t);

    // --- the render pipeline, in the order World::render runs it ----------------
    void render(uint32_t* target);
    void transformToCamera();
    void cullBackFaces();
    void clipNear(float zNear);
    int addClipVertex(int p, int q, float zNear);
    void sortDrawItems();
    void computeNormals();
    void lightVertices();
    void drawSorted();
    void clearDepthBuffer();

    // Drawing into a target of at least `height` rows `pitch` pixels apart:
    // the face of draw-item position `item`, the point sprite of position
    // `item` (projected, then drawn by drawFlare into `target`), and a glow of
    // `size` x `size` pixels centred on (sx, sy) with depth w = 1/z.
    void drawFace(uint32_t* frame, int item);
    void drawPointSprite(int item);
    void drawFlare(float sx, float sy, uint32_t colour, float size, float w);

    // Shades (per channel 255 - lit, packed 0x00RRGGBB).
    uint32_t lightVertex(int i) const;
    uint32_t lightFace(int item) const;
    uint32_t shadeFace(int item, uint32_t colour) const;

    // Screen position of a camera-space point with w = 1 / z; y' = w * y.
    float projectX(float x, float w) const { return x * zoom * w * halfMinSide + static_cast<float>(width) * 0.5f; }
    float projectY(float yw) const { return yw * zoom * halfMinSide + static_cast<float>(height) * 0.5f; }

    // --- the frame ---------------------------------------------------------------
    ResourceCache* resources;

    int width = 0, prevWidth = 0;
    int height = 0, prevHeight = 0;
    int minSide = 0;
    int pitch = 0, prevPitch = 0;
    float halfMinSide = 0.0f;  // of the construction-time viewport, never updated

    uint32_t* target = nullptr;  // of the current render call

    std::vector<WorldVertex> vertices;  // kMaxVertices
    int vertexCount = 0;
    std::vector<Face> faces;  // kMaxFaces
    int faceCount = 0;
    std::vector<Material> materials;  // kMaxMaterials
    int materialCount = 0;
    std::vector<DrawItem> drawItems;  // kMaxDrawItems
    int drawItemCount = 0;
    std::vector<Light> lights;  // kMaxLights
    int lightCount = 0;

    float cameraRotY = 0.0f, cameraRotX = 0.0f, cameraRotZ = 0.0f;  // degrees
    float cameraX = 0.0f, cameraY = 0.0f, cameraZ = 0.0f;
    float zoom = 0.0f;
    int32_t ambientR = 0, ambientG = 0, ambientB = 0;
    int32_t flatLighting = 0;

    FrameDrops drops;
    static constexpr int32_t kInitialRandomState = 127;
    // randomUnit's generator, shared by every emitter of every scene.
    int32_t randomState = kInitialRandomState;

    // --- renderer work buffers ----------------------------------------------------
    std::vector<int32_t> depthBuffer;  // float bit patterns of depthStamp + 1/z
    int32_t depthStamp = 0;
    std::vector<uint32_t> vertexColours;  // one shade per vertex
    std::vector<int32_t> drawOrder;       // draw-item positions in drawing order
    std::vector<int32_t> sortBuckets[kSortDigits];
    std::vector<float> depthKeys;       // per draw-item position
    std::vector<Vec3> faceNormals;      // per draw-item position
    std::vector<Vec3> vertexNormals;    // per vertex
    std::vector<uint8_t> flareSprite;   // kFlareSide x kFlareSide glow intensities
    std::vector<uint8_t> mulTable3d;    // [i * 256 + j] = (i * j) >> 8

private:
    // The viewport limited to `capacity` depth-buffer entries (SIZE_MAX: none yet).
    void placeViewport(int w, int h, int p, size_t capacity);

    int initialWidth_ = 0, initialHeight_ = 0, initialPitch_ = 0;  // the viewport as constructed
    const Mesh* lastPlacedMesh_ = nullptr;  // the last addMesh that added something
    int lastPlacedEnd_ = 0;                 // vertexCount right after it
    std::map<std::string, std::unique_ptr<Mesh>> meshes_;  // by upper-case name
    std::map<std::string, std::unique_ptr<KfScene>> scenes_;  // by upper-case name
};

// Scales v to length 1; a zero vector stays zero.
void normalise(Vec3& v);
