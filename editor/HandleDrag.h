#pragma once

#include "editor/GizmoSettings.h"

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

class EntityDescription;

// One drag on a rotation ring, a scale handle or (with local axes) a move
// arrow of the selected object. It keeps what the object was at the grab
// and sets, each frame, the record to the start changed by the whole drag
// so far, so the outcome depends on where the cursor is, not on how many
// frames it took to get there. Rotations and scales go through the entity's
// record (its Euler angles, its scale), which is what the file keeps and
// the history compares; a local move places the node as a free drag does.
// Owned by the picking script for the length of a drag.
class HandleDrag {
public:
    enum Kind { kNone, kRotate, kScaleAxis, kScaleAll, kMoveAxis };
    // Scales never reach zero (the object would vanish and could not be
    // scaled back by a factor).
    static constexpr float kSmallestScale = 0.01f;

    // Starts on the node (the entity's, or null for a record without one)
    // at the ray: axis 0, 1, 2 in the orientation given (the handles'). False
    // when the ray gives no grip on the handle (nothing then happens).
    bool begin(Kind kind, int axis, Ogre::SceneNode* node, EntityDescription* entity, const Ogre::Quaternion& axes,
               const Ogre::Ray& ray);
    void follow(const Ogre::Ray& ray, const SnapSettings& snap);
    // Sets a node's position so that it lands on a world point, whatever its
    // parent's place, turn and scale.
    static void placeAtWorld(Ogre::SceneNode* node, const Ogre::Vector3& target);

    // "on the X ring", "along local Y": for the log.
    std::string describe() const;
    // The log line of the drag's end ("rotated ... about X by 30"), and the
    // drag forgotten.
    std::string end(const std::string& name);

    bool isActive() const { return mKind != kNone; }
    Kind getKind() const { return mKind; }
    int getAxis() const { return mAxis; }
    // Degrees the drag has turned the object by (snapped as applied).
    float getAppliedAngle() const { return mApplied; }

private:
    void rotate(const Ogre::Ray& ray, const SnapSettings& snap);
    void scale(const Ogre::Ray& ray, const SnapSettings& snap);
    void move(const Ogre::Ray& ray, const SnapSettings& snap);
    // The Euler angles of the orientation nearest to the angles at the grab:
    // an axis the drag did not turn keeps its value exactly.
    Ogre::Vector3 nearestEuler(const Ogre::Quaternion& orientation) const;

    Kind mKind = kNone;
    int mAxis = 0;
    Ogre::SceneNode* mNode = nullptr;
    EntityDescription* mEntity = nullptr;
    Ogre::Vector3 mCentre = Ogre::Vector3::ZERO;
    Ogre::Vector3 mDirection = Ogre::Vector3::UNIT_X;
    Ogre::Quaternion mStartOrientation = Ogre::Quaternion::IDENTITY;
    Ogre::Quaternion mParentOrientation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 mStartEuler = Ogre::Vector3::ZERO;
    Ogre::Vector3 mStartScale = Ogre::Vector3::UNIT_SCALE;
    // Rotate: the ring's last direction to the cursor and the turn so far.
    Ogre::Vector3 mLastRing = Ogre::Vector3::UNIT_Y;
    float mTurned = 0;
    float mApplied = 0;
    // Scale and move: where along the axis, or how far from the centre, the
    // grab was.
    float mGrip = 1;
};

} // namespace Kelvo
