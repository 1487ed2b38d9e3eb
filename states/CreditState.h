#pragma once

#include "states/GameState.h"

#include <OgrePrerequisites.h>
#include <OgreSingleton.h>

namespace Ogre {
class Overlay;
}

namespace Kelvo {

class SceneFader;

// The credits: a small scene ("credit.qormscene") under a space sky box, seen
// through a fixed camera, with the credits picture over it and the credits
// music playing. Entered from the menu; escape fades back to it.
class CreditState : public GameState, public Ogre::Singleton<CreditState> {
public:
    static const int kKeyEscape = 1;

    CreditState();
    ~CreditState() override;

    void enter() override;
    void exit() override;
    void pause() override {}
    void resume() override {}
    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override { return true; }

    bool keyPressed(const OIS::KeyEvent& event) override;

private:
    void setUpScene();
    void showCreditsPicture();

    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::RenderWindow* mRenderWindow = nullptr;
    Ogre::Viewport* mViewport = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::Overlay* mOverlay = nullptr;
    SceneFader* mFader = nullptr;
    bool mLeaveRequested = false;
};

} // namespace Kelvo
