#include "editor/LevelEditControllScript.h"

#include "editor/EditorMessages.h"
#include "platform/Log.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"

#include <OgreMath.h>

namespace Kelvo {

const char* const LevelEditControllScript::kListenerName = "LevelEditControllScript";

LevelEditControllScript::LevelEditControllScript(GameWorld* world, ScriptManager* scripts, int windowWidth,
                                                 int windowHeight)
    : ScriptAtom(world, scripts)
    , mCursor(static_cast<float>(windowWidth / 2), static_cast<float>(windowHeight / 2), 0)
    , mWidth(windowWidth)
    , mHeight(windowHeight)
{
    listenToInput(this, kListenerName);
}

bool* LevelEditControllScript::keyFlag(OIS::KeyCode key)
{
    switch (key) {
    case OIS::KC_A:
    case OIS::KC_LEFT:
        return &mKeys.left;
    case OIS::KC_D:
    case OIS::KC_RIGHT:
        return &mKeys.right;
    case OIS::KC_W:
    case OIS::KC_UP:
        return &mKeys.forward;
    case OIS::KC_S:
    case OIS::KC_DOWN:
        return &mKeys.backward;
    case OIS::KC_SPACE:
        return &mKeys.action;
    case OIS::KC_Q:
    case OIS::KC_PGUP:
        return &mKeys.up;
    case OIS::KC_E:
    case OIS::KC_PGDOWN:
        return &mKeys.down;
    default:
        return nullptr;
    }
}

bool LevelEditControllScript::keyPressed(const OIS::KeyEvent& event)
{
    if (bool* flag = keyFlag(event.key)) {
        *flag = true;
    }
    return true;
}

bool LevelEditControllScript::keyReleased(const OIS::KeyEvent& event)
{
    if (bool* flag = keyFlag(event.key)) {
        *flag = false;
    }
    return true;
}

bool LevelEditControllScript::mouseMoved(const OIS::MouseEvent& event)
{
    mCurrent = mButtonHeld ? &mDragState : &mClickState;
    accumulate(event);
    mMouseChanged = true;
    return true;
}

bool LevelEditControllScript::mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID id)
{
    switch (id) {
    case OIS::MB_Left:
        mDragState.left = true;
        break;
    case OIS::MB_Right:
        mDragState.right = true;
        break;
    case OIS::MB_Middle:
        mDragState.middle = true;
        break;
    default:
        break;
    }
    mButtonHeld = true;
    return true;
}

bool LevelEditControllScript::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    mCurrent = &mClickState;
    mDragState.reset();
    accumulate(event);
    switch (id) {
    case OIS::MB_Left:
        mClickState.left = true;
        break;
    case OIS::MB_Middle:
        mClickState.middle = true;
        break;
    case OIS::MB_Right:
        mRequestedMode = mRequestedMode == kEditMode ? kMouseLookMode : kEditMode;
        mModeChanged = true;
        mClickState.right = true;
        break;
    default:
        break;
    }
    mMouseChanged = true;
    mButtonHeld = false;
    return true;
}

void LevelEditControllScript::accumulate(const OIS::MouseEvent& event)
{
    const OIS::MouseState& state = event.state;
    mCurrent->relative += Ogre::Vector3(static_cast<float>(state.X.rel), static_cast<float>(state.Y.rel),
                                        static_cast<float>(state.Z.rel));
    if (mRequestedMode == kEditMode) {
        mCursor.x = Ogre::Math::Clamp(static_cast<float>(state.X.abs), 0.0f, static_cast<float>(mWidth));
        mCursor.y = Ogre::Math::Clamp(static_cast<float>(state.Y.abs), 0.0f, static_cast<float>(mHeight));
        mCursor.z = Ogre::Math::Clamp(mCursor.z + static_cast<float>(state.Z.rel), 0.0f, 1.0f);
    } else {
        mCursor = Ogre::Vector3(static_cast<float>(mWidth / 2), static_cast<float>(mHeight / 2), 0);
    }
}

void LevelEditControllScript::update(Ogre::FrameEvent)
{
    if (mMouseChanged) {
        publishMouse();
    }
    if (mModeChanged) {
        publishMode();
    }
    if (mKeys.anyHeld()) {
        publishKeys();
    }
}

void LevelEditControllScript::publishMouse()
{
    mCurrent->position = mCursor;
    // The old copy goes only now: the board dropped last frame's message
    // that pointed at it when it swept.
    mLastMouseMessage = std::make_unique<EditMouseState>(*mCurrent);
    mWorld->getMessages()->post(new FrameMessageVoidPtr(EditorMessages::kNewMousePos, mLastMouseMessage.get(), false));
    if (mCurrent == &mDragState) {
        mDragState.dragStart = false;
    }
    mClickState.reset();
    mDragState.relative = Ogre::Vector3::ZERO;
    mMouseChanged = false;
}

void LevelEditControllScript::publishMode()
{
    mPublishedMode = mRequestedMode;
    mWorld->getMessages()->post(new FrameMessageVoidPtr(EditorMessages::kEditModeChanged, &mPublishedMode, false));
    mModeChanged = false;
    logLine("LevelEditControllScript: mode " + std::to_string(mPublishedMode));
}

void LevelEditControllScript::publishKeys()
{
    mLastKeyMessage = std::make_unique<EditKeyState>(mKeys);
    mWorld->getMessages()->post(new FrameMessageVoidPtr(EditorMessages::kNewKeyEvents, mLastKeyMessage.get(), false));
}

} // namespace Kelvo
