#pragma once

#include <OgreColourValue.h>
#include <OgreImage.h>

#include <cstddef>
#include <string>

namespace Kelvo {

// A one-pixel-high colour strip sampled by the time of day (t in [0, 1)):
// the sky, haze and sun colours of the sky dome. Between two pixels the
// colours blend; past the last pixel the strip wraps to the first, so
// midnight joins up.
class ColourGradient {
public:
    ColourGradient() = default;

    // Loads the picture from a resource group. A missing or unreadable
    // picture leaves the gradient empty (it samples black) and logs why.
    bool load(const std::string& imageName, const std::string& group = "General");
    bool isLoaded() const { return mWidth > 0; }

    // t outside [0, 1) is wrapped into it; an empty gradient gives black.
    const Ogre::ColourValue& getColour(float t);

    std::size_t getWidth() const { return mWidth; }
    std::size_t getBytesPerPixel() const { return mBytesPerPixel; }
    float getBlend() const { return mBlend; }

private:
    Ogre::ColourValue pixelAt(std::size_t byte) const;

    Ogre::Image mImage;
    const unsigned char* mData = nullptr;
    std::size_t mBytesPerPixel = 3;
    std::size_t mWidth = 0;
    Ogre::ColourValue mColour1 = Ogre::ColourValue::Black;
    Ogre::ColourValue mColour2 = Ogre::ColourValue::Black;
    float mBlend = 0;
    Ogre::ColourValue mColour = Ogre::ColourValue::Black;
};

} // namespace Kelvo
