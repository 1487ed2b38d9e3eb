#pragma once

#include "scene/XMLDescription.h"

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// The scene-wide shadow technique: the <shadow> element.
class ShadowDescription : public XMLDescription {
public:
    static const char* const kNone;

    explicit ShadowDescription(const std::string& type = kNone) : mType(type) {}

    std::string getTypeName() const override { return "Shadow"; }
    std::string toXml() const override;

    const std::string& getType() const { return mType; }
    void setType(const std::string& type) { mType = type; }

    // Sets the scene manager's technique; an unknown word changes nothing.
    // Returns whether the word was known.
    bool apply(Ogre::SceneManager* manager) const;

private:
    std::string mType;
};

} // namespace Kelvo
