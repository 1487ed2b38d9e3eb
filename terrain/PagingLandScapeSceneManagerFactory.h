#pragma once

#include <OgreSceneManager.h>

namespace Ogre {
class Root;
class TerrainGlobalOptions;
} // namespace Ogre

namespace Kelvo {

// Makes scene managers of the type "PagingLandScapeSceneManager" and owns
// the engine's terrain options, which every terrain shares. The application
// registers one at start-up, where the game once loaded a paging-landscape
// plug-in, and removes it at shut-down while the render system still lives.
class PagingLandScapeSceneManagerFactory : public Ogre::SceneManagerFactory {
public:
    PagingLandScapeSceneManagerFactory();
    ~PagingLandScapeSceneManagerFactory() override;

    Ogre::SceneManager* createInstance(const Ogre::String& instanceName) override;
    void destroyInstance(Ogre::SceneManager* instance) override;

    // Creates a factory and adds it to the root.
    static PagingLandScapeSceneManagerFactory* install(Ogre::Root& root);
    // Destroys every scene manager of our type still alive, removes the
    // factory from the root and deletes it. Call before the root is deleted:
    // the root destroys left-over scene managers through their factories,
    // and our terrains need the render system to free their textures.
    static void uninstall(Ogre::Root& root, PagingLandScapeSceneManagerFactory* factory);

protected:
    void initMetaData() const override;

private:
    Ogre::TerrainGlobalOptions* mOwnedOptions = nullptr;
};

} // namespace Kelvo
