// Framing the selection with the edit camera, and the scene copy the game
// plays when started from the editor, on a real terrain in a GL window (under
// Xvfb in the suite). The terrain is a plain at height 10 made from code; the
// objects are generated crates and the hero's mesh, loaded by the scene
// loader from scenes in the test's own folder. Framing is checked by
// projecting the framed box's corners with the camera that draws the view.

#include "editor/EditCameraScript.h"
#include "editor/PlaySceneCopy.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "states/EditorPlaySession.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/ScriptManager.h"
#include "world/TerrainProbe.h"

#include "SharedEnvironment.h"
#include "TerrainWindowEngine.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const float kGround = 10.0f;

float flatGround(float, float)
{
    return kGround;
}

using Engine = KelvoTest::TerrainWindowEngine;
Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>("editor_play", flatGround);

std::string number(float value)
{
    return Ogre::StringConverter::toString(value);
}

std::string entity(const std::string& name, const std::string& mesh, const Ogre::Vector3& at, float scale,
                   const std::string& type = "")
{
    return "<entities><entity name=\"" + name + "\" hidden=\"false\" filename=\"" + mesh +
           "\" CastShadows=\"no\" ReceiveShadows=\"no\"><position x=\"" + number(at.x) + "\" y=\"" + number(at.y) +
           "\" z=\"" + number(at.z) + "\"/><scale x=\"" + number(scale) + "\" y=\"" + number(scale) + "\" z=\"" +
           number(scale) + "\"/>" + (type.empty() ? "" : "<type name=\"" + type + "\"/>") +
           "</entity></entities>";
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Quaternion::equals takes the arc cosine of a dot product that rounding
// puts a hair under 1 even for a quaternion and itself; turned axes compare
// without that.
bool sameTurn(const Ogre::Quaternion& a, const Ogre::Quaternion& b)
{
    return (a * Ogre::Vector3::UNIT_X).distance(b * Ogre::Vector3::UNIT_X) < 1e-4f &&
           (a * Ogre::Vector3::UNIT_Z).distance(b * Ogre::Vector3::UNIT_Z) < 1e-4f;
}

bool fileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

class EditorPlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        sceneFolder = engine->folder + "/scenes/";
        loader = new Kelvo::SceneLoader();
        loader->setSceneDirectory(sceneFolder);
        const KelvoTest::TerrainWindowEngine::MainScene made = engine->createMainScene();
        scene = made.scene;
        camera = made.camera;
    }

    void TearDown() override
    {
        delete cameraScript;
        delete scripts;
        delete world;
        loader->unload();
        delete meshes;
        engine->destroyMainScene(scene);
        delete loader;
    }

    // Writes the designer's scene into the test's scene folder, loads it as
    // the editor does (markers shown) and starts the edit camera.
    void enter(const std::string& blocks)
    {
        std::ofstream(sceneFolder + "designer.qormscene") << "<kelvo_scene>" << blocks << "</kelvo_scene>";
        ASSERT_TRUE(loader->load("designer.qormscene", scene, nullptr, true));
        meshes = new Kelvo::MeshManager(scene);
        Kelvo::WorldParts parts;
        parts.sceneLoader = loader;
        parts.sceneManager = scene;
        parts.camera = camera;
        parts.meshes = meshes;
        world = new Kelvo::GameWorld(parts);
        scripts = new Kelvo::ScriptManager(world);
        cameraScript = new Kelvo::EditCameraScript(world, scripts);
        scripts->add(cameraScript);
        engine->root->renderOneFrame();
    }

    void frame(float seconds)
    {
        Ogre::FrameEvent event;
        event.timeSinceLastEvent = event.timeSinceLastFrame = seconds;
        scripts->update(event);
        engine->root->renderOneFrame();
    }

    // Frames the node at one frame time; returns the number of frames the
    // flight took.
    int frameAt(const std::string& name, float seconds)
    {
        EXPECT_TRUE(cameraScript->frameNode(scene->getSceneNode(name)));
        int frames = 0;
        while (cameraScript->isFraming() && frames < 1000) {
            frame(seconds);
            ++frames;
        }
        return frames;
    }

    // A camera turned away from the objects, looking level and to the side.
    void startFrom(const Ogre::Vector3& at, float yawDegrees, float pitchDegrees)
    {
        Kelvo::EditCameraScript::Pose pose;
        pose.position = at;
        pose.yaw = Ogre::Quaternion(Ogre::Degree(yawDegrees), Ogre::Vector3::UNIT_Y);
        pose.pitch = Ogre::Quaternion(Ogre::Degree(pitchDegrees), Ogre::Vector3::UNIT_X);
        cameraScript->setPose(pose);
        frame(0.0f);
    }

    // The box corners in normalised device coordinates (x, y in [-1, 1] are
    // in the view; z is the distance in front of the camera).
    std::vector<Ogre::Vector3> projectedCorners(const Ogre::AxisAlignedBox& box) const
    {
        std::vector<Ogre::Vector3> corners;
        for (const Ogre::Vector3& corner : box.getAllCorners()) {
            const Ogre::Vector3 eye = camera->getViewMatrix() * corner;
            const Ogre::Vector3 clip = camera->getProjectionMatrix() * eye;
            corners.emplace_back(clip.x, clip.y, -eye.z);
        }
        return corners;
    }

    void expectWhollyAndCentrallyInView(const std::string& name)
    {
        SCOPED_TRACE(name);
        const Ogre::AxisAlignedBox box = scene->getEntity(name)->getWorldBoundingBox(true);
        float reach = 0.0f;
        for (const Ogre::Vector3& corner : projectedCorners(box)) {
            EXPECT_GT(corner.z, camera->getNearClipDistance());
            EXPECT_LT(std::fabs(corner.x), 1.0f) << corner;
            EXPECT_LT(std::fabs(corner.y), 1.0f) << corner;
            reach = std::max(reach, std::max(std::fabs(corner.x), std::fabs(corner.y)));
        }
        // Shown whole, and large: not a speck in the distance.
        EXPECT_GT(reach, 0.4f);
        const Ogre::Vector3 eye = camera->getViewMatrix() * box.getCenter();
        const Ogre::Vector3 middle = camera->getProjectionMatrix() * eye;
        EXPECT_NEAR(0.0f, middle.x, 0.02f);
        EXPECT_NEAR(0.0f, middle.y, 0.02f);
    }

    int logged(const std::string& text) const { return engine->log.count(text); }

    Engine* engine = nullptr;
    std::string sceneFolder;
    Kelvo::SceneLoader* loader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Kelvo::MeshManager* meshes = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::EditCameraScript* cameraScript = nullptr;
};

const Ogre::Vector3 kSmallCrateAt(60, kGround, -40);
const Ogre::Vector3 kLargeCrateAt(-150, kGround, 120);
const std::string kCrates = entity("small_crate", "crate.mesh", kSmallCrateAt, 1) +
                            entity("large_crate", "crate.mesh", kLargeCrateAt, 40);

TEST_F(EditorPlayTest, FramingPutsASmallAndALargeObjectWhollyInTheMiddleOfTheViewKeepingTheHeading)
{
    enter(kCrates);
    // Level and facing away from both: the heading stays, the pitch turns down.
    startFrom(Ogre::Vector3(0, 200, 0), 70.0f, 0.0f);
    const Ogre::Quaternion heading = cameraScript->getYawNode()->getOrientation();

    frameAt("small_crate", 1.0f / 30);
    EXPECT_EQ(1, logged("EditCameraScript: framing 'small_crate'"));
    EXPECT_EQ(1, logged("EditCameraScript: framed 'small_crate'"));
    expectWhollyAndCentrallyInView("small_crate");
    EXPECT_TRUE(sameTurn(heading, cameraScript->getYawNode()->getOrientation()));
    const float smallDistance = camera->getDerivedPosition().distance(kSmallCrateAt);

    frameAt("large_crate", 1.0f / 30);
    expectWhollyAndCentrallyInView("large_crate");
    EXPECT_TRUE(sameTurn(heading, cameraScript->getYawNode()->getOrientation()));
    // The crate is 40 times as big: the camera stands far further off.
    EXPECT_GT(camera->getDerivedPosition().distance(kLargeCrateAt), 10 * smallDistance);
    // Framed from above: the camera never ends below the ground.
    EXPECT_GT(camera->getDerivedPosition().y, kGround);
}

TEST_F(EditorPlayTest, TheFramingFlightEndsOnTheSamePoseAtSixtyAndAtTenFramesASecond)
{
    enter(kCrates);
    const Ogre::Vector3 start(300, 150, 300);
    startFrom(start, -30.0f, -35.0f);
    const int fastFrames = frameAt("large_crate", 1.0f / 60);
    const Kelvo::EditCameraScript::Pose fast = cameraScript->getPose();

    startFrom(start, -30.0f, -35.0f);
    // A flight, not a jump: after the first slow frame the camera is on its way.
    ASSERT_TRUE(cameraScript->frameNode(scene->getSceneNode("large_crate")));
    frame(0.1f);
    const float travelled = cameraScript->getPose().position.distance(start);
    EXPECT_GT(travelled, 0.0f);
    EXPECT_LT(travelled, 0.5f * fast.position.distance(start));
    int slowFrames = 1;
    while (cameraScript->isFraming() && slowFrames < 100) {
        frame(0.1f);
        ++slowFrames;
    }
    const Kelvo::EditCameraScript::Pose slow = cameraScript->getPose();

    // Half a second of frame time either way (frames longer than 0.1 s count as 0.1 s).
    EXPECT_EQ(30, fastFrames);
    EXPECT_EQ(5, slowFrames);
    EXPECT_LT(fast.position.distance(slow.position), 1e-3f) << fast.position << " " << slow.position;
    EXPECT_TRUE(sameTurn(fast.yaw, slow.yaw));
    EXPECT_TRUE(sameTurn(fast.pitch, slow.pitch));
    // The pitch the camera had is kept.
    EXPECT_NEAR(-35.0f, slow.pitch.getPitch().valueDegrees(), 0.01f);
}

// --- the scene the game plays --------------------------------------------------

class PlayCopyTest : public EditorPlayTest {
protected:
    // The ground below the edit camera, found as the editor finds it.
    Ogre::Vector3 groundBelowCamera()
    {
        Ogre::Vector3 ground;
        EXPECT_TRUE(world->getTerrainProbe()->pointBelow(cameraScript->getYawNode()->_getDerivedPosition(), ground,
                                                         5000.0f));
        return ground;
    }

    // The copy read back by a loader as the game reads it; the entities by name.
    void loadPlayed() { ASSERT_TRUE(loader->load(Kelvo::EditorPlaySession::kPlayFileName, scene, nullptr, false)); }

    std::vector<std::string> heroes() const
    {
        std::vector<std::string> names;
        for (const auto& entry : loader->entities()) {
            if (entry.second->getType() == "Player") {
                names.push_back(entry.first);
            }
        }
        return names;
    }
};

TEST_F(PlayCopyTest, TheCopyCarriesTheUnsavedChangesAndAHeroBelowTheCameraAndIsNeverListed)
{
    // A crate already has the hero's usual name.
    enter(kCrates + entity("player", "crate.mesh", Ogre::Vector3(5, kGround, 5), 1));
    const std::string designerFile = readFile(sceneFolder + "designer.qormscene");
    // An unsaved change: the small crate moved.
    const Ogre::Vector3 moved(75, kGround, -20);
    loader->findEntity("small_crate")->setPosition(moved);
    startFrom(Ogre::Vector3(-30, 80, 45), 0.0f, -30.0f);
    const Ogre::Vector3 ground = groundBelowCamera();
    EXPECT_NEAR(kGround, ground.y, 0.05f);

    Kelvo::EditorPlaySession session;
    const std::string edited = loader->sceneText();
    ASSERT_TRUE(session.begin(sceneFolder, Kelvo::PlaySceneCopy::withHeroAt(*loader, ground)));
    EXPECT_EQ(sceneFolder + Kelvo::EditorPlaySession::kPlayFileName, session.playFilePath());
    // The designer's scene, on the disk and in the editor, is untouched.
    EXPECT_EQ(designerFile, readFile(sceneFolder + "designer.qormscene"));
    EXPECT_EQ(edited, loader->sceneText());
    EXPECT_TRUE(heroes().empty());
    const Kelvo::SceneLoader::NameList listed = loader->getSceneFileNames();
    EXPECT_EQ(std::vector<std::string>{"designer.qormscene"}, *listed);

    loadPlayed();
    EXPECT_EQ(moved, loader->findEntity("small_crate")->currentPosition());
    EXPECT_EQ(kLargeCrateAt, loader->findEntity("large_crate")->currentPosition());
    ASSERT_EQ(std::vector<std::string>{"player_2"}, heroes());
    const Kelvo::EntityDescription* hero = loader->findEntity("player_2");
    EXPECT_EQ("hero.mesh", hero->getFileName());
    EXPECT_EQ("crate.mesh", loader->findEntity("player")->getFileName());
    EXPECT_LT(hero->getSceneNode()->_getDerivedPosition().distance(ground), 0.01f);

    session.end();
    EXPECT_FALSE(fileExists(session.playFilePath()));
}

TEST_F(PlayCopyTest, TheScenesOwnHeroIsMovedBelowTheCameraOnlyInTheCopy)
{
    const Ogre::Vector3 heroAt(-100, kGround, -100);
    enter(kCrates + entity("player", "hero.mesh", heroAt, 1, "Player"));
    startFrom(Ogre::Vector3(40, 60, 90), 0.0f, -30.0f);
    const Ogre::Vector3 ground = groundBelowCamera();

    std::string heroName;
    const std::string played = Kelvo::PlaySceneCopy::withHeroAt(*loader, ground, &heroName);
    EXPECT_EQ("player", heroName);
    EXPECT_EQ(heroAt, loader->findEntity("player")->currentPosition());

    Kelvo::EditorPlaySession session;
    ASSERT_TRUE(session.begin(sceneFolder, played));
    loadPlayed();
    ASSERT_EQ(std::vector<std::string>{"player"}, heroes());
    EXPECT_LT(loader->findEntity("player")->getSceneNode()->_getDerivedPosition().distance(ground), 0.01f);
    EXPECT_EQ(kSmallCrateAt, loader->findEntity("small_crate")->currentPosition());
    session.end();
}

TEST_F(PlayCopyTest, TheUnsavedSceneComesBackUnderTheDesignersNameAndALeftoverCopyIsRemoved)
{
    enter(kCrates);
    loader->findEntity("large_crate")->setPosition(Ogre::Vector3(-140, kGround, 100));
    const std::string edited = loader->sceneText();

    Kelvo::EditorPlaySession session;
    ASSERT_TRUE(session.begin(sceneFolder, Kelvo::PlaySceneCopy::withHeroAt(*loader, Ogre::Vector3(0, kGround, 0))));
    loadPlayed();
    loader->unload();

    // The way back: the edited text through the temporary file, under the
    // designer's own file name, so a save writes the designer's file.
    ASSERT_TRUE(session.rewritePlayFile(edited));
    ASSERT_TRUE(loader->loadCopy(Kelvo::EditorPlaySession::kPlayFileName, "designer.qormscene", scene, nullptr, true));
    EXPECT_STREQ("designer.qormscene", loader->getCurrentFileName());
    EXPECT_EQ(edited, loader->sceneText());
    session.end();
    EXPECT_FALSE(fileExists(session.playFilePath()));

    // A copy a crash left behind goes at the next entry, and only that file.
    std::ofstream(sceneFolder + Kelvo::EditorPlaySession::kPlayFileName) << edited;
    EXPECT_TRUE(Kelvo::EditorPlaySession::removeLeftover(sceneFolder));
    EXPECT_FALSE(fileExists(sceneFolder + Kelvo::EditorPlaySession::kPlayFileName));
    EXPECT_FALSE(Kelvo::EditorPlaySession::removeLeftover(sceneFolder));
    EXPECT_TRUE(fileExists(sceneFolder + "designer.qormscene"));
}

TEST_F(PlayCopyTest, ACopyThatCannotBeWrittenOpensNoSession)
{
    enter(kCrates);
    Kelvo::EditorPlaySession session;
    EXPECT_FALSE(session.begin(sceneFolder + "no_such_folder/", loader->sceneText()));
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(1, logged("EditorPlaySession: cannot write"));
}

} // namespace
