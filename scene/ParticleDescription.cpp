#include "scene/ParticleDescription.h"

#include "scene/SceneObjects.h"
#include "scene/SceneText.h"

#include <Ogre.h>

namespace Kelvo {

namespace {
const float kMarkerRadius = 2.0f;
const char* const kMarkerMaterial = "KELVO/Sound";
} // namespace

ParticleDescription::ParticleDescription(const std::string& name, const std::string& file, const std::string& parent)
    : mParent(parent)
    , mFile(file)
    , mName(name)
{
}

Ogre::Vector3 ParticleDescription::currentPosition() const
{
    return mNode ? mNode->getPosition() : mPosition;
}

std::string ParticleDescription::toXml() const
{
    using namespace SceneText;
    std::string xml = "\t\t<particle name=\"" + escape(mName) + "\" file=\"" + escape(mFile) + "\" parent=\"" +
                      escape(mParent) + "\">\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t\t<scale" + xyz(mScale) + " />\n";
    xml += "\t\t</particle>\n";
    return xml;
}

void ParticleDescription::realise(Ogre::SceneNode* parentNode)
{
    Ogre::SceneManager* manager = SceneObjects::sceneManager();
    if (!manager) {
        return;
    }
    mMarker = SceneObjects::makeMarker(mName + "_Particle_mesh", mName + "_Particle_entity", kMarkerRadius,
                                       kMarkerMaterial);
    mNode = SceneObjects::placeNode(mName, parentNode);
    if (!mNode) {
        return;
    }
    if (mMarker) {
        mNode->attachObject(mMarker);
    }
    mNode->setPosition(mPosition);

    const std::string systemName = mName + "_par_sys";
    if (manager->hasParticleSystem(systemName)) {
        manager->destroyParticleSystem(systemName);
    }
    try {
        mSystem = manager->createParticleSystem(systemName, mFile);
    } catch (const Ogre::Exception& e) {
        SceneObjects::logProblem("Scene: particle system '" + mName + "' could not be made from template '" +
                                 mFile + "': " + e.getDescription());
        mSystem = nullptr;
        return;
    }
    mNode->attachObject(mSystem);
    applyScale();
}

void ParticleDescription::applyScale()
{
    if (!mSystem) {
        return;
    }
    mSystem->setDefaultWidth(mScale.x);
    mSystem->setDefaultHeight(mScale.y);
    mSystem->setSpeedFactor(mScale.z);
}

void ParticleDescription::destroy()
{
    Ogre::SceneManager* manager = SceneObjects::sceneManager();
    if (mSystem && manager) {
        mSystem->detachFromParent();
        manager->destroyParticleSystem(mSystem);
    }
    mSystem = nullptr;
    if (mMarker && mMarker->isAttached()) {
        mMarker->detachFromParent();
    }
    SceneObjects::destroyEntity(mName + "_Particle_entity");
    mMarker = nullptr;
    if (mNode) {
        mPosition = mNode->getPosition();
        SceneObjects::destroyNode(mNode);
        mNode = nullptr;
    }
}

void ParticleDescription::setPosition(const Ogre::Vector3& position)
{
    mPosition = position;
    if (mNode) {
        mNode->setPosition(position);
    }
}

void ParticleDescription::setScale(const Ogre::Vector3& scale)
{
    mScale = scale;
    applyScale();
}

} // namespace Kelvo
