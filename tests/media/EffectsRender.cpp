// Renders the props and the effects with the GL render system (under Xvfb
// in the test suite) and checks that each shows and works:
//  - every material of the media compiles (GLSL included) and can be drawn;
//  - every prop is visible (props_contact_sheet.png, the hero beside each
//    for scale);
//  - each post effect of the play state's chain, and "Motion Blur" built in
//    code as the game builds it, changes the picture when enabled (the
//    animated ones also change over time);
//  - each particle template shows particles; the water mixes in its
//    reflection; the fader's alpha darkens the picture by the amount set;
//    the debug overlay and the crosshair draw; the sky dome takes the day's
//    colours (effects_contact_sheet.png).
//
//   kelvo_effects_render --media DIR --out DIR [--tile PIXELS]
//
// Exit status 0 when every check passed, 1 on a failed check, 2 on bad
// arguments or an engine that cannot start.

#include "GameMedia.h"
#include "LogCollector.h"
#include "PropTable.h"
#include "TinyFont.h"
#include "WindowedGL.h"

#include <OGRE/Ogre.h>
#include <OGRE/Overlay/OgreOverlay.h>
#include <OGRE/Overlay/OgreOverlayContainer.h>
#include <OGRE/Overlay/OgreOverlayElement.h>
#include <OGRE/Overlay/OgreOverlayManager.h>
#include <OGRE/Overlay/OgreOverlaySystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Tile {
    std::string label;
    std::vector<unsigned char> rgb;
};

// Fraction of pixels whose largest channel difference exceeds the threshold.
double changed(const Tile& a, const Tile& b, int threshold = 24)
{
    size_t count = 0;
    const size_t pixels = a.rgb.size() / 3;
    for (size_t i = 0; i < pixels; ++i) {
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            d = std::max(d, std::abs(int(a.rgb[i * 3 + c]) - int(b.rgb[i * 3 + c])));
        }
        count += d > threshold;
    }
    return pixels ? double(count) / double(pixels) : 0.0;
}

Ogre::ColourValue mean(const Tile& t, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1, int size = 0)
{
    if (x1 < 0) {
        x1 = y1 = size;
    }
    double r = 0, g = 0, b = 0;
    size_t n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &t.rgb[(size_t(y) * size + x) * 3];
            r += p[0];
            g += p[1];
            b += p[2];
            ++n;
        }
    }
    return Ogre::ColourValue(float(r / n / 255.0), float(g / n / 255.0), float(b / n / 255.0));
}

// The engine's errors and failed shader compilations while the effects
// render. The driver's extension list names extensions with "error" in them.
bool isRenderError(const std::string& line, Ogre::LogMessageLevel level)
{
    Ogre::String lower = line;
    Ogre::StringUtil::toLowerCase(lower);
    if (lower.rfind("gl_extensions", 0) == 0 || lower.rfind("glx_extensions", 0) == 0) {
        return false;
    }
    return KelvoTest::isErrorLine(line, level) ||
           (lower.find("compil") != std::string::npos && lower.find("fail") != std::string::npos);
}

class Renderer {
public:
    Renderer(std::string media, std::string out, int tile) : mMedia(media), mOut(out), mTile(tile) {}

    ~Renderer()
    {
        mTexture.reset();
        delete mOverlays;
        delete mRoot;
        delete mLog;
    }

    bool start()
    {
        mLog = new Ogre::LogManager();
        mLog->createLog(mOut + "/effects_render.log", true, false, false)->addListener(&mErrors);
        mRoot = new Ogre::Root("", "", "");
        if (!KelvoTest::selectWindowedGL(*mRoot, "1024 x  768", true, KelvoTest::ImageCodec::Stbi)) {
            std::cerr << "the OpenGL render system is not available\n";
            return false;
        }
        mRoot->initialise(false);
        mRoot->createRenderWindow("kelvo effects render", 64, 64, false);
        mOverlays = new Ogre::OverlaySystem();
        auto& groups = Ogre::ResourceGroupManager::getSingleton();
        KelvoTest::addGameMedia(mMedia);
        groups.addResourceLocation(KELVO_FONT_DIR, "FileSystem", "General");
        groups.initialiseAllResourceGroups();

        mScene = mRoot->createSceneManager();
        mScene->addRenderQueueListener(mOverlays);
        mScene->setAmbientLight(Ogre::ColourValue(0.45f, 0.45f, 0.5f));
        Ogre::Light* sun = mScene->createLight("sun");
        sun->setType(Ogre::Light::LT_DIRECTIONAL);
        sun->setDiffuseColour(Ogre::ColourValue(1.0f, 0.95f, 0.85f));
        mScene->getRootSceneNode()->createChildSceneNode()->attachObject(sun);
        sun->getParentSceneNode()->setDirection(Ogre::Vector3(-0.5f, -0.8f, -0.4f).normalisedCopy(),
                                                Ogre::Node::TS_WORLD);
        mCamera = mScene->createCamera("camera");
        mCamera->setNearClipDistance(0.1f);
        mCamera->setFarClipDistance(5000.0f);
        mCamera->setFOVy(Ogre::Degree(40));
        mCamera->setAspectRatio(1.0f);
        mCameraNode = mScene->getRootSceneNode()->createChildSceneNode();
        mCameraNode->attachObject(mCamera);
        mCameraNode->setFixedYawAxis(true);
        mTexture = Ogre::TextureManager::getSingleton().createManual(
            "kelvo_effects_target", "General", Ogre::TEX_TYPE_2D, mTile, mTile, 0, Ogre::PF_R8G8B8,
            Ogre::TU_RENDERTARGET);
        mTarget = mTexture->getBuffer()->getRenderTarget();
        mViewport = mTarget->addViewport(mCamera);
        mViewport->setBackgroundColour(Ogre::ColourValue(0.62f, 0.7f, 0.78f));
        mViewport->setOverlaysEnabled(true);

        Ogre::MeshManager::getSingleton().createPlane("kelvo_ground", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0),
                                                      400, 400, 1, 1, true, 1, 20, 20, Ogre::Vector3::UNIT_Z);
        Ogre::MaterialPtr ground = Ogre::MaterialManager::getSingleton().create("kelvo_ground", "General");
        ground->getTechnique(0)->getPass(0)->setDiffuse(0.55f, 0.5f, 0.38f, 1.0f);
        ground->getTechnique(0)->getPass(0)->setAmbient(0.55f, 0.5f, 0.38f);
        mGround = mScene->createEntity("kelvo_ground", "kelvo_ground");
        mGround->setMaterialName("kelvo_ground");
        mScene->getRootSceneNode()->createChildSceneNode()->attachObject(mGround);
        return true;
    }

    bool fail(const std::string& what)
    {
        std::cerr << "FAIL " << what << "\n";
        mOk = false;
        return false;
    }

    // Every material compiles and has a technique this render system runs.
    void materialsCompile()
    {
        size_t count = 0;
        auto it = Ogre::MaterialManager::getSingleton().getResourceIterator();
        while (it.hasMoreElements()) {
            Ogre::MaterialPtr m = Ogre::static_pointer_cast<Ogre::Material>(it.getNext());
            if (m->getGroup() != "General" || m->getOrigin().empty()) {
                continue;
            }
            ++count;
            m->load();
            if (m->getSupportedTechniques().empty()) {
                fail(m->getName() + " has no technique GL can run: " + m->getUnsupportedTechniquesExplanation());
            }
        }
        for (const std::string& e : mErrors.lines()) {
            fail("the engine reported: " + e);
        }
        mErrors.clear();
        std::printf("%zu materials load and compile\n", count);
    }

    Tile grab(const std::string& label, float dt = 0.04f)
    {
        mRoot->renderOneFrame(dt);
        Tile t;
        t.label = label;
        t.rgb.resize(size_t(mTile) * mTile * 3);
        Ogre::PixelBox box(mTile, mTile, 1, Ogre::PF_BYTE_RGB, t.rgb.data());
        mTarget->copyContentsToMemory(Ogre::Box(0, 0, mTile, mTile), box);
        return t;
    }

    void look(const Ogre::Vector3& from, const Ogre::Vector3& at)
    {
        mCameraNode->setPosition(from);
        mCameraNode->lookAt(at, Ogre::Node::TS_WORLD);
    }

    void props(std::vector<Tile>& sheet)
    {
        Ogre::Entity* hero = nullptr;
        Ogre::SceneNode* heroNode = mScene->getRootSceneNode()->createChildSceneNode();
        if (Ogre::ResourceGroupManager::getSingleton().resourceExists("General", "hero.mesh")) {
            hero = mScene->createEntity("hero", "hero.mesh");
            heroNode->attachObject(hero);
        }
        for (const KelvoMedia::ExpectedProp& expected : KelvoMedia::props()) {
            Ogre::Entity* entity = mScene->createEntity(expected.mesh);
            Ogre::SceneNode* node = mScene->getRootSceneNode()->createChildSceneNode();
            node->attachObject(entity);
            const Ogre::AxisAlignedBox box = entity->getBoundingBox();
            const float reach = std::max(box.getSize().length() * 0.55f, 1.2f);
            heroNode->setPosition(box.getMaximum().x + 1.5f, 0, box.getMaximum().z * 0.5f);
            heroNode->setVisible(hero != nullptr);
            entity->setVisible(false);
            const Ogre::Vector3 centre = box.getCenter() + Ogre::Vector3(0.8f, 0, 0);
            look(centre + Ogre::Vector3(0.55f, 0.42f, 0.75f).normalisedCopy() * reach / std::tan(Ogre::Degree(20).valueRadians()),
                 centre);
            Tile empty = grab("");
            entity->setVisible(true);
            Tile tile = grab(expected.mesh);
            const double covered = changed(tile, empty);
            std::printf("%-22s covers %4.1f%% of its tile\n", expected.mesh.c_str(), covered * 100.0);
            if (covered < 0.02) {
                fail(expected.mesh + " is (nearly) invisible");
            }
            sheet.push_back(tile);
            mScene->destroySceneNode(node);
            mScene->destroyEntity(entity);
        }
        heroNode->setVisible(false);
    }

    // A small world to run the post effects over: ground, hut, palms, rocks
    // and a glowing ball for the blooms to catch.
    void testScene()
    {
        const std::pair<const char*, Ogre::Vector3> placed[] = {
            {"hut.mesh", {0, 0, -6}}, {"palm.mesh", {-9, 0, 2}}, {"rock_large.mesh", {7, 0, 3}},
            {"tree_fir.mesh", {10, 0, -14}}, {"barrel.mesh", {-2.5f, 0, 1.5f}}, {"crate.mesh", {-1.2f, 0, 2.2f}}};
        for (const auto& [mesh, at] : placed) {
            Ogre::SceneNode* n = mScene->getRootSceneNode()->createChildSceneNode(at);
            n->attachObject(mScene->createEntity(mesh));
            mWorld.push_back(n);
        }
        mBall = mScene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(2, 3, 3));
        mBall->attachObject(mScene->createEntity("box.mesh"));
        mBall->setScale(2.5f, 2.5f, 2.5f);
        look(Ogre::Vector3(4, 6, 20), Ogre::Vector3(0, 3, -2));
    }

    void compositors(std::vector<Tile>& sheet)
    {
        for (Ogre::SceneNode* n : mWorld) {
            n->setVisible(true);
        }
        mBall->setVisible(true);
        mGround->setVisible(true);
        look(Ogre::Vector3(4, 6, 20), Ogre::Vector3(0, 3, -2));
        Tile base = grab("no effect");
        sheet.push_back(base);
        buildMotionBlur();
        auto& manager = Ogre::CompositorManager::getSingleton();
        const char* chain[] = {"Bloom", "Invert", "Motion Blur", "fxplugin_filter_wounded", "fxplugin_filter_tonemap",
                               "fxplugin_filter_specular_bloom", "fxplugin_rain_window", "fxplugin/filter_filmgrain",
                               "fxplugin_filter_hatching"};
        for (const char* name : chain) {
            if (!manager.addCompositor(mViewport, name)) {
                fail(std::string(name) + " cannot be added to a viewport");
            }
        }
        for (const char* name : chain) {
            const std::string effect = name;
            manager.setCompositorEnabled(mViewport, effect, true);
            Tile first = grab(effect);
            Tile later = grab(effect, 0.3f);
            if (effect == "Motion Blur") {
                // a moving ball leaves a trail: compare with the effect off
                mBall->translate(-3, 0, 0);
                for (int i = 0; i < 4; ++i) {
                    mBall->translate(1.5f, 0, 0);
                    later = grab(effect);
                }
                manager.setCompositorEnabled(mViewport, effect, false);
                Tile sharp = grab("");
                manager.setCompositorEnabled(mViewport, effect, true);
                const double trail = changed(later, sharp, 12);
                std::printf("%-32s trail covers %4.1f%% of the tile\n", name, trail * 100.0);
                if (trail < 0.002) {
                    fail(effect + " leaves no trail behind a moving object");
                }
                mBall->setPosition(2, 3, 3);
                first = later;
            }
            const double change = changed(first, base, 20);
            const double motion = changed(first, later, 20);
            std::printf("%-32s changes %5.1f%% of the picture, %5.1f%% between two moments\n", name, change * 100.0,
                        motion * 100.0);
            const bool animated = effect == "fxplugin_filter_wounded" || effect == "fxplugin_rain_window" ||
                                  effect == "fxplugin/filter_filmgrain";
            // the specular bloom touches only the glints (here the ball)
            const double least = effect == "fxplugin_filter_specular_bloom" ? 0.015 : 0.05;
            if (effect != "Motion Blur" && change < least) {
                fail(effect + " hardly changes the picture");
            }
            if (animated && motion < 0.01) {
                fail(effect + " stands still over time");
            }
            sheet.push_back(first);
            manager.setCompositorEnabled(mViewport, effect, false);
        }
        manager.removeCompositorChain(mViewport);
    }

    // As the game does: scene -> sum (once), temp = Combine(scene, sum),
    // sum = Copyback(temp), output = MotionBlur(sum).
    void buildMotionBlur()
    {
        Ogre::CompositorPtr comp = Ogre::CompositorManager::getSingleton().create("Motion Blur", "General");
        Ogre::CompositionTechnique* t = comp->createTechnique();
        for (const char* name : {"scene", "sum", "temp"}) {
            Ogre::CompositionTechnique::TextureDefinition* def = t->createTextureDefinition(name);
            def->width = 0;
            def->height = 0;
            def->formatList.push_back(Ogre::PF_R8G8B8);
        }
        Ogre::CompositionTargetPass* tp = t->createTargetPass();
        tp->setInputMode(Ogre::CompositionTargetPass::IM_PREVIOUS);
        tp->setOutputName("scene");
        tp = t->createTargetPass();
        tp->setInputMode(Ogre::CompositionTargetPass::IM_PREVIOUS);
        tp->setOutputName("sum");
        tp->setOnlyInitial(true);
        tp = t->createTargetPass();
        tp->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
        tp->setOutputName("temp");
        Ogre::CompositionPass* pass = tp->createPass(Ogre::CompositionPass::PT_RENDERQUAD);
        pass->setMaterialName("Ogre/Compositor/Combine");
        pass->setInput(0, "scene");
        pass->setInput(1, "sum");
        tp = t->createTargetPass();
        tp->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
        tp->setOutputName("sum");
        pass = tp->createPass(Ogre::CompositionPass::PT_RENDERQUAD);
        pass->setMaterialName("Ogre/Compositor/Copyback");
        pass->setInput(0, "temp");
        tp = t->getOutputTargetPass();
        tp->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
        pass = tp->createPass(Ogre::CompositionPass::PT_RENDERQUAD);
        pass->setMaterialName("Ogre/Compositor/MotionBlur");
        pass->setInput(0, "sum");
    }

    void particles(std::vector<Tile>& sheet)
    {
        for (Ogre::SceneNode* n : mWorld) {
            n->setVisible(false);
        }
        mBall->setVisible(false);
        mViewport->setBackgroundColour(Ogre::ColourValue(0.08f, 0.1f, 0.16f));
        mGround->setVisible(false);
        look(Ogre::Vector3(0, 3, 14), Ogre::Vector3(0, 2, 0));
        Tile empty = grab("");
        const char* names[] = {"Kelvo/Bullet1Fly", "Kelvo/Bullet1Hit", "Kelvo/Bullet2Fly", "Kelvo/Bullet2Hit",
                               "Kelvo/FountainSpray", "Kelvo/Smoke", "Kelvo/Fire", "Kelvo/Fireflies", "Kelvo/CaveDust"};
        for (const char* name : names) {
            const std::string templ = name;
            const bool flies = templ.find("Fly") != std::string::npos;
            Ogre::SceneNode* node = mScene->getRootSceneNode()->createChildSceneNode(
                Ogre::Vector3(flies ? -5.0f : 0.0f, templ.find("Hit") != std::string::npos ? 2.0f : 0.5f, 0));
            Ogre::ParticleSystem* system = mScene->createParticleSystem(templ + "_test", templ);
            node->attachObject(system);
            if (!flies && templ.find("Hit") == std::string::npos) {
                system->fastForward(6.0f, 0.1f);  // ambient systems build up slowly
            }
            Tile tile;
            for (int i = 0; i < 20; ++i) {
                if (flies) {
                    node->translate(0.5f, 0.1f, 0);
                }
                tile = grab(templ, 0.05f);
            }
            tile.label = templ;
            const double shown = changed(tile, empty, 16);
            std::printf("%-32s particles cover %4.1f%% of the tile\n", name, shown * 100.0);
            if (shown < 0.003) {
                fail(templ + " shows no particles");
            }
            sheet.push_back(tile);
            mScene->destroyParticleSystem(system);
            mScene->destroySceneNode(node);
        }
        mGround->setVisible(true);
        mViewport->setBackgroundColour(Ogre::ColourValue(0.62f, 0.7f, 0.78f));
    }

    // The water with a picture bound to its reflection slot, as FresnelWater
    // binds its render target: the reflection must show in the water.
    void water(std::vector<Tile>& sheet)
    {
        for (Ogre::SceneNode* n : mWorld) {
            n->setVisible(true);
        }
        mGround->setVisible(false);
        Ogre::MeshManager::getSingleton().createPlane("kelvo_water", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0.5f),
                                                      300, 300, 1, 1, true, 1, 5, 5, Ogre::Vector3::UNIT_Z);
        Ogre::Entity* waterEntity = mScene->createEntity("kelvo_water", "kelvo_water");
        waterEntity->setMaterialName("Examples/FresnelReflectionRefraction");
        mScene->getRootSceneNode()->createChildSceneNode()->attachObject(waterEntity);
        look(Ogre::Vector3(4, 7, 24), Ogre::Vector3(0, 1, -4));
        Tile standin = grab("water (stand-in pictures)");
        Ogre::TextureUnitState* reflection = waterEntity->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(0)
                                                 ->getTextureUnitState(1);
        reflection->setTextureName("sky_clouds.png");
        Tile bound = grab("water (reflection bound)");
        reflection->setTextureName("water_reflection_standin.png");
        const double differs = changed(bound, standin, 12);
        std::printf("water: the bound reflection changes %4.1f%% of the picture\n", differs * 100.0);
        if (differs < 0.05) {
            fail("the water does not show what is bound to its reflection slot");
        }
        sheet.push_back(standin);
        sheet.push_back(bound);
        mScene->destroyEntity(waterEntity);
        mGround->setVisible(true);
    }

    void overlays(std::vector<Tile>& sheet)
    {
        look(Ogre::Vector3(4, 6, 20), Ogre::Vector3(0, 3, -2));
        Tile base = grab("");
        auto& om = Ogre::OverlayManager::getSingleton();
        // the faders: the first unit's alpha modulated by a manual value
        Ogre::Overlay* overlay = om.create("kelvo_fader_test");
        Ogre::OverlayContainer* panel =
            static_cast<Ogre::OverlayContainer*>(om.createOverlayElement("Panel", "kelvo_fader_panel"));
        panel->setMetricsMode(Ogre::GMM_RELATIVE);
        panel->setDimensions(1, 1);
        panel->setMaterialName("KELVO/FADING");
        overlay->add2D(panel);
        overlay->show();
        Ogre::TextureUnitState* unit = panel->getMaterial()->getBestTechnique()->getPass(0)->getTextureUnitState(0);
        float lumas[3];
        const float alphas[3] = {0.0f, 0.5f, 1.0f};
        for (int k = 0; k < 3; ++k) {
            unit->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_MANUAL, 1.0f, alphas[k]);
            Tile t = grab("KELVO/FADING alpha " + std::to_string(alphas[k]).substr(0, 3));
            const Ogre::ColourValue c = mean(t, 0, 0, -1, -1, mTile);
            lumas[k] = (c.r + c.g + c.b) / 3.0f;
            if (k == 1) {
                sheet.push_back(t);
            }
        }
        overlay->hide();
        std::printf("fader: picture brightness %.2f, %.2f, %.2f at alpha 0, 0.5, 1\n", lumas[0], lumas[1], lumas[2]);
        if (std::fabs(lumas[1] - lumas[0] * 0.5f) > 0.06f || lumas[2] > 0.02f) {
            fail("KELVO/FADING does not darken the picture by its first texture unit's alpha");
        }
        Ogre::Overlay* debug = om.getByName("Core/DebugOverlay");
        Ogre::Overlay* cross = om.getByName("Kelvo/CrossHair");
        if (!debug || !cross) {
            fail("the debug overlay or the crosshair is missing");
            return;
        }
        om.getOverlayElement("Core/CurrFps")->setCaption("Current FPS: 60");
        om.getOverlayElement("Core/AverageFps")->setCaption("Average FPS: 59.5");
        om.getOverlayElement("Core/NumTris")->setCaption("Triangle Count: 12345");
        om.getOverlayElement("Core/DebugText")->setCaption("KELVO");
        debug->show();
        cross->show();
        Tile shown = grab("Core/DebugOverlay, Kelvo/CrossHair");
        debug->hide();
        cross->hide();
        // the statistics sit at the bottom left, the crosshair in the middle
        const int h = mTile;
        const double stats = changed(shown, base, 30);
        const Ogre::ColourValue mid = mean(shown, h / 2 - 3, h / 2 - 3, h / 2 + 3, h / 2 + 3, mTile);
        const Ogre::ColourValue midBase = mean(base, h / 2 - 3, h / 2 - 3, h / 2 + 3, h / 2 + 3, mTile);
        std::printf("overlays change %4.1f%% of the picture\n", stats * 100.0);
        if (stats < 0.02 || (mid - midBase).r == 0.0f) {
            fail("the debug overlay or the crosshair does not draw");
        }
        sheet.push_back(shown);
    }

    void sky(std::vector<Tile>& sheet)
    {
        for (Ogre::SceneNode* n : mWorld) {
            n->setVisible(false);
        }
        mGround->setVisible(false);
        Ogre::Entity* dome = mScene->createEntity("SkyDome", "SkyDome.mesh");
        dome->setRenderQueueGroup(10);
        Ogre::SceneNode* node = mScene->getRootSceneNode()->createChildSceneNode();
        node->attachObject(dome);
        node->setScale(3000, 600, 3000);
        Ogre::BillboardSet* sun = mScene->createBillboardSet("SkyDomeSun", 20);
        sun->setMaterialName("KELVO/Sun");
        sun->setDefaultDimensions(256, 256);
        sun->createBillboard(Ogre::Vector3::ZERO);
        sun->setRenderQueueGroup(20);
        Ogre::SceneNode* sunNode = mScene->getRootSceneNode()->createChildSceneNode();
        sunNode->attachObject(sun);
        // look() aims at a point: from 2 units up, aim along a direction that
        // climbs a little above the horizon. (Aimed at the point itself the
        // camera looked down through the dome's open bottom and saw only the
        // viewport's background.)
        const Ogre::Vector3 eye(0, 2, 0);
        look(eye, eye + Ogre::Vector3(-1, 0.35f, 0.1f));
        // a background no sky colour comes near, so that a dome that does not
        // draw cannot pass for a pale sky
        mViewport->setBackgroundColour(Ogre::ColourValue(0.9f, 0.0f, 0.9f));
        dome->setVisible(false);
        sun->setVisible(false);
        const Tile empty = grab("");
        dome->setVisible(true);
        sun->setVisible(true);
        Ogre::Image skyColours, sunColours;
        skyColours.load("skydome.png", "General");
        sunColours.load("suncolours.png", "General");
        float brightness[2];
        for (int k = 0; k < 2; ++k) {
            const float hour = k == 0 ? 12.0f : 0.0f;
            const float t = hour / 24.0f;
            const Ogre::ColourValue skyColour = skyColours.getColourAt(size_t(t * skyColours.getWidth()), 0, 0);
            const Ogre::ColourValue sunColour = sunColours.getColourAt(size_t(t * sunColours.getWidth()), 0, 0);
            Ogre::MaterialManager::getSingleton().getByName("KELVO/SkyDome")->setAmbient(skyColour);
            Ogre::MaterialManager::getSingleton().getByName("KELVO/Sun")->setAmbient(sunColour);
            mScene->setAmbientLight(skyColour);
            const float a = 2.0f * Ogre::Math::PI * (t - 0.25f) + 0.35f;
            sunNode->setPosition(Ogre::Vector3(-std::cos(a), std::sin(a), 0) * 2800.0f);
            Tile tile = grab(k == 0 ? "sky at noon" : "sky at midnight");
            const Ogre::ColourValue c = mean(tile, 0, 0, -1, -1, mTile);
            brightness[k] = (c.r + c.g + c.b) / 3.0f;
            const double covered = changed(tile, empty, 40);
            std::printf("sky: the dome covers %5.1f%% of the picture at %s\n", covered * 100.0,
                        k == 0 ? "noon" : "midnight");
            if (covered < 0.98) {
                fail(std::string("the sky dome does not fill the view at ") + (k == 0 ? "noon" : "midnight"));
            }
            if (k == 0 && c.b <= c.r) {
                fail("the noon sky is not blue");
            }
            sheet.push_back(tile);
        }
        std::printf("sky: brightness %.2f at noon, %.2f at midnight\n", brightness[0], brightness[1]);
        if (brightness[0] < brightness[1] + 0.25f) {
            fail("the sky does not follow the day");
        }
        mScene->setAmbientLight(Ogre::ColourValue(0.45f, 0.45f, 0.5f));
        mViewport->setBackgroundColour(Ogre::ColourValue(0.62f, 0.7f, 0.78f));
        mScene->destroySceneNode(node);
        mScene->destroySceneNode(sunNode);
        mScene->destroyEntity(dome);
        mScene->destroyBillboardSet(sun);
        // the credits' space box
        mScene->setSkyBox(true, "Examples/SpaceSkyBox", 1000);
        look(Ogre::Vector3::ZERO, Ogre::Vector3(1, 0.2f, 0.3f));
        sheet.push_back(grab("Examples/SpaceSkyBox"));
        look(Ogre::Vector3::ZERO, Ogre::Vector3(0.7f, 0.7f, 0.0f));
        sheet.push_back(grab("space box, an edge and the top"));
        mScene->setSkyBox(false, "");
    }

    bool ok() const { return mOk; }
    int tile() const { return mTile; }

private:
    std::string mMedia;
    std::string mOut;
    int mTile;
    bool mOk = true;
    KelvoTest::LogCollector mErrors{isRenderError};
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::OverlaySystem* mOverlays = nullptr;
    Ogre::SceneManager* mScene = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneNode* mCameraNode = nullptr;
    Ogre::TexturePtr mTexture;
    Ogre::RenderTarget* mTarget = nullptr;
    Ogre::Viewport* mViewport = nullptr;
    Ogre::Entity* mGround = nullptr;
    Ogre::SceneNode* mBall = nullptr;
    std::vector<Ogre::SceneNode*> mWorld;
};

void writeSheet(const std::vector<Tile>& tiles, int tile, int columns, const std::string& path)
{
    const int label = 14;
    const int gap = 2;
    const int rows = int((tiles.size() + columns - 1) / columns);
    const int width = columns * (tile + gap) + gap;
    const int height = rows * (tile + label + gap) + gap;
    std::vector<unsigned char> sheet(size_t(width) * height * 3, 40);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const int left = gap + int(i % columns) * (tile + gap);
        const int top = gap + int(i / columns) * (tile + label + gap);
        KelvoMedia::drawText(sheet.data(), width, height, left + 2, top + 3, tiles[i].label, 235, 235, 235);
        for (int y = 0; y < tile; ++y) {
            std::copy(tiles[i].rgb.begin() + size_t(y) * tile * 3, tiles[i].rgb.begin() + size_t(y + 1) * tile * 3,
                      sheet.begin() + (size_t(top + label + y) * width + left) * 3);
        }
    }
    Ogre::Image image;
    image.loadDynamicImage(sheet.data(), width, height, 1, Ogre::PF_BYTE_RGB);
    image.save(path);
    std::printf("contact sheet: %s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    std::string media, out;
    int tile = 256;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--media") {
            media = argv[i + 1];
        } else if (arg == "--out") {
            out = argv[i + 1];
        } else if (arg == "--tile") {
            tile = std::atoi(argv[i + 1]);
        } else {
            media.clear();
            break;
        }
    }
    if (media.empty() || out.empty() || tile < 64 || tile > 1024 || argc % 2 == 0) {
        std::cerr << "usage: kelvo_effects_render --media DIR --out DIR [--tile PIXELS (64..1024)]\n";
        return 2;
    }
    // the exception must be read while the engine that threw it still lives
    Renderer renderer(media, out, tile);
    try {
        if (!renderer.start()) {
            return 2;
        }
        renderer.materialsCompile();
        std::vector<Tile> props;
        renderer.props(props);
        writeSheet(props, tile, 6, out + "/props_contact_sheet.png");
        std::vector<Tile> effects;
        renderer.testScene();
        renderer.particles(effects);
        renderer.water(effects);
        renderer.overlays(effects);
        renderer.sky(effects);
        // last: an RTT viewport does not draw again once its chain is removed
        renderer.compositors(effects);
        writeSheet(effects, tile, 6, out + "/effects_contact_sheet.png");
        std::printf(renderer.ok() ? "all props and effects render and work\n" : "some checks FAILED\n");
        return renderer.ok() ? 0 : 1;
    } catch (const Ogre::Exception& e) {
        std::cerr << "engine error: " << e.getFullDescription() << "\n";
        return 2;
    }
}
