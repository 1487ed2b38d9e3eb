// The level editor's scripts without a window: the camera-spline recorder's
// file, the control script's messages, the edit camera's flight and the
// classification of picking hits, on a headless engine.

#include "HeadlessEngine.h"
#include "SceneTestFixture.h"
#include "TemporaryFolder.h"

#include "editor/EditCameraScript.h"
#include "editor/EditKeyState.h"
#include "editor/EditMouseState.h"
#include "editor/LevelEditControllScript.h"
#include "editor/LevelEditGUIScript.h"
#include "editor/PickResult.h"
#include "editor/SplineRecorder.h"
#include "gui/CeGUIManager.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"
#include "world/ScriptAtom.h"
#include "world/ScriptManager.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kelvo::EditKeyState;
using Kelvo::EditMouseState;
using Kelvo::SplineRecorder;

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

Ogre::FrameEvent frame(float seconds)
{
    Ogre::FrameEvent event;
    event.timeSinceLastEvent = event.timeSinceLastFrame = seconds;
    return event;
}

// --- the spline recorder ---------------------------------------------------------

class SplineRecorderTest : public KelvoTest::HeadlessEngineTest {
protected:
    KelvoTest::TemporaryFolder folder{"kelvo-splines"};
};

TEST_F(SplineRecorderTest, AKeyFrameIsThreeSourceLinesInTheStreamsDefaultNumberFormat)
{
    EXPECT_EQ("key = track->createNodeKeyFrame(animDelay*2.5+timOffset);\n"
              "key->setTranslate(Ogre::Vector3(10,200,-35.5));\n"
              "key->setRotation(Ogre::Quaternion(1,0,0,0));\n",
              SplineRecorder::keyFrameText(2.5f, Ogre::Vector3(10, 200, -35.5f), Ogre::Quaternion::IDENTITY));
    // Six significant digits at most, exponent for huge values.
    const std::string rounded =
        SplineRecorder::keyFrameText(1.0f / 3.0f, Ogre::Vector3(1234567.0f, 0.1f, -2), Ogre::Quaternion::IDENTITY);
    EXPECT_NE(std::string::npos, rounded.find("animDelay*0.333333+timOffset"));
    EXPECT_NE(std::string::npos, rounded.find("Vector3(1.23457e+06,0.1,-2)"));
}

TEST_F(SplineRecorderTest, TheTimeRunsOnlyWhileRecordingAndOnlyTheEndKeyResetsIt)
{
    SplineRecorder splines(folder.file("cutsecene.log"));
    splines.advance(1.0f);
    EXPECT_EQ(0.0f, splines.getTime()) << "not recording yet";
    splines.beginSpline();
    splines.advance(1.5f);
    splines.beginSpline();
    splines.advance(1.0f);
    EXPECT_FLOAT_EQ(2.5f, splines.getTime()) << "a second begin continues the time";
    splines.writeKeyFrame(Ogre::Vector3(10, 200, -35.5f), Ogre::Quaternion::IDENTITY);
    splines.endSpline();
    EXPECT_EQ(0.0f, splines.getTime());
    EXPECT_FALSE(splines.isRecording());
    // Space with recording off still writes, at the time reached (0 now).
    splines.writeKeyFrame(Ogre::Vector3(0, 200, 0), Ogre::Quaternion::IDENTITY);
    // An end without a begin writes its line all the same.
    splines.endSpline();

    const std::string text = readFile(folder.file("cutsecene.log"));
    const std::string expected = std::string(SplineRecorder::kBeginLine) + SplineRecorder::kBeginLine +
                                 "key = track->createNodeKeyFrame(animDelay*2.5+timOffset);\n"
                                 "key->setTranslate(Ogre::Vector3(10,200,-35.5));\n"
                                 "key->setRotation(Ogre::Quaternion(1,0,0,0));\n" +
                                 SplineRecorder::kEndLine +
                                 "key = track->createNodeKeyFrame(animDelay*0+timOffset);\n"
                                 "key->setTranslate(Ogre::Vector3(0,200,0));\n"
                                 "key->setRotation(Ogre::Quaternion(1,0,0,0));\n" +
                                 SplineRecorder::kEndLine;
    ASSERT_GT(text.size(), expected.size());
    EXPECT_EQ(expected, text.substr(text.size() - expected.size()));
    EXPECT_EQ(0u, text.find("// ------------ KELVO editor run of ")) << text;
    EXPECT_EQ("------------ End   Spline ------------\n", std::string(SplineRecorder::kEndLine));
}

TEST_F(SplineRecorderTest, ALaterRunAppendsBehindTheLastRunsSplinesWithItsOwnMarker)
{
    const std::string path = folder.file("cutsecene.log");
    {
        SplineRecorder first(path);
        first.beginSpline();
        first.writeKeyFrame(Ogre::Vector3(1, 2, 3), Ogre::Quaternion::IDENTITY);
    }
    const std::string firstRun = readFile(path);
    {
        SplineRecorder second(path);
        EXPECT_EQ(firstRun, readFile(path)) << "starting a run touches nothing";
        second.writeKeyFrame(Ogre::Vector3(4, 5, 6), Ogre::Quaternion::IDENTITY);
    }
    const std::string both = readFile(path);
    EXPECT_EQ(0u, both.find(firstRun)) << "the first run's lines are kept";
    EXPECT_EQ(2, occurrences(both, "KELVO editor run of"));
    EXPECT_NE(std::string::npos, both.find("Vector3(4,5,6)"));
}

TEST_F(SplineRecorderTest, AFileThatCannotBeWrittenIsReportedOnceAndNothingElseHappens)
{
    SplineRecorder splines(folder.path() + "/no such folder/cutsecene.log");
    splines.beginSpline();
    splines.writeKeyFrame(Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
    splines.endSpline();
    EXPECT_EQ(1, log().count("cannot be opened for writing"));
}

// --- the control script and the edit camera ----------------------------------------

const int kWidth = 800;
const int kHeight = 600;

// Writes down the control script's messages as the scripts after it see them.
class MessageReader : public Kelvo::ScriptAtom {
public:
    using ScriptAtom::ScriptAtom;
    void update(Ogre::FrameEvent) override
    {
        Kelvo::FrameMessageManager* messages = mWorld->getMessages();
        mouse = nullptr;
        keys = nullptr;
        mode = -1;
        if (auto* m = static_cast<Kelvo::FrameMessageVoidPtr*>(
                messages->find("NEW_MOUSE_POS", Kelvo::FrameMessage::kVoidPtr))) {
            mouseCopy = *static_cast<EditMouseState*>(m->pointer);
            mouse = &mouseCopy;
        }
        if (auto* k = static_cast<Kelvo::FrameMessageVoidPtr*>(
                messages->find("NEW_KEY_EVENTS", Kelvo::FrameMessage::kVoidPtr))) {
            keysCopy = *static_cast<EditKeyState*>(k->pointer);
            keys = &keysCopy;
        }
        if (auto* m = static_cast<Kelvo::FrameMessageVoidPtr*>(
                messages->find("EDIT_MODE_CHANGED", Kelvo::FrameMessage::kVoidPtr))) {
            mode = *static_cast<int*>(m->pointer);
        }
    }
    std::string getName() override { return "MessageReader"; }

    EditMouseState mouseCopy;
    EditKeyState keysCopy;
    EditMouseState* mouse = nullptr;
    EditKeyState* keys = nullptr;
    int mode = -1;
};

class EditScriptsTest : public KelvoTest::HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        scene = mRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "MainScene");
        camera = scene->createCamera("PrimaryCamera");
        Kelvo::WorldParts parts;
        parts.sceneManager = scene;
        parts.camera = camera;
        world = new Kelvo::GameWorld(parts);
        scripts = new Kelvo::ScriptManager(world);
        control = new Kelvo::LevelEditControllScript(world, scripts, kWidth, kHeight);
        gui = new Kelvo::LevelEditGUIScript(world, scripts, &guiManager);
        cameraScript = new Kelvo::EditCameraScript(world, scripts);
        reader = new MessageReader(world, scripts);
        scripts->add(control);
        scripts->add(gui);
        scripts->add(cameraScript);
        scripts->add(reader);
    }

    void TearDown() override
    {
        delete reader;
        delete cameraScript;
        delete gui;
        delete control;
        delete scripts;
        delete world;
        HeadlessEngineTest::TearDown();
    }

    void step(float seconds = 1.0f / 60) { scripts->update(frame(seconds)); }

    // OIS events hold their state by reference: the fixture keeps it.
    OIS::MouseEvent mouseEvent(int x, int y, int relX, int relY)
    {
        mouseState = OIS::MouseState();
        mouseState.width = kWidth;
        mouseState.height = kHeight;
        mouseState.X.abs = x;
        mouseState.Y.abs = y;
        mouseState.X.rel = relX;
        mouseState.Y.rel = relY;
        return OIS::MouseEvent(nullptr, mouseState);
    }

    void moveTo(int x, int y, int relX = 0, int relY = 0) { control->mouseMoved(mouseEvent(x, y, relX, relY)); }

    void rightClick()
    {
        control->mousePressed(mouseEvent(0, 0, 0, 0), OIS::MB_Right);
        control->mouseReleased(mouseEvent(0, 0, 0, 0), OIS::MB_Right);
    }

    void press(OIS::KeyCode key) { control->keyPressed(OIS::KeyEvent(nullptr, key, 0)); }
    void release(OIS::KeyCode key) { control->keyReleased(OIS::KeyEvent(nullptr, key, 0)); }

    // Into mouse-look mode, where the keys reach the camera.
    void lookMode()
    {
        step();
        rightClick();
        step();
        ASSERT_EQ(0, reader->mode);
    }

    Ogre::Vector3 cameraPosition() const { return cameraScript->getYawNode()->_getDerivedPosition(); }

    // No CEGUI behind it: it only counts the windows under the cursor here.
    Kelvo::CeGUIManager guiManager;
    Ogre::SceneManager* scene = nullptr;
    Ogre::Camera* camera = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::LevelEditControllScript* control = nullptr;
    Kelvo::LevelEditGUIScript* gui = nullptr;
    Kelvo::EditCameraScript* cameraScript = nullptr;
    MessageReader* reader = nullptr;
    OIS::MouseState mouseState;
};

TEST_F(EditScriptsTest, TheFirstFramePublishesEditModeAndTheCursorAtTheWindowsCentre)
{
    step();
    EXPECT_EQ(1, reader->mode);
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_EQ(Ogre::Vector3(400, 300, 0), reader->mouse->position);
    EXPECT_EQ(1, log().count("LevelEditControllScript: mode 1"));
    step();
    EXPECT_EQ(-1, reader->mode) << "the mode is published only when it changes";
    EXPECT_EQ(nullptr, reader->mouse) << "no mouse message without mouse events";
}

TEST_F(EditScriptsTest, ARightClickWithoutMovingTogglesTheModeOnceAndBack)
{
    step();
    rightClick();
    step();
    EXPECT_EQ(0, reader->mode);
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_TRUE(reader->mouse->right);
    EXPECT_FALSE(reader->mouse->dragging) << "a click is described by the click record";
    step();
    EXPECT_EQ(-1, reader->mode);
    rightClick();
    step();
    EXPECT_EQ(1, reader->mode);
    EXPECT_EQ(1, log().count("LevelEditControllScript: mode 0"));
}

TEST_F(EditScriptsTest, TheCursorFollowsThePointerInEditModeAndStaysInTheCentreInMouseLook)
{
    step();
    moveTo(120, 80, 5, -3);
    step();
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_EQ(Ogre::Vector3(120, 80, 0), reader->mouse->position);
    EXPECT_EQ(Ogre::Vector3(5, -3, 0), reader->mouse->relative);
    moveTo(kWidth + 50, -20, 0, 0);
    step();
    EXPECT_EQ(Ogre::Vector3(kWidth, 0, 0), reader->mouse->position) << "clamped to the window";

    rightClick();
    step();
    moveTo(10, 10, 40, 25);
    moveTo(12, 11, 2, 1);
    step();
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_EQ(Ogre::Vector3(400, 300, 0), reader->mouse->position);
    EXPECT_EQ(Ogre::Vector3(42, 26, 0), reader->mouse->relative) << "movement adds up between frames";
}

TEST_F(EditScriptsTest, ADragIsPublishedAsDragRecordsOnlyTheFirstMarkedAsItsStart)
{
    step();
    control->mousePressed(mouseEvent(100, 100, 0, 0), OIS::MB_Left);
    moveTo(110, 100, 10, 0);
    step();
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_TRUE(reader->mouse->dragging);
    EXPECT_TRUE(reader->mouse->left);
    EXPECT_TRUE(reader->mouse->dragStart);
    moveTo(120, 100, 10, 0);
    step();
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_TRUE(reader->mouse->dragging);
    EXPECT_FALSE(reader->mouse->dragStart);
    EXPECT_EQ(Ogre::Vector3(10, 0, 0), reader->mouse->relative);
    control->mouseReleased(mouseEvent(120, 100, 0, 0), OIS::MB_Left);
    step();
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_FALSE(reader->mouse->dragging);
    EXPECT_TRUE(reader->mouse->left);
}

TEST_F(EditScriptsTest, AKeyMessageComesEveryFrameWhileAKeyIsHeldAndNoneOtherwise)
{
    lookMode();
    step();
    EXPECT_EQ(nullptr, reader->keys);
    press(OIS::KC_W);
    for (int i = 0; i < 3; ++i) {
        step();
        ASSERT_NE(nullptr, reader->keys) << "frame " << i;
        EXPECT_TRUE(reader->keys->forward);
    }
    press(OIS::KC_PGDOWN);
    step();
    EXPECT_TRUE(reader->keys->down);
    release(OIS::KC_W);
    release(OIS::KC_PGDOWN);
    step();
    EXPECT_EQ(nullptr, reader->keys);
    press(OIS::KC_F5);
    step();
    EXPECT_EQ(nullptr, reader->keys) << "a key the editor does not fly with";
}

TEST_F(EditScriptsTest, KeysAreKeptFromTheCameraInEditMode)
{
    step();
    press(OIS::KC_W);
    for (int i = 0; i < 10; ++i) {
        step();
    }
    EXPECT_EQ(nullptr, reader->keys) << "the GUI script takes them off the board";
    EXPECT_EQ(Ogre::Vector3(0, 200, 0), cameraPosition());
}

TEST_F(EditScriptsTest, MouseMessagesAreKeptFromPickingWhileTheCursorIsOverAWindowInEditMode)
{
    step();
    guiManager.mouseEntered();
    control->mousePressed(mouseEvent(10, 10, 0, 0), OIS::MB_Left);
    control->mouseReleased(mouseEvent(10, 10, 0, 0), OIS::MB_Left);
    step();
    EXPECT_EQ(nullptr, reader->mouse) << "the click belongs to the window";
    guiManager.mouseLeft();
    moveTo(300, 200);
    step();
    ASSERT_NE(nullptr, reader->mouse);
    EXPECT_EQ(Ogre::Vector3(300, 200, 0), reader->mouse->position);

    // In mouse-look mode the windows hear nothing and the camera turns.
    rightClick();
    step();
    guiManager.mouseEntered();
    moveTo(0, 0, 4, 0);
    step();
    EXPECT_NE(nullptr, reader->mouse);
}

TEST_F(EditScriptsTest, TheCameraStartsAt200AndFliesAlongTheViewAtTheSameSpeedAtAnyFrameRate)
{
    EXPECT_EQ(Ogre::Vector3(0, 200, 0), cameraPosition());
    EXPECT_EQ(cameraScript->getPitchNode(), camera->getParentSceneNode());
    lookMode();
    press(OIS::KC_W);
    for (int i = 0; i < 60; ++i) {
        step(1.0f / 60);
    }
    const Ogre::Vector3 slow = cameraPosition();
    EXPECT_NEAR(-100.0f, slow.z, 0.01f) << "a second forward is 100 units along -Z";
    for (int i = 0; i < 10; ++i) {
        step(0.1f);
    }
    EXPECT_NEAR(-200.0f, cameraPosition().z, 0.01f) << "the same second at 10 frames a second";
    EXPECT_NEAR(200.0f, cameraPosition().y, 0.01f);
    release(OIS::KC_W);
    step(0.1f);
    EXPECT_NEAR(-200.0f, cameraPosition().z, 0.01f) << "no key message, no movement";
}

TEST_F(EditScriptsTest, BackwardBeatsForwardAndDownBeatsUp)
{
    lookMode();
    press(OIS::KC_W);
    press(OIS::KC_S);
    press(OIS::KC_Q);
    press(OIS::KC_E);
    for (int i = 0; i < 10; ++i) {
        step(0.1f);
    }
    EXPECT_NEAR(100.0f, cameraPosition().z, 0.01f);
    EXPECT_NEAR(100.0f, cameraPosition().y, 0.01f);
}

TEST_F(EditScriptsTest, TheMouseTurnsTheCameraInMouseLookOnlyAndFlightFollowsThePitch)
{
    step();
    moveTo(0, 0, 500, 500);
    step();
    EXPECT_TRUE(camera->getDerivedOrientation().equals(Ogre::Quaternion::IDENTITY, Ogre::Degree(0.01f)))
        << "edit mode: the cursor moves, the camera does not";

    rightClick();
    step();
    // 180 pixels left and up: at half a degree per pixel a quarter turn to
    // the left and a look straight up.
    moveTo(0, 0, -180, -180);
    step();
    const Ogre::Vector3 view = camera->getDerivedDirection();
    EXPECT_NEAR(1.0f, view.y, 1e-4f) << "looking up";
    press(OIS::KC_W);
    for (int i = 0; i < 10; ++i) {
        step(0.1f);
    }
    EXPECT_NEAR(300.0f, cameraPosition().y, 0.01f) << "forward flies where the camera looks";
    EXPECT_NEAR(0.0f, cameraPosition().x, 0.01f);
    EXPECT_NEAR(0.0f, cameraPosition().z, 0.01f);
}

// --- picking hits -------------------------------------------------------------------

class PickResultTest : public KelvoTest::SceneTest {
protected:
    // A ball on a node of the given name at the given place.
    Ogre::SceneNode* ball(const std::string& nodeName, const Ogre::Vector3& at, bool visible = true)
    {
        Ogre::SceneNode* node = mSceneManager->getRootSceneNode()->createChildSceneNode(nodeName, at);
        node->attachObject(mSceneManager->createEntity(nodeName + "_e", "ball.mesh"));
        node->setVisible(visible);
        return node;
    }

    void update() { mSceneManager->getRootSceneNode()->_update(true, false); }
};

TEST_F(PickResultTest, EveryHitIsKnownByItsNodesNameAndThePlanesAndTheLocatorAreNotHits)
{
    // Along the ray from the origin down -Z, one of each kind, 10 apart.
    ball("hut", Ogre::Vector3(0, 0, -10));
    ball("LE_MOVE_AXES_X_SHAFT", Ogre::Vector3(0, 0, -20));
    ball("LE_MOVE_PLANE_XZ", Ogre::Vector3(0, 0, -30));
    ball("LE_MOVE_PLANE_YX", Ogre::Vector3(0, 0, -40));
    ball("LE_MOVE_PLANE_YZ", Ogre::Vector3(0, 0, -50));
    ball("LE_MOVE_LOCATOR_CONTAINER", Ogre::Vector3(0, 0, -60));
    ball("PagingLandScape_0_0", Ogre::Vector3(0, 0, -70));
    ball("LE_MOVE_AXES_Y_SCALE", Ogre::Vector3(0, 0, -80));
    ball("well", Ogre::Vector3(0, 0, -90));
    ball("SkyDomeNode", Ogre::Vector3(0, 0, -100));
    // Around the ray's origin: reported at distance 0 and skipped.
    ball("eye", Ogre::Vector3(0, 0, 0));
    // Hidden: cannot be aimed at.
    ball("ghost", Ogre::Vector3(0, 0, -5), false);
    ball("LE_MOVE_AXES_Z_HEAD", Ogre::Vector3(0, 0, -15), false);
    update();

    // A ring (circling its node's X axis, radius its scale) that faces the
    // ray: its box is hit, but the ray passes through the ring's middle,
    // far from its circle, so it is no hit.
    ball("LE_MOVE_AXES_Z_SCALE", Ogre::Vector3(0, 0, -85))->yaw(Ogre::Degree(90));
    mSceneManager->getSceneNode("LE_MOVE_AXES_Z_SCALE")->setScale(3, 3, 3);
    update();

    const Kelvo::PickResult hits(Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::NEGATIVE_UNIT_Z), mSceneManager);
    std::vector<Kelvo::PickKind> kinds;
    for (const Ogre::RaySceneQueryResultEntry& hit : hits.hits()) {
        kinds.push_back(Kelvo::PickResult::kindOf(hit.movable));
    }
    const std::vector<Kelvo::PickKind> expected = {Kelvo::kPickSceneObject, Kelvo::kPickGizmoAxis,
                                                   Kelvo::kPickTerrain,     Kelvo::kPickGizmoAxis,
                                                   Kelvo::kPickSceneObject, Kelvo::kPickSkyDome};
    EXPECT_EQ(expected, kinds);
    EXPECT_EQ(Kelvo::kPickSceneObject, hits.firstKind());
    EXPECT_NEAR(9.0f, hits.firstDistance(), 0.01f) << "the ball's near side";
    ASSERT_EQ(2u, hits.objectCount());
    EXPECT_EQ("hut", hits.object(0)->getParentSceneNode()->getName());
    EXPECT_EQ("well", hits.object(1)->getParentSceneNode()->getName());
    EXPECT_EQ("well", hits.object(7)->getParentSceneNode()->getName()) << "beyond the end: the last";
    EXPECT_NEAR(89.0f, hits.objectDistance(7), 0.01f);
    ASSERT_NE(nullptr, hits.firstAxis());
    EXPECT_EQ("LE_MOVE_AXES_X_SHAFT", hits.firstAxis()->getParentSceneNode()->getName());
    EXPECT_NEAR(19.0f, hits.firstAxisDistance(), 0.01f);
    EXPECT_NEAR(29.0f, hits.planeDistance(Kelvo::kPickHorizontalPlane), 0.01f);
    EXPECT_NEAR(49.0f, hits.planeDistance(Kelvo::kPickVerticalPlane), 0.01f) << "the farther vertical plane";
    EXPECT_EQ(Kelvo::kPickNone, Kelvo::PickResult::kindOf(nullptr));
}

TEST_F(PickResultTest, ARayThatMissesEverythingHasNoKindNoObjectsAndNoPlanes)
{
    ball("hut", Ogre::Vector3(0, 0, -10));
    update();
    const Kelvo::PickResult hits(Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_Z), mSceneManager);
    EXPECT_EQ(Kelvo::kPickNone, hits.firstKind());
    EXPECT_EQ(-1.0f, hits.firstDistance());
    EXPECT_EQ(0u, hits.objectCount());
    EXPECT_EQ(nullptr, hits.object(0));
    EXPECT_EQ(-1.0f, hits.objectDistance(0));
    EXPECT_EQ(nullptr, hits.firstAxis());
    EXPECT_EQ(0.0f, hits.firstAxisDistance());
    EXPECT_EQ(-1.0f, hits.planeDistance(Kelvo::kPickHorizontalPlane));
    EXPECT_EQ(-1.0f, hits.planeDistance(Kelvo::kPickVerticalPlane));
}

} // namespace
