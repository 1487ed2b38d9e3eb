#pragma once

#include <OgreFrameListener.h>

#include <string>

namespace Kelvo {

class GameWorld;
class OgreEventListener;
class ScriptManager;

// Base of every behaviour script: the hero, the camera, the enemies, the
// birds, the editor's tools. The state running a world creates its scripts,
// adds them to the ScriptManager, which calls update() once per frame in the
// order they were added, and deletes them when it leaves. Scripts never call
// each other; they talk through the world's message board, and they reach
// everything else (application, scene loader, effects, terrain, the end of
// the play) through the GameWorld they are given, never through singletons.
//
// Input listeners, one rule for the whole game: whoever adds a listener to
// the application removes it, and nobody else does. A script that hears
// input calls listenToInput() in its constructor; ScriptAtom's destructor
// takes it off the application's listeners, so no listener list outlives the
// script and no state removes a script's listener for it. (Removing only
// compares pointers and never calls into the half-destroyed script; input
// is dispatched on the same thread, never while a script is being deleted.)
// The game states do not register themselves: the GameStateManager adds
// itself when the game starts, removes itself at shut-down, and hands every
// event to the active state.
class ScriptAtom {
public:
    ScriptAtom(GameWorld* world, ScriptManager* scripts);
    virtual ~ScriptAtom();

    ScriptAtom(const ScriptAtom&) = delete;
    ScriptAtom& operator=(const ScriptAtom&) = delete;

    virtual void update(Ogre::FrameEvent event) = 0;
    // Opaque data another party hands the script (the GUI script freezes the
    // hero by setting it); what it means is the script's own business.
    virtual void setUserData(void* data) { mUserData = data; }
    virtual void* getUserData() { return mUserData; }
    // The type name the script is listed under, e.g. "PLAYER" or "Bird_b1".
    virtual std::string getName() = 0;

    // Scripts alive in the process; the menu's object census logs it.
    static long liveCount() { return sLiveCount; }

protected:
    // Registers the script's listener with the world's input listeners (the
    // application) under the name. Without them (tests, tools) the script
    // hears only what it is handed.
    void listenToInput(OgreEventListener* listener, const std::string& name);

    GameWorld* mWorld;
    ScriptManager* mScripts;
    void* mUserData = nullptr;

private:
    static long sLiveCount;

    OgreEventListener* mInputListener = nullptr;
};

} // namespace Kelvo
