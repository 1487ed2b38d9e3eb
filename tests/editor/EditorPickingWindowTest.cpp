// The editor's picking and moving on a plain at height 10 made from code
// (the fixture says how the scripts are driven).

#include "EditorDragFixture.h"
#include "SharedEnvironment.h"

#include "world/FrameMessageString.h"
#include "world/FrameMessageVector3D.h"

namespace {

using Kelvo::vectorText;

const float kGround = 10.0f;

float flatGround(float, float)
{
    return kGround;
}

KelvoTest::TerrainWindowEngine* const kEngine = KelvoTest::addSharedEnvironment<KelvoTest::TerrainWindowEngine>("editor_picking", flatGround);

using KelvoTest::entity;

// The camera looks from above and south of the origin down onto it.
class EditorPickingTest : public KelvoTest::EditorDragFixture {
protected:
    EditorPickingTest()
        : EditorDragFixture(kEngine, Ogre::Vector3(0, 90, 90), Ogre::Vector3(0, kGround, 0))
    {
    }
};

// A crate 4.8 units on a side, standing on the plain at the origin.
const Ogre::Vector3 kCrateAt(0, kGround, 0);
// The crate's middle, where a click lands on its face toward the camera.
const Ogre::Vector3 kCrateMiddle(0, kGround + 2.4f, 0);

TEST_F(EditorPickingTest, AClickPicksAnObjectAndAClickOnTheTerrainMovesTheLocatorButKeepsTheSelection)
{
    enter(entity("crate", kCrateAt, 4));
    click(kCrateMiddle);
    EXPECT_EQ("crate", selected());
    EXPECT_EQ(1, logged("RayPickingScript: picked 'crate'"));
    EXPECT_TRUE(picking->getGizmo().areAxesShown());
    EXPECT_TRUE(node("crate")->getShowBoundingBox());
    auto* told = static_cast<Kelvo::FrameMessageString*>(
        world->getMessages()->find("SCENE_NODE_HAS_CHANGED_FROM_RAY", Kelvo::FrameMessage::kString));
    ASSERT_NE(nullptr, told);
    EXPECT_EQ("crate", told->getText());

    const Ogre::Vector3 ground(30, kGround, 20);
    click(ground);
    EXPECT_EQ("crate", selected());
    EXPECT_TRUE(picking->getGizmo().isLocatorShown());
    EXPECT_LT(picking->getGizmo().getLocatorPosition().distance(ground), 0.5f)
        << vectorText(picking->getGizmo().getLocatorPosition());
    auto* locator = static_cast<Kelvo::FrameMessageVector3D*>(
        world->getMessages()->find("LOCATOR_POS_CHANGED", Kelvo::FrameMessage::kVector3D));
    ASSERT_NE(nullptr, locator);
    EXPECT_EQ(picking->getGizmo().getLocatorPosition(), locator->getVector());

    // A drag begun on the terrain grabs nothing: the locator follows the cursor.
    drag(Ogre::Vector3(-30, kGround, 10), Ogre::Vector3(-10, kGround, 30));
    EXPECT_LT(picking->getGizmo().getLocatorPosition().distance(Ogre::Vector3(-10, kGround, 30)), 0.5f);
    EXPECT_EQ(kCrateAt, worldPosition("crate"));
    EXPECT_EQ(0, logged("drag started"));
}

TEST_F(EditorPickingTest, MiddleClicksCycleThroughTheObjectsUnderTheCursorAndWrap)
{
    // Three crates on the line of sight to the plain's middle.
    const Ogre::Vector3 sight = (kLookAt - kEye);
    enter(entity("near", kEye + sight * 0.4f, 1) + entity("middle", kEye + sight * 0.6f, 1) +
          entity("far", kEye + sight * 0.8f, 1));
    const Ogre::Vector3 target = kEye + sight * 0.6f + Ogre::Vector3(0, 0.6f, 0);
    click(target);
    EXPECT_EQ("near", selected());
    click(target, OIS::MB_Middle);
    EXPECT_EQ("middle", selected());
    click(target, OIS::MB_Middle);
    EXPECT_EQ("far", selected());
    click(target, OIS::MB_Middle);
    EXPECT_EQ("near", selected()) << "past the last object the cycle starts again";
    click(target);
    EXPECT_EQ("near", selected());
}

TEST_F(EditorPickingTest, AnAxisDragMovesTheObjectOnlyAlongThatWorldAxis)
{
    enter(entity("crate", kCrateAt, 4));
    click(kCrateMiddle);
    ASSERT_EQ("crate", selected());

    // The X arrow's head, dragged 20 to the east and 10 to the north on the
    // plane through the grab point: only the eastward part counts.
    const Ogre::Vector3 xHead = handleCentre("LE_MOVE_AXES_X_HEAD");
    drag(xHead, surfaceUnder(xHead, "LE_MOVE_AXES_X_HEAD") + Ogre::Vector3(20, 0, -10));
    EXPECT_EQ(1, logged("RayPickingScript: drag started on 'crate' along X"));
    const Ogre::Vector3 movedX = worldPosition("crate");
    EXPECT_NEAR(20.0f, movedX.x - kCrateAt.x, 0.5f);
    EXPECT_EQ(kCrateAt.y, movedX.y);
    EXPECT_EQ(kCrateAt.z, movedX.z);
    EXPECT_EQ(1, logged("RayPickingScript: drag ended on 'crate' along X"));
    EXPECT_EQ("crate", selected());
    EXPECT_EQ(Ogre::Vector3(1, 1, 1), picking->getGizmo().getStretch()) << "the arrows are thin again";

    // The Y arrow's head, pulled up by 15 (and sideways by 5).
    const Ogre::Vector3 yHead = handleCentre("LE_MOVE_AXES_Y_HEAD");
    drag(yHead, surfaceUnder(yHead, "LE_MOVE_AXES_Y_HEAD") + Ogre::Vector3(5, 15, 0));
    const Ogre::Vector3 movedY = worldPosition("crate");
    EXPECT_EQ(movedX.x, movedY.x);
    EXPECT_NEAR(15.0f, movedY.y - movedX.y, 0.5f);
    EXPECT_EQ(movedX.z, movedY.z);
}

TEST_F(EditorPickingTest, AFreeDragKeepsTheHeightAndFollowsTheCursorOnTheGrabPlane)
{
    enter(entity("crate", kCrateAt, 4) + entity("other", Ogre::Vector3(-25, kGround, 0), 4));
    // Pressing on an object that is not selected picks it and drags it.
    drag(kCrateMiddle, surfaceUnder(kCrateMiddle, "crate") + Ogre::Vector3(15, 0, 10));
    EXPECT_EQ("crate", selected());
    EXPECT_EQ(1, logged("RayPickingScript: drag started on 'crate' free"));
    const Ogre::Vector3 moved = worldPosition("crate");
    EXPECT_LT(moved.distance(kCrateAt + Ogre::Vector3(15, 0, 10)), 0.5f) << vectorText(moved);
    EXPECT_EQ(kCrateAt.y, moved.y);
    EXPECT_EQ(Ogre::Vector3(-25, kGround, 0), worldPosition("other"));
    EXPECT_EQ(0, logged("picked 'other'")) << "the release that ends a drag is no click";
}

TEST_F(EditorPickingTest, ADraggedChildOfATurnedScaledParentFollowsTheCursorExactly)
{
    enter(entity("raft", Ogre::Vector3(20, kGround, -10), 1) + entity("box", Ogre::Vector3(0, kGround, 0), 3));
    // The box becomes a child of the raft, which is turned, scaled and
    // moved; the box keeps its place in the world.
    Ogre::SceneNode* raft = node("raft");
    Ogre::SceneNode* box = node("box");
    raft->yaw(Ogre::Degree(40));
    raft->setScale(2, 0.5f, 3);
    const Ogre::Vector3 boxWorld = box->_getDerivedPosition();
    box->getParent()->removeChild(box);
    raft->addChild(box);
    box->setPosition(raft->convertWorldToLocalPosition(boxWorld));
    box->setScale(Ogre::Vector3(3, 3, 3) / raft->getScale());
    frame();
    ASSERT_LT(worldPosition("box").distance(boxWorld), 1e-3f);

    const Ogre::Vector3 aim = boxWorld + Ogre::Vector3(0, 1.8f, 0);
    drag(aim, surfaceUnder(aim, "box") + Ogre::Vector3(-12, 0, 8));
    EXPECT_EQ("box", selected());
    EXPECT_LT(worldPosition("box").distance(boxWorld + Ogre::Vector3(-12, 0, 8)), 0.5f)
        << vectorText(worldPosition("box"));

    // Along X by the arrow: the world X, not the parent's turned one.
    const Ogre::Vector3 before = worldPosition("box");
    const Ogre::Vector3 xHead = handleCentre("LE_MOVE_AXES_X_HEAD");
    drag(xHead, surfaceUnder(xHead, "LE_MOVE_AXES_X_HEAD") + Ogre::Vector3(10, 0, 0));
    const Ogre::Vector3 after = worldPosition("box");
    EXPECT_NEAR(10.0f, after.x - before.x, 0.5f);
    EXPECT_NEAR(before.y, after.y, 1e-3f);
    EXPECT_NEAR(before.z, after.z, 1e-3f);
}

TEST_F(EditorPickingTest, AClickOnAnArrowKeepsTheSelectionAndADeletedSelectionIsDropped)
{
    enter(entity("crate", kCrateAt, 4) + entity("behind", Ogre::Vector3(40, kGround, 0), 4));
    click(kCrateMiddle);
    ASSERT_EQ("crate", selected());
    click(handleCentre("LE_MOVE_AXES_X_HEAD"));
    EXPECT_EQ("crate", selected());
    EXPECT_EQ(kCrateAt, worldPosition("crate"));

    ASSERT_EQ(1, loader->removeEntity("crate"));
    EXPECT_EQ(nullptr, picking->getSelectedNode());
    EXPECT_FALSE(picking->getGizmo().areAxesShown());
    frame();
    click(Ogre::Vector3(40, kGround + 2.4f, 0));
    EXPECT_EQ("behind", selected()) << "picking goes on after the loss";
}

// A press on the terrain held while the cursor goes onto an object and rests
// there picks it again every frame: the pick is logged once. A click
// elsewhere on the terrain logs where the locator went, once. (The engine's
// log is the suite's: counts are taken before and after.)
TEST_F(EditorPickingTest, AHeldButtonLogsItsPickOnce)
{
    enter(entity("barrel", kCrateAt, 4) + entity("rock", Ogre::Vector3(-25, kGround, 0), 4));
    click(Ogre::Vector3(-25, kGround + 2.4f, 0));
    ASSERT_EQ("rock", selected());
    const int picks = logged("RayPickingScript: picked 'barrel'");
    const Ogre::Vector2 start = pixelOf(Ogre::Vector3(30, kGround, 20));
    const Ogre::Vector2 onBarrel = pixelOf(kCrateMiddle);
    moveTo(start);
    control->mousePressed(mouseAt(start), OIS::MB_Left);
    // The drag begins on the terrain: nothing is grabbed.
    moveTo(start + Ogre::Vector2(1, 0));
    moveTo(start + Ogre::Vector2(2, 0));
    for (int i = 0; i < 6; ++i) {
        moveTo(onBarrel + Ogre::Vector2(static_cast<float>(i % 2), 0));
    }
    control->mouseReleased(mouseAt(onBarrel), OIS::MB_Left);
    frame();
    EXPECT_EQ("barrel", selected());
    EXPECT_EQ(picks + 1, logged("RayPickingScript: picked 'barrel'"));

    const int locatorLines = logged("RayPickingScript: locator at");
    click(Ogre::Vector3(-30, kGround, 25));
    frame();
    EXPECT_EQ(locatorLines + 1, logged("RayPickingScript: locator at"));
}

} // namespace
