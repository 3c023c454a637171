// The World through its public calls alone, as a program the input spells:
// a World of odd sizes (0 among them), then viewports at and beyond its
// frame, cameras, ambient colours, lights with zero and negative ranges,
// sprites anywhere (behind the camera too), meshes with extreme, NaN and
// infinite coordinates and degenerate faces, each followed by a render into
// a target of exactly the World's size. Every list stays within its
// capacity, and nothing is read or written outside the depth buffer or the
// target (the sanitizers see to that).
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/world_checks.h"
#include "tests/scene3d/scene_files.h"

namespace {

constexpr int kMaxSide = 600;
constexpr int kMaxMeshVertices = 24;
constexpr int kMaxMeshFaces = 24;

// The input read front to back; past its end every value is 0.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte()) << (8 * i);
        return value;
    }
    // Any float bit pattern: NaN, infinities and the far ones come up as often as any.
    float anyFloat() { return bitCast<float>(word()); }
    int side() { return static_cast<int>((byte() | byte() << 8) % (kMaxSide + 1)); }
    int16_t index() { return static_cast<int16_t>(byte() | byte() << 8); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A mesh file of a few vertices and faces, whose indices may repeat (a
// degenerate face); the reader refuses those that name nothing.
std::vector<uint8_t> meshOf(Reader& in) {
    const int vertexCount = 1 + in.byte() % kMaxMeshVertices;
    std::vector<WorldVertex> vertices;
    for (int i = 0; i < vertexCount; ++i)
        vertices.push_back({in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat()});
    const int faceCount = in.byte() % kMaxMeshFaces;
    std::vector<Face> faces;
    for (int i = 0; i < faceCount; ++i) {
        const int16_t a = static_cast<int16_t>(in.byte() % vertexCount),
                      b = static_cast<int16_t>(in.byte() % vertexCount),
                      c = static_cast<int16_t>(in.byte() % vertexCount);
        faces.push_back({a, b, c, 0});
    }
    // Flat, Gouraud or translucent; a texture only where one is filed.
    const uint32_t flags = in.byte() & 6u;
    return scenefiles::meshBytes(vertices, faces, {{flags, in.word() & 0xFFFFFFu, ""}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    const int width = in.side(), height = in.side();
    const int pitch = width + in.byte() % 8;
    scenefiles::TestWorld t(1, 1);
    World world(&t.cache, width, height, pitch);
    std::vector<uint32_t> target(static_cast<size_t>(pitch) * static_cast<size_t>(height));
    int meshes = 0;
    for (int step = 0; in.more() && step < 64; ++step) {
        switch (in.byte() % 8) {
            case 0:
                world.setViewport(in.index(), in.index(), in.index());
                break;
            case 1:
                world.clearScene();
                break;
            case 2:
                world.setCamera(in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat(),
                                in.anyFloat(), in.anyFloat());
                break;
            case 3:
                world.setAmbient(static_cast<int32_t>(in.word()));
                break;
            case 4:
                world.addLight(in.anyFloat(), in.anyFloat(), in.anyFloat(), static_cast<int32_t>(in.word()),
                               in.anyFloat(), in.anyFloat());
                break;
            case 5:
                world.addParticle(in.anyFloat(), in.anyFloat(), in.anyFloat(),
                                  static_cast<int32_t>(in.word()), in.anyFloat());
                break;
            case 6: {
                char name[32];
                std::snprintf(name, sizeof name, "m%d.edo", meshes++);
                t.fileBytes(name, meshOf(in));
                try {
                    const Mesh& mesh = world.mesh(name);
                    world.addMesh(mesh, in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat(),
                                  in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat(), in.anyFloat(),
                                  in.anyFloat(), in.anyFloat(), in.anyFloat());
                } catch (const LoadError& error) {
                    fuzz::checkOneLine(error);
                }
                break;
            }
            default:
                fuzz::checkWorldLists(world);
                // The target is as large as the depth buffer, which is all the World may reach.
                fuzz::check(world.width <= world.pitch &&
                                static_cast<size_t>(world.height) * static_cast<size_t>(world.pitch) <=
                                    world.depthBuffer.size(),
                            "the viewport lies inside the depth buffer");
                world.render(target.data());
                break;
        }
    }
    fuzz::checkWorldLists(world);
    world.render(target.data());
    return 0;
}
