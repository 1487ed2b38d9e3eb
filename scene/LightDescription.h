#pragma once

#include "scene/PlacedDescription.h"

#include <OgreColourValue.h>
#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// An engine light: the <light> element, with its marker sphere. The kind is
// found by substring in the type word ("Point_Light", "Spot_Light",
// "Dirc_Light"); lights always shine straight down.
class LightDescription : public PlacedDescription {
public:
    static const Ogre::Real kDefaultSpotInner;
    static const Ogre::Real kDefaultSpotOuter;

    LightDescription(const std::string& name, const std::string& type);

    std::string getTypeName() const override { return "Light"; }
    std::string toXml() const override;

    // Makes the light, its marker and its node under the parent entity's
    // node; when null, under the node it was placed under, else under the
    // loader's root node.
    void realise(Ogre::SceneNode* parentEntityNode);
    void destroy();

    bool isSpot() const;

    const std::string& getType() const { return mType; }
    const Ogre::ColourValue& getDiffuse() const { return mDiffuse; }
    const Ogre::ColourValue& getSpecular() const { return mSpecular; }
    Ogre::Real getSpotInner() const { return mSpotInner; }
    Ogre::Real getSpotOuter() const { return mSpotOuter; }
    Ogre::Real getRange() const { return mRange; }
    Ogre::Real getConstant() const { return mConstant; }
    Ogre::Real getLinear() const { return mLinear; }
    Ogre::Real getQuadratic() const { return mQuadratic; }
    bool getCastShadows() const { return mCastShadows; }
    Ogre::Light* getLight() const { return mLight; }

    void setType(const std::string& type) { mType = type; }
    void setDiffuse(const Ogre::ColourValue& colour);
    void setSpecular(const Ogre::ColourValue& colour);
    void setSpotRange(Ogre::Real innerDegrees, Ogre::Real outerDegrees);
    void setRange(Ogre::Real range);
    void setConstant(Ogre::Real constant);
    void setLinear(Ogre::Real linear);
    void setQuadratic(Ogre::Real quadratic);
    void setCastShadows(bool castShadows);

private:
    void applyAttenuation();

    std::string mType;
    Ogre::Light* mLight = nullptr;
    Ogre::ColourValue mDiffuse = Ogre::ColourValue::White;
    Ogre::ColourValue mSpecular = Ogre::ColourValue::White;
    Ogre::Real mSpotInner = kDefaultSpotInner;
    Ogre::Real mSpotOuter = kDefaultSpotOuter;
    Ogre::Real mRange = 10000;
    Ogre::Real mConstant = 1;
    Ogre::Real mLinear = 1;
    Ogre::Real mQuadratic = 0;
    bool mCastShadows = true;
};

} // namespace Kelvo
