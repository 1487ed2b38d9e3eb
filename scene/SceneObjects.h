#pragma once

#include <OgrePrerequisites.h>
#include <OgreSceneManager.h>

#include <string>

namespace Kelvo {

// The engine chores the scene records share, done in the scene manager the
// loader was handed: the marker spheres that show triggers, lights, sounds
// and particle systems in the editor, and nodes that are found by name or
// made. The loader owns one and gives it to every record it files. The play
// state and the editor replace their scene manager; once it is destroyed
// this forgets it, and every chore becomes a no-op until the next load hands
// in a new one.
class SceneObjects : public Ogre::SceneManager::Listener {
public:
    SceneObjects() = default;
    ~SceneObjects() override;
    SceneObjects(const SceneObjects&) = delete;
    SceneObjects& operator=(const SceneObjects&) = delete;

    void use(Ogre::SceneManager* manager);
    Ogre::SceneManager* sceneManager() const { return mManager; }

    // The loader's root node "KelvoSceneLoaderRoot"; null when there is none.
    Ogre::SceneNode* loaderRoot() const;

    // Destroys the entity of that name when there is one.
    void destroyEntity(const std::string& name);

    // Destroys a node (detaching what hangs on it) when it exists.
    void destroyNode(Ogre::SceneNode* node);

    // The node of that name moved under the parent, or a new child of the
    // parent at the origin. A null parent means the loader's root node.
    Ogre::SceneNode* placeNode(const std::string& name, Ogre::SceneNode* parent);

    // Builds the sphere mesh when needed and (re)creates the marker entity
    // from it, visible and with the given material. Null when the engine
    // refused.
    Ogre::Entity* makeMarker(const std::string& meshName, const std::string& entityName, float radius,
                             const std::string& material);

    // A UV sphere mesh of that name in the default group, made once.
    static void makeSphereMesh(const std::string& meshName, float radius, int rings, int segments);

    // Sets a material when the engine knows it; the editor markers' materials
    // are media that may be missing, which costs only their colour.
    static void setMaterialIfKnown(Ogre::Entity* entity, const std::string& material);

    // Log lines about scene problems: critical, so that they still reach the
    // log while a load has turned the engine's log detail down.
    static void logProblem(const std::string& line);

    void sceneManagerDestroyed(Ogre::SceneManager* source) override;

private:
    Ogre::SceneManager* mManager = nullptr;
};

} // namespace Kelvo
