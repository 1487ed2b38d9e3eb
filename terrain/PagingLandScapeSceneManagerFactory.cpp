#include "terrain/PagingLandScapeSceneManagerFactory.h"

#include "terrain/PagingLandScapeSceneManager.h"

#include <OgreRoot.h>
#include <OgreTerrain.h>

#include <vector>

namespace Kelvo {

PagingLandScapeSceneManagerFactory::PagingLandScapeSceneManagerFactory()
{
    if (!Ogre::TerrainGlobalOptions::getSingletonPtr()) {
        mOwnedOptions = new Ogre::TerrainGlobalOptions();
    }
}

PagingLandScapeSceneManagerFactory::~PagingLandScapeSceneManagerFactory()
{
    delete mOwnedOptions;
}

void PagingLandScapeSceneManagerFactory::initMetaData() const
{
    mMetaData.typeName = PagingLandScapeSceneManager::kTypeName;
    mMetaData.worldGeometrySupported = true;
}

Ogre::SceneManager* PagingLandScapeSceneManagerFactory::createInstance(const Ogre::String& instanceName)
{
    return new PagingLandScapeSceneManager(instanceName);
}

void PagingLandScapeSceneManagerFactory::destroyInstance(Ogre::SceneManager* instance)
{
    delete instance;
}

PagingLandScapeSceneManagerFactory* PagingLandScapeSceneManagerFactory::install(Ogre::Root& root)
{
    auto* factory = new PagingLandScapeSceneManagerFactory();
    root.addSceneManagerFactory(factory);
    return factory;
}

void PagingLandScapeSceneManagerFactory::uninstall(Ogre::Root& root, PagingLandScapeSceneManagerFactory* factory)
{
    if (!factory) {
        return;
    }
    std::vector<Ogre::SceneManager*> ours;
    for (const auto& manager : root.getSceneManagers()) {
        if (manager.second->getTypeName() == PagingLandScapeSceneManager::kTypeName) {
            ours.push_back(manager.second);
        }
    }
    for (Ogre::SceneManager* manager : ours) {
        root.destroySceneManager(manager);
    }
    root.removeSceneManagerFactory(factory);
    delete factory;
}

} // namespace Kelvo
