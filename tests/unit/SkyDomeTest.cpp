// The sky dome and its colour strips on a headless engine: strips are real
// PNG files written and decoded by the engine's codec; the dome mesh and
// materials are small ones made here, under the names the game loads.

#include "HeadlessEngine.h"
#include "WindowedGL.h"

#include "effects/ColourGradient.h"
#include "effects/FresnelWater.h"
#include "effects/SkyDome.h"

#include <Ogre.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using KelvoTest::HeadlessEngineTest;

// A strip whose pixel k is (k, 255 - k, 7) in red, green, blue, so that
// every position and every channel can be told apart.
std::vector<unsigned char> rampPixels(int width, bool alpha)
{
    const int bpp = alpha ? 4 : 3;
    std::vector<unsigned char> bytes(size_t(width) * bpp);
    for (int k = 0; k < width; ++k) {
        bytes[k * bpp + 0] = static_cast<unsigned char>(k);
        bytes[k * bpp + 1] = static_cast<unsigned char>(255 - k);
        bytes[k * bpp + 2] = 7;
        if (alpha) {
            bytes[k * bpp + 3] = static_cast<unsigned char>(255 - k / 2);
        }
    }
    return bytes;
}

Ogre::ColourValue rampColour(int k, bool alpha)
{
    return Ogre::ColourValue(k / 256.0f, (255 - k) / 256.0f, 7 / 256.0f, alpha ? (255 - k / 2) / 256.0f : 1.0f);
}

void expectColour(const Ogre::ColourValue& actual, const Ogre::ColourValue& expected, const std::string& what)
{
    const float tolerance = 1e-4f;
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
    EXPECT_NEAR(actual.a, expected.a, tolerance) << what;
}

class SkyTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        KelvoTest::loadEnginePlugin(*mRoot, "Codec_STBI");
        mDir = fs::temp_directory_path() / ("kelvo_sky_test_" + std::to_string(::getpid()));
        fs::create_directories(mDir);
        writeStrip("ramp_rgb.png", rampPixels(256, false), 256, false);
        writeStrip("ramp_rgba.png", rampPixels(256, true), 256, true);
        // the dome's strips: sky and haze a ramp, the sun one colour
        writeStrip("skydome.png", rampPixels(256, false), 256, false);
        writeStrip("hazeColours.png", rampPixels(256, false), 256, false);
        std::vector<unsigned char> sun(256 * 3);
        for (int k = 0; k < 256; ++k) {
            sun[k * 3 + 0] = 250;
            sun[k * 3 + 1] = 200;
            sun[k * 3 + 2] = static_cast<unsigned char>(k);
        }
        writeStrip("suncolours.png", sun, 256, false);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(mDir.string(), "FileSystem", "General");
        groups.initialiseAllResourceGroups();
    }

    void TearDown() override
    {
        HeadlessEngineTest::TearDown();
        std::error_code ignored;
        fs::remove_all(mDir, ignored);
    }

    void writeStrip(const std::string& name, std::vector<unsigned char> bytes, int width, bool alpha)
    {
        Ogre::Image image;
        image.loadDynamicImage(bytes.data(), width, 1, 1, alpha ? Ogre::PF_BYTE_RGBA : Ogre::PF_BYTE_RGB);
        image.save((mDir / name).string());
    }

    // What the game loads for the sky, made here: a small dome mesh and
    // the two materials.
    void makeSkyResources()
    {
        Ogre::MaterialManager::getSingleton().create("KELVO/SkyDome", "General");
        Ogre::MaterialManager::getSingleton().create("KELVO/Sun", "General");
        // a failed load leaves the name registered
        if (Ogre::MeshManager::getSingleton().resourceExists("SkyDome.mesh", "General")) {
            Ogre::MeshManager::getSingleton().remove("SkyDome.mesh", "General");
        }
        Ogre::MeshManager::getSingleton().createPlane("SkyDome.mesh", "General",
                                                      Ogre::Plane(Ogre::Vector3::NEGATIVE_UNIT_Y, 1), 2, 2, 1, 1,
                                                      true, 1, 1, 1, Ogre::Vector3::UNIT_Z);
    }

    Ogre::SceneManager* makeScene()
    {
        Ogre::SceneManager* scene = mRoot->createSceneManager();
        mCamera = scene->createCamera("PrimaryCamera");
        mCameraNode = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
        mCameraNode->attachObject(mCamera);
        return scene;
    }

    fs::path mDir;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneNode* mCameraNode = nullptr;
};

TEST_F(SkyTest, GradientSamplesPixelsBlendsAndWraps)
{
    Kelvo::ColourGradient rgb;
    ASSERT_TRUE(rgb.load("ramp_rgb.png"));
    EXPECT_EQ(rgb.getBytesPerPixel(), 3u);
    EXPECT_EQ(rgb.getWidth(), 256u);
    // at the start of a pixel: that pixel, red first as in the file
    expectColour(rgb.getColour(0.0f), rampColour(0, false), "t = 0");
    expectColour(rgb.getColour(100 / 256.0f), rampColour(100, false), "pixel 100");
    // a quarter into pixel 10: a quarter of the way to pixel 11
    const Ogre::ColourValue quarter = rampColour(10, false) + (rampColour(11, false) - rampColour(10, false)) * 0.25f;
    expectColour(rgb.getColour(10.25f / 256.0f), quarter, "between 10 and 11");
    EXPECT_NEAR(rgb.getBlend(), 0.25f, 1e-4f);
    // t = 0.999 blends the last pixel with the first
    const float f = 256 * 0.999f - 255;
    const Ogre::ColourValue wrapped = rampColour(255, false) + (rampColour(0, false) - rampColour(255, false)) * f;
    expectColour(rgb.getColour(0.999f), wrapped, "t = 0.999");
    // a whole day later is the same time of day
    expectColour(rgb.getColour(1.0f), rampColour(0, false), "t = 1");
    expectColour(rgb.getColour(-0.75f), rampColour(64, false), "t = -0.75");

    Kelvo::ColourGradient rgba;
    ASSERT_TRUE(rgba.load("ramp_rgba.png"));
    EXPECT_EQ(rgba.getBytesPerPixel(), 4u);
    EXPECT_EQ(rgba.getWidth(), 256u);
    expectColour(rgba.getColour(200 / 256.0f), rampColour(200, true), "pixel 200 with alpha");
    const Ogre::ColourValue wrappedAlpha =
        rampColour(255, true) + (rampColour(0, true) - rampColour(255, true)) * f;
    expectColour(rgba.getColour(0.999f), wrappedAlpha, "t = 0.999 with alpha");
}

TEST_F(SkyTest, GradientWithoutPictureLogsAndStaysBlack)
{
    Kelvo::ColourGradient missing;
    EXPECT_FALSE(missing.load("no_such_strip.png"));
    EXPECT_FALSE(missing.isLoaded());
    expectColour(missing.getColour(0.5f), Ogre::ColourValue::Black, "missing picture");
    EXPECT_TRUE(log().contains("no_such_strip.png"));
    // NaN must not index outside the strip
    Kelvo::ColourGradient rgb;
    ASSERT_TRUE(rgb.load("ramp_rgb.png"));
    expectColour(rgb.getColour(std::nanf("")), rampColour(0, false), "t = NaN");
}

TEST_F(SkyTest, CreateAndDestroyTwice)
{
    makeSkyResources();
    Ogre::SceneManager* scene = makeScene();
    Kelvo::SkyDome sky;
    EXPECT_FALSE(sky.destroy());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(sky.create(scene, mCamera, 6, 10, 40));
        EXPECT_FALSE(sky.create(scene, mCamera, 6, 10, 40));
        EXPECT_TRUE(sky.isCreated());
        EXPECT_FLOAT_EQ(sky.getTime(), 6 * 3600 + 10 * 60 + 40);
        EXPECT_TRUE(scene->hasSceneNode("SkyDomeNode"));
        EXPECT_TRUE(scene->hasSceneNode("SkyDomeSunNode"));
        EXPECT_TRUE(scene->hasEntity("SkyDome"));
        EXPECT_TRUE(scene->hasBillboardSet("SkyDomeSun"));
        EXPECT_TRUE(scene->hasLight("SkyDomeSunLight"));
        Ogre::Entity* dome = scene->getEntity("SkyDome");
        EXPECT_EQ(dome->getRenderQueueGroup(), 10);
        EXPECT_FALSE(dome->getCastShadows());
        Ogre::BillboardSet* sun = scene->getBillboardSet("SkyDomeSun");
        EXPECT_EQ(sun->getNumBillboards(), 1);
        EXPECT_EQ(sun->getMaterialName(), "KELVO/Sun");
        EXPECT_EQ(sun->getRenderQueueGroup(), 20);
        EXPECT_EQ(sun->getParentSceneNode(), scene->getSceneNode("SkyDomeSunNode"));
        EXPECT_EQ(scene->getFogMode(), Ogre::FOG_LINEAR);
        EXPECT_FLOAT_EQ(scene->getFogStart(), Kelvo::SkyDome::kFogStart);
        EXPECT_FLOAT_EQ(scene->getFogEnd(), Kelvo::SkyDome::kFogEnd);

        EXPECT_TRUE(sky.destroy());
        EXPECT_FALSE(sky.destroy());
        EXPECT_FALSE(sky.isCreated());
        EXPECT_FALSE(scene->hasSceneNode("SkyDomeNode"));
        EXPECT_FALSE(scene->hasSceneNode("SkyDomeSunNode"));
        EXPECT_FALSE(scene->hasEntity("SkyDome"));
        EXPECT_FALSE(scene->hasBillboardSet("SkyDomeSun"));
        EXPECT_FALSE(scene->hasLight("SkyDomeSunLight"));
        EXPECT_EQ(scene->getFogMode(), Ogre::FOG_NONE);
    }
    // a scene cleared under it does not trip the shut-down
    ASSERT_TRUE(sky.create(scene, mCamera, 12, 0, 0));
    scene->clearScene();
    EXPECT_TRUE(sky.destroy());
}

TEST_F(SkyTest, SunCirclesTheDomeWithTheDay)
{
    makeSkyResources();
    Ogre::SceneManager* scene = makeScene();
    mCameraNode->setPosition(100, 20, -50);
    Kelvo::SkyDome sky;
    ASSERT_TRUE(sky.create(scene, mCamera, 6, 0, 0));
    Ogre::SceneNode* domeNode = scene->getSceneNode("SkyDomeNode");
    Ogre::SceneNode* sunNode = scene->getSceneNode("SkyDomeSunNode");
    const Ogre::Vector3 scale = Kelvo::SkyDome::kDomeScale;
    auto check = [&](const Ogre::Vector3& expectedDirection, const std::string& when) {
        SCOPED_TRACE(when);
        scene->getRootSceneNode()->_update(true, false);
        const Ogre::Vector3 centre = domeNode->getPosition();
        EXPECT_TRUE(centre.positionEquals(mCameraNode->_getDerivedPosition(), 1e-3f)) << centre;
        EXPECT_TRUE(domeNode->getScale().positionEquals(scale, 1e-3f));
        const Ogre::Vector3 offset = sunNode->getPosition() - centre;
        EXPECT_TRUE(offset.normalisedCopy().positionEquals(expectedDirection, 1e-3f)) << offset;
        // inside the dome, yet well out toward it
        const float onDome = (offset / scale).length();
        EXPECT_LT(onDome, 1.0f);
        EXPECT_GT(onDome, 0.8f);
        // the light shines from the sun toward the centre
        const Ogre::Vector3 light = sky.getSunLight()->getDerivedDirection();
        EXPECT_TRUE(light.positionEquals(-expectedDirection, 1e-3f)) << light;
    };
    check(Ogre::Vector3(-1, 0, 0), "6:00");
    // six hours on, the dome has followed the camera and the sun is overhead
    mCameraNode->setPosition(-30, 5, 400);
    sky.update(6 * 3600);
    EXPECT_FLOAT_EQ(sky.getTime(), 12 * 3600);
    check(Ogre::Vector3(0, 1, 0), "12:00");
    sky.update(6 * 3600);
    check(Ogre::Vector3(1, 0, 0), "18:00");
    // midnight wraps to 0, the sun straight below
    sky.update(6 * 3600);
    EXPECT_FLOAT_EQ(sky.getTime(), 0.0f);
    check(Ogre::Vector3(0, -1, 0), "0:00");
    sky.update(std::nanf(""));
    EXPECT_FLOAT_EQ(sky.getTime(), 0.0f);
    EXPECT_TRUE(log().contains("SkyDome"));
    EXPECT_TRUE(sky.destroy());
}

TEST_F(SkyTest, ColoursFollowTheStripsByTimeOfDay)
{
    makeSkyResources();
    Ogre::SceneManager* scene = makeScene();
    Kelvo::SkyDome sky;
    // 12:00 is the middle of the strips: pixel 128
    ASSERT_TRUE(sky.create(scene, mCamera, 12, 0, 0));
    const Ogre::ColourValue skyColour = rampColour(128, false);
    // the file's red is 250, green 200 and blue the ramp: read in the wrong
    // byte order, red and blue would swap
    const Ogre::ColourValue sunExpected(250 / 256.0f, 200 / 256.0f, 128 / 256.0f);
    expectColour(sky.getSkyColour(), skyColour, "sky colour");
    expectColour(sky.getHazeColour(), skyColour, "haze colour");
    expectColour(sky.getSunColour(), sunExpected, "sun colour");
    expectColour(scene->getAmbientLight(), skyColour, "scene ambient");
    auto pass = [](const char* material) {
        return Ogre::MaterialManager::getSingleton().getByName(material)->getTechnique(0)->getPass(0);
    };
    expectColour(pass("KELVO/SkyDome")->getAmbient(), skyColour, "dome material ambient");
    expectColour(pass("KELVO/Sun")->getAmbient(), sunExpected, "sun material ambient");
    expectColour(pass("KELVO/Sun")->getDiffuse(), Ogre::ColourValue::Black, "sun material diffuse");
    expectColour(sky.getSunLight()->getDiffuseColour(), sunExpected, "sun light");
    // a quarter of a pixel on, the colours blend toward the next pixel
    sky.update(86400.0f / 256.0f * 0.25f);
    const Ogre::ColourValue blended = skyColour + (rampColour(129, false) - skyColour) * 0.25f;
    expectColour(sky.getSkyColour(), blended, "sky colour a quarter pixel on");
    // the fog is the horizon as the dome shows it: lit twice by the sky
    // colour, so far land and sea fade into the sky, not into a colour of
    // their own
    expectColour(scene->getFogColour(), blended * blended, "fog colour");
    sky.update(6 * 3600.0f);
    expectColour(scene->getFogColour(), sky.getSkyColour() * sky.getSkyColour(), "fog colour six hours on");
    EXPECT_TRUE(sky.destroy());
}

TEST_F(SkyTest, MissingDomeMeshLeavesNothingBehind)
{
    Ogre::SceneManager* scene = makeScene();
    Kelvo::SkyDome sky;
    EXPECT_FALSE(sky.create(scene, mCamera, 6, 0, 0));
    EXPECT_FALSE(sky.isCreated());
    EXPECT_TRUE(log().contains("SkyDome: the sky cannot be built"));
    EXPECT_FALSE(scene->hasSceneNode("SkyDomeNode"));
    EXPECT_FALSE(scene->hasSceneNode("SkyDomeSunNode"));
    EXPECT_FALSE(scene->hasLight("SkyDomeSunLight"));
    EXPECT_FALSE(sky.create(nullptr, mCamera, 6, 0, 0));
    EXPECT_FALSE(sky.create(scene, nullptr, 6, 0, 0));
    // with the mesh there, the same object builds the sky
    makeSkyResources();
    EXPECT_TRUE(sky.create(scene, mCamera, 6, 0, 0));
    EXPECT_TRUE(sky.destroy());
}

// A scene without a "FresnelPlane" entity never sets the water up; the play
// state still attaches and detaches its listeners.
TEST_F(SkyTest, WaterWithoutPlaneStaysOff)
{
    Kelvo::FresnelWater water;
    EXPECT_FALSE(water.isSetUp());
    water.attachListeners();
    water.detachListeners();
    EXPECT_EQ(water.getReflectionTarget(), nullptr);
    EXPECT_FALSE(water.setUp(nullptr, Ogre::Vector3(0, 5, 0), 3000));
    EXPECT_FALSE(water.isSetUp());
    EXPECT_TRUE(log().contains("FresnelWater: no camera"));
}

} // namespace
