#include "scene/EntityDescription.h"

#include "scene/SceneObjects.h"
#include "scene/SceneText.h"

#include <Ogre.h>

#include <cstring>

namespace Kelvo {

namespace {

const float kBoneMarkerRadius = 10.0f;

bool isWord(const char* text, const char* word)
{
    return text && std::strcmp(text, word) == 0;
}

} // namespace

const char* const EntityDescription::kDefaultFromMesh = "DefaultFromMesh";

EntityDescription::EntityDescription(const std::string& name, const char* hiddenText, const char* fileName,
                                     const char* castShadowsText, const char* receiveShadowsText)
    : PlacedDescription(name, "")
    , mFileName(fileName ? fileName : "")
    , mHidden(isWord(hiddenText, "true"))
    , mCastShadows(isWord(castShadowsText, "yes"))
    , mReceiveShadows(isWord(receiveShadowsText, "yes"))
    // The writer writes a mesh-less entity with an empty file name, so an
    // empty name reads back as no mesh too.
    , mNoMesh(!fileName || !*fileName)
{
}

EntityDescription::EntityDescription(const std::string& name, bool hidden, const std::string& fileName,
                                     bool castShadows, bool receiveShadows, const std::string& material,
                                     const std::string& type, const Ogre::Vector3& scale,
                                     const Ogre::Real rotation[4])
    : PlacedDescription(name, "")
    , mScale(scale)
    , mFileName(fileName)
    , mMaterial(material)
    , mType(type)
    , mHidden(hidden)
    , mCastShadows(castShadows)
    , mReceiveShadows(receiveShadows)
    , mNoMesh(fileName.empty())
{
    for (int i = 0; i < 4; ++i) {
        mRotation[i] = rotation[i];
    }
}

EntityDescription::~EntityDescription() = default;

std::string EntityDescription::toXml() const
{
    using namespace SceneText;
    std::string xml;
    xml.reserve(320);
    xml += "\t\t<entity name=\"" + escape(getName()) + "\" hidden=\"" + (mHidden ? "true" : "false") + "\" filename=\"" +
           escape(mFileName) + "\" CastShadows=\"" + (mCastShadows ? "yes" : "no") + "\" ReceiveShadows=\"" +
           (mReceiveShadows ? "yes" : "no") + "\"" +
           (getParent().empty() ? std::string() : " parent=\"" + escape(getParent()) + "\"") + ">\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t\t<rotation x=\"" + real(mRotation[0]) + "\" y=\"" + real(mRotation[1]) + "\" z=\"" +
           real(mRotation[2]) + "\" w=\"" + real(mRotation[3]) + "\" />\n";
    xml += "\t\t\t<scale" + xyz(currentScale()) + " />\n";
    xml += "\t\t\t<material name=\"" + escape(mMaterial) + "\" />\n";
    xml += "\t\t\t<type name=\"" + escape(mType) + "\" />\n";
    xml += "\t\t</entity>\n";
    return xml;
}

Ogre::Vector3 EntityDescription::currentScale() const
{
    return mNode ? mNode->getScale() : mScale;
}

Ogre::Quaternion EntityDescription::orientation() const
{
    const Ogre::Quaternion aboutX(Ogre::Degree(mRotation[0]), Ogre::Vector3::UNIT_X);
    const Ogre::Quaternion aboutY(Ogre::Degree(mRotation[1]), Ogre::Vector3::UNIT_Y);
    const Ogre::Quaternion aboutZ(Ogre::Degree(mRotation[2]), Ogre::Vector3::UNIT_Z);
    return aboutZ * aboutY * aboutX;
}

void EntityDescription::realise(Ogre::SceneNode* parentNode)
{
    parentNode = chooseParentNode(parentNode);
    if (mNoMesh || !mObjects) {
        return;
    }
    Ogre::SceneManager* manager = sceneManager();
    if (!manager) {
        return;
    }
    destroyEngineEntity();
    try {
        // The engine refuses a name another entity has (a marker of another
        // record) with an exception, handled like a missing mesh.
        mEntity = manager->createEntity(getName(), mFileName);
    } catch (const Ogre::Exception& e) {
        // A missing or broken mesh costs only this entity's looks: the node
        // still carries its place for children and for saving.
        SceneObjects::logProblem("Scene: entity '" + getName() + "' could not be made from mesh '" + mFileName +
                                 "': " + e.getDescription());
        mEntity = nullptr;
    }
    if (mEntity) {
        mEntity->setVisible(!mHidden);
        mEntity->setCastShadows(mCastShadows);
        buildTangents(mEntity->getMesh());
        applyMaterial();
    }

    mNode = mObjects->placeNode(getName(), parentNode);
    if (mEntity) {
        mNode->attachObject(mEntity);
    }
    mNode->setPosition(mPosition);
    mNode->setScale(mScale);
    mNode->setOrientation(orientation());

    if (mType == "Player") {
        mObjects->makeMarker(getName() + "_bone_mesh", boneMarkerEntityName(), kBoneMarkerRadius, "");
    }
}

void EntityDescription::buildTangents(const Ogre::MeshPtr& mesh)
{
    unsigned short source = 0;
    unsigned short destination = 0;
    try {
        if (!mesh->suggestTangentVectorBuildParams(Ogre::VES_TANGENT, source, destination)) {
            mesh->buildTangentVectors(Ogre::VES_TANGENT, source, destination);
        }
    } catch (const Ogre::Exception& e) {
        // A mesh without texture coordinates has nothing to build tangents
        // from; it is shown without them rather than ending the load.
        SceneObjects::logProblem("Scene: mesh '" + mesh->getName() + "' of '" + getName() +
                                 "' gets no tangents: " + e.getDescription());
    }
}

void EntityDescription::destroyEngineEntity()
{
    // Only our own entity goes: another object of the same name (a marker
    // of another record) is left alone.
    if (!mEntity) {
        return;
    }
    if (mEntity->isAttached()) {
        mEntity->detachFromParent();
    }
    if (Ogre::SceneManager* manager = sceneManager()) {
        manager->destroyEntity(mEntity);
    }
    mEntity = nullptr;
}

void EntityDescription::forgetAnimationTracks()
{
    // Node animations (cut-scenes) outlive a scene in their scene manager; a
    // track left on a destroyed node would move freed memory when played.
    for (const auto& entry : mNode->getCreator()->getAnimations()) {
        Ogre::Animation* animation = entry.second;
        std::vector<unsigned short> handles;
        for (const auto& track : animation->_getNodeTrackList()) {
            if (track.second->getAssociatedNode() == mNode) {
                handles.push_back(track.first);
            }
        }
        for (unsigned short handle : handles) {
            animation->destroyNodeTrack(handle);
        }
    }
}

void EntityDescription::destroy()
{
    if (!mObjects) {
        return;
    }
    mObjects->destroyMarker(boneMarkerEntityName());
    destroyEngineEntity();
    if (mNode) {
        mScale = mNode->getScale();
        forgetAnimationTracks();
    }
    destroyNode();
}

void EntityDescription::setScale(const Ogre::Vector3& scale)
{
    mScale = scale;
    if (mNode) {
        mNode->setScale(scale);
    }
}

void EntityDescription::setRotation(Ogre::Real x, Ogre::Real y, Ogre::Real z)
{
    mRotation[0] = x;
    mRotation[1] = y;
    mRotation[2] = z;
    if (mNode) {
        mNode->setOrientation(orientation());
    }
}

void EntityDescription::setHidden(bool hidden)
{
    mHidden = hidden;
    if (mEntity) {
        mEntity->setVisible(!hidden);
    }
}

void EntityDescription::setMaterial(const std::string& material)
{
    mMaterial = material;
    applyMaterial();
}

void EntityDescription::applyMaterial()
{
    if (!mEntity) {
        return;
    }
    if (mMaterial != kDefaultFromMesh) {
        SceneObjects::setMaterialIfKnown(mEntity, mMaterial);
        return;
    }
    // The word stays in the record (and in the saved file): a prop with
    // several materials keeps each part's own rather than the first one.
    for (unsigned int i = 0; i < mEntity->getNumSubEntities(); ++i) {
        Ogre::SubEntity* part = mEntity->getSubEntity(i);
        const std::string& own = part->getSubMesh()->getMaterialName();
        if (!own.empty() && part->getMaterialName() != own &&
            Ogre::MaterialManager::getSingleton().resourceExists(own)) {
            part->setMaterialName(own);
        }
    }
}

void EntityDescription::setCastShadows(bool castShadows)
{
    mCastShadows = castShadows;
    if (mEntity) {
        mEntity->setCastShadows(castShadows);
    }
}

void EntityDescription::setFileName(const std::string& fileName)
{
    mFileName = fileName;
    mNoMesh = false;
    // Only a record that has been placed (it knows its parent node) is
    // realised; a record still waiting for its window's values is not.
    if (!mNode && !mEntity && !getParentNode()) {
        return;
    }
    if (mNode) {
        mPosition = mNode->getPosition();
        mScale = mNode->getScale();
    }
    realise(getParentNode());
}

} // namespace Kelvo
