#include "world/ScriptManager.h"

#include "world/FrameMessageManager.h"
#include "world/GameWorld.h"
#include "world/ScriptAtom.h"

namespace Kelvo {

ScriptManager::ScriptManager(GameWorld* world)
    : mWorld(world)
{
    mScripts.reserve(kReservedScripts);
}

bool ScriptManager::add(ScriptAtom* script)
{
    if (!script) {
        return false;
    }
    // An exact match, not the prefix look-up of find(): with a prefix match a
    // bird "Bird_b1" would be refused because "Bird_b10" is listed, and would
    // silently stay without its script.
    const std::string name = script->getName();
    for (ScriptAtom* listed : mScripts) {
        if (listed->getName() == name) {
            return false;
        }
    }
    mScripts.push_back(script);
    return true;
}

ScriptAtom* ScriptManager::find(const std::string& namePrefix) const
{
    for (ScriptAtom* script : mScripts) {
        if (script->getName().compare(0, namePrefix.size(), namePrefix) == 0) {
            return script;
        }
    }
    return nullptr;
}

bool ScriptManager::setUserData(const std::string& namePrefix, void* data)
{
    ScriptAtom* script = find(namePrefix);
    if (!script) {
        return false;
    }
    script->setUserData(data);
    return true;
}

void ScriptManager::update(const Ogre::FrameEvent& event)
{
    for (ScriptAtom* script : mScripts) {
        script->update(event);
    }
    if (mWorld && mWorld->getMessages()) {
        mWorld->getMessages()->sweep();
    }
}

} // namespace Kelvo
