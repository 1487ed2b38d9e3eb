// The media check: every file tools/make_media.sh generated, and every
// hand-written engine script in media/scripts, loads through the engine,
// with no window (a root without a render system, software buffers,
// the default texture manager, as the engine's own tests run); and the
// characters keep what the game's scripts rely on: names, animations,
// size, facing, seamless loops, culling bounds.
//
// A later kind of media adds its file types to kLoaders below and its named
// resources to a test of its own. A file type with no loader fails the check.

#include "CharacterTable.h"
#include "LogCollector.h"
#include "EffectScripts.h"
#include "GameMedia.h"
#include "PictureTable.h"
#include "SoundTable.h"
#include "WindowedGL.h"

#include <OGRE/Ogre.h>
#include <OGRE/OgreBitwise.h>
#include <OGRE/OgreDefaultHardwareBufferManager.h>
#include <OGRE/Overlay/OgreOverlaySystem.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using KelvoMedia::ExpectedCharacter;

std::string mediaDir()
{
    const char* overridden = std::getenv("KELVO_MEDIA_DIR");
    return overridden ? overridden : KELVO_MEDIA_DIR;
}

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            std::string name = entry->d_name;
            if (!name.empty() && name[0] != '.') {
                names.push_back(name);
            }
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string extensionOf(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

// The engine's complaints (script errors, missing textures) while the check
// runs: the engine logs many of them instead of throwing.
bool isComplaint(const std::string& line, Ogre::LogMessageLevel level)
{
    Ogre::String lower = line;
    Ogre::StringUtil::toLowerCase(lower);
    if (lower.find("null rendersystem") != std::string::npos) {
        return false;  // headless: materials parse but have no technique to run
    }
    return KelvoTest::isErrorLine(line, level) || lower.find("cannot") != std::string::npos ||
           lower.find("can't") != std::string::npos || lower.find("warning") != std::string::npos;
}

class HeadlessEngine : public ::testing::Environment {
public:
    void SetUp() override
    {
        mLog = new Ogre::LogManager();
        Ogre::Log* log = mLog->createLog("media_check.log", true, false, false);
        log->addListener(&collector);
        mRoot = new Ogre::Root("", "", "");
        KelvoTest::loadEnginePlugin(*mRoot, "Codec_STBI");
        KelvoTest::loadEnginePlugin(*mRoot, "Plugin_ParticleFX");
        mBuffers = new Ogre::DefaultHardwareBufferManager();
        mTextures = new Ogre::DefaultTextureManager();
        Ogre::MaterialManager::getSingleton().initialise();
        // what a render system would provide for parsing shader programs,
        // particle templates and overlays (they are compiled in the render test)
        mPrograms = new Ogre::GpuProgramManager();
        Ogre::ParticleSystemManager::getSingleton()._initialise();
        mOverlays = new Ogre::OverlaySystem();
        // the overlay font's TTF, as run/resources.cfg adds it
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(KELVO_FONT_DIR, "FileSystem", "General");
        KelvoTest::addGameMedia(mediaDir());
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        scriptComplaints = collector.lines();
        collector.clear();
    }

    void TearDown() override
    {
        Ogre::MeshManager::getSingleton().removeAll();
        Ogre::SkeletonManager::getSingleton().removeAll();
        delete mOverlays;
        // the texture manager unregisters from the resource groups, which die with the root
        delete mTextures;
        delete mPrograms;
        delete mRoot;
        delete mBuffers;
        delete mLog;
    }

    KelvoTest::LogCollector collector{isComplaint};
    std::vector<std::string> scriptComplaints;

private:
    Ogre::LogManager* mLog = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::DefaultHardwareBufferManager* mBuffers = nullptr;
    Ogre::DefaultTextureManager* mTextures = nullptr;
    Ogre::GpuProgramManager* mPrograms = nullptr;
    Ogre::OverlaySystem* mOverlays = nullptr;
};

HeadlessEngine* gEngine = nullptr;

Ogre::MeshPtr loadMesh(const std::string& name)
{
    return Ogre::MeshManager::getSingleton().load(name, "General");
}

// Model-space positions of every vertex of every submesh.
std::vector<Ogre::Vector3> vertexPositions(const Ogre::MeshPtr& mesh)
{
    std::vector<Ogre::Vector3> out;
    auto read = [&out](const Ogre::VertexData* data) {
        const Ogre::VertexElement* element = data->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
        Ogre::HardwareVertexBufferSharedPtr buffer = data->vertexBufferBinding->getBuffer(element->getSource());
        const unsigned char* base = static_cast<const unsigned char*>(buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
        for (size_t i = 0; i < data->vertexCount; ++i) {
            float* p = nullptr;
            element->baseVertexPointerToElement(const_cast<unsigned char*>(base) + (data->vertexStart + i) * buffer->getVertexSize(), &p);
            out.emplace_back(p[0], p[1], p[2]);
        }
        buffer->unlock();
    };
    if (mesh->sharedVertexData) {
        read(mesh->sharedVertexData);
    }
    for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
        if (!sub->useSharedVertices) {
            read(sub->vertexData);
        }
    }
    return out;
}

// Bone positions in the game's world orientation at a time of an animation.
std::map<std::string, Ogre::Vector3> posedBones(const Ogre::SkeletonPtr& skeleton, const std::string& animation,
                                                float time, KelvoMedia::Holding holding)
{
    skeleton->reset(true);
    if (!animation.empty()) {
        skeleton->getAnimation(animation)->apply(skeleton.get(), time);
    }
    const Ogre::Quaternion q = KelvoMedia::holdingOrientation(holding);
    std::map<std::string, Ogre::Vector3> out;
    for (Ogre::Bone* bone : skeleton->getBones()) {
        out[bone->getName()] = q * bone->_getDerivedPosition();
    }
    skeleton->reset(true);
    return out;
}

// --- every generated file loads -----------------------------------------------

using Loader = std::function<void(const std::string& name)>;

const std::map<std::string, Loader>& loaders()
{
    static const std::map<std::string, Loader> table = {
        {"mesh", [](const std::string& name) {
             Ogre::MeshPtr mesh = loadMesh(name);
             ASSERT_TRUE(mesh) << name;
             EXPECT_GT(mesh->getNumSubMeshes(), 0u) << name;
             for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
                 EXPECT_TRUE(Ogre::MaterialManager::getSingleton().resourceExists(sub->getMaterialName()))
                     << name << " uses the material " << sub->getMaterialName() << ", which no script defines";
             }
             if (mesh->hasSkeleton()) {
                 EXPECT_TRUE(mesh->getSkeleton()) << name << ": its skeleton " << mesh->getSkeletonName()
                                                  << " does not load";
             }
         }},
        {"skeleton", [](const std::string& name) {
             Ogre::SkeletonPtr skeleton = Ogre::static_pointer_cast<Ogre::Skeleton>(
                 Ogre::SkeletonManager::getSingleton().load(name, "General"));
             ASSERT_TRUE(skeleton) << name;
             EXPECT_GT(skeleton->getNumBones(), 1u) << name;
         }},
        {"png", [](const std::string& name) {
             Ogre::Image image;
             image.load(name, "General");
             EXPECT_GT(image.getWidth(), 0u) << name;
             if (KelvoMedia::isFullScreenImage(name)) {
                 EXPECT_TRUE(image.getWidth() == KelvoMedia::kPictureWidth && image.getHeight() == KelvoMedia::kPictureHeight)
                     << name << " is " << image.getWidth() << " x " << image.getHeight() << ", not a full screen";
             } else {
                 EXPECT_TRUE(Ogre::Bitwise::isPO2(image.getWidth()) && Ogre::Bitwise::isPO2(image.getHeight()))
                     << name << " is " << image.getWidth() << " x " << image.getHeight()
                     << "; atlases are powers of two for mipmapping";
             }
             EXPECT_GE(Ogre::PixelUtil::getComponentCount(image.getFormat()), 3u)
                 << name << " loads with fewer than three channels";
         }},
        // material scripts are parsed when the resource group starts; checked below
        {"material", [](const std::string&) {}},
        // engine scripts of the effects: parsed with the group, checked by name
        {"program", KelvoMedia::checkProgramScript},
        {"glsl", KelvoMedia::checkShaderSource},
        {"compositor", KelvoMedia::checkCompositorScript},
        {"overlay", KelvoMedia::checkOverlayScript},
        {"fontdef", KelvoMedia::checkFontScript},
        {"particle", KelvoMedia::checkParticleScript},
        {"def", KelvoMedia::checkEntityTypeList},
        // sounds decode as the game's sound layer reads them; the subtitle table is UTF-8
        {"wav", KelvoMedia::checkSoundFile},
        {"mp3", KelvoMedia::checkSoundFile},
        {"txt", KelvoMedia::checkTextFile},
    };
    return table;
}

TEST(MediaCheck, MediaFolderHoldsGeneratedFiles)
{
    EXPECT_FALSE(filesIn(mediaDir()).empty()) << mediaDir() << " is empty: run tools/make_media.sh";
}

TEST(MediaCheck, EveryMediaFileLoadsThroughTheEngine)
{
    std::vector<std::string> names = filesIn(mediaDir());
    const std::vector<std::string> scripts = filesIn(KelvoTest::handWrittenScriptsDir());
    EXPECT_FALSE(scripts.empty()) << KelvoTest::handWrittenScriptsDir() << " holds no scripts";
    names.insert(names.end(), scripts.begin(), scripts.end());
    for (const std::string& name : names) {
        auto loader = loaders().find(extensionOf(name));
        if (loader == loaders().end()) {
            ADD_FAILURE() << name << ": the media check has no loader for *." << extensionOf(name) << " files";
            continue;
        }
        try {
            loader->second(name);
        } catch (const Ogre::Exception& e) {
            ADD_FAILURE() << name << " does not load: " << e.getDescription();
        }
    }
    for (const std::string& line : gEngine->collector.lines()) {
        ADD_FAILURE() << "the engine complained while loading: " << line;
    }
    gEngine->collector.clear();
}

TEST(MediaCheck, MaterialScriptsParseAndTheirTexturesDecode)
{
    for (const std::string& line : gEngine->scriptComplaints) {
        ADD_FAILURE() << "while parsing the scripts: " << line;
    }
    size_t checked = 0;
    auto it = Ogre::MaterialManager::getSingleton().getResourceIterator();
    while (it.hasMoreElements()) {
        Ogre::MaterialPtr material = Ogre::static_pointer_cast<Ogre::Material>(it.getNext());
        if (material->getGroup() != "General" || material->getOrigin().empty()) {
            continue;  // the engine's own built-in materials
        }
        ++checked;
        EXPECT_TRUE(material->getName().rfind("KELVO/", 0) == 0 || KelvoMedia::isEngineNamedMaterial(material->getName()))
            << material->getName() << " (" << material->getOrigin() << ") lacks the game's KELVO/ prefix";
        for (Ogre::Technique* technique : material->getTechniques()) {
            for (Ogre::Pass* pass : technique->getPasses()) {
                for (Ogre::TextureUnitState* unit : pass->getTextureUnitStates()) {
                    const std::string texture = unit->getTextureName();
                    if (texture.empty()) {
                        continue;
                    }
                    std::vector<std::string> files = {texture};
                    if (unit->getTextureType() == Ogre::TEX_TYPE_CUBE_MAP) {
                        // a cube map of six pictures named after the faces
                        const std::string base = texture.substr(0, texture.rfind('.'));
                        const std::string ext = texture.substr(texture.rfind('.'));
                        files.clear();
                        for (const char* face : {"_fr", "_bk", "_lf", "_rt", "_up", "_dn"}) {
                            files.push_back(base + face + ext);
                        }
                    }
                    for (const std::string& file : files) {
                        EXPECT_TRUE(Ogre::ResourceGroupManager::getSingleton().resourceExists("General", file))
                            << material->getName() << " uses the missing texture " << file;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 0u) << "no material scripts were found in " << mediaDir();
}

// --- the characters -----------------------------------------------------------

class CharacterCheck : public ::testing::TestWithParam<ExpectedCharacter> {
protected:
    void SetUp() override
    {
        const ExpectedCharacter& expected = GetParam();
        try {
            mesh = loadMesh(expected.mesh);
        } catch (const Ogre::Exception& e) {
            FAIL() << expected.mesh << " does not load: " << e.getDescription();
        }
        ASSERT_TRUE(mesh->hasSkeleton()) << expected.mesh << " has no skeleton";
        skeleton = mesh->getSkeleton();
        ASSERT_TRUE(skeleton) << expected.mesh << ": " << mesh->getSkeletonName() << " does not load";
    }

    Ogre::MeshPtr mesh;
    Ogre::SkeletonPtr skeleton;
};

TEST_P(CharacterCheck, HasEveryAnimationTheScriptsPlay)
{
    const ExpectedCharacter& expected = GetParam();
    for (const std::string& name : expected.animations) {
        ASSERT_TRUE(skeleton->hasAnimation(name)) << expected.mesh << " lacks the animation \"" << name << "\"";
        EXPECT_GT(skeleton->getAnimation(name)->getLength(), 0.0f) << expected.mesh << " " << name;
        EXPECT_GT(skeleton->getAnimation(name)->getNumNodeTracks(), 0u) << expected.mesh << " " << name << " moves no bone";
    }
}

TEST_P(CharacterCheck, UsesItsOwnTexturedMaterial)
{
    std::vector<std::string> names;
    for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
        names.push_back(sub->getMaterialName());
    }
    names.insert(names.end(), GetParam().extraSkins.begin(), GetParam().extraSkins.end());
    for (const std::string& name : names) {
        EXPECT_EQ(name.rfind("KELVO/", 0), 0u) << GetParam().mesh << " uses " << name;
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(name, "General");
        ASSERT_TRUE(material) << GetParam().mesh << ": material " << name << " is not defined";
        const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        ASSERT_GT(pass->getNumTextureUnitStates(), 0u) << name << " has no texture";
    }
}

// Software skinning replaces the buffer that holds positions and normals with
// its blended copy; texture coordinates in that same buffer are then read from
// the wrong place and the character shows smeared colours.
TEST_P(CharacterCheck, KeepsTextureCoordinatesOutOfTheSkinnedBuffer)
{
    for (Ogre::SubMesh* sub : mesh->getSubMeshes()) {
        const Ogre::VertexData* data = sub->useSharedVertices ? mesh->sharedVertexData : sub->vertexData;
        const Ogre::VertexDeclaration* decl = data->vertexDeclaration;
        const Ogre::VertexElement* position = decl->findElementBySemantic(Ogre::VES_POSITION);
        const Ogre::VertexElement* uv = decl->findElementBySemantic(Ogre::VES_TEXTURE_COORDINATES);
        ASSERT_TRUE(position && uv) << GetParam().mesh << " lacks positions or texture coordinates";
        EXPECT_NE(position->getSource(), uv->getSource())
            << GetParam().mesh << ": texture coordinates share the position buffer";
        EXPECT_FALSE(sub->getBoneAssignments().empty() && mesh->getBoneAssignments().empty())
            << GetParam().mesh << " has vertices bound to no bone";
    }
}

TEST_P(CharacterCheck, StandsAtItsSizeOnTheGround)
{
    const ExpectedCharacter& expected = GetParam();
    const Ogre::Quaternion q = KelvoMedia::holdingOrientation(expected.holding);
    Ogre::AxisAlignedBox box;
    for (const Ogre::Vector3& p : vertexPositions(mesh)) {
        box.merge(q * p);
    }
    const float height = box.getSize().y;
    EXPECT_GE(height, expected.minHeight) << expected.mesh << " is too small as the game holds it";
    EXPECT_LE(height, expected.maxHeight) << expected.mesh << " is too tall as the game holds it";
    if (!expected.airborne) {
        // the walkers snap their node to the ground: the feet belong at y = 0
        EXPECT_NEAR(box.getMinimum().y, 0.0f, 0.05f) << expected.mesh << " does not stand on its origin";
    }
}

TEST_P(CharacterCheck, LoopsEndInThePoseTheyStartWith)
{
    const ExpectedCharacter& expected = GetParam();
    for (const std::string& name : expected.loopingAnimations) {
        ASSERT_TRUE(skeleton->hasAnimation(name)) << name;
        const float length = skeleton->getAnimation(name)->getLength();
        auto start = posedBones(skeleton, name, 0.0f, expected.holding);
        auto end = posedBones(skeleton, name, length - 1e-4f, expected.holding);
        for (const auto& bone : start) {
            EXPECT_LT(bone.second.distance(end[bone.first]), 0.02f)
                << expected.mesh << " " << name << ": bone " << bone.first << " jumps when the loop restarts";
        }
    }
}

TEST_P(CharacterCheck, BoundsHoldEveryAnimatedPose)
{
    const ExpectedCharacter& expected = GetParam();
    const Ogre::AxisAlignedBox bounds = mesh->getBounds();
    const Ogre::Quaternion toModel = KelvoMedia::holdingOrientation(expected.holding).Inverse();
    for (const std::string& name : expected.animations) {
        const float length = skeleton->getAnimation(name)->getLength();
        for (int k = 0; k <= 20; ++k) {
            for (const auto& bone : posedBones(skeleton, name, length * k / 20.0f, expected.holding)) {
                EXPECT_TRUE(bounds.contains(toModel * bone.second))
                    << expected.mesh << " " << name << " at " << length * k / 20.0f << " s: bone " << bone.first
                    << " leaves the mesh bounds (the engine would cull the character while on screen)";
            }
        }
    }
}

std::string specName(const ::testing::TestParamInfo<ExpectedCharacter>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Characters, CharacterCheck, ::testing::ValuesIn(KelvoMedia::characters()), specName);

// --- how the animations read ----------------------------------------------------
// These look at specific bones of our rigs, as the game sees them: the hero
// faces +Z once the player script has turned him, the enemies once the walker
// has corrected them.

struct Sweep {
    Ogre::Vector3 min{Ogre::Vector3(1e9f)};
    Ogre::Vector3 max{Ogre::Vector3(-1e9f)};
    Ogre::Vector3 range() const { return max - min; }
};

Sweep sweepOf(const Ogre::SkeletonPtr& skeleton, const std::string& animation, const std::string& bone,
              KelvoMedia::Holding holding, float from = 0.0f, float to = 1.0f)
{
    Sweep s;
    const float length = skeleton->getAnimation(animation)->getLength();
    for (int k = 0; k <= 40; ++k) {
        const float t = length * (from + (to - from) * k / 40.0f);
        const Ogre::Vector3 p = posedBones(skeleton, animation, t, holding).at(bone);
        s.min.makeFloor(p);
        s.max.makeCeil(p);
    }
    return s;
}

const ExpectedCharacter& expected(const std::string& name)
{
    for (const ExpectedCharacter& c : KelvoMedia::characters()) {
        if (c.name == name) {
            return c;
        }
    }
    throw std::runtime_error("no character " + name);
}

TEST(CharacterMotion, HeroStridesAlongTheWayHeFaces)
{
    const ExpectedCharacter& hero = expected("hero");
    Ogre::SkeletonPtr skeleton = loadMesh(hero.mesh)->getSkeleton();
    for (const char* gait : {"all_walk", "all_run"}) {
        const Sweep foot = sweepOf(skeleton, gait, "FootL", hero.holding);
        EXPECT_GT(foot.range().z, 0.6f) << gait << ": the foot hardly moves forward and back";
        EXPECT_GT(foot.range().z, 3.0f * foot.range().x) << gait << ": the stride goes sideways";
    }
    const Sweep runFoot = sweepOf(skeleton, "all_run", "FootL", hero.holding);
    const Sweep walkFoot = sweepOf(skeleton, "all_walk", "FootL", hero.holding);
    EXPECT_GT(runFoot.range().y, walkFoot.range().y) << "running lifts the feet no higher than walking";
}

TEST(CharacterMotion, HeroThrowsOverheadAndForwardByTheRelease)
{
    // the game takes the ball into the hand at 1% of the throw and launches it at 22%
    const ExpectedCharacter& hero = expected("hero");
    Ogre::SkeletonPtr skeleton = loadMesh(hero.mesh)->getSkeleton();
    const float length = skeleton->getAnimation("all_throw_ball")->getLength();
    const auto rest = posedBones(skeleton, "", 0.0f, hero.holding);
    const auto cocked = posedBones(skeleton, "all_throw_ball", length * 0.15f, hero.holding);
    const auto released = posedBones(skeleton, "all_throw_ball", length * 0.25f, hero.holding);
    EXPECT_GT(cocked.at("HandR").y, rest.at("Head").y) << "the ball is not held above the head";
    EXPECT_GT(released.at("HandR").z, rest.at("HandR").z + 0.5f) << "the hand is not forward after the release";
    EXPECT_GT(released.at("HandR").z, cocked.at("HandR").z + 0.5f) << "the throw does not go forward";
}

TEST(CharacterMotion, EnemiesStrikeForwardAtHalfTheirLength)
{
    // the game deals a strike's damage when it passes half its length
    for (const char* name : {"spider", "spider_queen", "zombie"}) {
        const ExpectedCharacter& enemy = expected(name);
        Ogre::SkeletonPtr skeleton = loadMesh(enemy.mesh)->getSkeleton();
        const auto rest = posedBones(skeleton, "", 0.0f, enemy.holding);
        float restFront = -1e9f;
        for (const auto& bone : rest) {
            restFront = std::max(restFront, bone.second.z);
        }
        for (const std::string& attack : {"ca1stab", "ca1slashr", "ca1slashl"}) {
            const float length = skeleton->getAnimation(attack)->getLength();
            float front = -1e9f;
            for (const auto& bone : posedBones(skeleton, attack, length * 0.5f, enemy.holding)) {
                front = std::max(front, bone.second.z);
            }
            EXPECT_GT(front, restFront + 0.15f) << name << " " << attack << " does not reach forward at half its length";
        }
    }
}

TEST(CharacterMotion, RightSlashesSweepFromTheRightAndLeftOnesFromTheLeft)
{
    // facing +Z with +Y up, an enemy's right hand side is -X
    struct Striker {
        const char* character;
        const char* rightLimb;
        const char* leftLimb;
    };
    for (const Striker& s : {Striker{"zombie", "HandR", "HandL"}, Striker{"spider", "Leg1FootR", "Leg1FootL"},
                             Striker{"spider_queen", "Leg1FootR", "Leg1FootL"}}) {
        const ExpectedCharacter& enemy = expected(s.character);
        Ogre::SkeletonPtr skeleton = loadMesh(enemy.mesh)->getSkeleton();
        const float length = skeleton->getAnimation("ca1slashr")->getLength();
        const auto rWind = posedBones(skeleton, "ca1slashr", length * 0.3f, enemy.holding);
        const auto rHit = posedBones(skeleton, "ca1slashr", length * 0.6f, enemy.holding);
        const auto lWind = posedBones(skeleton, "ca1slashl", length * 0.3f, enemy.holding);
        const auto lHit = posedBones(skeleton, "ca1slashl", length * 0.6f, enemy.holding);
        EXPECT_GT(rHit.at(s.rightLimb).x - rWind.at(s.rightLimb).x, 0.3f)
            << s.character << " ca1slashr does not sweep right to left";
        EXPECT_LT(lHit.at(s.leftLimb).x - lWind.at(s.leftLimb).x, -0.3f)
            << s.character << " ca1slashl does not sweep left to right";
    }
}

TEST(CharacterMotion, TalkersMoveJawAndHandsWhileIdlersStayQuiet)
{
    for (const char* name : {"hero", "oldman"}) {
        const ExpectedCharacter& talker = expected(name);
        Ogre::SkeletonPtr skeleton = loadMesh(talker.mesh)->getSkeleton();
        const Sweep talkHand = sweepOf(skeleton, "all_talk", "HandL", talker.holding);
        const Sweep idleHand = sweepOf(skeleton, "all_idle", "HandL", talker.holding);
        EXPECT_GT(talkHand.range().length(), 0.4f) << name << " talks without gestures";
        EXPECT_GT(talkHand.range().length(), 2.0f * idleHand.range().length())
            << name << " gestures as much standing idle as talking";
        // the jaw opens: its tip (the chin) moves against the head
        bool jawMoves = false;
        const float length = skeleton->getAnimation("all_talk")->getLength();
        skeleton->reset(true);
        Ogre::Animation* talk = skeleton->getAnimation("all_talk");
        Ogre::Quaternion first;
        for (int k = 0; k <= 20; ++k) {
            skeleton->reset(true);
            talk->apply(skeleton.get(), length * k / 20.0f);
            const Ogre::Quaternion jaw = skeleton->getBone("Jaw")->getOrientation();
            if (k == 0) {
                first = jaw;
            } else if (!jaw.equals(first, Ogre::Degree(4))) {
                jawMoves = true;
            }
        }
        skeleton->reset(true);
        EXPECT_TRUE(jawMoves) << name << " talks with a still jaw";
    }
}

TEST(CharacterMotion, OldManKeepsHisStaffPlanted)
{
    // the staff hangs on his right hand: the hand may barely move or the staff leaves the ground
    const ExpectedCharacter& oldman = expected("oldman");
    Ogre::SkeletonPtr skeleton = loadMesh(oldman.mesh)->getSkeleton();
    for (const char* name : {"all_idle", "all_talk"}) {
        const Sweep hand = sweepOf(skeleton, name, "HandR", oldman.holding);
        EXPECT_LT(hand.range().y, 0.12f) << name << ": the staff hand lifts the staff off the ground";
    }
}

TEST(CharacterMotion, WalkersPointTheirToesWhereTheyFace)
{
    // seen as the game holds them, everyone faces +Z: feet reach forward of the ankles
    for (const char* name : {"hero", "oldman", "zombie"}) {
        const ExpectedCharacter& walker = expected(name);
        Ogre::MeshPtr mesh = loadMesh(walker.mesh);
        const Ogre::Quaternion q = KelvoMedia::holdingOrientation(walker.holding);
        const auto bones = posedBones(mesh->getSkeleton(), "", 0.0f, walker.holding);
        const float ankles = 0.5f * (bones.at("FootL").z + bones.at("FootR").z);
        float sum = 0.0f;
        int count = 0;
        for (const Ogre::Vector3& p : vertexPositions(mesh)) {
            const Ogre::Vector3 w = q * p;
            if (w.y < 0.1f * walker.maxHeight) {
                sum += w.z;
                ++count;
            }
        }
        ASSERT_GT(count, 0) << name << " has nothing near the ground";
        EXPECT_GT(sum / count, ankles + 0.05f) << name << "'s feet point backwards as the game holds it";
    }
}

TEST(CharacterMotion, BirdFacesForwardAndBeatsItsWings)
{
    const ExpectedCharacter& bird = expected("bird");
    Ogre::SkeletonPtr skeleton = loadMesh(bird.mesh)->getSkeleton();
    const auto rest = posedBones(skeleton, "", 0.0f, bird.holding);
    EXPECT_GT(rest.at("Head").z, rest.at("Tail").z) << "the bird flies tail first";
    const Sweep tip = sweepOf(skeleton, "flying", "WingTipL", bird.holding);
    EXPECT_GT(tip.range().y, 0.4f) << "the wings hardly beat";
    EXPECT_LT(tip.range().z, tip.range().y) << "the wings row instead of beating";
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    gEngine = new HeadlessEngine();
    ::testing::AddGlobalTestEnvironment(gEngine);
    return RUN_ALL_TESTS();
}
