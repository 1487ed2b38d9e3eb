#include "editor/LevelEditGUIScript.h"

#include "editor/EditMouseState.h"
#include "editor/EditorGUI.h"
#include "editor/EditorMessages.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageString.h"
#include "world/FrameMessageVector3D.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"

namespace Kelvo {

const char* const LevelEditGUIScript::kListenerName = "LevelEditGUIScript";

LevelEditGUIScript::LevelEditGUIScript(GameWorld* world, ScriptManager* scripts, CeGUIManager* gui, EditorGUI* hub)
    : ScriptAtom(world, scripts)
    , mGui(gui)
    , mHub(hub)
{
    listenToInput(this, kListenerName);
}

bool LevelEditGUIScript::isCursorOverWindow() const
{
    // An open box takes every click, wherever the cursor is.
    return mGui && (mGui->getOpenBoxCount() > 0 || mGui->getMouseOverCount() > 0);
}

void LevelEditGUIScript::update(Ogre::FrameEvent)
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
        const EditMouseState* state = static_cast<EditMouseState*>(mouse->pointer);
        if (mGui) {
            mGui->setMousePosition(state->position.x, state->position.y);
        }
        if (inEditMode() && (isCursorOverWindow() || mPressOnWindow)) {
            mouse->remove();
        }
    }
    if (mPressReleased) {
        mPressOnWindow = false;
        mPressReleased = false;
    }
    if (inEditMode()) {
        if (FrameMessage* keys = messages->find(EditorMessages::kNewKeyEvents, FrameMessage::kVoidPtr)) {
            keys->remove();
        }
    }
    relaySelections();
}

void LevelEditGUIScript::relaySelections()
{
    if (!mHub) {
        return;
    }
    FrameMessageManager* messages = mWorld->getMessages();
    const bool choseInWindow = mHub->takeSelectionChanged();
    if (choseInWindow) {
        messages->post(new FrameMessageString(EditorMessages::kNodeChangedFromGui, mHub->getSelectedName(), false));
    }
    if (auto* picked = static_cast<FrameMessageString*>(
            messages->find(EditorMessages::kNodeChangedFromRay, FrameMessage::kString))) {
        if (!choseInWindow) {
            mHub->selectObject(picked->text);
        }
        picked->remove();
    }
    if (auto* locator = static_cast<FrameMessageVector3D*>(
            messages->find(EditorMessages::kLocatorPosChanged, FrameMessage::kVector3D))) {
        mHub->setLocatorPosition(locator->vector);
        locator->remove();
    }
}

void LevelEditGUIScript::actOnSelection(int key)
{
    if (!mHub) {
        return;
    }
    const bool ctrl = mLeftCtrl || mRightCtrl;
    const bool selectionKey =
        key == kKeyDelete || (ctrl && (key == kKeyC || key == kKeyV || key == kKeyZ || key == kKeyY));
    if (!selectionKey) {
        return;
    }
    if (mHub->isKeyboardTaken()) {
        // The key is the field's or the box's, not the scene's.
        logLine("LevelEditGUIScript: the key goes to the window, the scene is left alone");
        return;
    }
    if (key == kKeyDelete) {
        mHub->deleteObject(mHub->getSelectedName());
    } else if (key == kKeyC) {
        mHub->copyObject(mHub->getSelectedName());
    } else if (key == kKeyV) {
        mHub->pasteObject();
    } else if (key == kKeyZ) {
        mHub->undo();
    } else {
        mHub->redo();
    }
}

bool LevelEditGUIScript::keyPressed(const OIS::KeyEvent& event)
{
    if (event.key == kKeyLeftCtrl) {
        mLeftCtrl = true;
    } else if (event.key == kKeyRightCtrl) {
        mRightCtrl = true;
    }
    actOnSelection(event.key);
    if (mGui && inEditMode()) {
        mGui->keyPressed(event);
    }
    if (mHub) {
        mHub->noteInput();
    }
    return true;
}

bool LevelEditGUIScript::keyReleased(const OIS::KeyEvent& event)
{
    if (event.key == kKeyLeftCtrl) {
        mLeftCtrl = false;
    } else if (event.key == kKeyRightCtrl) {
        mRightCtrl = false;
    }
    if (mGui && inEditMode()) {
        mGui->keyReleased(event);
    }
    return true;
}

bool LevelEditGUIScript::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    ++mButtonsHeld;
    if (mHub) {
        mHub->noteInput();
    }
    if (mGui && inEditMode()) {
        if (isCursorOverWindow()) {
            mPressOnWindow = true;
            mPressReleased = false;
        } else if (mHub) {
            mHub->releaseKeyboard();
        }
        mGui->mousePressed(event, id);
    }
    return true;
}

bool LevelEditGUIScript::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (mButtonsHeld > 0) {
        --mButtonsHeld;
    }
    if (mHub) {
        mHub->noteInput();
    }
    if (mPressOnWindow) {
        mPressReleased = true;
    }
    if (mGui && inEditMode()) {
        mGui->mouseReleased(event, id);
    }
    return true;
}

} // namespace Kelvo
