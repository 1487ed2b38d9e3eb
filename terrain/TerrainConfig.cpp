// The terrain configuration file ("paginglandscape2.cfg"), read through the
// engine's resource system: the group "Terrain" first, then any group. The
// files it names are looked up in the group the configuration came from,
// then in any group.
//
// Plain text, one "Key=Value" per line; lines starting with '#' are comments.
// Keys before the first section describe the whole terrain:
//
//   Heightmap=island_height.png   grey image, 8 or 16 bit (colour images: red
//                                  channel); a map seen from above, its left
//                                  edge at x = -WorldSize/2, its top edge at
//                                  z = -WorldSize/2; 2 to 4097 pixels a side
//   WorldSize=2048                 width and depth of the whole terrain in
//                                  world units, centred on the origin
//   MinHeight=0                    world height of a black pixel (default 0)
//   MaxHeight=200                  world height of a white pixel
//   Pages=4                        pages along each side, 1 to 64 (default 1)
//   PageVertices=129               vertices along a page side, 2^n+1 from 33
//                                  to 1025; Pages * (PageVertices - 1) at
//                                  most 16384 (default 129)
//   MaxPixelError=8                level of detail: screen error in pixels
//   CompositeMapDistance=200       beyond it the terrain is drawn with one
//                                  baked texture (default 200)
//   CompositeMapSize=512           power of 2, 64 to 4096
//   LoadRadius=1024                pages within it of a camera are loaded
//                                  (default two page widths)
//   HoldRadius=1536                loaded pages beyond it are dropped
//                                  (default load radius plus a page width)
//   LightMap=yes                   yes or no (default yes)
//   LightMapSize=512               power of 2, 64 to 4096, per page
//   BlendMapSize=256               power of 2, 64 to 2048, per page
//   LightDirection=0.55 -0.3 0.75  the direction the sunlight travels
//   Ambient=0.4 0.4 0.4            light colours baked into the distant
//   Diffuse=1 1 1                  terrain's texture (0 to 1)
//
// Sections [Layer0], [Layer1], ... (at most six, numbered without gaps) are
// the texture layers. [Layer0] is the base and covers everything:
//
//   Texture=grass.png              required
//   Size=32                        world units per repeat of the texture
//   MinHeight=40   MaxHeight=150   height band (layers 1 and up)
//   HeightFade=10                  fade-out beyond the band, world units
//   MinSlope=30    MaxSlope=90     slope band in degrees (layers 1 and up)
//   SlopeFade=5                    fade-out beyond the band, degrees
//
// Every later layer is painted over the ones before it, with full weight
// inside both bands and fading out linearly beyond them.

#include "terrain/TerrainConfig.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

namespace Kelvo {

const char* const TerrainConfig::kResourceGroup = "Terrain";

namespace {

const int kMaxVerticesAlongWorld = 16384;
const float kMaxWorldSize = 1.0e6f;
const float kMaxAbsHeight = 1.0e5f;

[[noreturn]] void fail(const std::string& fileName, const std::string& fault)
{
    const std::string message = "Terrain configuration \"" + fileName + "\": " + fault;
    Ogre::LogManager::getSingleton().logMessage(message);
    OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS, message, "TerrainConfig");
}

// Reads one key's value with the checks every key needs; the caller names
// the key so that a fault points at the line to mend.
class ValueReader {
public:
    ValueReader(const std::string& fileName, const std::string& section)
        : mFileName(fileName)
        , mSection(section)
    {
    }

    float number(const std::string& key, const std::string& text, float low, float high) const
    {
        const char* begin = text.c_str();
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(begin, &end);
        if (end == begin || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
            fault(key, "\"" + text + "\" is not a number");
        }
        if (value < low || value > high) {
            std::ostringstream range;
            range << "\"" << text << "\" is outside " << low << " to " << high;
            fault(key, range.str());
        }
        return static_cast<float>(value);
    }

    int integer(const std::string& key, const std::string& text, int low, int high) const
    {
        const char* begin = text.c_str();
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(begin, &end, 10);
        if (end == begin || *end != '\0' || errno == ERANGE) {
            fault(key, "\"" + text + "\" is not a whole number");
        }
        if (value < low || value > high) {
            fault(key, "\"" + text + "\" is outside " + std::to_string(low) + " to " + std::to_string(high));
        }
        return static_cast<int>(value);
    }

    int powerOfTwo(const std::string& key, const std::string& text, int low, int high) const
    {
        const int value = integer(key, text, low, high);
        if ((value & (value - 1)) != 0) {
            fault(key, "\"" + text + "\" is not a power of 2");
        }
        return value;
    }

    bool flag(const std::string& key, const std::string& text) const
    {
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (lower == "yes" || lower == "true" || lower == "on" || lower == "1") {
            return true;
        }
        if (lower == "no" || lower == "false" || lower == "off" || lower == "0") {
            return false;
        }
        fault(key, "\"" + text + "\" is neither yes nor no");
    }

    Ogre::Vector3 triple(const std::string& key, const std::string& text, float low, float high) const
    {
        std::istringstream in(text);
        std::string parts[3];
        std::string extra;
        if (!(in >> parts[0] >> parts[1] >> parts[2]) || (in >> extra)) {
            fault(key, "\"" + text + "\" is not three numbers");
        }
        return Ogre::Vector3(number(key, parts[0], low, high), number(key, parts[1], low, high),
                             number(key, parts[2], low, high));
    }

    [[noreturn]] void fault(const std::string& key, const std::string& what) const
    {
        fail(mFileName, (mSection.empty() ? "" : "[" + mSection + "] ") + key + ": " + what);
    }

private:
    std::string mFileName;
    std::string mSection;
};

void warnUnknown(const std::string& fileName, const std::string& section, const std::string& key)
{
    Ogre::LogManager::getSingleton().logMessage("Terrain configuration \"" + fileName + "\": " +
                                                (section.empty() ? "" : "[" + section + "] ") + "unknown key \"" +
                                                key + "\" ignored");
}

// The keys of one section, each given at most once.
std::map<std::string, std::string> uniqueKeys(const Ogre::ConfigFile::SettingsMultiMap& settings,
                                              const ValueReader& reader)
{
    std::map<std::string, std::string> keys;
    for (const auto& setting : settings) {
        if (!keys.emplace(setting.first, setting.second).second) {
            reader.fault(setting.first, "given more than once");
        }
    }
    return keys;
}

void readGeneral(TerrainConfig& config, const Ogre::ConfigFile::SettingsMultiMap& settings)
{
    const ValueReader read(config.fileName, "");
    for (const auto& entry : uniqueKeys(settings, read)) {
        const std::string& key = entry.first;
        const std::string& value = entry.second;
        if (key == "Heightmap") {
            if (value.empty()) {
                read.fault(key, "no image named");
            }
            config.heightmap = value;
        } else if (key == "WorldSize") {
            config.worldSize = read.number(key, value, 1.0f, kMaxWorldSize);
        } else if (key == "MinHeight") {
            config.minHeight = read.number(key, value, -kMaxAbsHeight, kMaxAbsHeight);
        } else if (key == "MaxHeight") {
            config.maxHeight = read.number(key, value, -kMaxAbsHeight, kMaxAbsHeight);
        } else if (key == "Pages") {
            config.pages = read.integer(key, value, 1, TerrainConfig::kMaxPages);
        } else if (key == "PageVertices") {
            config.pageVertices = read.integer(key, value, 33, 1025);
            if (((config.pageVertices - 1) & (config.pageVertices - 2)) != 0) {
                read.fault(key, "\"" + value + "\" is not a power of 2 plus 1");
            }
        } else if (key == "MaxPixelError") {
            config.maxPixelError = read.number(key, value, 0.1f, 1000.0f);
        } else if (key == "CompositeMapDistance") {
            config.compositeMapDistance = read.number(key, value, 1.0f, kMaxWorldSize * 2.0f);
        } else if (key == "CompositeMapSize") {
            config.compositeMapSize = read.powerOfTwo(key, value, 64, 4096);
        } else if (key == "LoadRadius") {
            config.loadRadius = read.number(key, value, 1.0f, kMaxWorldSize * 2.0f);
        } else if (key == "HoldRadius") {
            config.holdRadius = read.number(key, value, 1.0f, kMaxWorldSize * 2.0f);
        } else if (key == "LightMap") {
            config.lightMap = read.flag(key, value);
        } else if (key == "LightMapSize") {
            config.lightMapSize = read.powerOfTwo(key, value, 64, 4096);
        } else if (key == "BlendMapSize") {
            config.blendMapSize = read.powerOfTwo(key, value, 64, 2048);
        } else if (key == "LightDirection") {
            const Ogre::Vector3 direction = read.triple(key, value, -1.0e3f, 1.0e3f);
            if (direction.squaredLength() < 1.0e-8f) {
                read.fault(key, "the direction has no length");
            }
            config.lightDirection = direction.normalisedCopy();
        } else if (key == "Ambient" || key == "Diffuse") {
            const Ogre::Vector3 colour = read.triple(key, value, 0.0f, 1.0f);
            (key == "Ambient" ? config.ambient : config.diffuse) = Ogre::ColourValue(colour.x, colour.y, colour.z);
        } else {
            warnUnknown(config.fileName, "", key);
        }
    }
}

TerrainLayerConfig readLayer(const std::string& fileName, const std::string& section, int index,
                             const Ogre::ConfigFile::SettingsMultiMap& settings)
{
    const ValueReader read(fileName, section);
    TerrainLayerConfig layer;
    for (const auto& entry : uniqueKeys(settings, read)) {
        const std::string& key = entry.first;
        const std::string& value = entry.second;
        const bool ruleKey = key == "MinHeight" || key == "MaxHeight" || key == "HeightFade" || key == "MinSlope" ||
                             key == "MaxSlope" || key == "SlopeFade";
        if (ruleKey && index == 0) {
            Ogre::LogManager::getSingleton().logMessage("Terrain configuration \"" + fileName + "\": [" + section +
                                                        "] " + key + " ignored: the base layer covers everything");
            continue;
        }
        if (key == "Texture") {
            if (value.empty()) {
                read.fault(key, "no texture named");
            }
            layer.texture = value;
        } else if (key == "Size") {
            layer.textureSize = read.number(key, value, 0.01f, kMaxWorldSize);
        } else if (key == "MinHeight") {
            layer.minHeight = read.number(key, value, -kMaxAbsHeight, kMaxAbsHeight);
        } else if (key == "MaxHeight") {
            layer.maxHeight = read.number(key, value, -kMaxAbsHeight, kMaxAbsHeight);
        } else if (key == "HeightFade") {
            layer.heightFade = read.number(key, value, 0.0f, kMaxAbsHeight);
        } else if (key == "MinSlope") {
            layer.minSlope = read.number(key, value, 0.0f, 90.0f);
        } else if (key == "MaxSlope") {
            layer.maxSlope = read.number(key, value, 0.0f, 90.0f);
        } else if (key == "SlopeFade") {
            layer.slopeFade = read.number(key, value, 0.0f, 90.0f);
        } else {
            warnUnknown(fileName, section, key);
        }
    }
    if (layer.texture.empty()) {
        read.fault("Texture", "missing");
    }
    if (layer.minHeight > layer.maxHeight) {
        read.fault("MinHeight", "above MaxHeight");
    }
    if (layer.minSlope > layer.maxSlope) {
        read.fault("MinSlope", "above MaxSlope");
    }
    return layer;
}

// "Layer3" -> 3; anything else -> -1.
int layerIndexOf(const std::string& section)
{
    const std::string prefix = "Layer";
    if (section.compare(0, prefix.size(), prefix) != 0 || section.size() == prefix.size() ||
        section.size() > prefix.size() + 2) {
        return -1;
    }
    int index = 0;
    for (size_t i = prefix.size(); i < section.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(section[i]))) {
            return -1;
        }
        index = index * 10 + (section[i] - '0');
    }
    return index;
}

} // namespace

float TerrainLayerConfig::weight(float height, float slopeDegrees) const
{
    auto band = [](float value, float low, float high, float fade) {
        if (value >= low && value <= high) {
            return 1.0f;
        }
        if (fade <= 0.0f) {
            return 0.0f;
        }
        const float outside = value < low ? low - value : value - high;
        return std::max(0.0f, 1.0f - outside / fade);
    };
    return band(height, minHeight, maxHeight, heightFade) * band(slopeDegrees, minSlope, maxSlope, slopeFade);
}

TerrainConfig TerrainConfig::load(const std::string& fileName)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    std::string group;
    if (groups.resourceGroupExists(kResourceGroup) && groups.resourceExists(kResourceGroup, fileName)) {
        group = kResourceGroup;
    } else {
        try {
            group = groups.findGroupContainingResource(fileName);
        } catch (const Ogre::Exception&) {
            fail(fileName, "not found in any resource group (the terrain's files belong in the group \"" +
                               std::string(kResourceGroup) + "\")");
        }
    }
    Ogre::DataStreamPtr stream;
    try {
        stream = groups.openResource(fileName, group);
    } catch (const Ogre::Exception& e) {
        fail(fileName, "cannot be opened: " + e.getDescription());
    }
    return parse(stream, fileName, group);
}

TerrainConfig TerrainConfig::parse(const Ogre::DataStreamPtr& stream, const std::string& fileName,
                                   const std::string& group)
{
    TerrainConfig config;
    config.fileName = fileName;
    config.group = group;
    config.layers.clear();

    Ogre::ConfigFile file;
    try {
        file.load(stream, "=", true);
    } catch (const Ogre::Exception& e) {
        fail(fileName, "cannot be read: " + e.getDescription());
    }

    std::map<int, TerrainLayerConfig> layers;
    bool sawGeneral = false;
    for (const auto& section : file.getSettingsBySection()) {
        const std::string& name = section.first;
        if (name.empty()) {
            readGeneral(config, section.second);
            sawGeneral = true;
            continue;
        }
        const int index = layerIndexOf(name);
        if (index < 0) {
            Ogre::LogManager::getSingleton().logMessage("Terrain configuration \"" + fileName + "\": unknown section [" +
                                                        name + "] ignored");
            continue;
        }
        if (index >= kMaxLayers) {
            fail(fileName, "[" + name + "]: at most " + std::to_string(kMaxLayers) + " layers, [Layer0] to [Layer" +
                               std::to_string(kMaxLayers - 1) + "]");
        }
        layers[index] = readLayer(fileName, name, index, section.second);
    }

    if (!sawGeneral || config.heightmap.empty()) {
        fail(fileName, "Heightmap: missing");
    }
    if (config.worldSize <= 0.0f) {
        fail(fileName, "WorldSize: missing");
    }
    if (config.maxHeight < config.minHeight) {
        fail(fileName, "MaxHeight: missing or below MinHeight");
    }
    if (static_cast<long>(config.pages) * (config.pageVertices - 1) > kMaxVerticesAlongWorld) {
        fail(fileName, "Pages * (PageVertices - 1) is above " + std::to_string(kMaxVerticesAlongWorld));
    }
    if (config.holdRadius > 0.0f && config.holdRadius < config.effectiveLoadRadius()) {
        fail(fileName, "HoldRadius: below the load radius");
    }
    if (layers.empty()) {
        fail(fileName, "[Layer0]: missing; the terrain needs at least its base texture");
    }
    int expected = 0;
    for (auto& layer : layers) {
        if (layer.first != expected) {
            fail(fileName, "[Layer" + std::to_string(layer.first) + "] without [Layer" + std::to_string(expected) + "]");
        }
        config.layers.push_back(layer.second);
        ++expected;
    }
    return config;
}

} // namespace Kelvo
