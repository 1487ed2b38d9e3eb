#include "scene/ExternDescription.h"

#include "scene/SceneText.h"

#include <OgreSceneNode.h>

namespace Kelvo {

std::string ExternDescription::toXml() const
{
    using namespace SceneText;
    const Ogre::Vector3 position = mNode ? mNode->getPosition() : Ogre::Vector3::ZERO;
    const Ogre::Quaternion orientation = mNode ? mNode->getOrientation() : Ogre::Quaternion::IDENTITY;
    const Ogre::Vector3 scale = mNode ? mNode->getScale() : Ogre::Vector3::UNIT_SCALE;
    std::string xml = "\t\t<extern filename=\"" + escape(mFileName) + "\">\n";
    xml += "\t\t\t<position" + xyz(position) + " />\n";
    xml += "\t\t\t<rotation  x=\"" + real(orientation.x) + "\" y=\"" + real(orientation.y) + "\" z=\"" +
           real(orientation.z) + "\" w=\"" + real(orientation.w) + "\" />\n";
    xml += "\t\t\t<scale " + xyz(scale) + " />\n";
    xml += "\t\t</extern>\n";
    return xml;
}

} // namespace Kelvo
