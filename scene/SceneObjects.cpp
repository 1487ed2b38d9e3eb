#include "scene/SceneObjects.h"

#include "app/Application.h"

#include <Ogre.h>

namespace Kelvo {
namespace SceneObjects {

namespace {
const int kMarkerRings = 16;
const int kMarkerSegments = 16;
const char* const kLoaderRootName = "KelvoSceneLoaderRoot";
} // namespace

namespace {

// "MainScene" is asked for many times per loaded object; the look-up by name
// is kept until that scene manager tells us it is being destroyed (the play
// state and the editor replace it).
class MainSceneCache : public Ogre::SceneManager::Listener {
public:
    Ogre::SceneManager* get()
    {
        if (!mManager) {
            Application* application = Application::getSingletonPtr();
            mManager = application ? application->getSceneManager() : nullptr;
            if (mManager) {
                mManager->addListener(this);
            }
        }
        return mManager;
    }

    void sceneManagerDestroyed(Ogre::SceneManager* source) override
    {
        if (source == mManager) {
            mManager = nullptr;
        }
    }

private:
    Ogre::SceneManager* mManager = nullptr;
};

MainSceneCache gMainScene;

} // namespace

Ogre::SceneManager* sceneManager()
{
    return gMainScene.get();
}

Ogre::SceneNode* loaderRoot()
{
    Ogre::SceneManager* manager = sceneManager();
    if (!manager || !manager->hasSceneNode(kLoaderRootName)) {
        return nullptr;
    }
    return manager->getSceneNode(kLoaderRootName);
}

void destroyEntity(const std::string& name)
{
    Ogre::SceneManager* manager = sceneManager();
    if (manager && manager->hasEntity(name)) {
        manager->destroyEntity(name);
    }
}

void destroyNode(Ogre::SceneNode* node)
{
    Ogre::SceneManager* manager = sceneManager();
    if (!manager || !node) {
        return;
    }
    node->detachAllObjects();
    manager->destroySceneNode(node);
}

Ogre::SceneNode* placeNode(const std::string& name, Ogre::SceneNode* parent)
{
    Ogre::SceneManager* manager = sceneManager();
    if (!manager) {
        return nullptr;
    }
    if (!parent) {
        parent = loaderRoot();
    }
    if (!parent) {
        parent = manager->getRootSceneNode();
    }
    if (manager->hasSceneNode(name)) {
        Ogre::SceneNode* node = manager->getSceneNode(name);
        if (node == parent) {
            return node;
        }
        // Hanging a node under one of its own descendants would close a loop
        // in the scene graph; it stays where it is instead.
        for (Ogre::Node* above = parent; above; above = above->getParent()) {
            if (above == node) {
                logProblem("Scene: node '" + name + "' cannot hang under its own child '" + parent->getName() + "'");
                return node;
            }
        }
        if (node->getParentSceneNode()) {
            node->getParentSceneNode()->removeChild(node);
        }
        parent->addChild(node);
        return node;
    }
    return parent->createChildSceneNode(name);
}

Ogre::Entity* makeMarker(const std::string& meshName, const std::string& entityName, float radius,
                         const std::string& material)
{
    Ogre::SceneManager* manager = sceneManager();
    Application* application = Application::getSingletonPtr();
    if (!manager || !application) {
        return nullptr;
    }
    if (manager->hasEntity(entityName)) {
        Ogre::Entity* existing = manager->getEntity(entityName);
        if (existing->getMesh()->getName() != meshName) {
            // Something else of the scene carries this name: it keeps it,
            // and this object goes without a marker.
            logProblem("Scene: marker '" + entityName + "' would replace another object, left out");
            return nullptr;
        }
        if (existing->isAttached()) {
            existing->detachFromParent();
        }
        manager->destroyEntity(existing);
    }
    // Sphere meshes are kept by name; one left from an earlier scene or an
    // earlier radius is made again at the size asked for now.
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    Ogre::MeshPtr existing = meshes.getByName(meshName);
    if (existing && existing->getBoundingSphereRadius() != radius) {
        meshes.remove(existing);
    }
    existing.reset();
    application->createSphere(meshName, radius, kMarkerRings, kMarkerSegments);
    Ogre::Entity* marker = manager->createEntity(entityName, meshName);
    marker->setVisible(true);
    setMaterialIfKnown(marker, material);
    return marker;
}

void setMaterialIfKnown(Ogre::Entity* entity, const std::string& material)
{
    if (!entity) {
        return;
    }
    if (!Ogre::MaterialManager::getSingleton().resourceExists(material)) {
        logProblem("Scene: material '" + material + "' for '" + entity->getName() + "' does not exist");
        return;
    }
    entity->setMaterialName(material);
}

void logProblem(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage(line, Ogre::LML_CRITICAL);
}

} // namespace SceneObjects
} // namespace Kelvo
