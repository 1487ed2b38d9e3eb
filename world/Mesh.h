#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// A scene object of the game: a thin wrapper around an engine entity that the
// scene file marked with a gameplay type. The kinds below only say what the
// object is (hero, character, trigger volume); scripts find them by name in
// the MeshManager, which owns them. The scene manager owns the entity.
class Mesh {
public:
    explicit Mesh(Ogre::Entity* entity);
    // Virtual because the MeshManager deletes every kind through this base.
    virtual ~Mesh() = default;

    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    virtual Ogre::MeshPtr getMesh();
    virtual std::string getName();
    virtual Ogre::Entity* getEntity() { return mEntity; }
    virtual void setVisible(bool visible);

protected:
    Ogre::Entity* mEntity;
};

} // namespace Kelvo
