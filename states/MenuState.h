#pragma once

#include "states/GameState.h"

#include <OgrePrerequisites.h>
#include <OgreSingleton.h>

#include <CEGUI/Event.h>

#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
}

namespace Kelvo {

class Application;
class CeGUIManager;
class SceneFader;

// The main menu, the first state entered and the one the game returns to: a
// CEGUI layout over a full-window picture, with start, options, credits and
// quit, and four lists that edit the video options (saved at once, used from
// the next start). Every way out fades the picture out for a second first;
// the menu fades in when entered.
class MenuState : public GameState, public Ogre::Singleton<MenuState> {
public:
    static const int kKeyEscape = 1;
    static const int kKeySpace = 57;
    static const float kFadeSeconds;

    MenuState();
    ~MenuState() override;

    void enter() override;
    void exit() override;
    void pause() override {}
    void resume() override {}
    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

    bool quitRequested() const { return mQuitRequested; }

private:
    void buildMenuGui();
    void fillOptionList(const std::string& combobox, const std::string& option);
    void subscribe(const std::string& window, const CEGUI::String& event,
                   bool (MenuState::*handler)(const CEGUI::EventArgs&));
    void toggleOptions();
    void requestLeaving(bool& request);
    bool assignOption(const std::string& combobox, const std::string& option);

    bool onStartClicked(const CEGUI::EventArgs& args);
    bool onOptionsClicked(const CEGUI::EventArgs& args);
    bool onCreditsClicked(const CEGUI::EventArgs& args);
    bool onQuitClicked(const CEGUI::EventArgs& args);
    bool onSaveClicked(const CEGUI::EventArgs& args);
    bool onResolutionChosen(const CEGUI::EventArgs& args);
    bool onFullscreenChosen(const CEGUI::EventArgs& args);
    bool onVsyncChosen(const CEGUI::EventArgs& args);
    bool onTextureFilterChosen(const CEGUI::EventArgs& args);

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
    CeGUIManager* mGui = nullptr;
    SceneFader* mFader = nullptr;
    std::vector<CEGUI::Event::Connection> mConnections;
};

} // namespace Kelvo
