// Shows every story picture the way the play state's picture fader does: a
// full-screen overlay panel with the picture's material, its first texture
// unit's alpha set through the same alpha operation (texture alpha times a
// manual value). Each picture is drawn fully faded in, half faded and faded
// out over a coloured background, and the rendered pixels are compared with
// the picture file blended by hand; a material that ignores the fader (no
// blending, lighting on, a wrong texture, a flipped picture) fails. The
// frames at full strength and the menu background land in a labelled
// contact sheet, pictures_contact_sheet.png.
//
//   kelvo_picture_render --media DIR --out DIR
//
// Exit status 0 when every picture passed, 1 on a failed check, 2 on bad
// arguments or an engine that cannot start.

#include "GameMedia.h"
#include "PictureTable.h"
#include "TinyFont.h"
#include "WindowedGL.h"

#include <OGRE/Ogre.h>
#include <OGRE/Overlay/OgreOverlay.h>
#include <OGRE/Overlay/OgreOverlayContainer.h>
#include <OGRE/Overlay/OgreOverlayManager.h>
#include <OGRE/Overlay/OgreOverlaySystem.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

using KelvoMedia::kPictureHeight;
using KelvoMedia::kPictureWidth;
using KelvoMedia::ExpectedPicture;

constexpr int kTileWidth = 256;
constexpr int kTileHeight = 192;
constexpr int kLabel = 14;
constexpr int kColumns = 4;
// whatever the pictures lie over in the game (the black panel, the world):
// a colour no picture has, so a picture that hides it when it should not shows
const Ogre::ColourValue kBehind(0.85f, 0.45f, 0.15f);

struct Frame {
    std::vector<unsigned char> rgb;  // kPictureWidth x kPictureHeight x 3
};

class PictureRenderer {
public:
    ~PictureRenderer()
    {
        mTexture.reset();
        delete mOverlays;
        delete mRoot;
        delete mLog;
    }

    bool start(const std::string& mediaDir, const std::string& outDir)
    {
        mLog = new Ogre::LogManager();
        mLog->createLog(outDir + "/picture_render.log", true, false, false);
        mRoot = new Ogre::Root("", "", "");
        // the media folder's particle and overlay scripts parse with the group
        if (!KelvoTest::selectWindowedGL(*mRoot, "1024 x  768", true, KelvoTest::ImageCodec::Stbi)) {
            std::cerr << "the OpenGL render system is not available\n";
            return false;
        }
        mOverlays = new Ogre::OverlaySystem();
        mRoot->initialise(false);
        mRoot->createRenderWindow("kelvo picture render", 64, 64, false);
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(KELVO_FONT_DIR, "FileSystem", "General");
        KelvoTest::addGameMedia(mediaDir);
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();

        Ogre::SceneManager* scene = mRoot->createSceneManager();
        scene->addRenderQueueListener(mOverlays);
        Ogre::Camera* camera = scene->createCamera("camera");
        scene->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
        mTexture = Ogre::TextureManager::getSingleton().createManual(
            "kelvo_picture_target", "General", Ogre::TEX_TYPE_2D, kPictureWidth, kPictureHeight, 0,
            Ogre::PF_R8G8B8, Ogre::TU_RENDERTARGET);
        mTarget = mTexture->getBuffer()->getRenderTarget();
        Ogre::Viewport* vp = mTarget->addViewport(camera);
        vp->setBackgroundColour(kBehind);
        vp->setOverlaysEnabled(true);

        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        mPanel = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "PicturePanel"));
        mPanel->setMetricsMode(Ogre::GMM_PIXELS);
        mPanel->setPosition(0, 0);
        mPanel->setDimensions(kPictureWidth, kPictureHeight);
        mOverlay = overlays.create("PictureOverlay");
        mOverlay->add2D(mPanel);
        mOverlay->setZOrder(650);
        mOverlay->show();
        return true;
    }

    // Puts a material on the panel and sets its alpha exactly as the fader does.
    bool show(const std::string& material, float alpha)
    {
        Ogre::MaterialPtr m = Ogre::MaterialManager::getSingleton().getByName(material, "General");
        if (!m) {
            return false;
        }
        mPanel->setMaterialName(material);
        m->load();
        Ogre::Technique* technique = m->getBestTechnique();
        if (!technique || technique->getNumPasses() == 0 || technique->getPass(0)->getNumTextureUnitStates() == 0) {
            return false;
        }
        technique->getPass(0)->getTextureUnitState(0)->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE,
                                                                         Ogre::LBS_MANUAL, 1.0f, alpha, 0.0f);
        return true;
    }

    Frame render()
    {
        mTarget->update();
        Frame frame;
        frame.rgb.resize(size_t(kPictureWidth) * kPictureHeight * 3);
        Ogre::PixelBox box(kPictureWidth, kPictureHeight, 1, Ogre::PF_BYTE_RGB, frame.rgb.data());
        mTarget->copyContentsToMemory(Ogre::Box(0, 0, kPictureWidth, kPictureHeight), box);
        return frame;
    }

private:
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::OverlaySystem* mOverlays = nullptr;
    Ogre::TexturePtr mTexture;
    Ogre::RenderTarget* mTarget = nullptr;
    Ogre::OverlayContainer* mPanel = nullptr;
    Ogre::Overlay* mOverlay = nullptr;
};

// What the fader should produce: the picture file blended over the
// background by its own alpha times the fader's value.
Frame expected(const Ogre::Image& picture, float fade)
{
    Frame frame;
    frame.rgb.resize(size_t(kPictureWidth) * kPictureHeight * 3);
    for (unsigned y = 0; y < kPictureHeight; ++y) {
        for (unsigned x = 0; x < kPictureWidth; ++x) {
            const Ogre::ColourValue c = picture.getColourAt(x, y, 0);
            const float a = c.a * fade;
            unsigned char* out = &frame.rgb[(size_t(y) * kPictureWidth + x) * 3];
            const float channels[3] = {c.r * a + kBehind.r * (1 - a), c.g * a + kBehind.g * (1 - a),
                                       c.b * a + kBehind.b * (1 - a)};
            for (int k = 0; k < 3; ++k) {
                out[k] = static_cast<unsigned char>(std::lround(std::min(1.0f, std::max(0.0f, channels[k])) * 255.0f));
            }
        }
    }
    return frame;
}

double meanDifference(const Frame& a, const Frame& b)
{
    double total = 0.0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    }
    return total / double(a.rgb.size());
}

void addTile(std::vector<unsigned char>& sheet, int sheetWidth, int index, const Frame& frame,
             const std::string& label)
{
    const int ox = (index % kColumns) * kTileWidth;
    const int oy = (index / kColumns) * (kTileHeight + kLabel);
    const int step = kPictureWidth / kTileWidth;
    for (int y = 0; y < kTileHeight; ++y) {
        for (int x = 0; x < kTileWidth; ++x) {
            // a box filter over the step x step pixels the tile pixel covers
            int sum[3] = {0, 0, 0};
            for (int sy = 0; sy < step; ++sy) {
                for (int sx = 0; sx < step; ++sx) {
                    const unsigned char* p =
                        &frame.rgb[(size_t(y * step + sy) * kPictureWidth + size_t(x * step + sx)) * 3];
                    for (int k = 0; k < 3; ++k) {
                        sum[k] += p[k];
                    }
                }
            }
            unsigned char* out = &sheet[(size_t(oy + y) * sheetWidth + size_t(ox + x)) * 3];
            for (int k = 0; k < 3; ++k) {
                out[k] = static_cast<unsigned char>(sum[k] / (step * step));
            }
        }
    }
    KelvoMedia::drawText(sheet.data(), sheetWidth, int(sheet.size() / 3 / sheetWidth), ox + 4, oy + kTileHeight + 4,
                         label, 230, 220, 200);
}

} // namespace

int main(int argc, char** argv)
{
    std::string mediaDir;
    std::string outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--media" || arg == "--out") && i + 1 < argc) {
            (arg == "--media" ? mediaDir : outDir) = argv[++i];
        } else {
            std::cerr << "usage: kelvo_picture_render --media DIR --out DIR (unknown or incomplete: " << arg << ")\n";
            return 2;
        }
    }
    if (mediaDir.empty() || outDir.empty()) {
        std::cerr << "usage: kelvo_picture_render --media DIR --out DIR\n";
        return 2;
    }

    PictureRenderer renderer;
    try {
        if (!renderer.start(mediaDir, outDir)) {
            return 2;
        }
    } catch (const Ogre::Exception& e) {
        std::cerr << "the engine does not start: " << e.getDescription() << "\n";
        return 2;
    }

    const auto& pictures = KelvoMedia::storyPictures();
    const int tiles = int(pictures.size()) + 1;
    const int sheetWidth = kColumns * kTileWidth;
    const int sheetHeight = ((tiles + kColumns - 1) / kColumns) * (kTileHeight + kLabel);
    std::vector<unsigned char> sheet(size_t(sheetWidth) * sheetHeight * 3, 24);

    int failures = 0;
    int index = 0;
    for (const ExpectedPicture& wanted : pictures) {
        try {
            Ogre::Image picture;
            picture.load(wanted.texture, "General");
            if (picture.getWidth() != kPictureWidth || picture.getHeight() != kPictureHeight) {
                std::cerr << "FAIL " << wanted.material << ": " << wanted.texture << " is " << picture.getWidth() << " x "
                          << picture.getHeight() << "\n";
                ++failures;
                continue;
            }
            // within a few levels: filtering and the render system's rounding
            bool ok = true;
            Frame full;
            for (float fade : {1.0f, 0.5f, 0.0f}) {
                if (!renderer.show(wanted.material, fade)) {
                    std::cerr << "FAIL " << wanted.material << ": no such material with a texture unit\n";
                    ok = false;
                    break;
                }
                Frame shown = renderer.render();
                const double diff = meanDifference(shown, expected(picture, fade));
                std::printf("%-16s fade %.1f: mean difference %.2f levels\n", wanted.material.c_str(), fade, diff);
                if (diff > 3.0) {
                    std::cerr << "FAIL " << wanted.material << " at fade " << fade
                              << " does not show as the picture blended by the fader (mean difference " << diff
                              << " levels)\n";
                    ok = false;
                }
                if (fade == 1.0f) {
                    full = shown;
                }
            }
            if (!ok) {
                ++failures;
            }
            if (!full.rgb.empty()) {
                addTile(sheet, sheetWidth, index, full, wanted.material);
            }
        } catch (const Ogre::Exception& e) {
            std::cerr << "FAIL " << wanted.material << ": " << e.getDescription() << "\n";
            ++failures;
        }
        ++index;
    }

    // the menu's background is drawn by the GUI, not by a fader: shown here as it is
    try {
        Ogre::Image menu;
        menu.load(KelvoMedia::menuBackground(), "General");
        Frame frame = expected(menu, 1.0f);
        addTile(sheet, sheetWidth, index, frame, KelvoMedia::menuBackground());
    } catch (const Ogre::Exception& e) {
        std::cerr << "FAIL " << KelvoMedia::menuBackground() << ": " << e.getDescription() << "\n";
        ++failures;
    }

    Ogre::Image image;
    image.loadDynamicImage(sheet.data(), sheetWidth, sheetHeight, 1, Ogre::PF_BYTE_RGB);
    const std::string path = outDir + "/pictures_contact_sheet.png";
    image.save(path);
    std::printf("contact sheet: %s\n", path.c_str());
    if (failures) {
        std::printf("%d picture(s) failed\n", failures);
        return 1;
    }
    std::printf("all %zu pictures show as the fader expects\n", pictures.size());
    return 0;
}
