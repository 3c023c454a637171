// The asset objects of the presentation, one pointer each, built once at
// start-up by loadAssets() and read by the scene functions.
#pragma once

struct Image;
class FadePicture;
class GlowRays;
struct KfScene;
class MeshObject;
class ResourceCache;
class World;

struct Assets {
    // Pictures used whole by the warp and 3D scenes.
    Image* s1 = nullptr;
    Image* txt1 = nullptr;
    Image* txt5 = nullptr;
    Image* p3back = nullptr;
    Image* p4back = nullptr;
    Image* p6back = nullptr;
    Image* nofx = nullptr;
    Image* p8back = nullptr;

    // The 27 fade pictures, in loading order.
    FadePicture* pelk1 = nullptr;
    FadePicture* pelk2 = nullptr;
    FadePicture* dro1 = nullptr;
    FadePicture* dro2 = nullptr;
    FadePicture* tazu1 = nullptr;
    FadePicture* tazu2 = nullptr;
    FadePicture* kel1 = nullptr;
    FadePicture* kel2 = nullptr;
    FadePicture* we = nullptr;
    FadePicture* are = nullptr;
    FadePicture* bodravin = nullptr;
    FadePicture* you = nullptr;
    FadePicture* qm = nullptr;
    FadePicture* takes = nullptr;
    FadePicture* people = nullptr;
    FadePicture* theblame = nullptr;
    FadePicture* p9p1 = nullptr;
    FadePicture* p9p2 = nullptr;
    FadePicture* p9p3 = nullptr;
    FadePicture* p9p4 = nullptr;
    FadePicture* p9p5 = nullptr;
    FadePicture* p3p1 = nullptr;
    FadePicture* p3p2 = nullptr;
    FadePicture* p8p1 = nullptr;
    FadePicture* p8p2 = nullptr;
    FadePicture* p8p3 = nullptr;
    FadePicture* logo = nullptr;

    // The keyframe scenes, prepared by World::loadScene; their emitters keep
    // their particles from frame to frame.
    KfScene* part2 = nullptr;
    KfScene* part3 = nullptr;
    KfScene* part4 = nullptr;
    KfScene* part6 = nullptr;
    KfScene* part7 = nullptr;

    GlowRays* rays = nullptr;    // made from "ray.tga"
    MeshObject* ball = nullptr;  // made from "p6ball.edo", dented by the ball scenes
};

extern Assets assets;

// Fetches every asset by name in the fixed loading order (a name found
// nowhere ends the program through the cache) and builds the objects the
// scenes use, then checks that each picture fits the scene that reads it.
// Throws LoadError "<file>: <problem>".
void loadAssets(ResourceCache& cache, World& world);
