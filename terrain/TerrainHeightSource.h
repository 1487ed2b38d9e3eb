#pragma once

#include <OgreImage.h>

#include <string>
#include <vector>

namespace Kelvo {

struct TerrainConfig;

// The decoded heightmap and the vertex grid the pages are cut from. Built
// once when the world geometry is set; pages ask it for their heights when
// the paging system defines them. The image is a map seen from above and is
// stretched over the whole grid, so every page shares its edge vertices with
// its neighbours exactly.
class TerrainHeightSource {
public:
    TerrainHeightSource() = default;
    // The image's grey (or red) values from 0 to 1, row by row from the top.
    TerrainHeightSource(std::vector<float> values, int width, int height, float minHeight, float maxHeight,
                        int pages, int pageVertices);

    // Decodes the configuration's heightmap through the resource system.
    // Throws an engine exception naming the file when it is missing,
    // undecodable or too large.
    static TerrainHeightSource load(const TerrainConfig& config);
    static TerrainHeightSource fromImage(const Ogre::Image& image, const TerrainConfig& config);

    // Vertices along the whole terrain's side.
    int gridSize() const { return mPages * (mPageVertices - 1) + 1; }

    // Height at a grid vertex; column 0 is the west edge, row 0 the north
    // edge (-z).
    float heightAtVertex(int column, int row) const;

    // Heights of the page in terrain slot (x, y) in the order the engine's
    // terrain expects: its rows run from the south edge northwards.
    void fillPage(long slotX, long slotY, std::vector<float>& heights) const;

private:
    std::vector<float> mValues;
    int mWidth = 0;
    int mHeight = 0;
    float mMinHeight = 0.0f;
    float mMaxHeight = 0.0f;
    int mPages = 1;
    int mPageVertices = 2;
};

} // namespace Kelvo
