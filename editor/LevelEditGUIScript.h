#pragma once

#include "states/OgreEventListener.h"
#include "world/ScriptAtom.h"

namespace Kelvo {

class CeGUIManager;

// The bridge between the editor's input and its windows, second in the run
// list. In edit mode it feeds CEGUI the cursor, the buttons and the keys;
// while the cursor is over a window it takes the frame's mouse message off
// the board, so a click on a window does not pick through it, and in edit
// mode it takes the key message off, so typing does not fly the camera.
// In mouse-look mode the windows hear nothing.
//
// The GUI manager is handed in by the state; without one (tests of the
// other scripts) the script only filters messages. Listens to input as
// "LevelEditGUIScript" by the rule in ScriptAtom.h.
class LevelEditGUIScript : public ScriptAtom, public OgreEventAdapter {
public:
    static const char* const kListenerName;

    LevelEditGUIScript(GameWorld* world, ScriptManager* scripts, CeGUIManager* gui);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "LevelEditGUI"; }

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

    int getEditMode() const { return mEditMode; }

private:
    bool inEditMode() const { return mEditMode == 1; }
    bool isCursorOverWindow() const;

    CeGUIManager* mGui;
    // Mouse-look until the control script's first mode message.
    int mEditMode = 0;
};

} // namespace Kelvo
