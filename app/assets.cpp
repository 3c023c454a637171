// The one set of asset pointers; filled at start-up, read by the scene functions.
#include "app/assets.h"

#include <memory>
#include <vector>

#include "app/opening.h"
#include "app/sections_3d.h"
#include "app/warp_sections.h"
#include "fx2d/fade_picture.h"
#include "fx2d/glow_rays.h"
#include "resources/resource_cache.h"
#include "scene3d/mesh_object.h"
#include "scene3d/world.h"

Assets assets;

namespace {

// The 27 fade pictures in their loading order.
struct FadeAsset {
    const char* file;
    FadePicture* Assets::*slot;
};

constexpr FadeAsset kFadePictures[] = {
    {"pelk1.jpg", &Assets::pelk1},
    {"pelk2.jpg", &Assets::pelk2},
    {"dro1.jpg", &Assets::dro1},
    {"dro2.jpg", &Assets::dro2},
    {"tazu1.jpg", &Assets::tazu1},
    {"tazu2.jpg", &Assets::tazu2},
    {"kel1.jpg", &Assets::kel1},
    {"kel2.jpg", &Assets::kel2},
    {"we.jpg", &Assets::we},
    {"are.jpg", &Assets::are},
    {"bodravin.jpg", &Assets::bodravin},
    {"you.jpg", &Assets::you},
    {"qm.jpg", &Assets::qm},
    {"takes.jpg", &Assets::takes},
    {"people.jpg", &Assets::people},
    {"theblame.jpg", &Assets::theblame},
    {"p9p1.jpg", &Assets::p9p1},
    {"p9p2.jpg", &Assets::p9p2},
    {"p9p3.jpg", &Assets::p9p3},
    {"p9p4.jpg", &Assets::p9p4},
    {"p9p5.jpg", &Assets::p9p5},
    {"p3p1.jpg", &Assets::p3p1},
    {"p3p2.jpg", &Assets::p3p2},
    {"p8p1.jpg", &Assets::p8p1},
    {"p8p2.jpg", &Assets::p8p2},
    {"p8p3.jpg", &Assets::p8p3},
    {"logo.jpg", &Assets::logo},
};

// The five keyframe scenes in their loading order.
struct SceneAsset {
    const char* file;
    KfScene* Assets::*slot;
};

constexpr SceneAsset kKeyframeScenes[] = {
    {"part2.kf", &Assets::part2}, {"part3.kf", &Assets::part3}, {"part4.kf", &Assets::part4},
    {"part6.kf", &Assets::part6}, {"part7.kf", &Assets::part7},
};

// The objects built from the assets live as long as the process.
std::vector<std::unique_ptr<FadePicture>> fadePictures;
std::unique_ptr<GlowRays> glowRays;
std::unique_ptr<MeshObject> ballObject;

}  // namespace

void loadAssets(ResourceCache& cache, World& world) {
    cache.get("font.tga");  // fetched only: it must be there, nothing reads it
    for (const SceneAsset& scene : kKeyframeScenes) assets.*scene.slot = &world.loadScene(scene.file);
    assets.s1 = &cache.getImage("s1.tga");
    assets.txt1 = &cache.getImage("txt1.jpg");
    assets.txt5 = &cache.getImage("txt5.jpg");
    assets.p3back = &cache.getImage("p3back.jpg");
    assets.p4back = &cache.getImage("p4back.jpg");
    // After the keyframe scenes: a scene naming the same mesh shares it and
    // its textures.
    ballObject = std::make_unique<MeshObject>(world, world.mesh("p6ball.edo"));
    assets.ball = ballObject.get();
    assets.p6back = &cache.getImage("p6back.jpg");
    assets.nofx = &cache.getImage("nofx.jpg");
    assets.p8back = &cache.getImage("p8back.jpg");

    fadePictures.clear();
    for (const FadeAsset& fade : kFadePictures) {
        fadePictures.push_back(std::make_unique<FadePicture>(cache.getImage(fade.file)));
        assets.*fade.slot = fadePictures.back().get();
    }

    glowRays = std::make_unique<GlowRays>(cache.getImage("ray.tga"));
    assets.rays = glowRays.get();

    checkOpeningPictures();
    checkWarpSectionPictures();
    check3dSectionPictures();
}
