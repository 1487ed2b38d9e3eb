#pragma once

#include <OgreColourValue.h>
#include <OgreDataStream.h>
#include <OgreVector.h>

#include <string>
#include <vector>

namespace Kelvo {

// One texture layer of the terrain and the ground it covers. Layer 0 is the
// base and covers everything; each later layer is painted over the ones
// before it where the ground's height and slope fall in its bands.
struct TerrainLayerConfig {
    std::string texture;
    float textureSize = 32.0f;  // world units covered by one repeat of the texture
    float minHeight = -1.0e9f;
    float maxHeight = 1.0e9f;
    float heightFade = 0.0f;    // world units over which the layer fades out beyond its height band
    float minSlope = 0.0f;      // degrees from the horizontal
    float maxSlope = 90.0f;
    float slopeFade = 0.0f;     // degrees over which the layer fades out beyond its slope band

    // How much of this layer shows over the layers below, 0 to 1.
    float weight(float height, float slopeDegrees) const;
};

// The contents of "paginglandscape2.cfg": what the terrain is made of and how
// it is drawn and paged. The format is described at the top of
// TerrainConfig.cpp and in terrain/README.md.
struct TerrainConfig {
    static const char* const kResourceGroup;
    static const int kMaxPages = 64;
    static const int kMaxLayers = 6;
    static const int kMaxHeightmapSide = 4097;

    std::string fileName;
    std::string group;  // the resource group the file was found in; its files are looked up there first

    std::string heightmap;
    float worldSize = 0.0f;
    float minHeight = 0.0f;
    float maxHeight = 0.0f;
    int pages = 1;
    int pageVertices = 129;
    float maxPixelError = 8.0f;
    float compositeMapDistance = 200.0f;
    int compositeMapSize = 512;
    float loadRadius = 0.0f;  // 0: two pages' width
    float holdRadius = 0.0f;  // 0: load radius plus one page's width
    bool lightMap = true;
    int lightMapSize = 512;
    int blendMapSize = 256;
    Ogre::Vector3 lightDirection = Ogre::Vector3(0.55f, -0.3f, 0.75f).normalisedCopy();
    Ogre::ColourValue ambient = Ogre::ColourValue(0.4f, 0.4f, 0.4f);
    Ogre::ColourValue diffuse = Ogre::ColourValue::White;
    std::vector<TerrainLayerConfig> layers;

    float pageWorldSize() const { return worldSize / static_cast<float>(pages); }
    float effectiveLoadRadius() const { return loadRadius > 0.0f ? loadRadius : 2.0f * pageWorldSize(); }
    float effectiveHoldRadius() const
    {
        return holdRadius > 0.0f ? holdRadius : effectiveLoadRadius() + pageWorldSize();
    }

    // Finds the file through the engine's resource system (the group
    // "Terrain" first, then any group) and reads it. Throws an engine
    // exception naming the file and the fault when it is missing or
    // unusable; unknown keys only cost a log line.
    static TerrainConfig load(const std::string& fileName);
    static TerrainConfig parse(const Ogre::DataStreamPtr& stream, const std::string& fileName,
                               const std::string& group);
};

} // namespace Kelvo
