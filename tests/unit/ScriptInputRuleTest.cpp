// The input listener rule of ScriptAtom.h as the play state's scripts follow
// it: each script that hears input registers itself, under its name, while
// it is made, and is gone from the listeners once it is deleted, whoever
// deletes it and in whatever order; the world reaches the end of the play
// through its hooks.

#include "SceneTestFixture.h"

#include "scripts/CameraScript.h"
#include "scripts/GUIScript.h"
#include "scripts/PlayerScript.h"
#include "world/GameWorld.h"
#include "world/InputListeners.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"

#include <map>

namespace {

// Holds the listeners as the input manager does: by name, a name only once.
class RecordedListeners : public Kelvo::InputListeners {
public:
    void addInputListener(Kelvo::OgreEventListener* listener, const std::string& name) override
    {
        listeners.emplace(name, listener);
    }

    void removeInputListener(Kelvo::OgreEventListener* listener) override
    {
        for (auto it = listeners.begin(); it != listeners.end(); ++it) {
            if (it->second == listener) {
                listeners.erase(it);
                return;
            }
        }
    }

    std::map<std::string, Kelvo::OgreEventListener*> listeners;
};

class ScriptInputRuleTest : public KelvoTest::SceneTest {
protected:
    void SetUp() override
    {
        KelvoTest::SceneTest::SetUp();
        mMeshes = new Kelvo::MeshManager();
        Ogre::Camera* camera = mSceneManager->createCamera("PrimaryCamera");
        mSceneManager->getRootSceneNode()->createChildSceneNode("MAIN_CAMERA")->attachObject(camera);
        Kelvo::WorldParts parts;
        parts.inputListeners = &mListeners;
        parts.sceneLoader = mLoader;
        parts.camera = camera;
        parts.meshes = mMeshes;
        mWorld = new Kelvo::GameWorld(parts);
        mScripts = new Kelvo::ScriptManager(mWorld);
    }

    void TearDown() override
    {
        delete mScripts;
        delete mWorld;
        delete mMeshes;
        KelvoTest::SceneTest::TearDown();
    }

    RecordedListeners mListeners;
    Kelvo::MeshManager* mMeshes = nullptr;
    Kelvo::GameWorld* mWorld = nullptr;
    Kelvo::ScriptManager* mScripts = nullptr;
};

TEST_F(ScriptInputRuleTest, ScriptsRegisterUnderTheirNamesAndAreGoneOnceDeleted)
{
    auto* gui = new Kelvo::GUIScript(mWorld, mScripts);
    auto* player = new Kelvo::PlayerScript(mWorld, mScripts);
    auto* camera = new Kelvo::CameraScript(mWorld, mScripts);
    ASSERT_EQ(3u, mListeners.listeners.size());
    EXPECT_EQ(static_cast<Kelvo::OgreEventListener*>(gui), mListeners.listeners["GUIScript"]);
    EXPECT_EQ(static_cast<Kelvo::OgreEventListener*>(player), mListeners.listeners["PlayerScript"]);
    EXPECT_EQ(static_cast<Kelvo::OgreEventListener*>(camera), mListeners.listeners["CameraScript"]);

    // Deleted in another order than made: each takes only itself away.
    delete player;
    EXPECT_EQ(0u, mListeners.listeners.count("PlayerScript"));
    EXPECT_EQ(2u, mListeners.listeners.size());
    delete gui;
    delete camera;
    EXPECT_TRUE(mListeners.listeners.empty());

    // A second visit finds the names free again.
    gui = new Kelvo::GUIScript(mWorld, mScripts);
    EXPECT_EQ(static_cast<Kelvo::OgreEventListener*>(gui), mListeners.listeners["GUIScript"]);
    delete gui;
    EXPECT_TRUE(mListeners.listeners.empty());
}

TEST_F(ScriptInputRuleTest, TheHeroEndsThePlayThroughTheWorldsHooksOnly)
{
    // A world with a hero, as the play state builds it.
    delete mScripts;
    delete mWorld;
    writeScene("hero.qormscene",
               "<kelvo_scene><entities><entity name=\"hero\" hidden=\"false\" filename=\"ball.mesh\" "
               "CastShadows=\"no\" ReceiveShadows=\"no\"><position x=\"0\" y=\"0\" z=\"0\"/>"
               "<type name=\"Player\"/></entity></entities></kelvo_scene>");
    Kelvo::OSMSceneCallback callback(mMeshes);
    ASSERT_TRUE(mLoader->load("hero.qormscene", mSceneManager, &callback, false));
    Kelvo::WorldParts parts;
    parts.sceneLoader = mLoader;
    parts.camera = mSceneManager->getCamera("PrimaryCamera");
    parts.meshes = mMeshes;
    mWorld = new Kelvo::GameWorld(parts);
    mScripts = new Kelvo::ScriptManager(mWorld);
    Kelvo::PlayerScript player(mWorld, mScripts);
    ASSERT_TRUE(player.hasPlayer());

    int gameOvers = 0;
    int outros = 0;
    Ogre::FrameEvent frame;
    frame.timeSinceLastEvent = frame.timeSinceLastFrame = 0.05f;
    // Before the hooks are set (the editor's case) the end is only logged.
    mWorld->getMessages()->post(new Kelvo::FrameMessageTrigger("abspann", true, false));
    player.update(frame);
    mWorld->getMessages()->sweep();
    mWorld->setGameOverHook([&gameOvers] { ++gameOvers; });
    mWorld->setOutroHook([&outros] { ++outros; });

    player.update(frame);
    EXPECT_EQ(0, gameOvers) << "a healthy hero";
    EXPECT_EQ(0, outros) << "the first frame's trigger message was swept";
    mWorld->getMessages()->post(new Kelvo::FrameMessageTrigger("abspann", true, false));
    player.update(frame);
    mWorld->getMessages()->sweep();
    EXPECT_EQ(1, outros) << "the hero reached the ship";

    mWorld->getPlayer()->damage(Kelvo::PlayerCharacter::kFullHealth);
    player.update(frame);
    player.update(frame);
    EXPECT_GE(gameOvers, 1) << "the empty bar ends the play";
    EXPECT_EQ(1, outros);
    mLoader->unload();
}

} // namespace
