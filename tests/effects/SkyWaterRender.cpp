// The sky dome and the reflecting water in a window (under Xvfb in the
// suite), on the terrain scene manager with the test island, a few props
// and a red marker post by the shore:
//  - the water shows the post mirrored where the mirror image belongs, and
//    that spot loses it when the reflection picture draws nothing;
//  - the sky fills the top of the view and darkens from noon to midnight;
//    the morning sun shows low over the eastern horizon;
//  - a second scene load (new scene manager, as the play state does it)
//    sets the water up again and it still reflects.
// Screenshots land in the working directory (sky_water_*.png).

#include "GameMedia.h"
#include "WindowedGL.h"
#include "effects/FresnelWater.h"
#include "effects/SkyDome.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"
#include "terrain/TerrainConfig.h"

#include "SharedEnvironment.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Kelvo::PagingLandScapeSceneManager;
using Kelvo::PagingLandScapeSceneManagerFactory;
using KelvoTest::TerrainTestMedia;

const float kWaterHeight = 12.0f;
const int kWidth = 800;
const int kHeight = 600;

struct Shot {
    std::vector<unsigned char> rgb;

    Ogre::ColourValue at(int x, int y) const
    {
        const unsigned char* p = &rgb[(size_t(y) * kWidth + x) * 3];
        return Ogre::ColourValue(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
    }

    Ogre::ColourValue mean(int x0, int y0, int x1, int y1) const
    {
        Ogre::ColourValue sum(0, 0, 0, 0);
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(kHeight, y1); ++y) {
            for (int x = std::max(0, x0); x < std::min(kWidth, x1); ++x) {
                sum += at(x, y);
                ++n;
            }
        }
        return n ? sum / float(n) : sum;
    }

    // Pixels in the box that are clearly red (the marker post).
    int redPixels(int x0, int y0, int x1, int y1) const
    {
        int count = 0;
        for (int y = std::max(0, y0); y < std::min(kHeight, y1); ++y) {
            for (int x = std::max(0, x0); x < std::min(kWidth, x1); ++x) {
                const Ogre::ColourValue c = at(x, y);
                count += c.r > c.g + 0.2f && c.r > c.b + 0.2f;
            }
        }
        return count;
    }
};

class Engine : public ::testing::Environment {
public:
    void SetUp() override
    {
        log = new Ogre::LogManager();
        log->createLog("sky_water_render.log", true, false, false);
        root = new Ogre::Root("", "", "");
        ASSERT_NE(nullptr, KelvoTest::selectWindowedGL(*root, "800 x  600", true));
        factory = PagingLandScapeSceneManagerFactory::install(*root);
        window = root->initialise(true, "KELVO sky and water");

        media = std::make_unique<KelvoTest::TemporaryFolder>("kelvo_sky_water");
        folder = media->path();
        TerrainTestMedia::writeAll(folder);
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        TerrainTestMedia::addTerrainLocations(folder);
        KelvoTest::addGameMedia(KELVO_MEDIA_DIR);
        groups.initialiseAllResourceGroups();
    }

    void TearDown() override
    {
        PagingLandScapeSceneManagerFactory::uninstall(*root, factory);
        delete root;
        delete log;
        media.reset();
    }

    Ogre::LogManager* log = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::RenderWindow* window = nullptr;
    PagingLandScapeSceneManagerFactory* factory = nullptr;
    std::unique_ptr<KelvoTest::TemporaryFolder> media;
    std::string folder;
};

Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>();

// The play state's scene, reduced to what the sky and the water need: the
// terrain, "PrimaryCamera" on "MAIN_CAMERA", props, the level's stand-in
// "FresnelPlane" entity (hidden, the water built at its height) and the sky.
class SkyWaterScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        water = new Kelvo::FresnelWater();
    }

    void TearDown() override
    {
        leaveScene();
        delete water;
    }

    void enterScene()
    {
        scene = engine->root->createSceneManager(PagingLandScapeSceneManager::kTypeName, "MainScene");
        camera = scene->createCamera("PrimaryCamera");
        cameraNode = scene->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA");
        cameraNode->attachObject(camera);
        viewport = engine->window->addViewport(camera);
        viewport->setBackgroundColour(Ogre::ColourValue(1, 0, 1));
        camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) / viewport->getActualHeight());
        camera->setNearClipDistance(1);
        camera->setFarClipDistance(4000);
        scene->setWorldGeometry(TerrainTestMedia::kConfigName);
        scene->setOption("PrimaryCamera", camera);
        ASSERT_TRUE(sky.create(scene, camera, 6, 10, 40));

        // props on the western shore (made three times their size to be
        // seen from out at sea), and a red post standing in the shallows
        // to find in the mirror
        const std::pair<const char*, Ogre::Vector3> props[] = {{"hut.mesh", {-185, 0, -30}},
                                                               {"palm.mesh", {-200, 0, 60}},
                                                               {"rock_large.mesh", {-170, 0, 20}}};
        for (const auto& [mesh, at] : props) {
            Ogre::Vector3 p = at;
            p.y = groundHeight(p.x, p.z);
            Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(p);
            node->setScale(3, 3, 3);
            node->attachObject(scene->createEntity(mesh));
        }
        Ogre::MaterialPtr red = Ogre::MaterialManager::getSingleton().getByName("kelvo_test_red");
        if (!red) {
            red = Ogre::MaterialManager::getSingleton().create("kelvo_test_red", "General");
            red->setLightingEnabled(false);
            red->getTechnique(0)->getPass(0)->setDiffuse(1, 0, 0, 1);
            red->setFog(true, Ogre::FOG_NONE);
        }
        Ogre::ManualObject* post = scene->createManualObject("kelvo_test_post");
        post->begin("kelvo_test_red");
        const float w = 6;
        const float h = 40;
        const Ogre::Vector3 corners[] = {{-w, 0, -w}, {w, 0, -w}, {w, 0, w}, {-w, 0, w},
                                         {-w, h, -w}, {w, h, -w}, {w, h, w}, {-w, h, w}};
        for (const Ogre::Vector3& c : corners) {
            post->position(c);
            post->colour(1, 0, 0);
        }
        const int quads[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}, {4, 5, 6, 7}, {3, 2, 1, 0}};
        for (const auto& q : quads) {
            post->quad(q[0], q[1], q[2], q[3]);
        }
        post->end();
        postBase = Ogre::Vector3(-250, kWaterHeight + 2, 40);
        scene->getRootSceneNode()->createChildSceneNode(postBase)->attachObject(post);

        // what the scene loader does for the level's "FresnelPlane" entity
        Ogre::SceneNode* standInNode =
            scene->getRootSceneNode()->createChildSceneNode("FresnelPlane_node", Ogre::Vector3(37, kWaterHeight, -11));
        standInNode->attachObject(scene->createEntity("FresnelPlane_entity", "water_plane.mesh"));
        standInNode->setVisible(false, true);
        ASSERT_TRUE(water->setUp(camera, standInNode->getPosition(), 3000));
        water->attachListeners();
    }

    // As the play state leaves: listeners off, sky destroyed, scene
    // cleared, the scene manager destroyed.
    void leaveScene()
    {
        if (!scene) {
            return;
        }
        water->detachListeners();
        sky.destroy();
        scene->clearScene();
        scene->destroyAllCameras();
        scene->destroyAllEntities();
        engine->window->removeAllViewports();
        engine->root->destroySceneManager(scene);
        scene = nullptr;
    }

    // Ground height from the island's formula (the terrain is built from it).
    static float groundHeight(float x, float z)
    {
        const float u = (x + TerrainTestMedia::kWorldSize / 2) / TerrainTestMedia::kWorldSize;
        const float v = (z + TerrainTestMedia::kWorldSize / 2) / TerrainTestMedia::kWorldSize;
        return TerrainTestMedia::kMinHeight +
               (TerrainTestMedia::kMaxHeight - TerrainTestMedia::kMinHeight) * TerrainTestMedia::islandHeight(u, v);
    }

    Shot shoot(const std::string& file, int frames = 4)
    {
        for (int i = 0; i < frames; ++i) {
            engine->root->renderOneFrame(0.02f);
        }
        Shot shot;
        shot.rgb.resize(size_t(kWidth) * kHeight * 3);
        Ogre::PixelBox box(kWidth, kHeight, 1, Ogre::PF_BYTE_RGB, shot.rgb.data());
        engine->window->copyContentsToMemory(box, box);
        engine->window->writeContentsToFile(file);
        return shot;
    }

    // Screen pixel of a world point.
    Ogre::Vector2 toScreen(const Ogre::Vector3& world) const
    {
        const Ogre::Vector3 clip = camera->getProjectionMatrix() * (camera->getViewMatrix() * world);
        return Ogre::Vector2((clip.x * 0.5f + 0.5f) * kWidth, (0.5f - clip.y * 0.5f) * kHeight);
    }

    // Looks from out at sea, low over the water, toward the post.
    void lookAtPost()
    {
        cameraNode->setPosition(postBase + Ogre::Vector3(-10, 30, 220));
        cameraNode->lookAt(postBase + Ogre::Vector3(0, 5, 0), Ogre::Node::TS_WORLD);
    }

    void checkReflection(const std::string& name)
    {
        lookAtPost();
        const Shot on = shoot("sky_water_" + name + "_reflection_on.png", 6);
        water->getReflectionTarget()->writeContentsToFile("sky_water_" + name + "_reflection_picture.png");
        water->getRefractionTarget()->writeContentsToFile("sky_water_" + name + "_refraction_picture.png");
        // where the mirror image of the post's middle lands, and the post
        const Ogre::Vector2 post = toScreen(postBase + Ogre::Vector3(0, 20, 0));
        const Ogre::Vector3 middle = postBase + Ogre::Vector3(0, 20, 0);
        const Ogre::Vector2 mirror = toScreen(Ogre::Vector3(middle.x, 2 * kWaterHeight - middle.y, middle.z));
        ASSERT_GT(mirror.y, post.y + 20) << "the mirror image lies below the post on screen";
        const int r = 14;
        const int postRed = on.redPixels(int(post.x) - r, int(post.y) - r, int(post.x) + r, int(post.y) + r);
        const int mirrorRed = on.redPixels(int(mirror.x) - r, int(mirror.y) - r, int(mirror.x) + r, int(mirror.y) + r);

        // the reflection picture drawing nothing but its black background
        Ogre::Viewport* reflection = water->getReflectionTarget()->getViewport(0);
        reflection->setVisibilityMask(0);
        const Shot off = shoot("sky_water_" + name + "_reflection_off.png", 6);
        reflection->setVisibilityMask(0xFFFFFFFF);
        const int mirrorRedOff =
            off.redPixels(int(mirror.x) - r, int(mirror.y) - r, int(mirror.x) + r, int(mirror.y) + r);
        const Ogre::ColourValue waterOn = on.mean(0, int(mirror.y), kWidth, kHeight);
        const Ogre::ColourValue waterOff = off.mean(0, int(mirror.y), kWidth, kHeight);
        std::printf("%s: post at (%.0f, %.0f) has %d red pixels; its mirror image at (%.0f, %.0f) %d, %d with the "
                    "reflection off; water below it (%.2f %.2f %.2f) on, (%.2f %.2f %.2f) off\n",
                    name.c_str(), post.x, post.y, postRed, mirror.x, mirror.y, mirrorRed, mirrorRedOff, waterOn.r,
                    waterOn.g, waterOn.b, waterOff.r, waterOff.g, waterOff.b);
        const int area = (2 * r) * (2 * r);
        EXPECT_GT(postRed, area / 2) << "the post itself is not in view";
        EXPECT_GT(mirrorRed, area / 4) << "the water does not show the post mirrored";
        EXPECT_LT(mirrorRedOff, area / 20) << "the red under the post does not come from the reflection";
        EXPECT_GT(std::abs(waterOn.b - waterOff.b) + std::abs(waterOn.g - waterOff.g), 0.05f)
            << "the reflection changes hardly anything in the water";
    }

    Engine* engine = nullptr;
    Kelvo::FresnelWater* water = nullptr;
    Kelvo::SkyDome sky;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;
    Ogre::Viewport* viewport = nullptr;
    Ogre::Vector3 postBase;
};

TEST_F(SkyWaterScene, WaterReflectsAtTheHeightOfTheFresnelPlane)
{
    enterScene();
    EXPECT_TRUE(water->isSetUp());
    // at the stand-in's height, centred on the world's origin
    EXPECT_FLOAT_EQ(water->getPlane().getDistance(Ogre::Vector3(0, kWaterHeight, 0)), 0.0f);
    Ogre::Entity* plane = water->getPlaneEntity();
    const Ogre::AxisAlignedBox box = plane->getWorldBoundingBox(true);
    EXPECT_NEAR(box.getCenter().x, 0.0f, 1e-3f);
    EXPECT_NEAR(box.getCenter().z, 0.0f, 1e-3f);
    EXPECT_NEAR(box.getCenter().y, kWaterHeight, 1e-3f);
    // the engine pads mesh bounds by 1% on each side
    EXPECT_NEAR(box.getSize().x, 3000.0f * 1.02f, 1.0f);
    sky.update(6 * 3600.0f);  // midday light for the pictures
    checkReflection("first_load");
}

TEST_F(SkyWaterScene, SkyFollowsTheDay)
{
    enterScene();
    // look west over the sea, the horizon low in the picture
    cameraNode->setPosition(-200, 40, 0);
    cameraNode->lookAt(Ogre::Vector3(-1200, 260, 0), Ogre::Node::TS_WORLD);
    const float hours[] = {12, 0};
    Ogre::ColourValue colours[2];
    for (int k = 0; k < 2; ++k) {
        const float now = sky.getTime();
        float wait = hours[k] * 3600 - now;
        if (wait < 0) {
            wait += Kelvo::SkyDome::kDayLength;
        }
        sky.update(wait);
        // the sky paints the background in its horizon colour; magenta
        // shows where the dome leaves a hole
        viewport->setBackgroundColour(Ogre::ColourValue(1, 0, 1));
        const Shot shot = shoot(k == 0 ? "sky_water_noon.png" : "sky_water_midnight.png");
        colours[k] = shot.mean(0, 0, kWidth, kHeight / 5);
        const int background = [&] {
            int n = 0;
            for (int y = 0; y < kHeight / 5; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const Ogre::ColourValue c = shot.at(x, y);
                    n += c.r > 0.9f && c.g < 0.1f && c.b > 0.9f;
                }
            }
            return n;
        }();
        std::printf("sky at %02.0f:00: top of the picture (%.2f %.2f %.2f), %d background pixels\n", hours[k],
                    colours[k].r, colours[k].g, colours[k].b, background);
        EXPECT_EQ(background, 0) << "the sky leaves the background showing at " << hours[k];
    }
    EXPECT_GT(colours[0].b, colours[0].r + 0.1f) << "the noon sky is not blue";
    const float noon = colours[0].r + colours[0].g + colours[0].b;
    const float midnight = colours[1].r + colours[1].g + colours[1].b;
    EXPECT_GT(noon, midnight * 3) << "midnight is not much darker than noon";
}

TEST_F(SkyWaterScene, MorningSunRisesInTheEast)
{
    enterScene();
    // the sun rises at -X; look that way from the hero's height over the
    // water, just above the horizon
    cameraNode->setPosition(-250, 40, 0);
    cameraNode->lookAt(Ogre::Vector3(-1250, 100, 0), Ogre::Node::TS_WORLD);
    sky.update(Kelvo::SkyDome::kDayLength - sky.getTime() + 7 * 3600);  // 7:00
    const Shot morning = shoot("sky_water_sunrise.png");
    const Ogre::Vector2 sun = toScreen(sky.getSunNode()->_getDerivedPosition());
    ASSERT_GT(sun.x, 0);
    ASSERT_LT(sun.x, kWidth);
    ASSERT_GT(sun.y, 0);
    ASSERT_LT(sun.y, kHeight);
    const Ogre::ColourValue atSun = morning.mean(int(sun.x) - 4, int(sun.y) - 4, int(sun.x) + 4, int(sun.y) + 4);
    const Ogre::ColourValue aside = morning.mean(int(sun.x) + 150, int(sun.y) - 4, int(sun.x) + 158, int(sun.y) + 4);
    std::printf("sun at (%.0f, %.0f): (%.2f %.2f %.2f), the sky beside it (%.2f %.2f %.2f)\n", sun.x, sun.y,
                atSun.r, atSun.g, atSun.b, aside.r, aside.g, aside.b);
    EXPECT_GT(atSun.r + atSun.g + atSun.b, aside.r + aside.g + aside.b + 0.3f) << "no sun where it should stand";
    // between the dome's lower rim and the water no background shows
    int background = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Ogre::ColourValue c = morning.at(x, y);
            background += c.r > 0.9f && c.g < 0.1f && c.b > 0.9f;
        }
    }
    EXPECT_EQ(background, 0) << "the background shows between the sky and the water";
}

TEST_F(SkyWaterScene, SecondSceneLoadSetsTheWaterUpAgain)
{
    enterScene();
    sky.update(6 * 3600.0f);
    lookAtPost();
    shoot("sky_water_before_reload.png", 2);
    leaveScene();
    // the first scene and its camera are gone; the water must not reach them
    enterScene();
    sky.update(6 * 3600.0f);
    EXPECT_TRUE(water->isSetUp());
    checkReflection("second_load");
}

} // namespace
