#pragma once

#include "scene/PlacedDescription.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {


// A mesh object of the scene: the <entity> element. Owns its engine entity
// and scene node while realised; the loader owns the record. Its parent is
// the scene node the file's `parent` attribute names (empty: its block's). Position and
// scale are written from the live node, the rotation from the stored Euler
// angles (degrees about X, Y, Z, applied as Rz * Ry * Rx).
class EntityDescription : public PlacedDescription {
public:
    static const char* const kDefaultFromMesh;

    // As the reader makes it: the flags as the file's words; a null file
    // name marks the record as having no mesh.
    EntityDescription(const std::string& name, const char* hiddenText, const char* fileName,
                      const char* castShadowsText, const char* receiveShadowsText);
    // As the editor makes it, from values already converted.
    EntityDescription(const std::string& name, bool hidden, const std::string& fileName, bool castShadows,
                      bool receiveShadows, const std::string& material, const std::string& type,
                      const Ogre::Vector3& scale, const Ogre::Real rotation[4]);
    ~EntityDescription() override;

    std::string getTypeName() const override { return "Entity"; }
    std::string toXml() const override;

    // Creates the engine entity and its node under the parent (the loader's
    // root node when null). A record without a mesh only remembers the
    // parent, so that choosing a mesh later realises it there.
    void realise(Ogre::SceneNode* parentNode);
    // Removes the bone marker, the entity and the node.
    void destroy();

    const std::string& getFileName() const { return mFileName; }
    const std::string& getMaterial() const { return mMaterial; }
    const std::string& getType() const { return mType; }
    bool isHidden() const { return mHidden; }
    bool getCastShadows() const { return mCastShadows; }
    bool getReceiveShadows() const { return mReceiveShadows; }
    bool hasNoMesh() const { return mNoMesh; }
    const Ogre::Vector3& getScale() const { return mScale; }
    const Ogre::Real* getRotation() const { return mRotation; }
    Ogre::Entity* getEntity() const { return mEntity; }

    // The live node's scale, or the stored one without a node.
    Ogre::Vector3 currentScale() const;
    Ogre::Quaternion orientation() const;

    void setScale(const Ogre::Vector3& scale);
    // Euler degrees about X, Y and Z; w is kept and written back.
    void setRotation(Ogre::Real x, Ogre::Real y, Ogre::Real z);
    void setRotationW(Ogre::Real w) { mRotation[3] = w; }
    void setHidden(bool hidden);
    void setMaterial(const std::string& material);
    void setType(const std::string& type) { mType = type; }
    void setCastShadows(bool castShadows);
    void setReceiveShadows(bool receiveShadows) { mReceiveShadows = receiveShadows; }
    // A new mesh: the entity is made again under the same parent node; a
    // placed record without a mesh gets its entity there now.
    void setFileName(const std::string& fileName);

    std::string boneMarkerEntityName() const { return getName() + "_bone_entity"; }

private:
    void destroyEngineEntity();
    void buildTangents(const Ogre::MeshPtr& mesh);
    void forgetAnimationTracks();
    // "DefaultFromMesh" means the mesh's own material on every part.
    void applyMaterial();

    Ogre::Real mRotation[4] = {0, 0, 0, 1};
    Ogre::Vector3 mScale = Ogre::Vector3::UNIT_SCALE;
    std::string mFileName;
    std::string mMaterial = kDefaultFromMesh;
    std::string mType;
    bool mHidden = false;
    bool mCastShadows = false;
    bool mReceiveShadows = false;
    bool mNoMesh = false;
    Ogre::Entity* mEntity = nullptr;
};

} // namespace Kelvo
