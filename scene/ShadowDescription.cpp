#include "scene/ShadowDescription.h"

#include "scene/SceneObjects.h"
#include "scene/SceneText.h"

#include <OgreSceneManager.h>

namespace Kelvo {

namespace {
const unsigned short kShadowTextureSize = 2048;
const Ogre::Real kShadowFarDistance = 45;
} // namespace

const char* const ShadowDescription::kNone = "NONE";

std::string ShadowDescription::toXml() const
{
    return "\t<shadow type=\"" + SceneText::escape(mType) + "\" />\n";
}

bool ShadowDescription::apply(Ogre::SceneManager* manager) const
{
    if (!manager) {
        return false;
    }
    // Shadow techniques are set up by the render system; tools that load
    // scenes without one keep the scene unshadowed.
    if (!manager->getDestinationRenderSystem()) {
        SceneObjects::logProblem("Scene: no render system, shadow type '" + mType + "' not applied");
        return false;
    }
    if (mType == "STENCIL_MODULATIVE") {
        manager->setShadowTechnique(Ogre::SHADOWTYPE_STENCIL_MODULATIVE);
    } else if (mType == "STENCIL_ADDITIVE") {
        manager->setShadowTechnique(Ogre::SHADOWTYPE_STENCIL_ADDITIVE);
    } else if (mType == "TEXTURE_MODULATIVE") {
        manager->setShadowTechnique(Ogre::SHADOWTYPE_TEXTURE_MODULATIVE);
        manager->setShadowTextureSize(kShadowTextureSize);
        manager->setShadowFarDistance(kShadowFarDistance);
    } else if (mType == "TEXTURE_ADDITIVE") {
        manager->setShadowTechnique(Ogre::SHADOWTYPE_TEXTURE_ADDITIVE);
    } else if (mType == kNone) {
        manager->setShadowTechnique(Ogre::SHADOWTYPE_NONE);
    } else {
        SceneObjects::logProblem("Scene: unknown shadow type '" + mType + "', shadows left as they were");
        return false;
    }
    return true;
}

} // namespace Kelvo
