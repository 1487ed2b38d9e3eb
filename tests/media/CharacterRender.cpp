// Renders every character playing every one of its animations with the GL
// render system (under Xvfb in the test suite), checks that each animation
// shows a figure and moves, and writes a labelled contact sheet of all frames.
//
//   kelvo_character_render --media DIR --out DIR [--frames N] [--tile PIXELS] [--only NAME]
//                          [--zoom F] [--aim HEIGHT] [--turn DEGREES] [--bone NAME]
//
// Exit status 0 when every animation passed, 1 on a failed check, 2 on bad
// arguments or an engine that cannot start.

#include "CharacterTable.h"
#include "GameMedia.h"
#include "TinyFont.h"
#include "WindowedGL.h"

#include <OGRE/Ogre.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

using KelvoMedia::ExpectedCharacter;

struct Options {
    std::string mediaDir;
    std::string outDir;
    int frames = 8;
    int tile = 192;
    std::string only;
    float zoom = 1.0f;  // > 1 frames a part of the figure, for close looks
    float aim = 0.5f;   // height of the framed point, 0 feet .. 1 top
    float turn = 0.0f;  // degrees the camera goes round the figure (0: front left)
    std::string bone;   // frame this bone instead of the whole figure
};

struct Frame {
    std::vector<unsigned char> rgb; // tile x tile x 3
};

struct Row {
    std::string label;
    std::vector<Frame> frames;
};

// Pixels whose largest channel difference exceeds the threshold.
double changedFraction(const Frame& a, const Frame& b, int threshold)
{
    size_t changed = 0;
    const size_t pixels = a.rgb.size() / 3;
    for (size_t i = 0; i < pixels; ++i) {
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            d = std::max(d, std::abs(int(a.rgb[i * 3 + c]) - int(b.rgb[i * 3 + c])));
        }
        if (d > threshold) {
            ++changed;
        }
    }
    return pixels ? double(changed) / double(pixels) : 0.0;
}

bool parseArgs(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::cerr << "missing value after " << what << "\n";
                return nullptr;
            }
            return argv[++i];
        };
        const char* value = nullptr;
        if (arg == "--media" && (value = next("--media"))) {
            options.mediaDir = value;
        } else if (arg == "--out" && (value = next("--out"))) {
            options.outDir = value;
        } else if (arg == "--frames" && (value = next("--frames"))) {
            options.frames = std::atoi(value);
        } else if (arg == "--tile" && (value = next("--tile"))) {
            options.tile = std::atoi(value);
        } else if (arg == "--only" && (value = next("--only"))) {
            options.only = value;
        } else if (arg == "--zoom" && (value = next("--zoom"))) {
            options.zoom = float(std::atof(value));
        } else if (arg == "--aim" && (value = next("--aim"))) {
            options.aim = float(std::atof(value));
        } else if (arg == "--turn" && (value = next("--turn"))) {
            options.turn = float(std::atof(value));
        } else if (arg == "--bone" && (value = next("--bone"))) {
            options.bone = value;
        } else {
            if (!value) {
                std::cerr << "unknown or incomplete argument: " << arg << "\n";
            }
            return false;
        }
    }
    if (options.mediaDir.empty() || options.outDir.empty()) {
        std::cerr << "--media and --out are required\n";
        return false;
    }
    if (options.frames < 2 || options.frames > 32 || options.tile < 64 || options.tile > 1024 ||
        options.zoom < 0.5f || options.zoom > 20.0f || options.aim < 0.0f || options.aim > 1.0f) {
        std::cerr << "--frames must be 2..32, --tile 64..1024, --zoom 0.5..20, --aim 0..1\n";
        return false;
    }
    return true;
}

class Renderer {
public:
    explicit Renderer(const Options& options) : mOptions(options) {}

    ~Renderer()
    {
        mTexture.reset();
        delete mRoot;
        delete mLog;
    }

    bool start()
    {
        // the engine's log goes to a file only; this program prints its own findings
        mLog = new Ogre::LogManager();
        mLog->createLog(mOptions.outDir + "/character_render.log", true, false, false);
        mRoot = new Ogre::Root("", "", "");
        // the media folder also holds the particle templates, whose emitters
        // and affectors the resource load refuses without the particle plug-in
        if (!KelvoTest::selectWindowedGL(*mRoot, "1024 x  768", true, KelvoTest::ImageCodec::Stbi)) {
            std::cerr << "the OpenGL render system is not available\n";
            return false;
        }
        mRoot->initialise(false);
        mWindow = mRoot->createRenderWindow("kelvo character render", 64, 64, false);
        KelvoTest::addGameMedia(mOptions.mediaDir);
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();

        mScene = mRoot->createSceneManager();
        mScene->setAmbientLight(Ogre::ColourValue(0.42f, 0.42f, 0.46f));
        Ogre::Light* sun = mScene->createLight("sun");
        sun->setType(Ogre::Light::LT_DIRECTIONAL);
        sun->setDiffuseColour(Ogre::ColourValue(1.0f, 0.96f, 0.88f));
        mScene->getRootSceneNode()->createChildSceneNode()->attachObject(sun);
        sun->getParentSceneNode()->setDirection(Ogre::Vector3(-0.4f, -0.8f, -0.6f).normalisedCopy(),
                                                Ogre::Node::TS_WORLD);
        Ogre::Light* fill = mScene->createLight("fill");
        fill->setType(Ogre::Light::LT_DIRECTIONAL);
        fill->setDiffuseColour(Ogre::ColourValue(0.25f, 0.3f, 0.4f));
        mScene->getRootSceneNode()->createChildSceneNode()->attachObject(fill);
        fill->getParentSceneNode()->setDirection(Ogre::Vector3(0.6f, -0.2f, 0.7f).normalisedCopy(),
                                                 Ogre::Node::TS_WORLD);

        mCamera = mScene->createCamera("camera");
        mCamera->setNearClipDistance(0.05f);
        mCamera->setFOVy(Ogre::Degree(34));
        mCameraNode = mScene->getRootSceneNode()->createChildSceneNode();
        mCameraNode->attachObject(mCamera);

        mTexture = Ogre::TextureManager::getSingleton().createManual(
            "kelvo_render_target", "General", Ogre::TEX_TYPE_2D, mOptions.tile, mOptions.tile, 0,
            Ogre::PF_R8G8B8, Ogre::TU_RENDERTARGET, nullptr, false, 4);
        mTarget = mTexture->getBuffer()->getRenderTarget();
        Ogre::Viewport* vp = mTarget->addViewport(mCamera);
        vp->setBackgroundColour(Ogre::ColourValue(0.62f, 0.7f, 0.78f));
        vp->setOverlaysEnabled(false);
        mCamera->setAspectRatio(1.0f);

        makeGround();
        return true;
    }

    // Renders one character; appends a row per animation and reports failures.
    bool renderCharacter(const ExpectedCharacter& expected, std::vector<Row>& rows)
    {
        Ogre::Entity* entity = nullptr;
        try {
            entity = mScene->createEntity(expected.name, expected.mesh);
        } catch (const Ogre::Exception& e) {
            std::cerr << "FAIL " << expected.name << ": " << expected.mesh << " does not load: " << e.getDescription() << "\n";
            return false;
        }
        Ogre::SceneNode* node = mScene->getRootSceneNode()->createChildSceneNode();
        node->setOrientation(KelvoMedia::holdingOrientation(expected.holding));
        node->attachObject(entity);
        mRoot->_updateAllRenderTargets();

        // frame the bind pose from the front and the character's left, a little
        // above; the skeleton bounds the figure (the mesh's bounds make room
        // for every animation and would leave it small)
        node->_update(true, true);
        Ogre::AxisAlignedBox box;
        entity->getSkeleton()->reset(true);
        for (Ogre::Bone* bone : entity->getSkeleton()->getBones()) {
            box.merge(node->_getFullTransform() * bone->_getDerivedPosition());
        }
        // walkers stand on y = 0; a flier gets its ground well below it
        const float groundY = expected.airborne ? box.getMinimum().y - 1.5f : 0.0f;
        // bones stop short of the skin: grow the box a little, but not below the ground
        const Ogre::Vector3 margin = box.getSize() * 0.12f + Ogre::Vector3(0.2f);
        box.setExtents(box.getMinimum() - margin, box.getMaximum() + margin);
        if (!expected.airborne) {
            box.setMinimum(Ogre::Vector3(box.getMinimum().x, groundY, box.getMinimum().z));
        }
        Ogre::Vector3 centre = box.getCenter();
        centre.y = box.getMinimum().y + box.getSize().y * mOptions.aim;
        if (!mOptions.bone.empty() && entity->getSkeleton()->hasBone(mOptions.bone)) {
            centre = node->_getFullTransform() * entity->getSkeleton()->getBone(mOptions.bone)->_getDerivedPosition();
        }
        const float height = box.getSize().y;
        const float width = std::max(box.getSize().x, box.getSize().z);
        const float reach = std::max(height, width) * 0.5f / mOptions.zoom;
        const float distance = reach / std::tan(Ogre::Degree(17).valueRadians()) * 1.05f;
        const Ogre::Vector3 direction = Ogre::Quaternion(Ogre::Degree(mOptions.turn), Ogre::Vector3::UNIT_Y) *
                                        Ogre::Vector3(0.62f, 0.32f, 0.72f).normalisedCopy();
        mCameraNode->setPosition(centre + direction * distance);
        mCameraNode->lookAt(centre, Ogre::Node::TS_WORLD);
        mGround->setPosition(0, groundY, 0);

        entity->setVisible(false);
        Frame background = grab();
        entity->setVisible(true);

        bool ok = true;
        const size_t firstRow = rows.size();
        for (const std::string& name : expected.animations) {
            Row row;
            row.label = expected.name + " " + name;
            if (!entity->hasAnimationState(name)) {
                std::cerr << "FAIL " << row.label << ": the skeleton has no such animation\n";
                ok = false;
                continue;
            }
            Ogre::AnimationStateSet* states = entity->getAllAnimationStates();
            for (auto& pair : states->getAnimationStates()) {
                pair.second->setEnabled(false);
            }
            Ogre::AnimationState* state = entity->getAnimationState(name);
            state->setEnabled(true);
            state->setWeight(1.0f);
            state->setLoop(false);
            const float length = state->getLength();
            const bool loops = std::find(expected.loopingAnimations.begin(), expected.loopingAnimations.end(), name) !=
                               expected.loopingAnimations.end();
            // a loop's last frame equals its first: spread the frames over [0, length)
            const int steps = loops ? mOptions.frames : mOptions.frames - 1;
            for (int k = 0; k < mOptions.frames; ++k) {
                state->setTimePosition(length * float(k) / float(steps));
                row.frames.push_back(grab());
            }
            state->setEnabled(false);

            double covered = 0.0;
            double moved = 0.0;
            int changedSteps = 0;
            for (size_t k = 0; k < row.frames.size(); ++k) {
                covered = std::max(covered, changedFraction(row.frames[k], background, 30));
                moved = std::max(moved, changedFraction(row.frames[k], row.frames[0], 30));
                if (k > 0 && changedFraction(row.frames[k], row.frames[k - 1], 30) > 0.002) {
                    ++changedSteps;
                }
            }
            std::printf("%-28s length %.2f s, figure covers %4.1f%% of the tile, moves %4.1f%%, "
                        "%d of %d steps change\n",
                        row.label.c_str(), length, covered * 100.0, moved * 100.0, changedSteps,
                        int(row.frames.size()) - 1);
            if (length <= 0.0f) {
                std::cerr << "FAIL " << row.label << ": length is 0\n";
                ok = false;
            }
            if (covered < 0.03) {
                std::cerr << "FAIL " << row.label << ": the figure is (nearly) invisible\n";
                ok = false;
            }
            if (moved < 0.01 || changedSteps < (int(row.frames.size()) - 1) / 2) {
                std::cerr << "FAIL " << row.label << ": the frames hardly change over time\n";
                ok = false;
            }
            rows.push_back(std::move(row));
        }
        // the other skins made for this mesh, on its first animation
        for (const std::string& skin : expected.extraSkins) {
            Row row;
            row.label = expected.name + " " + expected.animations.front() + " " + skin;
            try {
                entity->setMaterialName(skin);
            } catch (const Ogre::Exception& e) {
                std::cerr << "FAIL " << row.label << ": " << e.getDescription() << "\n";
                ok = false;
                continue;
            }
            Ogre::AnimationState* state = entity->getAnimationState(expected.animations.front());
            state->setEnabled(true);
            for (int k = 0; k < mOptions.frames; ++k) {
                state->setTimePosition(state->getLength() * float(k) / float(mOptions.frames));
                row.frames.push_back(grab());
            }
            state->setEnabled(false);
            const double differs = firstRow < rows.size() ? changedFraction(row.frames.front(), rows[firstRow].frames.front(), 30) : 0.0;
            std::printf("%-28s differs from the mesh's own material on %4.1f%% of the tile\n", row.label.c_str(),
                        differs * 100.0);
            if (differs < 0.01) {
                std::cerr << "FAIL " << row.label << ": looks just like the mesh's own material\n";
                ok = false;
            }
            rows.push_back(std::move(row));
        }
        mScene->destroySceneNode(node);
        mScene->destroyEntity(entity);
        return ok;
    }

private:
    void makeGround()
    {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create("kelvo_render_ground", "General");
        Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        pass->setAmbient(0.45f, 0.5f, 0.4f);
        pass->setDiffuse(0.45f, 0.5f, 0.4f, 1.0f);
        Ogre::MeshManager::getSingleton().createPlane(
            "kelvo_render_ground", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0.0f), 400.0f, 400.0f, 1, 1,
            true, 1, 1.0f, 1.0f, Ogre::Vector3::UNIT_Z);
        Ogre::Entity* ground = mScene->createEntity("kelvo_render_ground", "kelvo_render_ground");
        ground->setMaterialName("kelvo_render_ground");
        mGround = mScene->getRootSceneNode()->createChildSceneNode();
        mGround->attachObject(ground);
        material.reset();
    }

    Frame grab()
    {
        // a whole engine frame: entities re-skin only when the frame number moves on
        mRoot->renderOneFrame();
        Frame frame;
        frame.rgb.resize(size_t(mOptions.tile) * mOptions.tile * 3);
        Ogre::PixelBox box(mOptions.tile, mOptions.tile, 1, Ogre::PF_BYTE_RGB, frame.rgb.data());
        mTarget->copyContentsToMemory(Ogre::Box(0, 0, mOptions.tile, mOptions.tile), box);
        return frame;
    }

    const Options& mOptions;
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::RenderWindow* mWindow = nullptr;
    Ogre::SceneManager* mScene = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneNode* mCameraNode = nullptr;
    Ogre::SceneNode* mGround = nullptr;
    Ogre::TexturePtr mTexture;
    Ogre::RenderTarget* mTarget = nullptr;
};

// One row per animation: a label strip, then the frames left to right.
bool writeContactSheet(const std::vector<Row>& rows, const Options& options, const std::string& path)
{
    if (rows.empty()) {
        return false;
    }
    const int label = 14;
    const int gap = 2;
    const int tile = options.tile;
    const int columns = options.frames;
    const int width = columns * (tile + gap) + gap;
    const int height = int(rows.size()) * (tile + label + gap) + gap;
    std::vector<unsigned char> sheet(size_t(width) * height * 3, 40);
    for (size_t r = 0; r < rows.size(); ++r) {
        const int top = gap + int(r) * (tile + label + gap);
        KelvoMedia::drawText(sheet.data(), width, height, gap + 2, top + 3, rows[r].label, 235, 235, 235);
        for (size_t c = 0; c < rows[r].frames.size(); ++c) {
            const int left = gap + int(c) * (tile + gap);
            for (int y = 0; y < tile; ++y) {
                const unsigned char* src = rows[r].frames[c].rgb.data() + size_t(y) * tile * 3;
                unsigned char* dst = sheet.data() + (size_t(top + label + y) * width + left) * 3;
                std::copy(src, src + size_t(tile) * 3, dst);
            }
        }
    }
    Ogre::Image image;
    image.loadDynamicImage(sheet.data(), width, height, 1, Ogre::PF_BYTE_RGB);
    image.save(path);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseArgs(argc, argv, options)) {
        std::cerr << "usage: kelvo_character_render --media DIR --out DIR [--frames N] [--tile PIXELS] [--only NAME]\n"
                     "                              [--zoom F] [--aim HEIGHT] [--turn DEGREES] [--bone NAME]\n";
        return 2;
    }
    try {
        Renderer renderer(options);
        if (!renderer.start()) {
            return 2;
        }
        std::vector<Row> rows;
        bool ok = true;
        int rendered = 0;
        for (const ExpectedCharacter& expected : KelvoMedia::characters()) {
            if (!options.only.empty() && expected.name != options.only) {
                continue;
            }
            ok = renderer.renderCharacter(expected, rows) && ok;
            ++rendered;
        }
        if (rendered == 0) {
            std::cerr << "no character named " << options.only << "\n";
            return 2;
        }
        const std::string sheet = options.outDir + "/characters_contact_sheet.png";
        if (writeContactSheet(rows, options, sheet)) {
            std::printf("contact sheet: %s\n", sheet.c_str());
        }
        std::printf(ok ? "all character animations render and move\n" : "some character checks FAILED\n");
        return ok ? 0 : 1;
    } catch (const Ogre::Exception& e) {
        std::cerr << "engine error: " << e.getFullDescription() << "\n";
        return 2;
    }
}
