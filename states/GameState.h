#pragma once

#include "states/OgreEventListener.h"

#include <OgreFrameListener.h>

namespace Kelvo {

// Base of the four game states (menu, game, credits, level editor). The state
// manager forwards frame and input events to the active state. enter() builds
// the state's scene and returns; the manager's one render loop then runs it. A
// state asks for the next state from its own frameStarted, and the change
// takes place when that frame has ended.
class GameState : public OgreEventAdapter {
public:
    virtual void enter() = 0;
    virtual void exit() = 0;
    // Never called by the manager; kept so a state could be stacked.
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual bool frameStarted(const Ogre::FrameEvent& event) = 0;
    // Returning false ends the render loop, and with it the game.
    virtual bool frameEnded(const Ogre::FrameEvent& event) = 0;
};

} // namespace Kelvo
