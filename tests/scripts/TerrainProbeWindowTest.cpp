// The terrain probe the hero, the camera and the enemies stand on, on a real
// terrain in a GL window (under Xvfb in the suite). The terrain is made from
// code: one tilted plane, so the height under any point is known exactly
// (the terrain's triangles reproduce a plane without error). A ball hangs
// above the ground on one column; it must never be taken for the ground.

#include "terrain/TerrainConfig.h"
#include "world/TerrainProbe.h"

#include "SharedEnvironment.h"
#include "TerrainWindowEngine.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace {

using Kelvo::TerrainProbe;
using KelvoTest::TerrainTestMedia;


// The slope: rising eastwards and, less, southwards; inside the heightmap's
// range everywhere on the map.
const float kBaseHeight = 70.0f;
const float kSlopeX = 0.1f;
const float kSlopeZ = 0.04f;
// 16-bit heights over a 160 unit range, and the engine's float maths.
const float kHeightTolerance = 0.05f;

float slopeHeight(float x, float z)
{
    return kBaseHeight + kSlopeX * x + kSlopeZ * z;
}

using Engine = KelvoTest::TerrainWindowEngine;
Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>("terrain_probe", slopeHeight);

class TerrainProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        const KelvoTest::TerrainWindowEngine::MainScene made = engine->createMainScene(Ogre::Vector3(0, 200, 300));
        made.cameraNode->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
        scene = made.scene;

        // A ball hanging over the ground at the origin, in the way of every
        // downward ray there.
        ball = scene->createEntity("floating_ball", Ogre::SceneManager::PT_SPHERE);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(kBallAt);
        node->setScale(0.05f, 0.05f, 0.05f);
        node->attachObject(ball);
        // The first frame loads the pages round the camera and places the
        // ball's bounds.
        engine->root->renderOneFrame();
    }

    void TearDown() override
    {
        if (scene) {
            engine->destroyMainScene(scene);
            scene = nullptr;
        }
    }

    // The ball's centre: 3 above the ground, its 2.5 radius clear of it.
    const Ogre::Vector3 kBallAt{0, slopeHeight(0, 0) + 3.0f, 0};

    Engine* engine = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Entity* ball = nullptr;
};


TEST_F(TerrainProbeTest, FindsTheSlopeUnderPointsAllOverTheMap)
{
    TerrainProbe probe(scene);
    const Ogre::Vector3 places[] = {{-400, 0, -400}, {-120, 0, 250}, {35.5f, 0, -17.25f}, {300, 0, 90}, {450, 0, 450}};
    for (Ogre::Vector3 place : places) {
        // Asked from just above the ground, as the hero asks.
        place.y = slopeHeight(place.x, place.z) + 1.0f;
        Ogre::Vector3 point;
        ASSERT_TRUE(probe.pointBelow(place, point)) << "no terrain under " << place;
        EXPECT_NEAR(slopeHeight(place.x, place.z), point.y, kHeightTolerance) << "under " << place;
        EXPECT_NEAR(place.x, point.x, 0.01f);
        EXPECT_NEAR(place.z, point.z, 0.01f);
        EXPECT_NEAR(slopeHeight(place.x, place.z), probe.heightBelow(place, -1000.0f), kHeightTolerance);
    }
}

TEST_F(TerrainProbeTest, AnEntityAboveTheGroundIsNeverTakenForIt)
{
    // The ray starts above the ball and passes through it to the ground.
    const Ogre::Vector3 above = kBallAt + Ogre::Vector3(0, 2.0f, 0);
    const Ogre::Ray downward(above + Ogre::Vector3(0, TerrainProbe::kDefaultRayHeight, 0),
                             Ogre::Vector3::NEGATIVE_UNIT_Y);
    ASSERT_TRUE(downward.intersects(ball->getWorldBoundingBox(true)).first)
        << "the ball is not in the ray's way; the test proves nothing";
    TerrainProbe probe(scene);
    Ogre::Vector3 point;
    ASSERT_TRUE(probe.pointBelow(above, point));
    EXPECT_NEAR(slopeHeight(0, 0), point.y, kHeightTolerance);
    // From higher up (the camera's ray starts 10 above it) the same.
    EXPECT_NEAR(slopeHeight(0, 0), probe.heightBelow(above, -1000.0f, 10.0f), kHeightTolerance);
}

TEST_F(TerrainProbeTest, APositionSunkIntoTheSlopeStillFindsTheGroundAboveIt)
{
    // The camera may be pushed into a hillside; lifting it out needs the
    // ground's height there even when the ray starts below it.
    TerrainProbe probe(scene);
    const Ogre::Vector3 sunk(200, slopeHeight(200, 100) - 30.0f, 100);
    Ogre::Vector3 point;
    ASSERT_TRUE(probe.pointBelow(sunk, point));
    EXPECT_NEAR(slopeHeight(200, 100), point.y, kHeightTolerance);
}

TEST_F(TerrainProbeTest, NoTerrainOffTheMapOrWithoutATerrainScene)
{
    TerrainProbe probe(scene);
    Ogre::Vector3 point(1, 2, 3);
    EXPECT_FALSE(probe.pointBelow(Ogre::Vector3(5000, 100, 5000), point));
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), point) << "a miss leaves the point as it was";
    EXPECT_FLOAT_EQ(-7.0f, probe.heightBelow(Ogre::Vector3(-5000, 100, 0), -7.0f));

    // A scene manager without terrain, and none at all.
    Ogre::SceneManager* plain = engine->root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME);
    {
        TerrainProbe plainProbe(plain);
        EXPECT_FALSE(plainProbe.pointBelow(Ogre::Vector3(0, 100, 0), point));
    }
    engine->root->destroySceneManager(plain);
    TerrainProbe noScene(nullptr);
    EXPECT_FALSE(noScene.pointBelow(Ogre::Vector3::ZERO, point));
}

} // namespace
