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
    : PlacedDescription(name, parent)
    , mFile(file)
{
}

std::string ParticleDescription::toXml() const
{
    using namespace SceneText;
    std::string xml = "\t\t<particle name=\"" + escape(getName()) + "\" file=\"" + escape(mFile) + "\" parent=\"" +
                      escape(getParent()) + "\">\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t\t<scale" + xyz(mScale) + " />\n";
    xml += "\t\t</particle>\n";
    return xml;
}

void ParticleDescription::realise(Ogre::SceneNode* parentNode)
{
    if (!mObjects) {
        return;
    }
    Ogre::SceneManager* manager = sceneManager();
    if (!manager) {
        return;
    }
    if (!placeMarkedNode(parentNode, getName() + "_Particle_mesh", getName() + "_Particle_entity", kMarkerRadius,
                         kMarkerMaterial)) {
        return;
    }

    const std::string systemName = getName() + "_par_sys";
    if (manager->hasParticleSystem(systemName)) {
        manager->destroyParticleSystem(systemName);
    }
    try {
        mSystem = manager->createParticleSystem(systemName, mFile);
    } catch (const Ogre::Exception& e) {
        SceneObjects::logProblem("Scene: particle system '" + getName() + "' could not be made from template '" +
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
    if (!mObjects) {
        return;
    }
    Ogre::SceneManager* manager = sceneManager();
    if (mSystem && manager) {
        mSystem->detachFromParent();
        manager->destroyParticleSystem(mSystem);
    }
    mSystem = nullptr;
    destroyMarkedNode(getName() + "_Particle_entity");
}

void ParticleDescription::setScale(const Ogre::Vector3& scale)
{
    mScale = scale;
    applyScale();
}

} // namespace Kelvo
