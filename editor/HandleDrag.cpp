#include "editor/HandleDrag.h"

#include "editor/GizmoMath.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"

#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

namespace {

const char* const kAxisNames[3] = {"X", "Y", "Z"};
// Angles closer than this to the grab's (degrees) are the grab's: the
// decomposition into Euler angles wobbles in the last digits. The others
// are kept to a ten-thousandth of a degree, so a snapped turn of 15
// degrees is written as 15, not 14.999999.
const float kSameAngle = 1e-3f;
const float kAnglesPerDegree = 1e4f;

float wrapDegrees(float angle)
{
    angle = std::fmod(angle, 360.0f);
    if (angle > 180) {
        angle -= 360;
    } else if (angle <= -180) {
        angle += 360;
    }
    return angle;
}

} // namespace

void HandleDrag::placeAtWorld(Ogre::SceneNode* node, const Ogre::Vector3& target)
{
    Ogre::Node* parent = node->getParent();
    node->setPosition(parent ? parent->convertWorldToLocalPosition(target) : target);
}

bool HandleDrag::begin(Kind kind, int axis, Ogre::SceneNode* node, EntityDescription* entity,
                       const Ogre::Quaternion& axes, const Ogre::Ray& ray)
{
    mKind = kNone;
    if (!node || kind == kNone || ((kind == kRotate || kind == kScaleAxis || kind == kScaleAll) && !entity)) {
        return false;
    }
    mAxis = std::min(std::max(axis, 0), 2);
    mNode = node;
    mEntity = entity;
    mCentre = node->_getDerivedPosition();
    const Ogre::Vector3 units[3] = {Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_Z};
    mDirection = axes * units[mAxis];
    mStartOrientation = node->getOrientation();
    mParentOrientation = node->getParent() ? node->getParent()->_getDerivedOrientation() : Ogre::Quaternion::IDENTITY;
    mStartScale = node->getScale();
    if (entity) {
        const Ogre::Real* rotation = entity->getRotation();
        mStartEuler = Ogre::Vector3(rotation[0], rotation[1], rotation[2]);
    }
    mTurned = mApplied = 0;
    bool gripped = false;
    if (kind == kRotate) {
        gripped = GizmoMath::ringVector(ray, mCentre, mDirection, mLastRing);
    } else if (kind == kScaleAll) {
        Ogre::Vector3 point;
        gripped = GizmoMath::facingPlanePoint(ray, mCentre, point);
        mGrip = point.distance(mCentre);
    } else {
        gripped = GizmoMath::axisParameter(ray, mCentre, mDirection, mGrip);
    }
    // A grip on the centre itself would make every factor infinite.
    if (!gripped || (kind != kRotate && kind != kMoveAxis && std::abs(mGrip) < 1e-4f)) {
        return false;
    }
    mKind = kind;
    return true;
}

void HandleDrag::follow(const Ogre::Ray& ray, const SnapSettings& snap)
{
    switch (mKind) {
    case kRotate:
        rotate(ray, snap);
        break;
    case kScaleAxis:
    case kScaleAll:
        scale(ray, snap);
        break;
    case kMoveAxis:
        move(ray, snap);
        break;
    case kNone:
        break;
    }
}

void HandleDrag::rotate(const Ogre::Ray& ray, const SnapSettings& snap)
{
    Ogre::Vector3 ring;
    if (!GizmoMath::ringVector(ray, mCentre, mDirection, ring)) {
        return;
    }
    // Summed step by step, so a drag once round the ring turns by 360.
    mTurned += GizmoMath::signedAngle(mLastRing, ring, mDirection);
    mLastRing = ring;
    const float angle = snap.on ? SnapSettings::snap(mTurned, snap.step(SnapSettings::kRotateStep)) : mTurned;
    if (angle == mApplied) {
        return;
    }
    mApplied = angle;
    // The turn about the world direction, in the parent's frame.
    const Ogre::Quaternion turn(Ogre::Degree(angle), mParentOrientation.Inverse() * mDirection);
    const Ogre::Vector3 euler = nearestEuler(turn * mStartOrientation);
    mEntity->setRotation(euler.x, euler.y, euler.z);
}

Ogre::Vector3 HandleDrag::nearestEuler(const Ogre::Quaternion& orientation) const
{
    const Ogre::Vector3 first = GizmoMath::toEulerDegrees(orientation);
    // The same orientation by the other set of angles about Z, Y and X.
    const Ogre::Vector3 second(first.x + 180, 180 - first.y, first.z + 180);
    Ogre::Vector3 best;
    float bestDistance = Ogre::Math::POS_INFINITY;
    for (const Ogre::Vector3& candidate : {first, second}) {
        Ogre::Vector3 near;
        float distance = 0;
        for (int i = 0; i < 3; ++i) {
            const float change = wrapDegrees(candidate[i] - mStartEuler[i]);
            // Adding 0 turns a rounded -0 into 0, which is written "0".
            near[i] = std::abs(change) < kSameAngle
                          ? mStartEuler[i]
                          : std::round((mStartEuler[i] + change) * kAnglesPerDegree) / kAnglesPerDegree + 0.0f;
            distance += std::abs(change);
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = near;
        }
    }
    return best;
}

void HandleDrag::scale(const Ogre::Ray& ray, const SnapSettings& snap)
{
    float factor = 1;
    if (mKind == kScaleAll) {
        Ogre::Vector3 point;
        if (!GizmoMath::facingPlanePoint(ray, mCentre, point)) {
            return;
        }
        factor = point.distance(mCentre) / mGrip;
    } else {
        float along = 0;
        if (!GizmoMath::axisParameter(ray, mCentre, mDirection, along)) {
            return;
        }
        factor = along / mGrip;
    }
    Ogre::Vector3 scale = mStartScale;
    for (int i = 0; i < 3; ++i) {
        if (mKind == kScaleAxis && i != mAxis) {
            continue;
        }
        // Dragged past the centre the factor turns negative: the object
        // gets as small as it may, it is not mirrored.
        float size = std::abs(mStartScale[i]) * std::max(factor, 0.0f);
        float smallest = kSmallestScale;
        if (snap.on) {
            const float step = snap.step(SnapSettings::kScaleStep);
            size = SnapSettings::snap(size, step);
            smallest = std::max(smallest, step);
        }
        // A mirrored object (a scale below zero) stays mirrored.
        scale[i] = std::copysign(std::max(size, smallest), mStartScale[i]);
    }
    mEntity->setScale(scale);
}

void HandleDrag::move(const Ogre::Ray& ray, const SnapSettings& snap)
{
    float along = 0;
    if (!GizmoMath::axisParameter(ray, mCentre, mDirection, along)) {
        return;
    }
    float distance = along - mGrip;
    if (snap.on) {
        distance = SnapSettings::snap(distance, snap.step(SnapSettings::kMoveStep));
    }
    placeAtWorld(mNode, mCentre + mDirection * distance);
}

std::string HandleDrag::describe() const
{
    switch (mKind) {
    case kRotate:
        return std::string("on the ") + kAxisNames[mAxis] + " ring";
    case kScaleAxis:
        return std::string("on the ") + kAxisNames[mAxis] + " scale handle";
    case kScaleAll:
        return "on the all-axes scale handle";
    case kMoveAxis:
        return std::string("along local ") + kAxisNames[mAxis];
    case kNone:
        break;
    }
    return "";
}

std::string HandleDrag::end(const std::string& name)
{
    std::string line;
    if (mKind == kRotate) {
        line = "RayPickingScript: rotated '" + name + "' about " + kAxisNames[mAxis] + " by " + Ogre::StringConverter::toString(mApplied);
    } else if (mKind == kScaleAxis || mKind == kScaleAll) {
        line = "RayPickingScript: scaled '" + name + "' to " + vectorText(mNode->getScale());
    } else if (mKind == kMoveAxis) {
        line = "RayPickingScript: drag ended on '" + name + "' " + describe() + " from " + vectorText(mCentre) +
               " to " + vectorText(mNode->_getDerivedPosition());
    }
    mKind = kNone;
    mNode = nullptr;
    mEntity = nullptr;
    return line;
}

} // namespace Kelvo
