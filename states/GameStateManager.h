#pragma once

#include "states/OgreEventListener.h"

#include <OgreFrameListener.h>
#include <OgreSingleton.h>

#include <string>
#include <vector>

namespace Kelvo {

class Application;
class GameState;
class SoundManager;

// Runs the state machine: sets the engine up at start, runs the one render
// loop, forwards every frame and input event to the active state and
// performs the changes of state. A change a state asks for during a frame
// (after its fade-out) waits until that frame has ended, so the old state
// finishes its frame whole and every state runs in the same loop: a loop per
// state nested in the previous one's frame would deepen the call stack with
// every change, for as long as the game runs. Every frame, whatever the
// state, it lets the sound manager refill its streams after the state's own
// frame. The entry point owns the states; the manager only points at the
// active one.
class GameStateManager : public OgreEventAdapter,
                         public Ogre::FrameListener,
                         public Ogre::Singleton<GameStateManager> {
public:
    static const char* const kListenerName;

    GameStateManager();
    ~GameStateManager() override;

    // Sets the Application up; returns false and marks the set-up as failed
    // when it could not.
    bool start(const std::string& windowTitle);
    // Outside a frame the change happens at once; during a frame it happens
    // when the frame has ended (unless the frame ends the game).
    void changeState(GameState* state);
    // The render loop; returns when the active state ends the game (its
    // frameEnded answers false). Nothing runs after a failed set-up.
    void run();
    // Exits the active state, if any. Before the game's singletons go: the
    // play state still needs the scene loader on its way out (the timed
    // demo, or a window closed in the middle of play, ends there).
    void leaveActiveState();
    void shutdown();

    bool setupFailed() const { return mSetupFailed; }
    GameState* activeState() const { return mStates.empty() ? nullptr : mStates.back(); }

    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

private:
    void switchTo(GameState* state);

    bool mSetupFailed = false;
    bool mInFrame = false;
    GameState* mRequestedState = nullptr;
    std::vector<GameState*> mStates;
    Application* mApplication;
    SoundManager* mSounds = nullptr;
};

} // namespace Kelvo
