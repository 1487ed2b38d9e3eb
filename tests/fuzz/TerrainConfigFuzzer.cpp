// Feeds arbitrary bytes to the terrain configuration reader as
// "paginglandscape2.cfg". A file it refuses must be refused with the engine's
// exception naming the file; a file it accepts must describe a terrain the
// terrain layer can build (sizes within their documented ranges, finite
// numbers). Built with clang's libFuzzer, AddressSanitizer and UBSan
// (./setup.sh fuzz).

#include "terrain/TerrainConfig.h"

#include <OgreDataStream.h>
#include <OgreException.h>
#include <OgreLogManager.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kFileName = "paginglandscape2.cfg";

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "accepted configuration breaks its rule: %s\n", what);
        std::abort();
    }
}

bool isPowerOfTwoIn(int value, int low, int high)
{
    return value >= low && value <= high && (value & (value - 1)) == 0;
}

void checkAccepted(const Kelvo::TerrainConfig& config)
{
    require(!config.heightmap.empty(), "a heightmap");
    require(std::isfinite(config.worldSize) && config.worldSize > 0.0f, "a positive world size");
    require(std::isfinite(config.minHeight) && std::isfinite(config.maxHeight) && config.minHeight <= config.maxHeight,
            "finite heights, min at most max");
    require(config.pages >= 1 && config.pages <= Kelvo::TerrainConfig::kMaxPages, "pages 1 to 64");
    require(config.pageVertices >= 33 && config.pageVertices <= 1025 &&
                isPowerOfTwoIn(config.pageVertices - 1, 32, 1024),
            "page vertices 2^n+1 from 33 to 1025");
    require(isPowerOfTwoIn(config.compositeMapSize, 64, 4096), "composite map size");
    require(isPowerOfTwoIn(config.lightMapSize, 64, 4096), "light map size");
    require(isPowerOfTwoIn(config.blendMapSize, 64, 2048), "blend map size");
    require(std::isfinite(config.effectiveLoadRadius()) && config.effectiveHoldRadius() >= config.effectiveLoadRadius(),
            "hold radius at least the load radius");
    require(std::fabs(config.lightDirection.length() - 1.0f) < 1.0e-3f, "a unit light direction");
    require(!config.layers.empty() && config.layers.size() <= static_cast<std::size_t>(Kelvo::TerrainConfig::kMaxLayers),
            "one to six layers");
    for (const Kelvo::TerrainLayerConfig& layer : config.layers) {
        require(!layer.texture.empty(), "every layer names its texture");
        require(std::isfinite(layer.textureSize) && layer.textureSize > 0.0f, "a positive texture size");
        const float weight = layer.weight(config.minHeight, 10.0f);
        require(std::isfinite(weight) && weight >= 0.0f && weight <= 1.0f, "a layer weight from 0 to 1");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Ogre::LogManager* logs = [] {
        auto* made = new Ogre::LogManager();
        made->createLog("fuzz.log", true, false, true);
        return made;
    }();
    (void)logs;
    // The stream copies the bytes: the reader may keep nothing of the
    // fuzzer's buffer.
    Ogre::DataStreamPtr stream(
        new Ogre::MemoryDataStream(const_cast<std::uint8_t*>(data), size, false, true));
    Ogre::DataStreamPtr copy(new Ogre::MemoryDataStream(kFileName, stream));
    try {
        checkAccepted(Kelvo::TerrainConfig::parse(copy, kFileName, "Terrain"));
    } catch (const Ogre::Exception& e) {
        if (e.getDescription().find(kFileName) == std::string::npos) {
            std::fprintf(stderr, "refusal without the file's name: %s\n", e.getDescription().c_str());
            std::abort();
        }
    }
    return 0;
}
