// The 27 fade pictures, gathered in load order and stored as JPEG files.
#include "tools/content/fade_pictures.h"

#include <algorithm>
#include <stdexcept>

#include "tools/content/content.h"
#include "tools/content/image_encoders.h"
#include "tools/content/picture_tools.h"

namespace {

const char* const kLoadOrder[] = {
    "pelk1.jpg",  "pelk2.jpg",    "dro1.jpg", "dro2.jpg",     "tazu1.jpg", "tazu2.jpg", "kel1.jpg",
    "kel2.jpg",   "we.jpg",       "are.jpg",  "bodravin.jpg", "you.jpg",   "qm.jpg",    "takes.jpg",
    "people.jpg", "theblame.jpg", "p9p1.jpg", "p9p2.jpg",     "p9p3.jpg",  "p9p4.jpg",  "p9p5.jpg",
    "p3p1.jpg",   "p3p2.jpg",     "p8p1.jpg", "p8p2.jpg",     "p8p3.jpg",  "logo.jpg",
};

}  // namespace

std::vector<NamedImage> makeFadeImages() {
    std::vector<NamedImage> all = makePortraitImages();
    for (auto* part : {makeWordImages, makePanelImages}) {
        std::vector<NamedImage> more = part();
        for (NamedImage& n : more) all.push_back(std::move(n));
    }
    std::vector<NamedImage> ordered;
    for (const char* name : kLoadOrder) {
        auto it = std::find_if(all.begin(), all.end(), [&](const NamedImage& n) { return n.name == name; });
        if (it == all.end()) throw std::logic_error(std::string("fade picture not made: ") + name);
        ordered.push_back(std::move(*it));
    }
    return ordered;
}

std::vector<ContentFile> makeFadePictures() {
    std::vector<ContentFile> files;
    for (const NamedImage& n : makeFadeImages())
        files.push_back({n.name, encodeJpeg(n.image, paint::kOverlayJpegQuality)});
    return files;
}
