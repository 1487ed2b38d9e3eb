#pragma once

#include <OgrePrerequisites.h>
#include <OgreSceneManager.h>

#include <map>
#include <string>

namespace Kelvo {

class SoundManager;

// The engine chores the scene records share, done in the scene manager the
// loader was handed: the marker spheres that show triggers, lights, sounds
// and particle systems in the editor, and nodes that are found by name or
// made, and the sound manager sound records load their sounds through (none
// for tools that load scenes silently). The loader owns one and gives it to
// every record it files. The play
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
    void useSounds(SoundManager* sounds) { mSounds = sounds; }
    SoundManager* soundManager() const { return mSounds; }

    // The loader's root node "KelvoSceneLoaderRoot"; null when there is none.
    Ogre::SceneNode* loaderRoot() const;

    // Destroys a node (detaching what hangs on it) when it exists.
    void destroyNode(Ogre::SceneNode* node);

    // The node of that name moved under the parent, or a new child of the
    // parent at the origin. A null parent means the loader's root node.
    Ogre::SceneNode* placeNode(const std::string& name, Ogre::SceneNode* parent);

    // Builds the sphere mesh when needed and (re)creates the marker entity
    // from it, visible and with the given material (none when empty). Null
    // when the engine refused. The mesh is the marker's own: it goes with
    // destroyMarker, or with the scene manager.
    Ogre::Entity* makeMarker(const std::string& meshName, const std::string& entityName, float radius,
                             const std::string& material);
    // Destroys a marker entity made by makeMarker and frees its sphere mesh.
    void destroyMarker(const std::string& entityName);
    // Destroys the markers that are left and frees every sphere mesh made
    // for them. Every record's node and marker is gone after an unload, so
    // nothing of a scene is left to hold the engine's memory.
    void freeMarkers();

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
    // Removes the sphere mesh unless an object outside the markers uses it.
    void freeMarkerMesh(const std::string& meshName);

    Ogre::SceneManager* mManager = nullptr;
    // Sphere meshes made for markers, with the marker entity made from each.
    std::map<std::string, std::string> mMarkerMeshes;
    SoundManager* mSounds = nullptr;
};

} // namespace Kelvo
