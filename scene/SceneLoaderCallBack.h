#pragma once

#include <OgrePrerequisites.h>

namespace Kelvo {

class EntityDescription;
class TriggerDescription;

// Hears about every entity and trigger a scene load realises, so the game can
// put its own objects on them. The entity may be null (no mesh). The loader
// does not own the callback.
class SceneLoaderCallBack {
public:
    virtual ~SceneLoaderCallBack() = default;
    virtual void entityCreated(Ogre::Entity* entity, EntityDescription* description) {}
    virtual void triggerCreated(TriggerDescription* description) {}
};

} // namespace Kelvo
