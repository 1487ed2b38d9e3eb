#pragma once

#include "states/GameState.h"

#include <OgrePrerequisites.h>
#include <OgreSingleton.h>

#include <string>
#include <vector>

namespace Kelvo {

class Application;

// The main menu, the first state entered and the one the game returns to.
// It owns the menu camera and viewport while it is active. Escape asks to
// quit: the render loop, and with it the program, ends at the next frame end.
class MenuState : public GameState, public Ogre::Singleton<MenuState> {
public:
    static const int kKeyEscape = 1;
    static const int kKeySpace = 57;

    MenuState();
    ~MenuState() override;

    void enter() override;
    void exit() override;
    void pause() override {}
    void resume() override {}
    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

    bool keyPressed(const OIS::KeyEvent& event) override;

    bool quitRequested() const { return mQuitRequested; }

private:
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::RenderWindow* mRenderWindow = nullptr;
    Ogre::Viewport* mViewport = nullptr;
    Ogre::Camera* mCamera = nullptr;
    std::vector<std::string> mOptionValues;
    bool mQuitRequested = false;
    bool mOptionsVisible = false;
    bool mStartRequested = false;
    bool mCreditsRequested = false;
    bool mEditorRequested = false;
    Application* mApplication = nullptr;
};

} // namespace Kelvo
