#include "HeadlessEngine.h"

#include "terrain/TerrainConfig.h"
#include "terrain/TerrainHeightSource.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "WindowedGL.h"

#include <cstdint>
#include <fstream>

using Kelvo::TerrainConfig;
using Kelvo::TerrainHeightSource;

namespace {

TerrainConfig configFor(int pages, int pageVertices, float minHeight, float maxHeight)
{
    TerrainConfig config;
    config.fileName = "test.cfg";
    config.heightmap = "test.png";
    config.worldSize = 1000;
    config.pages = pages;
    config.pageVertices = pageVertices;
    config.minHeight = minHeight;
    config.maxHeight = maxHeight;
    return config;
}

class TerrainHeightSourceTest : public KelvoTest::HeadlessEngineTest {};

TEST_F(TerrainHeightSourceTest, PagesAreCutFromTheMapSeenFromAboveAndShareTheirEdges)
{
    // A 3 x 3 map: west to east 0, 1, 2 tenths plus north to south 0, 3, 6
    // tenths. Two pages of 33 vertices a side: the grid is 65 vertices.
    std::vector<float> values;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            values.push_back(0.1f * column + 0.3f * row);
        }
    }
    const TerrainHeightSource heights(values, 3, 3, 0.0f, 100.0f, 2, 33);
    ASSERT_EQ(65, heights.gridSize());
    EXPECT_FLOAT_EQ(0.0f, heights.heightAtVertex(0, 0));     // north-west corner
    EXPECT_FLOAT_EQ(80.0f, heights.heightAtVertex(64, 64));  // south-east corner
    EXPECT_FLOAT_EQ(40.0f, heights.heightAtVertex(32, 32));  // the middle pixel
    EXPECT_FLOAT_EQ(5.0f, heights.heightAtVertex(16, 0));    // halfway between two pixels
    EXPECT_FLOAT_EQ(80.0f, heights.heightAtVertex(200, 99)); // beyond the grid: its edge

    std::vector<float> southWest;
    std::vector<float> southEast;
    std::vector<float> northWest;
    heights.fillPage(0, 0, southWest);
    heights.fillPage(1, 0, southEast);
    heights.fillPage(0, 1, northWest);
    ASSERT_EQ(33u * 33u, southWest.size());
    // Page rows run from the south edge northwards.
    EXPECT_FLOAT_EQ(heights.heightAtVertex(0, 64), southWest[0]);
    EXPECT_FLOAT_EQ(heights.heightAtVertex(32, 32), southWest[32 * 33 + 32]);
    EXPECT_FLOAT_EQ(heights.heightAtVertex(0, 0), northWest[32 * 33]);
    for (int k = 0; k < 33; ++k) {
        EXPECT_EQ(southWest[k * 33 + 32], southEast[k * 33]) << "east edge, row " << k;
        EXPECT_EQ(southWest[32 * 33 + k], northWest[k]) << "north edge, column " << k;
    }
}

TEST_F(TerrainHeightSourceTest, SixteenBitHeightmapsKeepTheirPrecision)
{
    std::vector<std::uint16_t> pixels = {0, 32768, 65535, 1};
    Ogre::Image image;
    image.loadDynamicImage(reinterpret_cast<Ogre::uchar*>(pixels.data()), 2, 2, Ogre::PF_L16);
    const TerrainHeightSource heights = TerrainHeightSource::fromImage(image, configFor(1, 33, -10.0f, 65525.0f));
    EXPECT_NEAR(-10.0f, heights.heightAtVertex(0, 0), 1e-3f);
    EXPECT_NEAR(32758.0f, heights.heightAtVertex(32, 0), 2e-2f);
    EXPECT_NEAR(65525.0f, heights.heightAtVertex(0, 32), 1e-2f);
    // One step of sixteen bits is one unit here; eight bits would make it 257.
    EXPECT_NEAR(-9.0f, heights.heightAtVertex(32, 32), 1e-2f);
}

TEST_F(TerrainHeightSourceTest, ImagesOfUnusableSizeAreRefusedNamingTheFile)
{
    std::vector<Ogre::uchar> pixels(4200 * 2);
    const std::pair<int, int> sizes[] = {{1, 5}, {5, 1}, {4200, 2}};
    for (const auto& size : sizes) {
        Ogre::Image image;
        image.loadDynamicImage(pixels.data(), size.first, size.second, Ogre::PF_L8);
        try {
            TerrainHeightSource::fromImage(image, configFor(1, 33, 0, 1));
            ADD_FAILURE() << size.first << " x " << size.second << " accepted";
        } catch (const Ogre::Exception& e) {
            EXPECT_NE(std::string::npos,
                      e.getDescription().find("heightmap \"test.png\" is " + std::to_string(size.first) + " x " +
                                              std::to_string(size.second) + " pixels"))
                << e.getDescription();
        }
    }
}

class TerrainHeightmapFileTest : public KelvoTest::HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        KelvoTest::loadEnginePlugin(*mRoot, "Codec_FreeImage");
    }

    KelvoTest::TemporaryFolder media{"kelvo_terrain_heightmap"};
    const std::string folder = media.path();
};

TEST_F(TerrainHeightmapFileTest, HeightmapIsReadThroughTheResourceSystem)
{
    using KelvoTest::TerrainTestMedia;
    TerrainTestMedia::writeHeightmap(folder + "/" + TerrainTestMedia::kHeightmapName);
    std::ofstream(folder + "/broken.png") << "no picture in here";
    Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder, "FileSystem", "General");

    TerrainConfig config = configFor(2, 129, TerrainTestMedia::kMinHeight, TerrainTestMedia::kMaxHeight);
    config.heightmap = TerrainTestMedia::kHeightmapName;
    config.group = "Terrain";  // not there: any group is searched next
    const TerrainHeightSource heights = TerrainHeightSource::load(config);
    // 257 pixels on 257 vertices: each vertex holds its pixel exactly.
    for (int i = 0; i <= 256; i += 32) {
        EXPECT_NEAR(TerrainTestMedia::storedHeight(i, 256 - i), heights.heightAtVertex(i, 256 - i), 1e-3f);
    }

    for (const char* name : {"broken.png", "absent.png"}) {
        config.heightmap = name;
        try {
            TerrainHeightSource::load(config);
            ADD_FAILURE() << name << " accepted";
        } catch (const Ogre::Exception& e) {
            const std::string expected = std::string("heightmap \"") + name + "\" " +
                                         (name[0] == 'b' ? "cannot be decoded" : "not found in any resource group");
            EXPECT_NE(std::string::npos, e.getDescription().find(expected)) << e.getDescription();
            EXPECT_TRUE(log().contains(expected));
        }
    }
}

} // namespace
