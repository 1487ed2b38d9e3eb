#include "editor/LevelEditGUIScript.h"

#include "editor/EditMouseState.h"
#include "editor/EditorMessages.h"
#include "gui/CeGUIManager.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"

namespace Kelvo {

const char* const LevelEditGUIScript::kListenerName = "LevelEditGUIScript";

LevelEditGUIScript::LevelEditGUIScript(GameWorld* world, ScriptManager* scripts, CeGUIManager* gui)
    : ScriptAtom(world, scripts)
    , mGui(gui)
{
    listenToInput(this, kListenerName);
}

bool LevelEditGUIScript::isCursorOverWindow() const
{
    return mGui && mGui->getMouseOverCount() > 0;
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
        if (inEditMode() && isCursorOverWindow()) {
            mouse->remove();
        }
    }
    if (inEditMode()) {
        if (FrameMessage* keys = messages->find(EditorMessages::kNewKeyEvents, FrameMessage::kVoidPtr)) {
            keys->remove();
        }
    }
}

bool LevelEditGUIScript::keyPressed(const OIS::KeyEvent& event)
{
    if (mGui && inEditMode()) {
        mGui->keyPressed(event);
    }
    return true;
}

bool LevelEditGUIScript::keyReleased(const OIS::KeyEvent& event)
{
    if (mGui && inEditMode()) {
        mGui->keyReleased(event);
    }
    return true;
}

bool LevelEditGUIScript::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (mGui && inEditMode()) {
        mGui->mousePressed(event, id);
    }
    return true;
}

bool LevelEditGUIScript::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (mGui && inEditMode()) {
        mGui->mouseReleased(event, id);
    }
    return true;
}

} // namespace Kelvo
