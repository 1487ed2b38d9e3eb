#include "HeadlessEngine.h"
#include "TemporaryFolder.h"

#include "terrain/TerrainConfig.h"

#include <cstdio>
#include <fstream>

using Kelvo::TerrainConfig;
using Kelvo::TerrainLayerConfig;

namespace {

const char* const kFullFile =
    "# a whole terrain\n"
    "Heightmap = island.png\n"
    "WorldSize=3000\n"
    "MinHeight=-20\n"
    "MaxHeight=250\n"
    "Pages=6\n"
    "PageVertices=257\n"
    "MaxPixelError=4\n"
    "CompositeMapDistance=350\n"
    "CompositeMapSize=1024\n"
    "LoadRadius=900\n"
    "HoldRadius=1400\n"
    "LightMap=no\n"
    "LightMapSize=1024\n"
    "BlendMapSize=512\n"
    "LightDirection=0 -2 0\n"
    "Ambient=0.2 0.3 0.4\n"
    "Diffuse=0.9 0.8 0.7\n"
    "[Layer0]\n"
    "Texture=sand.png\n"
    "Size=12\n"
    "[Layer1]\n"
    "Texture=grass.png\n"
    "MinHeight=5\n"
    "MaxHeight=120\n"
    "HeightFade=4\n"
    "MaxSlope=35\n"
    "SlopeFade=5\n"
    "[Layer2]\n"
    "Texture=rock.png\n"
    "MinSlope=35\n";

const char* const kSmallestFile =
    "Heightmap=h.png\n"
    "WorldSize=1000\n"
    "MaxHeight=100\n"
    "[Layer0]\n"
    "Texture=base.png\n";

class TerrainConfigTest : public KelvoTest::HeadlessEngineTest {
protected:
    TerrainConfig parse(const std::string& text)
    {
        Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<char*>(text.data()), text.size(), false));
        return TerrainConfig::parse(stream, "test.cfg", "Terrain");
    }

    // The file is refused with an engine exception and a log line that both
    // name the fault.
    void expectRefused(const std::string& text, const std::string& fault)
    {
        SCOPED_TRACE(text);
        try {
            parse(text);
            ADD_FAILURE() << "accepted";
        } catch (const Ogre::Exception& e) {
            EXPECT_NE(std::string::npos, e.getDescription().find("\"test.cfg\": " + fault)) << e.getDescription();
        }
        EXPECT_TRUE(log().contains(fault));
    }

    static std::string replaced(std::string text, const std::string& from, const std::string& to)
    {
        const size_t at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        text.replace(at, from.size(), to);
        return text;
    }
};

TEST_F(TerrainConfigTest, FullFileIsReadKeyByKey)
{
    const TerrainConfig config = parse(kFullFile);
    EXPECT_EQ("island.png", config.heightmap);
    EXPECT_FLOAT_EQ(3000, config.worldSize);
    EXPECT_FLOAT_EQ(-20, config.minHeight);
    EXPECT_FLOAT_EQ(250, config.maxHeight);
    EXPECT_EQ(6, config.pages);
    EXPECT_EQ(257, config.pageVertices);
    EXPECT_FLOAT_EQ(500, config.pageWorldSize());
    EXPECT_FLOAT_EQ(4, config.maxPixelError);
    EXPECT_FLOAT_EQ(350, config.compositeMapDistance);
    EXPECT_EQ(1024, config.compositeMapSize);
    EXPECT_FLOAT_EQ(900, config.effectiveLoadRadius());
    EXPECT_FLOAT_EQ(1400, config.effectiveHoldRadius());
    EXPECT_FALSE(config.lightMap);
    EXPECT_EQ(1024, config.lightMapSize);
    EXPECT_EQ(512, config.blendMapSize);
    EXPECT_EQ(Ogre::Vector3::NEGATIVE_UNIT_Y, config.lightDirection);
    EXPECT_EQ(Ogre::ColourValue(0.2f, 0.3f, 0.4f), config.ambient);
    EXPECT_EQ(Ogre::ColourValue(0.9f, 0.8f, 0.7f), config.diffuse);
    ASSERT_EQ(3u, config.layers.size());
    EXPECT_EQ("sand.png", config.layers[0].texture);
    EXPECT_FLOAT_EQ(12, config.layers[0].textureSize);
    EXPECT_EQ("grass.png", config.layers[1].texture);
    EXPECT_FLOAT_EQ(5, config.layers[1].minHeight);
    EXPECT_FLOAT_EQ(120, config.layers[1].maxHeight);
    EXPECT_FLOAT_EQ(35, config.layers[1].maxSlope);
    EXPECT_EQ("rock.png", config.layers[2].texture);
    EXPECT_FLOAT_EQ(35, config.layers[2].minSlope);
    EXPECT_FLOAT_EQ(90, config.layers[2].maxSlope);
}

TEST_F(TerrainConfigTest, SmallestFileTakesTheDefaults)
{
    const TerrainConfig config = parse(kSmallestFile);
    EXPECT_EQ(1, config.pages);
    EXPECT_EQ(129, config.pageVertices);
    EXPECT_FLOAT_EQ(0, config.minHeight);
    EXPECT_TRUE(config.lightMap);
    // Two pages' width to load, one more to hold.
    EXPECT_FLOAT_EQ(2000, config.effectiveLoadRadius());
    EXPECT_FLOAT_EQ(3000, config.effectiveHoldRadius());
    ASSERT_EQ(1u, config.layers.size());
    EXPECT_FLOAT_EQ(1.0f, config.lightDirection.length());
}

TEST_F(TerrainConfigTest, UnusableValuesAreRefusedNamingTheKey)
{
    const std::string file = kFullFile;
    expectRefused(replaced(file, "WorldSize=3000", "WorldSize=wide"), "WorldSize: \"wide\" is not a number");
    expectRefused(replaced(file, "WorldSize=3000", "WorldSize=3000m"), "WorldSize: \"3000m\" is not a number");
    expectRefused(replaced(file, "WorldSize=3000", "WorldSize=nan"), "WorldSize: \"nan\" is not a number");
    expectRefused(replaced(file, "WorldSize=3000", "WorldSize=inf"), "WorldSize: \"inf\" is not a number");
    expectRefused(replaced(file, "WorldSize=3000", "WorldSize=0"), "WorldSize: \"0\" is outside");
    expectRefused(replaced(file, "MaxHeight=250", "MaxHeight=1e30"), "MaxHeight: \"1e30\" is outside");
    expectRefused(replaced(file, "Pages=6", "Pages=65"), "Pages: \"65\" is outside 1 to 64");
    expectRefused(replaced(file, "Pages=6", "Pages=2.5"), "Pages: \"2.5\" is not a whole number");
    expectRefused(replaced(file, "PageVertices=257", "PageVertices=200"), "PageVertices: \"200\" is not a power of 2 plus 1");
    expectRefused(replaced(file, "PageVertices=257", "PageVertices=2049"), "PageVertices: \"2049\" is outside");
    expectRefused(replaced(replaced(file, "Pages=6", "Pages=64"), "PageVertices=257", "PageVertices=513"),
                  "Pages * (PageVertices - 1) is above 16384");
    expectRefused(replaced(file, "LightMapSize=1024", "LightMapSize=1000"), "LightMapSize: \"1000\" is not a power of 2");
    expectRefused(replaced(file, "BlendMapSize=512", "BlendMapSize=8192"), "BlendMapSize: \"8192\" is outside");
    expectRefused(replaced(file, "LightMap=no", "LightMap=perhaps"), "LightMap: \"perhaps\" is neither yes nor no");
    expectRefused(replaced(file, "LightDirection=0 -2 0", "LightDirection=0 0 0"), "LightDirection: the direction has no length");
    expectRefused(replaced(file, "LightDirection=0 -2 0", "LightDirection=1 2"), "LightDirection: \"1 2\" is not three numbers");
    expectRefused(replaced(file, "Ambient=0.2 0.3 0.4", "Ambient=0.2 0.3 0.4 0.5"), "Ambient: \"0.2 0.3 0.4 0.5\" is not three numbers");
    expectRefused(replaced(file, "Diffuse=0.9 0.8 0.7", "Diffuse=2 0 0"), "Diffuse: \"2\" is outside 0 to 1");
    expectRefused(replaced(file, "HoldRadius=1400", "HoldRadius=800"), "HoldRadius: below the load radius");
    expectRefused(replaced(file, "MaxHeight=250", "MaxHeight=-30"), "MaxHeight: missing or below MinHeight");
    expectRefused(replaced(file, "WorldSize=3000", "WorldSize=3000\nWorldSize=4000"), "WorldSize: given more than once");
}

TEST_F(TerrainConfigTest, MissingPartsAndBrokenLayersAreRefused)
{
    const std::string file = kFullFile;
    expectRefused(replaced(file, "Heightmap = island.png\n", ""), "Heightmap: missing");
    expectRefused(replaced(file, "Heightmap = island.png", "Heightmap="), "Heightmap: no image named");
    expectRefused(replaced(file, "WorldSize=3000\n", ""), "WorldSize: missing");
    expectRefused(file.substr(0, file.find("[Layer0]")), "[Layer0]: missing");
    expectRefused(replaced(file, "[Layer1]", "[Layer3]"), "[Layer2] without [Layer1]");
    expectRefused(replaced(file, "[Layer1]\nTexture=grass.png\n", "[Layer1]\n"), "[Layer1] Texture: missing");
    expectRefused(replaced(file, "MinHeight=5\nMaxHeight=120", "MinHeight=130\nMaxHeight=120"),
                  "[Layer1] MinHeight: above MaxHeight");
    expectRefused(replaced(file, "MinSlope=35", "MinSlope=95"), "[Layer2] MinSlope: \"95\" is outside 0 to 90");
    expectRefused(std::string(kSmallestFile) + "[Layer1]\nTexture=a\n[Layer2]\nTexture=b\n[Layer3]\nTexture=c\n"
                                               "[Layer4]\nTexture=d\n[Layer5]\nTexture=e\n[Layer6]\nTexture=f\n",
                  "[Layer6]: at most 6 layers");
}

TEST_F(TerrainConfigTest, NonsenseFilesAreRefusedWithoutHarm)
{
    expectRefused("", "Heightmap: missing");
    expectRefused(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xff", 18), "Heightmap: missing");
    expectRefused("[Layer0\nTexture=a\n", "Heightmap: missing");
    expectRefused(std::string(100000, '='), "Heightmap: missing");
}

TEST_F(TerrainConfigTest, UnknownKeysAndSectionsCostOnlyALogLine)
{
    const TerrainConfig config =
        parse("Colour=red\n" + std::string(kSmallestFile) + "Shine=9\n[Trees]\nCount=4\n[Layer0]\nMinHeight=5\n");
    EXPECT_EQ(1u, config.layers.size());
    EXPECT_TRUE(log().contains("\"test.cfg\": unknown key \"Colour\" ignored"));
    EXPECT_TRUE(log().contains("\"test.cfg\": [Layer0] unknown key \"Shine\" ignored"));
    EXPECT_TRUE(log().contains("\"test.cfg\": unknown section [Trees] ignored"));
    // The base layer covers everything; a band on it would mean nothing.
    EXPECT_TRUE(log().contains("[Layer0] MinHeight ignored: the base layer covers everything"));
    EXPECT_FLOAT_EQ(-1.0e9f, config.layers[0].minHeight);
}

TEST(TerrainLayerWeightTest, FullInsideBothBandsFadingLinearlyOutside)
{
    TerrainLayerConfig snow;
    snow.minHeight = 100;
    snow.heightFade = 10;
    snow.maxSlope = 40;
    snow.slopeFade = 0;
    EXPECT_FLOAT_EQ(1.0f, snow.weight(100, 0));
    EXPECT_FLOAT_EQ(1.0f, snow.weight(5000, 40));
    EXPECT_FLOAT_EQ(0.5f, snow.weight(95, 10));
    EXPECT_FLOAT_EQ(0.0f, snow.weight(90, 10));
    EXPECT_FLOAT_EQ(0.0f, snow.weight(-50, 10));
    // No fade: a hard edge.
    EXPECT_FLOAT_EQ(0.0f, snow.weight(200, 40.01f));
    // Both bands multiply.
    snow.slopeFade = 10;
    EXPECT_FLOAT_EQ(0.25f, snow.weight(95, 45));
}

class TerrainConfigFileTest : public TerrainConfigTest {
protected:
    void SetUp() override
    {
        TerrainConfigTest::SetUp();
        media.makeFolder("terrain");
        media.makeFolder("other");
    }
    void write(const std::string& path, const std::string& text) { std::ofstream(folder + "/" + path) << text; }

    KelvoTest::TemporaryFolder media{"kelvo_terrain_config"};
    const std::string folder = media.path();
};

TEST_F(TerrainConfigFileTest, FileIsFoundInTheTerrainGroupFirstThenInAnyGroup)
{
    write("terrain/paginglandscape2.cfg", kSmallestFile);
    write("other/paginglandscape2.cfg", kFullFile);
    write("other/elsewhere.cfg", kFullFile);
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(folder + "/other", "FileSystem", "General");
    groups.addResourceLocation(folder + "/terrain", "FileSystem", "Terrain");

    const TerrainConfig ours = TerrainConfig::load("paginglandscape2.cfg");
    EXPECT_EQ("Terrain", ours.group);
    EXPECT_EQ("h.png", ours.heightmap);
    const TerrainConfig found = TerrainConfig::load("elsewhere.cfg");
    EXPECT_EQ("General", found.group);
    EXPECT_EQ("island.png", found.heightmap);

    try {
        TerrainConfig::load("absent.cfg");
        ADD_FAILURE() << "a missing file was accepted";
    } catch (const Ogre::Exception& e) {
        EXPECT_NE(std::string::npos, e.getDescription().find("\"absent.cfg\": not found in any resource group"));
    }
}

} // namespace
