#include "scene/SceneText.h"

#include <OgreStringConverter.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>

namespace Kelvo {
namespace SceneText {

// The stream's default form with precision 6 is printf's "%.6g"; printing it
// directly spares a string stream per number, which made saving slow.
std::string real(Ogre::Real value)
{
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof(buffer), "%.6g", static_cast<double>(value));
    return std::string(buffer, static_cast<size_t>(length));
}

std::string degrees(Ogre::Degree angle)
{
    return real(angle.valueDegrees());
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
    // The common case, a plain decimal number filling the whole text, reads
    // far faster with from_chars and gives atof's value; anything else
    // (blanks, a plus sign, trailing text) goes through atof itself.
    const char* end = text + std::strlen(text);
    double value = 0;
    const std::from_chars_result read = std::from_chars(text, end, value);
    if (read.ec != std::errc() || read.ptr != end) {
        value = std::atof(text);
    }
    return finiteOr(value, fallback, rejected);
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
