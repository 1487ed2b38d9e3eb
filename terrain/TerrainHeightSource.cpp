#include "terrain/TerrainHeightSource.h"

#include "terrain/TerrainConfig.h"

#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgrePixelFormat.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

namespace {

[[noreturn]] void fail(const TerrainConfig& config, const std::string& fault)
{
    const std::string message =
        "Terrain configuration \"" + config.fileName + "\": heightmap \"" + config.heightmap + "\" " + fault;
    Ogre::LogManager::getSingleton().logMessage(message);
    OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, message, "TerrainHeightSource");
}

std::string extensionOf(const std::string& name)
{
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

} // namespace

TerrainHeightSource::TerrainHeightSource(std::vector<float> values, int width, int height, float minHeight,
                                         float maxHeight, int pages, int pageVertices)
    : mValues(std::move(values))
    , mWidth(width)
    , mHeight(height)
    , mMinHeight(minHeight)
    , mMaxHeight(maxHeight)
    , mPages(pages)
    , mPageVertices(pageVertices)
{
}

TerrainHeightSource TerrainHeightSource::load(const TerrainConfig& config)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    std::string group = config.group;
    if (group.empty() || !groups.resourceGroupExists(group) || !groups.resourceExists(group, config.heightmap)) {
        if (!groups.resourceExistsInAnyGroup(config.heightmap)) {
            fail(config, "not found in any resource group");
        }
        group = groups.findGroupContainingResource(config.heightmap);
    }
    Ogre::Image image;
    try {
        Ogre::DataStreamPtr stream = groups.openResource(config.heightmap, group);
        image.load(stream, extensionOf(config.heightmap));
    } catch (const Ogre::Exception& e) {
        fail(config, "cannot be decoded: " + e.getDescription());
    }
    return fromImage(image, config);
}

TerrainHeightSource TerrainHeightSource::fromImage(const Ogre::Image& image, const TerrainConfig& config)
{
    const int width = static_cast<int>(image.getWidth());
    const int height = static_cast<int>(image.getHeight());
    if (width < 2 || height < 2 || width > TerrainConfig::kMaxHeightmapSide ||
        height > TerrainConfig::kMaxHeightmapSide || image.getDepth() != 1) {
        fail(config, "is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; 2 to " +
                         std::to_string(TerrainConfig::kMaxHeightmapSide) + " a side are usable");
    }
    if (Ogre::PixelUtil::isCompressed(image.getFormat())) {
        fail(config, "is compressed; a plain grey image is needed");
    }
    std::vector<float> values(static_cast<size_t>(width) * height);
    Ogre::PixelBox source = image.getPixelBox();
    Ogre::PixelBox target(width, height, 1, Ogre::PF_FLOAT32_R, values.data());
    Ogre::PixelUtil::bulkPixelConversion(source, target);
    for (float& value : values) {
        value = std::isfinite(value) ? std::min(1.0f, std::max(0.0f, value)) : 0.0f;
    }
    return TerrainHeightSource(std::move(values), width, height, config.minHeight, config.maxHeight, config.pages,
                               config.pageVertices);
}

float TerrainHeightSource::heightAtVertex(int column, int row) const
{
    const int last = gridSize() - 1;
    column = std::min(std::max(column, 0), last);
    row = std::min(std::max(row, 0), last);
    // Bilinear between the four pixels around the vertex's place on the image.
    const float u = static_cast<float>(column) * (mWidth - 1) / last;
    const float v = static_cast<float>(row) * (mHeight - 1) / last;
    const int x0 = std::min(static_cast<int>(u), mWidth - 2);
    const int y0 = std::min(static_cast<int>(v), mHeight - 2);
    const float fx = u - x0;
    const float fy = v - y0;
    const float* top = &mValues[static_cast<size_t>(y0) * mWidth + x0];
    const float* bottom = top + mWidth;
    const float value = (top[0] * (1 - fx) + top[1] * fx) * (1 - fy) + (bottom[0] * (1 - fx) + bottom[1] * fx) * fy;
    return mMinHeight + (mMaxHeight - mMinHeight) * value;
}

void TerrainHeightSource::fillPage(long slotX, long slotY, std::vector<float>& heights) const
{
    const int size = mPageVertices;
    const int step = size - 1;
    heights.resize(static_cast<size_t>(size) * size);
    // Slot y grows northwards (towards -z) and so do the page's own rows,
    // while the image's rows grow southwards.
    const int firstColumn = static_cast<int>(slotX) * step;
    const int southRow = (mPages - static_cast<int>(slotY)) * step;
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            heights[static_cast<size_t>(j) * size + i] = heightAtVertex(firstColumn + i, southRow - j);
        }
    }
}

} // namespace Kelvo
