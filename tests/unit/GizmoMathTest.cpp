// The gizmo's snapping steps and the geometry of its rotate and scale drags:
// pure functions of rays and vectors, no engine needed.

#include "editor/GizmoMath.h"
#include "editor/GizmoSettings.h"

#include <OgreStringConverter.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using Kelvo::SnapSettings;
namespace GizmoMath = Kelvo::GizmoMath;

TEST(SnapSettingsTest, ABadStepIsRefusedWithAReasonAndTheOldStepStays)
{
    SnapSettings snap;
    std::string refusal;
    for (const char* bad : {"", "  ", "0", "-1", "abc", "1.5x", "nan", "inf", "-0"}) {
        refusal.clear();
        EXPECT_FALSE(snap.setStep(SnapSettings::kMoveStep, bad, refusal)) << "'" << bad << "'";
        EXPECT_FALSE(refusal.empty()) << "'" << bad << "'";
        EXPECT_EQ(SnapSettings::kDefaultMoveStep, snap.step(SnapSettings::kMoveStep)) << "'" << bad << "'";
    }
    EXPECT_TRUE(snap.setStep(SnapSettings::kRotateStep, " 22.5 ", refusal));
    EXPECT_EQ(22.5f, snap.step(SnapSettings::kRotateStep));
    EXPECT_EQ(SnapSettings::kDefaultScaleStep, snap.step(SnapSettings::kScaleStep));
}

TEST(SnapSettingsTest, SnapTakesTheNearestMultipleOnBothSidesOfZero)
{
    EXPECT_EQ(7.0f, SnapSettings::snap(7.3f, 1));
    EXPECT_EQ(-7.5f, SnapSettings::snap(-6.3f, 2.5f));
    EXPECT_EQ(30.0f, SnapSettings::snap(37.4f, 15));
    EXPECT_EQ(45.0f, SnapSettings::snap(37.6f, 15));
    // Steps of a tenth stay tenths as the file writes numbers (six digits).
    EXPECT_EQ("1.3", Ogre::StringConverter::toString(SnapSettings::snap(1.26f, 0.1f)));
    EXPECT_EQ("-0.7", Ogre::StringConverter::toString(SnapSettings::snap(-0.71f, 0.1f)));
}

TEST(GizmoMathTest, EulerAnglesComeBackFromTheirOrientation)
{
    for (const Ogre::Vector3& angles : {Ogre::Vector3(0, 0, 0), Ogre::Vector3(30, 0, 0), Ogre::Vector3(0, 45, 0),
                                        Ogre::Vector3(0, 0, -60), Ogre::Vector3(10, -20, 170),
                                        Ogre::Vector3(-120, 80, 35)}) {
        const Ogre::Vector3 back = GizmoMath::toEulerDegrees(GizmoMath::fromEulerDegrees(angles));
        EXPECT_LT(back.distance(angles), 1e-3f) << angles << " came back as " << back;
    }
    // The record's order: X first (Y turns to Z), then Z (which leaves Z);
    // the other order would give -X.
    const Ogre::Quaternion q = GizmoMath::fromEulerDegrees(Ogre::Vector3(90, 0, 90));
    EXPECT_LT((q * Ogre::Vector3::UNIT_Y).distance(Ogre::Vector3::UNIT_Z), 1e-5f) << q * Ogre::Vector3::UNIT_Y;
}

TEST(GizmoMathTest, TheRingAngleFollowsTheCursorRoundTheAxisFacedOrEdgeOn)
{
    const Ogre::Vector3 centre(10, 5, -3);
    // Looking down at a horizontal ring: the cursor a quarter turn round.
    auto down = [&](const Ogre::Vector3& at) { return Ogre::Ray(at + Ogre::Vector3(0, 50, 0), Ogre::Vector3::NEGATIVE_UNIT_Y); };
    Ogre::Vector3 from;
    Ogre::Vector3 to;
    ASSERT_TRUE(GizmoMath::ringVector(down(centre + Ogre::Vector3(0, 0, 4)), centre, Ogre::Vector3::UNIT_Y, from));
    ASSERT_TRUE(GizmoMath::ringVector(down(centre + Ogre::Vector3(4, 0, 0)), centre, Ogre::Vector3::UNIT_Y, to));
    // From +Z to +X is counter-clockwise seen from above: +90 about +Y.
    EXPECT_NEAR(90.0f, GizmoMath::signedAngle(from, to, Ogre::Vector3::UNIT_Y), 1e-3f);
    EXPECT_NEAR(-90.0f, GizmoMath::signedAngle(to, from, Ogre::Vector3::UNIT_Y), 1e-3f);

    // A vertical ring (about X) seen from the side along Z, nearly edge-on
    // to a camera level with it: the direction still follows the cursor.
    const Ogre::Vector3 eye = centre + Ogre::Vector3(2, 0, 60);
    Ogre::Vector3 up;
    ASSERT_TRUE(GizmoMath::ringVector(Ogre::Ray(eye, (centre + Ogre::Vector3(0, 3, 0) - eye).normalisedCopy()),
                                      centre, Ogre::Vector3(60, 0, -2), up));
    EXPECT_GT(up.normalisedCopy().y, 0.99f) << up;
    // A ray through the centre itself gives no direction.
    EXPECT_FALSE(GizmoMath::ringVector(down(centre), centre, Ogre::Vector3::UNIT_Y, up));
}

TEST(GizmoMathTest, TheAxisParameterIsWhereTheRayPassesTheAxisAndARingIsOnlyHitNearItsCircle)
{
    const Ogre::Vector3 centre(1, 2, 3);
    float along = 0;
    // A ray crossing the X axis line 6 units along it, from above and aside.
    const Ogre::Vector3 crossing = centre + Ogre::Vector3(6, 0, 0);
    const Ogre::Vector3 eye = crossing + Ogre::Vector3(0, 20, 15);
    ASSERT_TRUE(GizmoMath::axisParameter(Ogre::Ray(eye, (crossing - eye).normalisedCopy()), centre,
                                         Ogre::Vector3(2, 0, 0), along));
    EXPECT_NEAR(6.0f, along, 1e-4f);
    EXPECT_FALSE(GizmoMath::axisParameter(Ogre::Ray(centre - Ogre::Vector3(9, 0, 0), Ogre::Vector3::UNIT_X), centre,
                                          Ogre::Vector3::UNIT_X, along));

    // A ring of radius 5 about Y: met near its circle, missed inside it.
    float distance = 0;
    const Ogre::Vector3 onCircle = centre + Ogre::Vector3(3, 0, 4);
    EXPECT_TRUE(GizmoMath::rayNearCircle(Ogre::Ray(onCircle + Ogre::Vector3(0, 30, 0), Ogre::Vector3::NEGATIVE_UNIT_Y),
                                         centre, Ogre::Vector3::UNIT_Y, 5, 0.4f, distance));
    EXPECT_NEAR(30.0f, distance, 0.1f);
    EXPECT_FALSE(GizmoMath::rayNearCircle(Ogre::Ray(centre + Ogre::Vector3(1, 30, 1), Ogre::Vector3::NEGATIVE_UNIT_Y),
                                          centre, Ogre::Vector3::UNIT_Y, 5, 0.4f, distance));
    // Behind the ray's origin is no hit.
    EXPECT_FALSE(GizmoMath::rayNearCircle(Ogre::Ray(onCircle - Ogre::Vector3(0, 30, 0), Ogre::Vector3::NEGATIVE_UNIT_Y),
                                          centre, Ogre::Vector3::UNIT_Y, 5, 0.4f, distance));
}

} // namespace
