// zedariva-render: poses a keyframe scene at the given times, as the 3D
// sections do, and writes the frame as a 24-bit TGA, so that a content maker
// can look at any scene without running the presentation. Every problem is
// one line and a non-zero exit.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/screenshot.h"
#include "resources/load_error.h"
#include "resources/resource_cache.h"
#include "resources/upper_case.h"
#include "scene3d/world.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxSide = 4096;
constexpr long kMaxPictures = 10000;  // one --every run

const char kUsage[] =
    "usage: zedariva-render [--pack FILE] [--size WxH] [--background 0xRRGGBB] [--every=DT] SCENE.kf OUT.tga "
    "TIME...\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string pack;  // empty: loose files in the current folder only
    int width = 512;
    int height = 256;
    uint32_t background = 0;
    double every_seconds = 0.0;  // above 0: one picture per step from the first time to the second
    std::string scene;
    std::string out;
    std::vector<double> times_seconds;
};

double parseNumber(const std::string& text, const char* what) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value))
        throw UsageError(std::string(what) + " '" + text + "' is not a number");
    return value;
}

void parseSize(const std::string& text, Options& options) {
    int width = 0, height = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width < 1 || height < 1 ||
        width > kMaxSide || height > kMaxSide)
        throw UsageError("size '" + text + "' is not WxH with sides from 1 to 4096");
    options.width = width;
    options.height = height;
}

void parseColour(const std::string& text, Options& options) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || *end != '\0' || text[0] == '-' || value > 0xFFFFFF)
        throw UsageError("background '" + text + "' is not a colour 0xRRGGBB");
    options.background = static_cast<uint32_t>(value);
}

// Options come first, each as "--name VALUE" or "--name=VALUE"; then the
// scene, the output and the times.
Options parseArguments(int argc, char** argv) {
    Options options;
    int at = 1;
    for (; at < argc && std::strncmp(argv[at], "--", 2) == 0; ++at) {
        std::string name = argv[at];
        std::string value;
        if (const size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (at + 1 < argc) {
            value = argv[++at];
        } else {
            throw UsageError("option " + name + " needs a value");
        }
        if (name == "--pack") {
            options.pack = value;
            if (value.empty()) throw UsageError("--pack needs a file name");
        } else if (name == "--size") {
            parseSize(value, options);
        } else if (name == "--background") {
            parseColour(value, options);
        } else if (name == "--every") {
            options.every_seconds = parseNumber(value, "step");
            if (options.every_seconds <= 0.0) throw UsageError("step '" + value + "' is not above 0");
        } else {
            throw UsageError("unknown option " + name);
        }
    }
    if (argc - at < 3) throw UsageError("a scene, an output file and at least one time are needed");
    options.scene = argv[at++];
    options.out = argv[at++];
    for (; at < argc; ++at) options.times_seconds.push_back(parseNumber(argv[at], "time"));
    if (options.every_seconds > 0.0) {
        if (options.times_seconds.size() != 2 || options.times_seconds[1] < options.times_seconds[0])
            throw UsageError("--every needs two times, the first no later than the second");
        const double steps = (options.times_seconds[1] - options.times_seconds[0]) / options.every_seconds;
        if (steps >= kMaxPictures) throw UsageError("--every would write more than 10000 pictures");
    }
    return options;
}

// "out.tga" with step 7 gives "out-0007.tga".
std::string numberedName(const std::string& out, long step) {
    std::string stem = out;
    if (stem.size() >= 4 && upperCase(stem.substr(stem.size() - 4)) == ".TGA") stem.resize(stem.size() - 4);
    std::string number = std::to_string(step);
    if (number.size() < 4) number.insert(0, 4 - number.size(), '0');
    return stem + "-" + number + ".tga";
}

// The scene and everything it names, through the cache as the presentation
// reads them. The cache's message for a missing name does not say which.
KfScene& loadScene(World& world, ResourceCache& cache, const std::string& scene) {
    const auto isMissing = [](const LoadError& error) {
        return std::strcmp(error.what(), "file not included exit") == 0;
    };
    try {
        cache.indexOf(scene);
    } catch (const LoadError& error) {
        if (isMissing(error)) throw LoadError(scene + ": neither in the pack nor a loose file");
        throw;
    }
    try {
        return world.loadScene(scene);
    } catch (const LoadError& error) {
        if (isMissing(error))
            throw LoadError(scene + ": a mesh or texture it names is neither in the pack nor a loose file");
        throw;
    }
}

void writePicture(const std::string& name, const std::vector<uint32_t>& frame, const Options& options) {
    const int error = writeTga24(name.c_str(), frame.data(), options.width, options.height);
    if (error != 0) throw LoadError(name + ": cannot write: " + std::strerror(error));
    std::printf("wrote %s\n", name.c_str());
}

int run(const Options& options) {
    if (!options.pack.empty()) {
        std::FILE* pack = std::fopen(options.pack.c_str(), "rb");
        if (!pack) throw LoadError(options.pack + ": cannot open the pack: " + std::strerror(errno));
        std::fclose(pack);
    }
    ResourceCache cache(options.pack);
    World world(&cache, options.width, options.height, options.width);
    KfScene& scene = loadScene(world, cache, options.scene);
    std::vector<uint32_t> frame(static_cast<size_t>(options.width) * static_cast<size_t>(options.height));

    // Every frame starts from the background, like a 3D section over a cleared frame.
    const auto pose = [&](double t_seconds) {
        std::fill(frame.begin(), frame.end(), options.background);
        world.clearScene();
        world.setViewport(options.width, options.height, options.width);
        world.drawScene(scene, static_cast<float>(t_seconds));
        world.render(frame.data());
    };
    if (options.every_seconds > 0.0) {
        const double first = options.times_seconds[0], last = options.times_seconds[1];
        for (long step = 0; first + static_cast<double>(step) * options.every_seconds <= last + 1e-9;
             ++step) {
            pose(first + static_cast<double>(step) * options.every_seconds);
            writePicture(numberedName(options.out, step), frame, options);
        }
        return 0;
    }
    for (double t : options.times_seconds) pose(t);
    writePicture(options.out, frame, options);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    try {
        return run(parseArguments(argc, argv));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "zedariva-render: %s\n", error.what());
        return kExitUsage;
    } catch (const LoadError& error) {
        std::fprintf(stderr, "zedariva-render: %s\n", error.what());
        return kExitError;
    }
}
