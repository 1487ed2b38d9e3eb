#include "scripts/GeometricTriggerScript.h"

#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scene/TriggerDescription.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/PlayerCharacter.h"


namespace Kelvo {

GeometricTriggerScript::GeometricTriggerScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
{
}

bool GeometricTriggerScript::isInside(const std::string& trigger) const
{
    auto found = mInside.find(trigger);
    return found != mInside.end() && found->second;
}

void GeometricTriggerScript::update(Ogre::FrameEvent)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    if (!loader) {
        return;
    }
    const Ogre::Vector3 hero = mWorld->getPlayer()->getPosition();
    for (const auto& entry : loader->triggers()) {
        const std::string& name = entry.first;
        const bool inside = entry.second->isInside(hero);
        bool& wasInside = mInside[name];  // a trigger seen for the first time counts as not inside
        if (inside == wasInside) {
            continue;
        }
        wasInside = inside;
        mWorld->getMessages()->post(new FrameMessageTrigger(name, inside, false));
        // Tests and players reading the log follow the hero through the level.
        logLine(std::string("GeometricTrigger: ") +
                (inside ? "entered '" : "left '") + name + "'");
    }
}

} // namespace Kelvo
