#include "editor/EditCameraScript.h"

#include "editor/EditorMessages.h"
#include "platform/Log.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"

#include <OgreCamera.h>
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
        turn(mMouse);
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
