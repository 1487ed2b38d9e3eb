#include "scripts/GUIScript.h"

#include "gui/CeGUIManager.h"
#include "gui/GameGUI.h"
#include "platform/Log.h"
#include "world/GameWorld.h"
#include "world/ScriptManager.h"

namespace Kelvo {

const char* const GUIScript::kName = "GUIScript";

namespace {

// Any non-null user data freezes a script; 1 is what the hero and the camera
// are given.
void* const kFrozen = reinterpret_cast<void*>(1);

} // namespace

GUIScript::GUIScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
{
    if (world && world->getGui()) {
        mGui = world->getGui()->getGuiManager();
    }
    listenToInput(this, kName);
}

bool GUIScript::isGuiMode() const
{
    return mWorld && mWorld->getInputMode() == GameWorld::kGuiInputMode;
}

void GUIScript::enterGuiMode()
{
    if (!mWorld) {
        return;
    }
    // Asked again while already in GUI mode (F1, then the old man's
    // question): the mode to return to is still the one from before the
    // first call, or leaving would keep the GUI mode for good.
    const bool wasGuiMode = isGuiMode();
    if (!wasGuiMode) {
        mSavedMode = mWorld->getInputMode();
        mWorld->setInputMode(GameWorld::kGuiInputMode);
    }
    if (GameGUI* gui = mWorld->getGui()) {
        gui->setMouseMode(true);
    }
    freezeHeroAndCamera(true);
    if (!wasGuiMode) {
        logLine("GUIScript: GUI mode on");
    }
}

void GUIScript::leaveGuiMode()
{
    if (!mWorld) {
        return;
    }
    const bool wasGuiMode = isGuiMode();
    if (wasGuiMode) {
        mWorld->setInputMode(mSavedMode);
    }
    if (GameGUI* gui = mWorld->getGui()) {
        gui->setMouseMode(false);
    }
    // Always, even outside GUI mode: the old man ends a conversation by
    // leaving GUI mode, and that is what lets the hero walk again.
    freezeHeroAndCamera(false);
    if (wasGuiMode) {
        logLine("GUIScript: GUI mode off");
    }
}

void GUIScript::freezeHeroAndCamera(bool frozen)
{
    if (mScripts) {
        mScripts->setUserData("CAMERA", frozen ? kFrozen : nullptr);
        mScripts->setUserData("PLAYER", frozen ? kFrozen : nullptr);
    }
}

CeGUIManager* GUIScript::guiInput() const
{
    return isGuiMode() ? mGui : nullptr;
}

bool GUIScript::keyPressed(const OIS::KeyEvent& event)
{
    if (event.key == OIS::KC_F1) {
        if (isGuiMode()) {
            leaveGuiMode();
        } else {
            enterGuiMode();
        }
    }
    if (event.key == kSubtitleKey) {
        if (GameGUI* gui = mWorld ? mWorld->getGui() : nullptr) {
            gui->toggleSubtitles();
        }
    }
    if (CeGUIManager* gui = guiInput()) {
        gui->keyPressed(event);
    }
    return true;
}

bool GUIScript::keyReleased(const OIS::KeyEvent& event)
{
    if (CeGUIManager* gui = guiInput()) {
        gui->keyReleased(event);
    }
    return true;
}

bool GUIScript::mouseMoved(const OIS::MouseEvent& event)
{
    if (CeGUIManager* gui = guiInput()) {
        gui->mouseMoved(event);
    }
    return true;
}

bool GUIScript::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (CeGUIManager* gui = guiInput()) {
        gui->mousePressed(event, id);
    }
    return true;
}

bool GUIScript::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (CeGUIManager* gui = guiInput()) {
        gui->mouseReleased(event, id);
    }
    return true;
}

} // namespace Kelvo
