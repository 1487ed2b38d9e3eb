#include "editor/EditCameraScript.h"

#include "editor/EditorMessages.h"
#include "platform/Log.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"

#include <OgreCamera.h>
#include <OgreMath.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Kelvo {

const char* const EditCameraScript::kYawNodeName = "CAMERA_EDIT";
const char* const EditCameraScript::kPitchNodeName = "CAMERA_EDIT_PITCH";

EditCameraScript::EditCameraScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
{
    Ogre::Camera* camera = world->getCamera();
    Ogre::SceneManager* scene = world->getSceneManager() ? world->getSceneManager() : camera->getSceneManager();
    mYawNode = scene->getRootSceneNode()->createChildSceneNode(kYawNodeName, Ogre::Vector3::ZERO,
                                                               Ogre::Quaternion::IDENTITY);
    mPitchNode = mYawNode->createChildSceneNode(kPitchNodeName, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    if (camera->getParentSceneNode()) {
        camera->detachFromParent();
    }
    mPitchNode->attachObject(camera);
    mYawNode->translate(Ogre::Vector3(0, kStartHeight, 0), Ogre::Node::TS_PARENT);
}

void EditCameraScript::update(Ogre::FrameEvent event)
{
    if (getUserData()) {
        return;
    }
    FrameMessageManager* messages = mWorld->getMessages();
    if (auto* mode = static_cast<FrameMessageVoidPtr*>(
            messages->find(EditorMessages::kEditModeChanged, FrameMessage::kVoidPtr))) {
        mEditMode = *static_cast<int*>(mode->pointer);
    }
    if (auto* mouse = static_cast<FrameMessageVoidPtr*>(
            messages->find(EditorMessages::kNewMousePos, FrameMessage::kVoidPtr))) {
        mMouse = *static_cast<EditMouseState*>(mouse->pointer);
        if (!mFraming) {
            turn(mMouse);
        }
    }
    if (mFraming) {
        advanceFraming(std::min(event.timeSinceLastFrame, kMaxFrameSeconds));
        return;
    }
    auto* keys =
        static_cast<FrameMessageVoidPtr*>(messages->find(EditorMessages::kNewKeyEvents, FrameMessage::kVoidPtr));
    if (!keys) {
        if (mFlying) {
            mFlying = false;
            logLine("EditCameraScript: stopped at " + vectorText(mYawNode->_getDerivedPosition()));
        }
        return;
    }
    if (!mFlying) {
        mFlying = true;
        logLine("EditCameraScript: flying from " + vectorText(mYawNode->_getDerivedPosition()));
    }
    mKeys = *static_cast<EditKeyState*>(keys->pointer);
    fly(mKeys, std::min(event.timeSinceLastFrame, kMaxFrameSeconds));
}

void EditCameraScript::turn(const EditMouseState& mouse)
{
    if (mEditMode != 0) {
        return;
    }
    mYawNode->yaw(Ogre::Degree(-mouse.relative.x * kDegreesPerPixel), Ogre::Node::TS_LOCAL);
    mPitchNode->pitch(Ogre::Degree(-mouse.relative.y * kDegreesPerPixel), Ogre::Node::TS_LOCAL);
}

void EditCameraScript::fly(const EditKeyState& keys, float seconds)
{
    // Later assignments on an axis win: backward beats forward, right beats
    // left, down beats up.
    Ogre::Vector3 velocity = Ogre::Vector3::ZERO;
    if (keys.forward) {
        velocity.z = -kUnitsPerSecond;
    }
    if (keys.backward) {
        velocity.z = kUnitsPerSecond;
    }
    if (keys.left) {
        velocity.x = -kUnitsPerSecond;
    }
    if (keys.right) {
        velocity.x = kUnitsPerSecond;
    }
    if (keys.up) {
        velocity.y = kUnitsPerSecond;
    }
    if (keys.down) {
        velocity.y = -kUnitsPerSecond;
    }
    const Ogre::Quaternion view = mPitchNode->_getDerivedOrientation();
    mYawNode->translate(view * velocity * seconds, Ogre::Node::TS_PARENT);
}

} // namespace Kelvo

namespace Kelvo {

EditCameraScript::Pose EditCameraScript::getPose() const
{
    return Pose{mYawNode->getPosition(), mYawNode->getOrientation(), mPitchNode->getOrientation()};
}

void EditCameraScript::setPose(const Pose& pose)
{
    mYawNode->setPosition(pose.position);
    mYawNode->setOrientation(pose.yaw);
    mPitchNode->setOrientation(pose.pitch);
}

EditCameraScript::Pose EditCameraScript::framingPose(const Ogre::AxisAlignedBox& worldBox) const
{
    Ogre::Vector3 centre = mYawNode->getPosition();
    float radius = kFramingEmptyRadius;
    if (worldBox.isFinite()) {
        centre = worldBox.getCenter();
        radius = std::max(worldBox.getHalfSize().length(), 0.01f);
    }
    // The bounding ball fits the narrower half of the view, so the whole box
    // is seen in any direction it is looked at from.
    const Ogre::Camera* camera = mWorld->getCamera();
    const Ogre::Radian halfHeight = camera->getFOVy() * 0.5f;
    const Ogre::Radian halfWidth(std::atan(Ogre::Math::Tan(halfHeight) * camera->getAspectRatio()));
    const Ogre::Radian half = std::min(halfHeight, halfWidth);
    const float distance =
        std::max(radius / Ogre::Math::Sin(half * kFramingFill), radius + camera->getNearClipDistance() * 2);

    // The heading stays; the pitch stays unless it would look up, along the
    // ground or straight down.
    const float down = Ogre::Math::Clamp(-mPitchNode->getOrientation().getPitch().valueDegrees(),
                                         kFramingMinDownDegrees, kFramingMaxDownDegrees);
    Pose pose;
    pose.yaw = mYawNode->getOrientation();
    pose.pitch = Ogre::Quaternion(Ogre::Degree(-down), Ogre::Vector3::UNIT_X);
    const Ogre::Vector3 view = pose.yaw * pose.pitch * Ogre::Vector3::NEGATIVE_UNIT_Z;
    pose.position = centre - view * distance;
    return pose;
}

bool EditCameraScript::frameNode(Ogre::SceneNode* node)
{
    if (!node) {
        logLine("EditCameraScript: nothing selected to frame, the camera stays");
        return false;
    }
    // Bounds are refreshed when a frame is drawn; a node moved since (a
    // typed position) is measured where it is now.
    node->_update(true, false);
    Ogre::AxisAlignedBox box = node->_getWorldAABB();
    if (!box.isFinite()) {
        box.setNull();
    }
    if (box.isNull()) {
        const Ogre::Vector3 at = node->_getDerivedPosition();
        const Ogre::Vector3 reach(kFramingEmptyRadius / Ogre::Math::Sqrt(3.0f));
        box.setExtents(at - reach, at + reach);
    }
    mFramedName = node->getName();
    mFramingFrom = getPose();
    mFramingTo = framingPose(box);
    mFramingTime = 0.0f;
    mFraming = true;
    logLine("EditCameraScript: framing '" + mFramedName + "' (box " + vectorText(box.getMinimum()) + " to " +
            vectorText(box.getMaximum()) + "), flying to " + vectorText(mFramingTo.position));
    return true;
}

void EditCameraScript::advanceFraming(float seconds)
{
    mFramingTime += seconds;
    // Summed frame times round: thirty 1/60 s frames must end the flight.
    if (mFramingTime >= kFramingSeconds - kFramingTimeTolerance) {
        // The flight ends on the pose itself, whatever the frame times were.
        setPose(mFramingTo);
        mFraming = false;
        logLine("EditCameraScript: framed '" + mFramedName + "', camera at " + vectorText(mFramingTo.position));
        return;
    }
    const float t = mFramingTime / kFramingSeconds;
    const float eased = t * t * (3.0f - 2.0f * t);
    Pose pose;
    pose.position = mFramingFrom.position + (mFramingTo.position - mFramingFrom.position) * eased;
    pose.yaw = Ogre::Quaternion::Slerp(eased, mFramingFrom.yaw, mFramingTo.yaw, true);
    pose.pitch = Ogre::Quaternion::Slerp(eased, mFramingFrom.pitch, mFramingTo.pitch, true);
    setPose(pose);
}

} // namespace Kelvo
