#pragma once

#include <OgreFrameListener.h>

#include <string>
#include <vector>

namespace Kelvo {

class GameWorld;
class ScriptAtom;

// The run list of a world's scripts. The running state adds its scripts once,
// in the order they must run, and calls update() every frame; after the last
// script the world's message board is swept, so a non-persistent message is
// seen only by the scripts after its poster in the same frame. Does not own
// the scripts: the state deletes them before it deletes this list.
class ScriptManager {
public:
    explicit ScriptManager(GameWorld* world);

    ScriptManager(const ScriptManager&) = delete;
    ScriptManager& operator=(const ScriptManager&) = delete;

    // Appends the script unless one of exactly the same name is listed; two
    // birds "Bird_b1" and "Bird_b10" are different scripts.
    bool add(ScriptAtom* script);
    // The first script, in run order, whose name begins with the given text,
    // so "StandartEnemyScript_" finds the first enemy; null if none.
    ScriptAtom* find(const std::string& namePrefix) const;
    bool setUserData(const std::string& namePrefix, void* data);
    void update(const Ogre::FrameEvent& event);

    const std::vector<ScriptAtom*>& scripts() const { return mScripts; }
    GameWorld* getWorld() const { return mWorld; }

private:
    // Room for every script of a full island without reallocating.
    static constexpr std::size_t kReservedScripts = 350;

    std::vector<ScriptAtom*> mScripts;
    GameWorld* mWorld;
};

} // namespace Kelvo
