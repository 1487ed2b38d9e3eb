// The collision probe against real entities of a loaded scene on the default
// scene manager: free gaps in the four directions, what blocks and what not.

#include "SceneTestFixture.h"

#include "world/CollisionProbe.h"

#include <OgreEntity.h>

using Kelvo::CollisionProbe;
using KelvoTest::SceneTest;

namespace {

std::string ball(const std::string& name, const Ogre::Vector3& at, float scale = 1)
{
    return "<entity name=\"" + name + "\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
           "ReceiveShadows=\"no\"><position x=\"" + Ogre::StringConverter::toString(at.x) + "\" y=\"" +
           Ogre::StringConverter::toString(at.y) + "\" z=\"" + Ogre::StringConverter::toString(at.z) +
           "\"/><scale x=\"" + Ogre::StringConverter::toString(scale) + "\" y=\"" +
           Ogre::StringConverter::toString(scale) + "\" z=\"" + Ogre::StringConverter::toString(scale) +
           "\"/></entity>";
}

class CollisionProbeTest : public SceneTest {
protected:
    // The hero: the unit ball scaled to a box one unit wide (half extent 0.5).
    void loadAround(const std::string& obstacles)
    {
        writeScene("probe.qormscene", "<kelvo_scene><entities>" + ball("hero", Ogre::Vector3::ZERO, 0.5f) +
                                          obstacles + "</entities></kelvo_scene>");
        ASSERT_TRUE(mLoader->load("probe.qormscene", mSceneManager, nullptr, false));
        refreshBounds();
        mHero = mSceneManager->getSceneNode("hero");
    }

    // Ray queries use the cached world bounds.
    void refreshBounds() { mSceneManager->getRootSceneNode()->_update(true, false); }

    Ogre::SceneNode* mHero = nullptr;
};

TEST_F(CollisionProbeTest, NothingInReachReportsTheSentinelInAllFourDirections)
{
    loadAround("");
    CollisionProbe probe(mHero, mLoader);
    probe.probe(Ogre::Vector3::ZERO);
    EXPECT_EQ(CollisionProbe::kNothingInReach, probe.getDistancePositiveX());
    EXPECT_EQ(CollisionProbe::kNothingInReach, probe.getDistanceNegativeX());
    EXPECT_EQ(CollisionProbe::kNothingInReach, probe.getDistancePositiveZ());
    EXPECT_EQ(CollisionProbe::kNothingInReach, probe.getDistanceNegativeZ());
    EXPECT_EQ(4000000000.0f, probe.getNearestDistance());
    EXPECT_EQ("", probe.getNearestName()) << "its own entity never counts";
}

TEST_F(CollisionProbeTest, GapIsTheHitDistanceLessTheHalfBoxAndTheRayOffset)
{
    // Unit balls: the wall east of the hero has its near side at x = 8, so the
    // +X ray starting at x = -2 meets it at 10 and the gap is 10 - 0.5 - 2.
    loadAround(ball("east", Ogre::Vector3(9, 0, 0)) + ball("west", Ogre::Vector3(-13, 0, 0)) +
               ball("north", Ogre::Vector3(0, 0, 20)) + ball("south", Ogre::Vector3(0, 0, -6)));
    CollisionProbe probe(mHero, mLoader);
    probe.probe(Ogre::Vector3::ZERO);
    EXPECT_FLOAT_EQ(7.5f, probe.getDistancePositiveX());
    EXPECT_FLOAT_EQ(11.5f, probe.getDistanceNegativeX());
    EXPECT_FLOAT_EQ(18.5f, probe.getDistancePositiveZ());
    EXPECT_FLOAT_EQ(4.5f, probe.getDistanceNegativeZ());
    EXPECT_EQ("south", probe.getNearestName());
    EXPECT_FLOAT_EQ(7.0f, probe.getNearestDistance());
}

TEST_F(CollisionProbeTest, ProbingAtACandidatePositionShrinksTheGapUntilItGoesNegative)
{
    loadAround(ball("east", Ogre::Vector3(9, 0, 0)));
    CollisionProbe probe(mHero, mLoader);
    probe.probe(Ogre::Vector3(4, 0, 0));
    EXPECT_FLOAT_EQ(3.5f, probe.getDistancePositiveX());
    probe.probe(Ogre::Vector3(8, 0, 0));
    EXPECT_FLOAT_EQ(-0.5f, probe.getDistancePositiveX()) << "the box overlaps the wall by half a unit";
    EXPECT_EQ(Ogre::Vector3::ZERO, mHero->getPosition()) << "probing does not move the node";

    // Rays run at the box's half height above the position (0.5), not at its
    // centre: lifted by 0.7 they pass over the wall's top at 1.
    probe.probe(Ogre::Vector3(4, 0.7f, 0));
    EXPECT_EQ(CollisionProbe::kNothingInReach, probe.getDistancePositiveX());
}

TEST_F(CollisionProbeTest, EntitiesNotLoadedFromTheSceneNeverBlock)
{
    loadAround(ball("east", Ogre::Vector3(9, 0, 0)));
    // A projectile between the hero and the wall.
    Ogre::Entity* projectile = mSceneManager->createEntity("energy_ball", "ball.mesh");
    mSceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(4, 0, 0))->attachObject(projectile);
    refreshBounds();

    CollisionProbe probe(mHero, mLoader);
    probe.probe(Ogre::Vector3::ZERO);
    EXPECT_FLOAT_EQ(7.5f, probe.getDistancePositiveX());
    EXPECT_FLOAT_EQ(10.0f, probe.castRay(Ogre::Vector3(-2, 0.5f, 0), Ogre::Vector3::UNIT_X));
    EXPECT_EQ(CollisionProbe::kNothingInReach,
              probe.castRay(Ogre::Vector3(-2, 0.5f, 0), Ogre::Vector3::NEGATIVE_UNIT_X));
}

TEST_F(CollisionProbeTest, RayStartingInsideAnObstacleCountsAsFree)
{
    // A block west of the hero, x from -3.5 to -0.5: its box holds the +X
    // ray's origin (-2), while the -X ray from +2 meets its side at 2.5.
    loadAround(ball("block", Ogre::Vector3(-2, 0, 0), 1.5f));
    CollisionProbe probe(mHero, mLoader);
    probe.probe(Ogre::Vector3::ZERO);
    EXPECT_EQ(CollisionProbe::kNothingInReach, probe.getDistancePositiveX());
    EXPECT_FLOAT_EQ(0.0f, probe.getDistanceNegativeX()) << "touching: no gap left";
}

TEST_F(CollisionProbeTest, NodeWithoutObjectKeepsItsPreviousGaps)
{
    loadAround(ball("east", Ogre::Vector3(9, 0, 0)));
    CollisionProbe probe(mHero, mLoader);
    probe.probe(Ogre::Vector3::ZERO);
    mHero->detachAllObjects();
    probe.probe(Ogre::Vector3(100, 0, 0));
    EXPECT_FLOAT_EQ(7.5f, probe.getDistancePositiveX());
}

} // namespace
