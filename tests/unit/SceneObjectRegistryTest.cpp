// Loading a scene through the game's scene callback: which typed entities
// become which scene objects, and the hero the world builds on them.

#include "SceneTestFixture.h"

#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/NonPlayerMesh.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/PlayerMesh.h"
#include "world/TriggerMesh.h"

#include <OgreEntity.h>
#include <OgreSubEntity.h>

using KelvoTest::SceneTest;

namespace {

std::string entity(const std::string& name, const std::string& type, const std::string& position = "0 0 0",
                   const std::string& parent = "")
{
    std::istringstream xyz(position);
    std::string x, y, z;
    xyz >> x >> y >> z;
    std::string text = "<entity name=\"" + name + "\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                       "ReceiveShadows=\"no\"";
    if (!parent.empty()) {
        text += " parent=\"" + parent + "\"";
    }
    text += "><position x=\"" + x + "\" y=\"" + y + "\" z=\"" + z + "\"/>";
    if (!type.empty()) {
        text += "<type name=\"" + type + "\"/>";
    }
    return text + "</entity>";
}

class SceneObjectTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        // The trigger material is media; a plain one of that name lets the
        // test see that the volume was given it.
        Ogre::MaterialManager::getSingleton().create("KELVO/Trigger", "General");
        mMeshes = new Kelvo::MeshManager();
    }

    void TearDown() override
    {
        delete mMeshes;
        SceneTest::TearDown();
    }

    bool loadWithCallback(const std::string& entities)
    {
        writeScene("typed.qormscene", "<kelvo_scene><entities>" + entities + "</entities></kelvo_scene>");
        Kelvo::OSMSceneCallback callback(mMeshes);
        return mLoader->load("typed.qormscene", mSceneManager, &callback, false);
    }

    Kelvo::MeshManager* mMeshes = nullptr;
};

TEST_F(SceneObjectTest, TypedEntitiesBecomeSceneObjectsOfTheirKind)
{
    ASSERT_TRUE(loadWithCallback(entity("hero", "Player", "5 1 -3", "heroBody") + entity("oldman", "NPC") +
                                 entity("spider1", "Spider") + entity("zone", "Trigger") + entity("b1", "Bird") +
                                 entity("rock", "Static") + entity("plain", "")));

    Kelvo::Mesh* hero = mMeshes->find("Player");
    ASSERT_NE(nullptr, dynamic_cast<Kelvo::PlayerMesh*>(hero)) << "the hero is filed under \"Player\"";
    EXPECT_EQ("hero", hero->getName());
    EXPECT_EQ(mSceneManager->getEntity("hero"), hero->getEntity());
    EXPECT_EQ(nullptr, mMeshes->find("hero"));

    EXPECT_NE(nullptr, dynamic_cast<Kelvo::NonPlayerMesh*>(mMeshes->find("oldman")));
    EXPECT_NE(nullptr, dynamic_cast<Kelvo::NonPlayerMesh*>(mMeshes->find("spider1")));
    Kelvo::Mesh* zone = mMeshes->find("zone");
    ASSERT_NE(nullptr, dynamic_cast<Kelvo::TriggerMesh*>(zone));
    EXPECT_EQ("KELVO/Trigger", zone->getEntity()->getSubEntity(0)->getMaterialName());

    // Birds, statics and untyped entities are scenery: no scene object.
    EXPECT_EQ(nullptr, mMeshes->find("b1"));
    EXPECT_EQ(nullptr, mMeshes->find("rock"));
    EXPECT_EQ(nullptr, mMeshes->find("plain"));
    EXPECT_EQ(4u, mMeshes->meshes().size());
}

TEST_F(SceneObjectTest, SecondHeroAndFresnelPlaneYieldNoSceneObject)
{
    ASSERT_TRUE(loadWithCallback(entity("hero", "Player") + entity("hero2", "Player") +
                                 entity("water", "FresnelPlane", "0 -2 0")));
    ASSERT_NE(nullptr, mMeshes->find("Player"));
    EXPECT_EQ("hero", mMeshes->find("Player")->getName()) << "the first hero stays";
    EXPECT_EQ(nullptr, mMeshes->find("hero2"));
    EXPECT_EQ(nullptr, mMeshes->find("water"));
    EXPECT_EQ(1u, mMeshes->meshes().size());
    EXPECT_FALSE(mSceneManager->getEntity("water")->getVisible()) << "the water plane is only a marker";
    EXPECT_TRUE(mSceneManager->getEntity("hero2")->getVisible());
}

TEST_F(SceneObjectTest, EntityWithoutMeshIsSkippedAndDuplicateNamesRefused)
{
    writeScene("ghost.qormscene", "<kelvo_scene><entities><entity name=\"ghost\" hidden=\"false\" "
                                  "CastShadows=\"no\" ReceiveShadows=\"no\"><type name=\"NPC\"/></entity>" +
                                      entity("oldman", "NPC") + "</entities></kelvo_scene>");
    Kelvo::OSMSceneCallback callback(mMeshes);
    ASSERT_TRUE(mLoader->load("ghost.qormscene", mSceneManager, &callback, false));
    EXPECT_EQ(nullptr, mMeshes->find("ghost"));
    ASSERT_NE(nullptr, mMeshes->find("oldman"));

    // The same entity offered again (a second load into the same registry)
    // keeps the object already filed.
    Kelvo::Mesh* first = mMeshes->find("oldman");
    EXPECT_FALSE(mMeshes->addFromScene(mSceneManager->getEntity("oldman"), mLoader->findEntity("oldman")));
    EXPECT_EQ(first, mMeshes->find("oldman"));
}

TEST_F(SceneObjectTest, WorldHeroStandsWhereTheScenePutItAndMovesItsBodyNode)
{
    ASSERT_TRUE(loadWithCallback(entity("hero", "Player", "5 1 -3", "heroBody")));
    Ogre::SceneNode* body = mSceneManager->getSceneNode("heroBody");
    body->setOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));

    Kelvo::WorldParts parts;
    parts.meshes = mMeshes;
    parts.withGui = true;
    Kelvo::GameWorld world(parts);
    Kelvo::PlayerCharacter* hero = world.getPlayer();
    EXPECT_EQ(mSceneManager->getEntity("hero"), hero->getEntity());
    EXPECT_EQ(Ogre::Vector3(5, 1, -3), hero->getPosition());
    EXPECT_TRUE(hero->getOrientation().equals(body->getOrientation(), Ogre::Degree(0.01f)));

    hero->setPosition(Ogre::Vector3(10, 0, 10));
    EXPECT_EQ(Ogre::Vector3(10, 0, 10), body->getPosition()) << "the body node carries the hero";
    EXPECT_EQ(Ogre::Vector3(5, 1, -3), mSceneManager->getSceneNode("hero")->getPosition());
    const Ogre::Quaternion turned(Ogre::Degree(45), Ogre::Vector3::UNIT_Y);
    hero->setOrientation(turned);
    EXPECT_TRUE(body->getOrientation().equals(turned, Ogre::Degree(0.01f)));
}

TEST_F(SceneObjectTest, CharacterNamedPlayerIsNotTakenForTheHero)
{
    ASSERT_TRUE(loadWithCallback(entity("Player", "NPC", "7 0 7")));
    ASSERT_NE(nullptr, mMeshes->find("Player"));
    Kelvo::WorldParts parts;
    parts.meshes = mMeshes;
    Kelvo::GameWorld world(parts);
    EXPECT_EQ(nullptr, world.getPlayer()->getEntity());
    EXPECT_EQ(Ogre::Vector3::ZERO, world.getPlayer()->getPosition());
}

} // namespace
