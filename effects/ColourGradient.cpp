#include "effects/ColourGradient.h"

#include "platform/Log.h"

#include <Ogre.h>

#include <cmath>

namespace Kelvo {

bool ColourGradient::load(const std::string& imageName, const std::string& group)
{
    mData = nullptr;
    mWidth = 0;
    mColour = mColour1 = mColour2 = Ogre::ColourValue::Black;
    mBlend = 0;
    try {
        mImage.load(imageName, group);
    } catch (const Ogre::Exception& e) {
        logWarning("ColourGradient: cannot load \"" + imageName +
                   "\", its colours stay black: " + e.getDescription());
        return false;
    }
    // The samples read each pixel's bytes as blue, green, red (and alpha).
    // Codecs hand over whatever order the file had (PNG gives red first), so
    // the picture is brought into that byte order here; reading a red-first
    // picture as blue-first would turn the noon sky orange.
    const bool alpha = Ogre::PixelUtil::hasAlpha(mImage.getFormat());
    const Ogre::PixelFormat wanted = alpha ? Ogre::PF_BYTE_BGRA : Ogre::PF_BYTE_BGR;
    if (mImage.getFormat() != wanted) {
        Ogre::Image converted(wanted, mImage.getWidth(), mImage.getHeight());
        Ogre::PixelUtil::bulkPixelConversion(mImage.getPixelBox(), converted.getPixelBox());
        mImage = converted;
    }
    mBytesPerPixel = alpha ? 4 : 3;
    // Only the first row counts: the strips are one pixel high.
    mWidth = mImage.getWidth();
    mData = mImage.getData();
    if (mWidth == 0 || mData == nullptr) {
        logWarning("ColourGradient: \"" + imageName +
                   "\" has no pixels, its colours stay black");
        mWidth = 0;
        mData = nullptr;
        return false;
    }
    return true;
}

Ogre::ColourValue ColourGradient::pixelAt(std::size_t byte) const
{
    const unsigned char* p = mData + byte;
    const float a = mBytesPerPixel == 4 ? p[3] / 256.0f : 1.0f;
    return Ogre::ColourValue(p[2] / 256.0f, p[1] / 256.0f, p[0] / 256.0f, a);
}

const Ogre::ColourValue& ColourGradient::getColour(float t)
{
    if (mWidth == 0) {
        mColour = Ogre::ColourValue::Black;
        return mColour;
    }
    if (!std::isfinite(t)) {
        t = 0;
    }
    t -= std::floor(t);
    const std::size_t bpp = mBytesPerPixel;
    const float x = static_cast<float>(mWidth) * t;
    // rounding can put t just below 1 onto the pixel past the end
    std::size_t pixel = static_cast<std::size_t>(std::floor(x));
    if (pixel >= mWidth) {
        pixel = mWidth - 1;
    }
    const std::size_t i = pixel * bpp;
    mColour1 = pixelAt(i);
    mBlend = (static_cast<float>(bpp) * x - static_cast<float>(i)) / static_cast<float>(bpp);
    const std::size_t j = (bpp + i) % (bpp * mWidth);
    mColour2 = pixelAt(j);
    mColour = mColour1 + (mColour2 - mColour1) * mBlend;
    return mColour;
}

} // namespace Kelvo
