#include "scene/SceneText.h"

#include <OgreStringConverter.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Kelvo {
namespace SceneText {

std::string real(Ogre::Real value)
{
    return Ogre::StringConverter::toString(value, 6, 0, ' ', std::ios::fmtflags(0));
}

std::string degrees(Ogre::Degree angle)
{
    return Ogre::StringConverter::toString(angle, 6, 0, ' ', std::ios::fmtflags(0));
}

std::string escape(const std::string& text)
{
    // Plain names, the usual case, come back unchanged and unallocated.
    if (text.find_first_of("&<>\"'") == std::string::npos) {
        return text;
    }
    std::string escaped;
    escaped.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string xyz(const Ogre::Vector3& value)
{
    return " x=\"" + real(value.x) + "\" y=\"" + real(value.y) + "\" z=\"" + real(value.z) + "\"";
}

const char* attribute(const char** attributes, const char* name)
{
    for (int i = 0; attributes && attributes[i]; i += 2) {
        if (std::strcmp(attributes[i], name) == 0) {
            return attributes[i + 1];
        }
    }
    return nullptr;
}

namespace {

Ogre::Real finiteOr(double value, Ogre::Real fallback, bool& rejected)
{
    const Ogre::Real narrowed = static_cast<Ogre::Real>(value);
    if (!std::isfinite(narrowed)) {
        rejected = true;
        return fallback;
    }
    return narrowed;
}

} // namespace

Ogre::Real transformValue(const char* text, Ogre::Real fallback, bool& rejected)
{
    if (!text) {
        return fallback;
    }
    return finiteOr(std::atof(text), fallback, rejected);
}

Ogre::Real plainValue(const char* text, Ogre::Real fallback, bool& rejected)
{
    if (!text) {
        return fallback;
    }
    return finiteOr(Ogre::StringConverter::parseReal(text, 0), fallback, rejected);
}

} // namespace SceneText
} // namespace Kelvo
