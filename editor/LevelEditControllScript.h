#pragma once

#include "editor/EditKeyState.h"
#include "editor/EditMouseState.h"
#include "states/OgreEventListener.h"
#include "world/ScriptAtom.h"

#include <memory>

namespace Kelvo {

// Turns the editor's raw keyboard and mouse into its frame messages, first
// in the run list so the other editor scripts see them in the same frame:
// "NEW_MOUSE_POS" after any mouse event, "EDIT_MODE_CHANGED" when the mode
// changes (and in the first frame), "NEW_KEY_EVENTS" in every frame in which
// a flight key is held. Each points at a copy this script keeps until it
// posts that message again or is deleted.
//
// Movement while no button is held and releases (clicks) collect in the
// click record; presses and movement while a button is held in the drag
// record. A release of the right button toggles between edit mode (1, the
// start: a free cursor for picking and windows) and mouse-look mode (0: the
// mouse turns the camera, the cursor stays at the window's centre).
//
// In edit mode the cursor is the pointer's absolute position in the window:
// the pointer is not grabbed, so adding up relative motion would drift from
// where the pointer really is (the GUI manager feeds CEGUI the same way).
//
// Listens to input as "LevelEditControllScript" by the rule in ScriptAtom.h.
class LevelEditControllScript : public ScriptAtom, public OgreEventAdapter {
public:
    static const char* const kListenerName;
    static const int kEditMode = 1;
    static const int kMouseLookMode = 0;

    // The window's size in pixels bounds the cursor; the state hands in the
    // render window's.
    LevelEditControllScript(GameWorld* world, ScriptManager* scripts, int windowWidth, int windowHeight);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "LEVEL_EDIT_CONTROLL"; }

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

    int getRequestedMode() const { return mRequestedMode; }
    const Ogre::Vector3& getCursor() const { return mCursor; }

private:
    // The flag a key code drives, or null for keys the editor does not fly with.
    bool* keyFlag(OIS::KeyCode key);
    void accumulate(const OIS::MouseEvent& event);
    void publishMouse();
    void publishMode();
    void publishKeys();

    EditMouseState mClickState{false};
    EditMouseState mDragState{true};
    EditMouseState* mCurrent = &mClickState;
    std::unique_ptr<EditMouseState> mLastMouseMessage;
    Ogre::Vector3 mCursor;
    bool mMouseChanged = true;
    int mRequestedMode = kEditMode;
    int mPublishedMode = kEditMode;
    bool mModeChanged = true;
    EditKeyState mKeys;
    std::unique_ptr<EditKeyState> mLastKeyMessage;
    bool mButtonHeld = false;
    int mWidth;
    int mHeight;
};

} // namespace Kelvo
