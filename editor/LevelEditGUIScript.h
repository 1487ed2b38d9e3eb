#pragma once

#include "states/OgreEventListener.h"
#include "world/ScriptAtom.h"

namespace Kelvo {

class CeGUIManager;
class EditorGUI;

// The bridge between the editor's input and its windows, second in the run
// list. In edit mode it feeds CEGUI the cursor, the buttons and the keys;
// while the cursor is over a window it takes the frame's mouse message off
// the board, so a click on a window does not pick through it, and in edit
// mode it takes the key message off, so typing does not fly the camera.
// In mouse-look mode the windows hear nothing.
//
// It is also the scripts' one way into the editor's windows (the hub,
// EditorGUI): a pick in the view selects the entity in the scene window, a
// choice in the scene window is announced to the picking script, the
// locator's place is handed on for pasting, and Ctrl+C, Ctrl+V and Delete
// copy, paste and delete the chosen entity, and Ctrl+Z and Ctrl+Y undo and
// redo, but only while no edit box has the keyboard and no box waits for an
// answer: a Delete typed into a field edits the field, never the scene.
// Every button and key it hears tells the hub that an edit may have been
// made; the state has it recorded once the frame's scripts have run and no
// button is held (a drag ends on the release).
//
// The GUI manager and the hub are handed in by the state; without them
// (tests of the other scripts) the script only filters messages. Listens to
// input as "LevelEditGUIScript" by the rule in ScriptAtom.h.
class LevelEditGUIScript : public ScriptAtom, public OgreEventAdapter {
public:
    static const char* const kListenerName;
    static const int kKeyC = 46;
    static const int kKeyV = 47;
    static const int kKeyDelete = 211;
    static const int kKeyZ = 44;
    static const int kKeyY = 21;
    static const int kKeyLeftCtrl = 29;
    static const int kKeyRightCtrl = 157;

    LevelEditGUIScript(GameWorld* world, ScriptManager* scripts, CeGUIManager* gui, EditorGUI* hub = nullptr);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "LevelEditGUI"; }

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

    int getEditMode() const { return mEditMode; }
    bool isMouseButtonHeld() const { return mButtonsHeld > 0; }

private:
    bool inEditMode() const { return mEditMode == 1; }
    bool isCursorOverWindow() const;
    void relaySelections();
    void actOnSelection(int key);

    CeGUIManager* mGui;
    EditorGUI* mHub;
    // A press that began over a window belongs to it until the frame after
    // its release, even when the press closed that window (the OK of a
    // message box): the view never picks through it.
    bool mPressOnWindow = false;
    bool mPressReleased = false;
    // Held Ctrl keys, from the key events this script hears.
    bool mLeftCtrl = false;
    bool mRightCtrl = false;
    // Mouse buttons down now, whatever the mode.
    int mButtonsHeld = 0;
    // Mouse-look until the control script's first mode message.
    int mEditMode = 0;
};

} // namespace Kelvo
