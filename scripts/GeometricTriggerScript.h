#pragma once

#include "world/ScriptAtom.h"

#include <map>
#include <string>

namespace Kelvo {

// Turns the scene's trigger volumes into messages: on the frame the hero
// enters a trigger it posts a non-persistent Trigger message named after it
// with the value true, on the frame he leaves it one with false, and nothing
// while he stays inside or outside. Runs second, right after the GUI script,
// so every gameplay script sees the messages in the same frame.
class GeometricTriggerScript : public ScriptAtom {
public:
    GeometricTriggerScript(GameWorld* world, ScriptManager* scripts);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "GeometricTrigger"; }

    bool isInside(const std::string& trigger) const;

private:
    std::map<std::string, bool> mInside;
};

} // namespace Kelvo
