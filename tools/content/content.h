// The default content generator: every picture, mesh, keyframe scene and the
// music module of the presentation, made from code. Used by zedariva-content.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One file of the content, named as the presentation asks for it.
struct ContentFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<ContentFile> makePictures();      // textures, backgrounds, ray, font, s1
std::vector<ContentFile> makeFadePictures();  // the 27 word, portrait, panel and logo pictures
std::vector<ContentFile> makeMeshes();        // "p6ball.edo" and the meshes the scenes name
std::vector<ContentFile> makeScenes();        // the five keyframe scenes
std::vector<uint8_t> makeMusic();             // "tazutune.it"
