#include "scene/LightDescription.h"

#include "scene/SceneObjects.h"
#include "scene/SceneText.h"

#include <Ogre.h>

namespace Kelvo {

namespace {
const float kMarkerRadius = 2.0f;
const char* const kMarkerMaterial = "KELVO/Trigger";
} // namespace

const Ogre::Real LightDescription::kDefaultSpotInner = 80;
const Ogre::Real LightDescription::kDefaultSpotOuter = 90;

LightDescription::LightDescription(const std::string& name, const std::string& type)
    : PlacedDescription(name, "")
    , mType(type)
{
}

bool LightDescription::isSpot() const
{
    return mType.find("Spot_Light") != std::string::npos;
}

std::string LightDescription::toXml() const
{
    using namespace SceneText;
    std::string xml = "\t\t<light name=\"" + escape(getName()) + "\" type=\"" + escape(mType) + "\" shadowcaster=\"" +
                      (mCastShadows ? "1" : "0") + "\" parent=\"" + escape(getParent()) + "\" >\n";
    xml += "\t\t\t<position" + xyz(currentPosition()) + " />\n";
    xml += "\t\t\t<diffuse r=\"" + real(mDiffuse.r) + "\" b=\"" + real(mDiffuse.b) + "\" g=\"" + real(mDiffuse.g) +
           "\" />\n";
    xml += "\t\t\t<specular r=\"" + real(mSpecular.r) + "\" b=\"" + real(mSpecular.b) + "\" g=\"" +
           real(mSpecular.g) + "\" />\n";
    xml += "\t\t\t<attenuation range=\"" + real(mRange) + "\" constant=\"" + real(mConstant) + "\" linear=\"" +
           real(mLinear) + "\" quadtric=\"" + real(mQuadratic) + "\"/>\n";
    if (isSpot()) {
        xml += "\t\t\t<spot_range innerAngle=\"" + degrees(Ogre::Degree(mSpotInner)) + "\" outerAngle=\"" +
               degrees(Ogre::Degree(mSpotOuter)) + "\"/>\n";
    }
    xml += "\t\t</light>\n";
    return xml;
}

void LightDescription::realise(Ogre::SceneNode* parentEntityNode)
{
    if (!mObjects) {
        return;
    }
    Ogre::SceneManager* manager = sceneManager();
    if (!manager) {
        return;
    }
    if (!placeMarkedNode(parentEntityNode, getName() + "_light_mesh", getName() + "_light_entity", kMarkerRadius,
                         kMarkerMaterial)) {
        return;
    }
    if (manager->hasLight(getName())) {
        manager->destroyLight(getName());
    }
    mLight = mNode->getCreator()->createLight(getName());
    if (mType.find("Dirc_Light") != std::string::npos) {
        mLight->setType(Ogre::Light::LT_DIRECTIONAL);
    } else if (isSpot()) {
        mLight->setType(Ogre::Light::LT_SPOTLIGHT);
        mLight->setSpotlightRange(Ogre::Degree(mSpotInner), Ogre::Degree(mSpotOuter), 1.0f);
    } else if (mType.find("Point_Light") != std::string::npos) {
        mLight->setType(Ogre::Light::LT_POINT);
    }
    mLight->setCastShadows(mCastShadows);
    mLight->setDiffuseColour(mDiffuse);
    mLight->setSpecularColour(mSpecular);
    applyAttenuation();
    mNode->attachObject(mLight);
    // Lights shine along their node's -Z: turn it to look straight down.
    mNode->setDirection(Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Node::TS_PARENT);
}

void LightDescription::destroy()
{
    if (!mObjects) {
        return;
    }
    Ogre::SceneManager* manager = sceneManager();
    if (mLight && manager) {
        mLight->detachFromParent();
        manager->destroyLight(mLight);
    }
    mLight = nullptr;
    destroyMarkedNode(getName() + "_light_entity");
}

void LightDescription::setDiffuse(const Ogre::ColourValue& colour)
{
    mDiffuse = colour;
    if (mLight) {
        mLight->setDiffuseColour(colour);
    }
}

void LightDescription::setSpecular(const Ogre::ColourValue& colour)
{
    mSpecular = colour;
    if (mLight) {
        mLight->setSpecularColour(colour);
    }
}

void LightDescription::setSpotRange(Ogre::Real innerDegrees, Ogre::Real outerDegrees)
{
    mSpotInner = innerDegrees;
    mSpotOuter = outerDegrees;
    if (mLight && isSpot()) {
        mLight->setSpotlightRange(Ogre::Degree(mSpotInner), Ogre::Degree(mSpotOuter), 1.0f);
    }
}

void LightDescription::applyAttenuation()
{
    if (mLight) {
        mLight->setAttenuation(mRange, mConstant, mLinear, mQuadratic);
    }
}

void LightDescription::setRange(Ogre::Real range)
{
    mRange = range;
    applyAttenuation();
}

void LightDescription::setConstant(Ogre::Real constant)
{
    mConstant = constant;
    applyAttenuation();
}

void LightDescription::setLinear(Ogre::Real linear)
{
    mLinear = linear;
    applyAttenuation();
}

void LightDescription::setQuadratic(Ogre::Real quadratic)
{
    mQuadratic = quadratic;
    applyAttenuation();
}

void LightDescription::setCastShadows(bool castShadows)
{
    mCastShadows = castShadows;
    if (mLight) {
        mLight->setCastShadows(castShadows);
    }
}

} // namespace Kelvo
