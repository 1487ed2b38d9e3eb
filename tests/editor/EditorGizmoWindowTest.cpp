// The gizmo's rotate and scale handles, local axes, snapping and drop to
// ground, on a terrain that rises eastward (the fixture says how the scripts
// are driven). Records are compared through the scene loader, as the file
// and the editor's history see them.

#include "EditorDragFixture.h"
#include "SharedEnvironment.h"

#include "editor/EditHistory.h"
#include "editor/GizmoMath.h"
#include "scene/RecordCopy.h"

namespace {

using Kelvo::GizmoMode;
using Kelvo::SnapSettings;
using Kelvo::vectorText;

// Height 10 at X = 0, rising one unit for every four eastward.
const float kSlope = 0.25f;
float slopedGround(float x, float)
{
    return 10.0f + kSlope * x;
}

KelvoTest::TerrainWindowEngine* const kEngine =
    KelvoTest::addSharedEnvironment<KelvoTest::TerrainWindowEngine>("editor_gizmo", slopedGround);

using KelvoTest::entity;

// A crate 4.8 units on a side (scale 4) floating above the slope; its node
// stands in the middle of its bottom face.
const Ogre::Vector3 kCrateAt(0, 30, 0);
const Ogre::Vector3 kCrateMiddle(0, 32.4f, 0);

class EditorGizmoTest : public KelvoTest::EditorDragFixture {
protected:
    EditorGizmoTest()
        : EditorDragFixture(kEngine, Ogre::Vector3(0, 90, 90), Ogre::Vector3(0, 30, 0))
    {
    }

    // The log counts of each test are its own.
    void SetUp() override
    {
        EditorDragFixture::SetUp();
        engine->log.clear();
    }

    void pickCrate(GizmoMode mode)
    {
        click(kCrateMiddle);
        ASSERT_EQ("crate", selected());
        picking->setGizmoMode(mode);
        frame();
    }

    Kelvo::EntityDescription* crate() const { return loader->findEntity("crate"); }
    Ogre::Vector3 rotation() const
    {
        const Ogre::Real* angles = crate()->getRotation();
        return Ogre::Vector3(angles[0], angles[1], angles[2]);
    }
    Ogre::Vector3 scale() const { return node("crate")->getScale(); }

    // The point of the horizontal Y ring at an angle (degrees from +Z toward +X).
    Ogre::Vector3 onYRing(float degrees) const
    {
        const float radius = node("LE_MOVE_AXES_Y_SCALE")->_getDerivedScale().x;
        const Ogre::Radian angle = Ogre::Degree(degrees);
        return worldPosition("crate") + Ogre::Vector3(Ogre::Math::Sin(angle), 0, Ogre::Math::Cos(angle)) * radius;
    }
};

TEST_F(EditorGizmoTest, EachModeShowsOnlyItsOwnHandlesAndOnlyTheRingsCirclesAreHandles)
{
    // A pebble behind the crate, where the ray to it crosses the box of the
    // crate's Z ring but passes far from the ring itself.
    enter(entity("crate", kCrateAt, 4) + entity("pebble", Ogre::Vector3(3, 31, -5), 0.5f));
    pickCrate(GizmoMode::kRotate);
    EXPECT_EQ(1, logged("RayPickingScript: mode rotate"));
    EXPECT_TRUE(picking->getGizmo().areRingsShown());
    EXPECT_FALSE(picking->getGizmo().areAxesShown());
    EXPECT_FALSE(picking->getGizmo().areScaleHandlesShown());
    click(Ogre::Vector3(3, 31.3f, -5));
    EXPECT_EQ("pebble", selected()) << "a click inside a ring's box is no click on the ring";

    click(kCrateMiddle + Ogre::Vector3(1, 0, 0));
    picking->setGizmoMode(GizmoMode::kScale);
    frame();
    ASSERT_EQ("crate", selected());
    EXPECT_FALSE(picking->getGizmo().areRingsShown());
    EXPECT_FALSE(picking->getGizmo().areAxesShown());
    EXPECT_TRUE(picking->getGizmo().areScaleHandlesShown());
    // The X scale bar's box, dragged: the crate is scaled, not moved.
    const Ogre::Vector3 head = handleCentre("LE_MOVE_AXES_X_SIZE_HEAD");
    drag(head, head + Ogre::Vector3(3, 0, 0));
    EXPECT_EQ(1, logged("RayPickingScript: drag started on 'crate' on the X scale handle"));
    EXPECT_EQ(kCrateAt, worldPosition("crate"));
    EXPECT_GT(scale().x, 4.5f);
}

TEST_F(EditorGizmoTest, ARingDragRotatesAboutItsAxisOnlyAlikeAtBothFrameTimesAndUndoesExactly)
{
    enter(entity("crate", kCrateAt, 4));
    pickCrate(GizmoMode::kRotate);
    Kelvo::EditHistory history(loader);
    history.clear();
    const std::vector<Kelvo::RecordCopy> before = loader->copyRecords();

    // From 45 to 85 degrees round the Y ring, in many short frames.
    frameTime = 1.0f / 60;
    drag(onYRing(45), onYRing(85), 12);
    const Ogre::Vector3 turned = rotation();
    // Within the pixels the cursor moves by.
    EXPECT_NEAR(40.0f, turned.y, 2.0f) << vectorText(turned);
    EXPECT_EQ(0, turned.x);
    EXPECT_EQ(0, turned.z);
    EXPECT_EQ(1, logged("RayPickingScript: drag started on 'crate' on the Y ring"));
    EXPECT_EQ(1, logged("RayPickingScript: rotated 'crate' about Y by "));
    // The node turned with the record.
    EXPECT_TRUE(node("crate")->getOrientation().equals(Kelvo::GizmoMath::fromEulerDegrees(turned),
                                                       Ogre::Degree(0.01f)));
    EXPECT_EQ(kCrateAt, worldPosition("crate"));

    ASSERT_TRUE(history.recordChanges());
    EXPECT_EQ("change crate", history.getStep(0).getName());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(before, loader->copyRecords());
    EXPECT_EQ(Ogre::Vector3::ZERO, rotation());

    // The same drag in two long frames turns it alike.
    frameTime = 0.1f;
    drag(onYRing(45), onYRing(85), 2);
    EXPECT_NEAR(turned.y, rotation().y, 0.05f);
    EXPECT_EQ(0, rotation().x);
    EXPECT_EQ(0, rotation().z);

    // On past a quarter turn: still about Y only (the same turn can be
    // written with X and Z at 180 as well).
    drag(onYRing(85), onYRing(150), 6);
    EXPECT_NEAR(turned.y + 65, rotation().y, 2.0f) << vectorText(rotation());
    EXPECT_EQ(0, rotation().x);
    EXPECT_EQ(0, rotation().z);
}

TEST_F(EditorGizmoTest, AScaleBarScalesItsAxisOnlyTheBoxAllThreeAndUndoGivesTheRecordsBack)
{
    enter(entity("crate", kCrateAt, 4));
    pickCrate(GizmoMode::kScale);
    Kelvo::EditHistory history(loader);
    history.clear();
    const std::vector<Kelvo::RecordCopy> before = loader->copyRecords();

    // The X bar's box pulled out to twice its distance from the crate's node.
    const Ogre::Vector3 head = handleCentre("LE_MOVE_AXES_X_SIZE_HEAD");
    const Ogre::Vector3 grip = Ogre::Vector3(head.x, kCrateAt.y, kCrateAt.z);
    drag(head, grip + (grip - kCrateAt));
    EXPECT_NEAR(8.0f, scale().x, 0.3f) << vectorText(scale());
    EXPECT_EQ(4, scale().y);
    EXPECT_EQ(4, scale().z);
    EXPECT_EQ(1, logged("RayPickingScript: scaled 'crate' to " + vectorText(scale())));
    ASSERT_TRUE(history.recordChanges());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(before, loader->copyRecords());
    EXPECT_EQ(Ogre::Vector3(4, 4, 4), scale());

    // The all-axes box, dragged away from the crate: all three grow alike.
    // (The handles come back to the crate's size with the next mouse move.)
    moveTo(pixelOf(kCrateMiddle));
    const Ogre::Vector3 all = handleCentre("LE_MOVE_AXES_ALL_SIZE");
    drag(all, all + (all - worldPosition("crate")) * 0.5f);
    EXPECT_EQ(1, logged("RayPickingScript: drag started on 'crate' on the all-axes scale handle"))
        << ::testing::PrintToString(engine->log.matching("RayPickingScript"));
    const Ogre::Vector3 grown = scale();
    EXPECT_GT(grown.x, 4.5f) << vectorText(grown);
    EXPECT_FLOAT_EQ(grown.x, grown.y);
    EXPECT_FLOAT_EQ(grown.x, grown.z);
    ASSERT_TRUE(history.recordChanges());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(before, loader->copyRecords());
}

TEST_F(EditorGizmoTest, SnappedDragsLandOnTheGridTheAngleStepAndTheScaleStep)
{
    enter(entity("crate", kCrateAt, 4));
    pickCrate(GizmoMode::kMove);
    picking->setSnapping(true);
    EXPECT_EQ(1, logged("RayPickingScript: snapping on"));

    const Ogre::Vector3 xHead = handleCentre("LE_MOVE_AXES_X_HEAD");
    drag(xHead, surfaceUnder(xHead, "LE_MOVE_AXES_X_HEAD") + Ogre::Vector3(7.3f, 0, 0));
    const Ogre::Vector3 moved = worldPosition("crate");
    EXPECT_NEAR(7.0f, moved.x, 1.01f);
    EXPECT_EQ(std::round(moved.x), moved.x) << vectorText(moved);
    EXPECT_EQ(kCrateAt.y, moved.y);
    EXPECT_EQ(kCrateAt.z, moved.z);

    // A free drag on a grid of 2.5: X and Z on it, the height kept.
    ASSERT_TRUE(picking->setSnapStep(SnapSettings::kMoveStep, "2.5"));
    const Ogre::Vector3 aim = moved + Ogre::Vector3(0, 2.4f, 0);
    drag(aim, surfaceUnder(aim, "crate") + Ogre::Vector3(-6.1f, 0, 3.3f));
    const Ogre::Vector3 free = worldPosition("crate");
    EXPECT_EQ(0, std::fmod(free.x, 2.5f)) << vectorText(free);
    EXPECT_EQ(0, std::fmod(free.z, 2.5f)) << vectorText(free);
    EXPECT_EQ(kCrateAt.y, free.y);
    EXPECT_NE(moved.x, free.x);

    // About 37 degrees round the Y ring in steps of 15.
    picking->setGizmoMode(GizmoMode::kRotate);
    frame();
    drag(onYRing(30), onYRing(67), 6);
    EXPECT_TRUE(rotation().y == 30 || rotation().y == 45) << vectorText(rotation());
    EXPECT_EQ(0, rotation().x);
    EXPECT_EQ(0, rotation().z);

    // The X bar (along the crate's turned X) pulled out by about a third:
    // a multiple of 0.1.
    picking->setGizmoMode(GizmoMode::kScale);
    frame();
    const Ogre::Vector3 xBox = handleCentre("LE_MOVE_AXES_X_SIZE_HEAD");
    const Ogre::Vector3 centre = worldPosition("crate");
    const Ogre::Vector3 along = node("crate")->getOrientation() * Ogre::Vector3::UNIT_X;
    const Ogre::Vector3 grip = centre + along * along.dotProduct(xBox - centre);
    drag(xBox, grip + (grip - centre) * 0.37f);
    const float x = scale().x;
    EXPECT_GT(x, 4.5f);
    EXPECT_NEAR(std::round(x * 10), x * 10, 1e-3f) << x;
    EXPECT_EQ(4, scale().z);
}

TEST_F(EditorGizmoTest, DropToGroundPutsTheLowestPointOnTheSlopeAndStaysWithoutGround)
{
    enter(entity("crate", Ogre::Vector3(40, 60, 10), 4) + entity("away", Ogre::Vector3(700, 60, 0), 1));
    frame();
    // Tilted, so that a corner is its lowest point.
    crate()->setRotation(0, 0, 30);
    ASSERT_TRUE(picking->selectByName("crate"));
    frame();
    ASSERT_TRUE(picking->dropToGround());
    frame();
    const Ogre::AxisAlignedBox box = scene->getEntity("crate")->getWorldBoundingBox(true);
    const float ground = slopedGround(box.getCenter().x, box.getCenter().z);
    EXPECT_NEAR(ground, box.getMinimum().y, 0.1f) << vectorText(box.getMinimum());
    EXPECT_EQ(1, logged("RayPickingScript: dropped 'crate' to " +
                        Ogre::StringConverter::toString(worldPosition("crate").y)));
    EXPECT_NEAR(40.0f, worldPosition("crate").x, 1e-4f);

    // Beyond the terrain's edge there is nothing to stand on.
    ASSERT_TRUE(picking->selectByName("away"));
    EXPECT_FALSE(picking->dropToGround());
    EXPECT_EQ(Ogre::Vector3(700, 60, 0), worldPosition("away"));
    EXPECT_EQ(1, logged("RayPickingScript: no ground below 'away'"));
}

TEST_F(EditorGizmoTest, LocalAxesFollowATurnedEntity)
{
    enter(entity("crate", kCrateAt, 4));
    frame();
    crate()->setRotation(0, 30, 0);
    pickCrate(GizmoMode::kMove);
    picking->setLocalAxes(true);
    frame();
    EXPECT_EQ(1, logged("RayPickingScript: axes local"));
    const Ogre::Vector3 localX = node("crate")->getOrientation() * Ogre::Vector3::UNIT_X;
    const Ogre::Vector3 xHead = handleCentre("LE_MOVE_AXES_X_HEAD");
    EXPECT_GT((xHead - kCrateAt).normalisedCopy().dotProduct(localX), 0.99f) << vectorText(xHead);

    // Dragged along its own X: no step across it.
    const Ogre::Vector3 grip = kCrateAt + localX * localX.dotProduct(xHead - kCrateAt);
    drag(xHead, grip + localX * 10);
    const Ogre::Vector3 moved = worldPosition("crate") - kCrateAt;
    EXPECT_NEAR(10.0f, moved.dotProduct(localX), 0.5f) << vectorText(moved);
    EXPECT_LT((moved - localX * moved.dotProduct(localX)).length(), 0.01f) << vectorText(moved);

    // The rings turn with it too: the Y ring's axis stays up, the X ring's
    // is the crate's X.
    picking->setGizmoMode(GizmoMode::kRotate);
    frame();
    const Ogre::Vector3 ringAxis = node("LE_MOVE_AXES_X_SCALE")->_getDerivedOrientation() * Ogre::Vector3::UNIT_X;
    EXPECT_GT(ringAxis.dotProduct(localX), 0.999f);
    picking->setLocalAxes(false);
    frame();
    EXPECT_EQ(1, logged("RayPickingScript: axes world"));
    EXPECT_GT((node("LE_MOVE_AXES_X_SCALE")->_getDerivedOrientation() * Ogre::Vector3::UNIT_X).x, 0.999f);
}

} // namespace
