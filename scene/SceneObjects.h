#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// Small engine chores the scene records share: the marker spheres that show
// triggers, lights, sounds and particle systems in the editor, and nodes that
// are found by name or made. Everything goes through the scene manager named
// "MainScene".
namespace SceneObjects {

Ogre::SceneManager* sceneManager();

// The loader's root node "KelvoSceneLoaderRoot"; null when there is none.
Ogre::SceneNode* loaderRoot();

// Destroys the entity of that name when there is one.
void destroyEntity(const std::string& name);

// Destroys a node (detaching what hangs on it) when it exists.
void destroyNode(Ogre::SceneNode* node);

// The node of that name moved under the parent, or a new child of the parent
// at the origin. A null parent means the loader's root node.
Ogre::SceneNode* placeNode(const std::string& name, Ogre::SceneNode* parent);

// Builds the sphere mesh when needed and (re)creates the marker entity from
// it, visible and with the given material. Null when the engine refused.
Ogre::Entity* makeMarker(const std::string& meshName, const std::string& entityName, float radius,
                         const std::string& material);

// Sets a material when the engine knows it; the editor markers' materials
// are media that may be missing, which costs only their colour.
void setMaterialIfKnown(Ogre::Entity* entity, const std::string& material);

// Log lines about scene problems: critical, so that they still reach the log
// while a load has turned the engine's log detail down.
void logProblem(const std::string& line);

} // namespace SceneObjects

} // namespace Kelvo
