#pragma once

#include <OgreMath.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// The number and text forms of scene files, shared by every record's writer
// and by the reader. Reals are written in the stream's general form with six
// significant digits (0, 1.5, 100, 0.25); names are escaped so that quotes,
// "<" and "&" survive a round trip through the XML parser.
namespace SceneText {

std::string real(Ogre::Real value);
std::string degrees(Ogre::Degree angle);
std::string escape(const std::string& text);

// ` x="..." y="..." z="..."`
std::string xyz(const Ogre::Vector3& value);

// Finds an attribute in expat's name/value array; null when absent.
const char* attribute(const char** attributes, const char* name);

// Reads a real as the file's transform values are read (C atof). A value
// that is not finite is replaced by the fallback, so NaN and infinities never
// reach the scene graph; `rejected` is set when that happened.
Ogre::Real transformValue(const char* text, Ogre::Real fallback, bool& rejected);

// Reads a real as the other attributes are read (0 when not a number);
// non-finite values become the fallback as above.
Ogre::Real plainValue(const char* text, Ogre::Real fallback, bool& rejected);

} // namespace SceneText

} // namespace Kelvo
