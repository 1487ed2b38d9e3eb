#pragma once

#include <OgreFrameListener.h>

#include <string>

namespace Kelvo {

class GameWorld;
class ScriptManager;

// Base of every behaviour script: the hero, the camera, the enemies, the
// birds, the editor's tools. The state running a world creates its scripts,
// adds them to the ScriptManager, which calls update() once per frame in the
// order they were added, and deletes them when it leaves. Scripts never call
// each other; they talk through the world's message board.
class ScriptAtom {
public:
    ScriptAtom(GameWorld* world, ScriptManager* scripts);
    virtual ~ScriptAtom() = default;

    ScriptAtom(const ScriptAtom&) = delete;
    ScriptAtom& operator=(const ScriptAtom&) = delete;

    virtual void update(Ogre::FrameEvent event) = 0;
    // Opaque data another party hands the script (the GUI script freezes the
    // hero by setting it); what it means is the script's own business.
    virtual void setUserData(void* data) { mUserData = data; }
    virtual void* getUserData() { return mUserData; }
    // The type name the script is listed under, e.g. "PLAYER" or "Bird_b1".
    virtual std::string getName() = 0;

protected:
    GameWorld* mWorld;
    ScriptManager* mScripts;
    void* mUserData = nullptr;
};

} // namespace Kelvo
