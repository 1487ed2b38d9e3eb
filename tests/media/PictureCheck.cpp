// The story pictures and the menu background, checked headless inside the
// media check: the materials the play state fades, the images at the size
// the screens are laid out for, and what makes them pictures rather than
// text on black (light and detail, no two alike, a see-through sky where
// the credits need one, a quiet left side in the menu for its buttons).

#include "PictureTable.h"

#include <OGRE/Ogre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using KelvoMedia::kPictureHeight;
using KelvoMedia::kPictureWidth;
using KelvoMedia::ExpectedPicture;

// Luminance and alpha on a grid of every 4th pixel: plenty for statistics.
struct Samples {
    int columns = 0;
    int rows = 0;
    std::vector<float> luma;
    std::vector<float> alpha;
    float at(int x, int y) const { return luma[size_t(y) * columns + x]; }
};

Samples sample(const std::string& file)
{
    Ogre::Image image;
    image.load(file, "General");
    Samples s;
    s.columns = int(image.getWidth() / 4);
    s.rows = int(image.getHeight() / 4);
    for (int y = 0; y < s.rows; ++y) {
        for (int x = 0; x < s.columns; ++x) {
            const Ogre::ColourValue c = image.getColourAt(x * 4, y * 4, 0);
            s.luma.push_back(0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b);
            s.alpha.push_back(c.a);
        }
    }
    return s;
}

// Mean of |luma - neighbour| over a column range: how busy that part is.
float busyness(const Samples& s, int fromColumn, int toColumn)
{
    double total = 0.0;
    int count = 0;
    for (int y = 0; y + 1 < s.rows; ++y) {
        for (int x = fromColumn; x + 1 < toColumn; ++x) {
            total += std::fabs(s.at(x, y) - s.at(x + 1, y)) + std::fabs(s.at(x, y) - s.at(x, y + 1));
            ++count;
        }
    }
    return count ? float(total / count) : 0.0f;
}

float mean(const Samples& s, int fromColumn, int toColumn)
{
    double total = 0.0;
    int count = 0;
    for (int y = 0; y < s.rows; ++y) {
        for (int x = fromColumn; x < toColumn; ++x) {
            total += s.at(x, y);
            ++count;
        }
    }
    return count ? float(total / count) : 0.0f;
}

TEST(PictureCheck, EveryStoryPictureIsAnOverlayMaterialTheFaderCanFade)
{
    for (const ExpectedPicture& expected : KelvoMedia::storyPictures()) {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(expected.material, "General");
        ASSERT_TRUE(material) << expected.material << " is not defined";
        ASSERT_GT(material->getNumTechniques(), 0u) << expected.material;
        const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        ASSERT_GT(pass->getNumTextureUnitStates(), 0u) << expected.material << " has no texture unit for the fader";
        const Ogre::TextureUnitState* unit = pass->getTextureUnitState(0);
        EXPECT_EQ(unit->getTextureName(), expected.texture) << expected.material;
        // the fader modulates the texture's alpha: without alpha blending the
        // picture would pop in and out instead of cross-fading
        EXPECT_EQ(pass->getSourceBlendFactor(), Ogre::SBF_SOURCE_ALPHA) << expected.material << " does not blend by alpha";
        EXPECT_EQ(pass->getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA) << expected.material;
        EXPECT_FALSE(pass->getLightingEnabled()) << expected.material << " is lit: the panel has no normals";
        EXPECT_FALSE(pass->getDepthWriteEnabled()) << expected.material;
        EXPECT_EQ(unit->getTextureAddressingMode().u, Ogre::TAM_CLAMP)
            << expected.material << " wraps: the picture's far edge bleeds into the near one";
    }
}

TEST(PictureCheck, PicturesAreFullScreenImagesWithTheRightTransparency)
{
    std::vector<ExpectedPicture> all = KelvoMedia::storyPictures();
    all.push_back({"", KelvoMedia::menuBackground()});
    for (const ExpectedPicture& expected : all) {
        Ogre::Image image;
        ASSERT_NO_THROW(image.load(expected.texture, "General")) << expected.texture;
        EXPECT_EQ(image.getWidth(), kPictureWidth) << expected.texture;
        EXPECT_EQ(image.getHeight(), kPictureHeight) << expected.texture;
        const Samples s = sample(expected.texture);
        size_t clear = 0;
        size_t solid = 0;
        for (float a : s.alpha) {
            clear += a < 0.9f;
            solid += a > 0.99f;
        }
        const double clearShare = double(clear) / s.alpha.size();
        if (expected.seeThrough) {
            EXPECT_GT(clearShare, 0.2) << expected.texture << " hides the scene it is laid over";
            EXPECT_GT(double(solid) / s.alpha.size(), 0.3) << expected.texture << " is see-through all over";
        } else {
            EXPECT_EQ(clear, 0u) << expected.texture << " has see-through parts: the world would show through them";
        }
    }
}

TEST(PictureCheck, PicturesAreIllustratedAndNoTwoAlike)
{
    std::vector<std::string> files;
    for (const ExpectedPicture& expected : KelvoMedia::storyPictures()) {
        files.push_back(expected.texture);
    }
    files.push_back(KelvoMedia::menuBackground());
    std::vector<Samples> samples;
    for (const std::string& file : files) {
        samples.push_back(sample(file));
        const Samples& s = samples.back();
        size_t black = 0;
        for (float l : s.luma) {
            black += l < 0.03f;
        }
        // dark scenes are fine; a card that is mostly flat black is text on black
        EXPECT_LT(double(black) / s.luma.size(), 0.5) << file << " is mostly black";
        EXPECT_GT(busyness(s, 0, s.columns), 0.004f) << file << " has hardly any shapes in it";
        EXPECT_GT(mean(s, 0, s.columns), 0.06f) << file << " is too dark to see";
    }
    for (size_t i = 0; i < samples.size(); ++i) {
        for (size_t j = i + 1; j < samples.size(); ++j) {
            double diff = 0.0;
            for (size_t k = 0; k < samples[i].luma.size(); ++k) {
                diff += std::fabs(samples[i].luma[k] - samples[j].luma[k]);
            }
            EXPECT_GT(diff / samples[i].luma.size(), 0.03) << files[i] << " and " << files[j] << " look the same";
        }
    }
}

TEST(PictureCheck, MenuBackgroundLeavesItsLeftSideQuietForTheButtons)
{
    const Samples s = sample(KelvoMedia::menuBackground());
    const int split = s.columns * 2 / 5;
    const float leftBusy = busyness(s, 0, split);
    const float rightBusy = busyness(s, split, s.columns);
    EXPECT_LT(leftBusy, 0.5f * rightBusy) << "the buttons' side is as busy as the rest (" << leftBusy << " against "
                                          << rightBusy << ")";
    EXPECT_LT(mean(s, 0, split), mean(s, split, s.columns)) << "the buttons' side is the brighter one";
}

} // namespace
