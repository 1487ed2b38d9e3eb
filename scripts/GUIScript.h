#pragma once

#include "states/OgreEventListener.h"
#include "world/ScriptAtom.h"

#include <string>

namespace Kelvo {

class CeGUIManager;

// Hands the mouse and keyboard between the game and the in-game windows.
// F1, or the old man when he asks a question, puts the world into GUI input
// mode: the cursor appears, the hero and the camera are frozen (their scripts
// get user data 1), and every key and mouse event is passed on to CEGUI until
// the mode is left again. Outside that mode the script ignores input, but for
// the subtitle switch (U), heard in either mode.
//
// The play state creates it first of the world's scripts; it listens to
// input as "GUIScript" by the rule in ScriptAtom.h.
class GUIScript : public ScriptAtom, public OgreEventAdapter {
public:
    static const char* const kName;
    static constexpr OIS::KeyCode kSubtitleKey = OIS::KC_U;

    GUIScript(GameWorld* world, ScriptManager* scripts);

    void update(Ogre::FrameEvent event) override {}
    std::string getName() override { return kName; }

    void enterGuiMode();
    void leaveGuiMode();
    bool isGuiMode() const;

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

private:
    // The GUI system to feed, or null outside GUI mode or when the world
    // has no windows.
    CeGUIManager* guiInput() const;
    void freezeHeroAndCamera(bool frozen);

    CeGUIManager* mGui = nullptr;
    int mSavedMode = 0;
};

} // namespace Kelvo
