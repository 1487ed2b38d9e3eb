#include "SceneTestFixture.h"

#include "scene/EntityDescription.h"
#include "scene/ExternDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoaderCallBack.h"
#include "scene/SceneText.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/StaticScenery.h"
#include "scene/TriggerDescription.h"

#include "SoundManager/SoundManager.h"
#include "SoundTestSupport.h"

#include <OgreStaticGeometry.h>

#include <set>
#include <string>

#include <sys/stat.h>

using KelvoTest::SceneTest;

namespace {

// A scene in exactly the form the writer produces, so loading and saving it
// must give the same bytes back.
const char* const kCanonicalScene =
    "<kelvo_scene>\n"
    "\t<shadow type=\"NONE\" />\n"
    "\t<entities>\n"
    "\t\t<entity name=\"house\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"yes\" ReceiveShadows=\"no\">\n"
    "\t\t\t<position x=\"10\" y=\"0\" z=\"-5.5\" />\n"
    "\t\t\t<rotation x=\"0\" y=\"90\" z=\"0\" w=\"1\" />\n"
    "\t\t\t<scale x=\"2\" y=\"2\" z=\"2\" />\n"
    "\t\t\t<material name=\"BaseWhite\" />\n"
    "\t\t\t<type name=\"Static\" />\n"
    "\t\t</entity>\n"
    "\t\t<trigger name=\"door\" radius=\"3\" parent=\"house\" attachedType=\"open\">\n"
    "\t\t\t<position x=\"0\" y=\"1\" z=\"0\" />\n"
    "\t\t</trigger>\n"
    "\t\t<light name=\"lamp\" type=\"Spot_Light\" shadowcaster=\"0\" parent=\"house\" >\n"
    "\t\t\t<position x=\"0\" y=\"12\" z=\"0\" />\n"
    "\t\t\t<diffuse r=\"1\" b=\"0.25\" g=\"0.5\" />\n"
    "\t\t\t<specular r=\"0.1\" b=\"0.3\" g=\"0.2\" />\n"
    "\t\t\t<attenuation range=\"500\" constant=\"1\" linear=\"0.01\" quadtric=\"0\"/>\n"
    "\t\t\t<spot_range innerAngle=\"80\" outerAngle=\"90\"/>\n"
    "\t\t</light>\n"
    "\t\t<sound name=\"birds\" type=\"3D_SOUND_LOOPED\" file=\"birds.wav\" volume=\"0.5\" maxDistance=\"200\" "
    "minDistance=\"5\" parent=\"\">\n"
    "\t\t\t<position x=\"1\" y=\"2\" z=\"3\" />\n"
    "\t\t</sound>\n"
    "\t\t<particle name=\"smoke\" file=\"Kelvo/NoSuchTemplate\" parent=\"\">\n"
    "\t\t\t<position x=\"4\" y=\"5\" z=\"6\" />\n"
    "\t\t\t<scale x=\"2\" y=\"3\" z=\"0.5\" />\n"
    "\t\t</particle>\n"
    "\t</entities>\n"
    "\t<entities>\n"
    "\t\t<entity name=\"tree\" hidden=\"true\" filename=\"ball.mesh\" CastShadows=\"no\" ReceiveShadows=\"yes\">\n"
    "\t\t\t<position x=\"100\" y=\"20\" z=\"300\" />\n"
    "\t\t\t<rotation x=\"10\" y=\"20\" z=\"30\" w=\"1\" />\n"
    "\t\t\t<scale x=\"1\" y=\"1\" z=\"1\" />\n"
    "\t\t\t<material name=\"BaseWhite\" />\n"
    "\t\t\t<type name=\"Tree\" />\n"
    "\t\t</entity>\n"
    "\t\t<trigger name=\"zone\" radius=\"25\" parent=\"\" attachedType=\"\">\n"
    "\t\t\t<position x=\"7\" y=\"0\" z=\"7\" />\n"
    "\t\t</trigger>\n"
    "\t</entities>\n"
    "</kelvo_scene>\n";

class RecordingCallback : public Kelvo::SceneLoaderCallBack {
public:
    void entityCreated(Ogre::Entity* entity, Kelvo::EntityDescription* description) override
    {
        entities.push_back(description->getName() + (entity ? "" : " (no entity)"));
    }
    void triggerCreated(Kelvo::TriggerDescription* description) override
    {
        triggers.push_back(description->getName());
    }
    std::vector<std::string> entities;
    std::vector<std::string> triggers;
};

} // namespace

// --- the writer's exact text ----------------------------------------------------

TEST(SceneRecordTextTest, EachKindWritesItsExactLines)
{
    KelvoTest::InMemoryLog log;
    const Ogre::Real rotation[4] = {0, 45, 0, 1};
    Kelvo::EntityDescription entity("Crate", false, "crate.mesh", true, false, "KELVO/Wood", "Static",
                                    Ogre::Vector3(1, 2, 3), rotation);
    entity.setPosition(Ogre::Vector3(0.25f, 100, -3));
    EXPECT_EQ("\t\t<entity name=\"Crate\" hidden=\"false\" filename=\"crate.mesh\" CastShadows=\"yes\" "
              "ReceiveShadows=\"no\">\n"
              "\t\t\t<position x=\"0.25\" y=\"100\" z=\"-3\" />\n"
              "\t\t\t<rotation x=\"0\" y=\"45\" z=\"0\" w=\"1\" />\n"
              "\t\t\t<scale x=\"1\" y=\"2\" z=\"3\" />\n"
              "\t\t\t<material name=\"KELVO/Wood\" />\n"
              "\t\t\t<type name=\"Static\" />\n"
              "\t\t</entity>\n",
              entity.toXml());

    Kelvo::ExternDescription externRecord("house.qormscene", 2);
    EXPECT_EQ("\t\t<extern filename=\"house.qormscene\">\n"
              "\t\t\t<position x=\"0\" y=\"0\" z=\"0\" />\n"
              "\t\t\t<rotation  x=\"0\" y=\"0\" z=\"0\" w=\"1\" />\n"
              "\t\t\t<scale  x=\"1\" y=\"1\" z=\"1\" />\n"
              "\t\t</extern>\n",
              externRecord.toXml());

    Kelvo::LightDescription point("sun", "Point_Light");
    EXPECT_EQ("\t\t<light name=\"sun\" type=\"Point_Light\" shadowcaster=\"1\" parent=\"\" >\n"
              "\t\t\t<position x=\"0\" y=\"0\" z=\"0\" />\n"
              "\t\t\t<diffuse r=\"1\" b=\"1\" g=\"1\" />\n"
              "\t\t\t<specular r=\"1\" b=\"1\" g=\"1\" />\n"
              "\t\t\t<attenuation range=\"10000\" constant=\"1\" linear=\"1\" quadtric=\"0\"/>\n"
              "\t\t</light>\n",
              point.toXml());
    Kelvo::LightDescription spot("torch", "Big_Spot_Light");
    EXPECT_NE(std::string::npos,
              spot.toXml().find("\t\t\t<spot_range innerAngle=\"80\" outerAngle=\"90\"/>\n\t\t</light>\n"));

    Kelvo::SoundDescription sound("wind");
    EXPECT_EQ("\t\t<sound name=\"wind\" type=\"2D_SOUND\" file=\"\" volume=\"1\" maxDistance=\"100\" "
              "minDistance=\"1\" parent=\"\">\n"
              "\t\t\t<position x=\"0\" y=\"0\" z=\"0\" />\n"
              "\t\t</sound>\n",
              sound.toXml());

    Kelvo::ParticleDescription particle("fire", "Kelvo/Fire", "Crate");
    EXPECT_EQ("\t\t<particle name=\"fire\" file=\"Kelvo/Fire\" parent=\"Crate\">\n"
              "\t\t\t<position x=\"0\" y=\"0\" z=\"0\" />\n"
              "\t\t\t<scale x=\"1\" y=\"1\" z=\"1\" />\n"
              "\t\t</particle>\n",
              particle.toXml());

    Kelvo::TriggerDescription trigger("gate", 2.5f, "Crate", "door", 1);
    EXPECT_EQ("\t\t<trigger name=\"gate\" radius=\"2.5\" parent=\"Crate\" attachedType=\"door\">\n"
              "\t\t\t<position x=\"0\" y=\"0\" z=\"0\" />\n"
              "\t\t</trigger>\n",
              trigger.toXml());

    EXPECT_EQ("\t<shadow type=\"TEXTURE_MODULATIVE\" />\n", Kelvo::ShadowDescription("TEXTURE_MODULATIVE").toXml());
}

TEST(SceneRecordTextTest, NumbersUseSixSignificantDigits)
{
    Kelvo::TriggerDescription trigger("t", 1234567.0f, "", "", 0);
    trigger.setPosition(Ogre::Vector3(1.0f / 3.0f, 0.000125f, -0.0f));
    const std::string text = trigger.toXml();
    EXPECT_NE(std::string::npos, text.find("radius=\"1.23457e+06\""));
    EXPECT_NE(std::string::npos, text.find("x=\"0.333333\" y=\"0.000125\""));
}

TEST(SceneRecordTextTest, SoundVolumeIsClampedToZeroToOne)
{
    Kelvo::SoundDescription sound("wind");
    sound.setVolume(1.5f);
    EXPECT_FLOAT_EQ(1.0f, sound.getVolume());
    sound.setVolume(-0.5f);
    EXPECT_FLOAT_EQ(0.0f, sound.getVolume());
}

// --- loading, realising and saving ------------------------------------------------

TEST_F(SceneTest, CanonicalSceneLoadsAndSavesToTheSameBytes)
{
    ASSERT_TRUE(loadText(kCanonicalScene, "round.qormscene"));
    ASSERT_TRUE(mLoader->save());
    EXPECT_EQ(kCanonicalScene, readScene("round.qormscene"));

    ASSERT_TRUE(mLoader->load("round.qormscene", mSceneManager, nullptr, false));
    EXPECT_EQ(kCanonicalScene, mLoader->sceneText());
}

TEST_F(SceneTest, LoadRealisesEngineObjectsWithTheirSettings)
{
    RecordingCallback callback;
    writeScene("real.qormscene", kCanonicalScene);
    ASSERT_TRUE(mLoader->load("real.qormscene", mSceneManager, &callback, false));

    EXPECT_EQ((std::vector<std::string>{"house", "tree"}), callback.entities);
    EXPECT_EQ((std::vector<std::string>{"door", "zone"}), callback.triggers);

    Ogre::Entity* house = mSceneManager->getEntity("house");
    Ogre::SceneNode* houseNode = mSceneManager->getSceneNode("house");
    EXPECT_EQ(houseNode, house->getParentSceneNode());
    EXPECT_EQ("entityRoot_0", houseNode->getParentSceneNode()->getName());
    EXPECT_EQ(Ogre::Vector3(10, 0, -5.5f), houseNode->getPosition());
    EXPECT_TRUE(houseNode->getOrientation().equals(
        Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y), Ogre::Degree(0.01f)));
    EXPECT_TRUE(house->getCastShadows());
    EXPECT_FALSE(mSceneManager->getEntity("tree")->getVisible());

    // Tree: Rz * Ry * Rx of its Euler angles.
    const Ogre::Quaternion expected = Ogre::Quaternion(Ogre::Degree(30), Ogre::Vector3::UNIT_Z) *
                                      Ogre::Quaternion(Ogre::Degree(20), Ogre::Vector3::UNIT_Y) *
                                      Ogre::Quaternion(Ogre::Degree(10), Ogre::Vector3::UNIT_X);
    EXPECT_TRUE(mSceneManager->getSceneNode("tree")->getOrientation().equals(expected, Ogre::Degree(0.01f)));

    // The parented trigger hangs under its entity; markers are hidden in play.
    Ogre::SceneNode* door = mSceneManager->getSceneNode("door");
    EXPECT_EQ(houseNode, door->getParentSceneNode());
    EXPECT_FALSE(mSceneManager->getEntity("door_entity")->isVisible());
    EXPECT_TRUE(mLoader->findTrigger("door")->isInside(door->_getDerivedPosition() + Ogre::Vector3(0, 3, 0)));
    EXPECT_FALSE(mLoader->findTrigger("door")->isInside(door->_getDerivedPosition() + Ogre::Vector3(0, 3.01f, 0)));

    Ogre::Light* lamp = mSceneManager->getLight("lamp");
    EXPECT_EQ(Ogre::Light::LT_SPOTLIGHT, lamp->getType());
    EXPECT_FALSE(lamp->getCastShadows());
    EXPECT_EQ(Ogre::ColourValue(1, 0.5f, 0.25f, 1), lamp->getDiffuseColour());
    EXPECT_FLOAT_EQ(500, lamp->getAttenuationRange());
    EXPECT_EQ(houseNode, lamp->getParentSceneNode()->getParentSceneNode());
    EXPECT_TRUE(lamp->getDerivedDirection().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Y, 1e-3f));

    // No particle template of that name: the record and marker stay.
    EXPECT_NE(nullptr, mLoader->findParticle("smoke"));
    EXPECT_EQ(nullptr, mLoader->findParticle("smoke")->getParticleSystem());
    EXPECT_TRUE(log().contains("could not be made from template 'Kelvo/NoSuchTemplate'"));

    // The sound record and its node exist even though its file does not.
    EXPECT_TRUE(mSceneManager->hasSceneNode("birds"));
    EXPECT_TRUE(mSceneManager->hasEntity("birds_sound_entity"));
}

TEST_F(SceneTest, LoadingTwiceLeavesOnlyTheSecondScene)
{
    ASSERT_TRUE(loadText(kCanonicalScene, "first.qormscene"));
    const std::string second = "<kelvo_scene>\n\t<entities>\n"
                               "\t\t<entity name=\"rock\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                               "ReceiveShadows=\"no\">\n\t\t</entity>\n\t</entities>\n</kelvo_scene>\n";
    ASSERT_TRUE(loadText(second, "second.qormscene"));
    EXPECT_FALSE(mSceneManager->hasEntity("house"));
    EXPECT_FALSE(mSceneManager->hasSceneNode("door"));
    EXPECT_FALSE(mSceneManager->hasLight("lamp"));
    EXPECT_FALSE(mSceneManager->hasSceneNode("entityRoot_1"));
    EXPECT_EQ("entityRoot_0", mSceneManager->getSceneNode("rock")->getParentSceneNode()->getName());
    EXPECT_EQ(1u, mLoader->entities().size());
    EXPECT_EQ(1, mLoader->findEntity("rock")->getRootIndex());
}

// Every marker (trigger, light, sound, particle system, the hero's bone
// marker) has a sphere mesh of its own; the editor and the fuzzer load
// scene after scene, so the spheres must go with their scene.
TEST_F(SceneTest, MarkerSpheresGoWithUnloadReloadTheLoaderAndTheSceneManager)
{
    const char* const markedScene =
        "<kelvo_scene><entities>"
        "<entity name=\"hero\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" ReceiveShadows=\"no\">"
        "<type name=\"Player\"/></entity>"
        "<trigger name=\"t\" radius=\"2\" attachedType=\"\"/>"
        "<light name=\"l\" type=\"Point_Light\" shadowcaster=\"0\"/>"
        "<sound name=\"s\" type=\"2D_SOUND\" file=\"x.wav\" volume=\"1\" maxDistance=\"1\" minDistance=\"1\"/>"
        "<particle name=\"p\" file=\"Kelvo/NoSuchTemplate\"/>"
        "</entities></kelvo_scene>";
    const auto meshCount = [] {
        size_t count = 0;
        for (auto it = Ogre::MeshManager::getSingleton().getResourceIterator(); it.hasMoreElements(); it.moveNext()) {
            ++count;
        }
        return count;
    };
    // The grass-blade mesh is made at the first load and kept for the
    // scenes' grass props: it is there before counting.
    Kelvo::StaticScenery::makeGrassBlades();
    const size_t before = meshCount();

    ASSERT_TRUE(loadText(markedScene, "marked.qormscene"));
    EXPECT_EQ(before + 5, meshCount());
    ASSERT_TRUE(mLoader->load("marked.qormscene", mSceneManager, nullptr, true));
    EXPECT_EQ(before + 5, meshCount()) << "a reload kept the old spheres";
    mLoader->findTrigger("t")->setRadius(4);
    EXPECT_EQ(before + 5, meshCount()) << "a new radius kept the old sphere";
    EXPECT_EQ(3, mLoader->removeEntity("hero") + mLoader->removeLight("l") + mLoader->removeSound("s"));
    EXPECT_EQ(before + 2, meshCount()) << "removed records kept their spheres";
    mLoader->unload();
    EXPECT_EQ(before, meshCount());

    // A loader that ends with its scene loaded takes the spheres along.
    ASSERT_TRUE(mLoader->load("marked.qormscene", mSceneManager, nullptr, true));
    delete mLoader;
    mLoader = nullptr;
    EXPECT_EQ(before, meshCount());
    EXPECT_FALSE(mSceneManager->hasEntity("t_entity"));

    // A scene manager destroyed under a loaded scene takes its markers; the
    // loader then frees their spheres.
    mLoader = new Kelvo::SceneLoader();
    mLoader->setSceneDirectory(mFolder);
    ASSERT_TRUE(mLoader->load("marked.qormscene", mSceneManager, nullptr, true));
    mRoot->destroySceneManager(mSceneManager);
    mSceneManager = nullptr;
    EXPECT_EQ(before, meshCount());
}

TEST_F(SceneTest, EmptyBlocksAndParentedTriggersGiveTheirRootNumberBack)
{
    ASSERT_TRUE(loadText("<kelvo_scene>\n"
                         "<entities><entity name=\"a\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"></entity></entities>\n"
                         "<entities></entities>\n"
                         "<entities><trigger name=\"t\" radius=\"1\" parent=\"a\" attachedType=\"\"/></entities>\n"
                         "<entities><entity name=\"b\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"></entity></entities>\n"
                         "</kelvo_scene>\n"));
    EXPECT_EQ(1, mLoader->findEntity("a")->getRootIndex());
    EXPECT_EQ(1, mLoader->findTrigger("t")->getRootIndex());
    EXPECT_EQ(2, mLoader->findEntity("b")->getRootIndex());
    EXPECT_EQ(2, mLoader->getRootCount());
    // "b" took over the node the two empty blocks left behind.
    Ogre::SceneNode* bParent = mSceneManager->getSceneNode("b")->getParentSceneNode();
    EXPECT_EQ("entityRoot_1", bParent->getName());
    EXPECT_EQ(Kelvo::SceneLoader::kLoaderRootName, bParent->getParentSceneNode()->getName());

    ASSERT_TRUE(mLoader->save());
    const std::string saved = readScene("test.qormscene");
    size_t blocks = 0;
    for (size_t at = saved.find("\t<entities>"); at != std::string::npos; at = saved.find("\t<entities>", at + 1)) {
        ++blocks;
    }
    EXPECT_EQ(2u, blocks);
}

// A designer's spot cones survive a load and a save; a light without a cone
// or with a broken one keeps the default 80 and 90 degrees.
TEST_F(SceneTest, SpotAnglesAreReadBackAndWrittenAgain)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<light name=\"l\" type=\"Spot_Light\" shadowcaster=\"1\" parent=\"\">"
                         "<spot_range innerAngle=\"30\" outerAngle=\"40\"/></light>"
                         "<light name=\"plain\" type=\"Spot_Light\" shadowcaster=\"1\" parent=\"\"/>"
                         "<light name=\"broken\" type=\"Spot_Light\" shadowcaster=\"1\" parent=\"\">"
                         "<spot_range innerAngle=\"nan\" outerAngle=\"45\"/></light>"
                         "</entities></kelvo_scene>"));
    EXPECT_FLOAT_EQ(30, mLoader->findLight("l")->getSpotInner());
    EXPECT_FLOAT_EQ(40, mLoader->findLight("l")->getSpotOuter());
    ASSERT_TRUE(mSceneManager->hasLight("l"));
    EXPECT_FLOAT_EQ(30, Ogre::Degree(mSceneManager->getLight("l")->getSpotlightInnerAngle()).valueDegrees());
    EXPECT_FLOAT_EQ(80, mLoader->findLight("plain")->getSpotInner());
    EXPECT_FLOAT_EQ(90, mLoader->findLight("plain")->getSpotOuter());
    EXPECT_FLOAT_EQ(80, mLoader->findLight("broken")->getSpotInner());
    EXPECT_FLOAT_EQ(45, mLoader->findLight("broken")->getSpotOuter());
    EXPECT_EQ(1, log().count("<spot_range> in 'test.qormscene' has a value of 'innerAngle or outerAngle'"));

    ASSERT_TRUE(mLoader->save());
    EXPECT_NE(std::string::npos,
              readScene("test.qormscene").find("<spot_range innerAngle=\"30\" outerAngle=\"40\"/>"));
}

TEST_F(SceneTest, UnknownParentsFollowEachKindsRule)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<trigger name=\"t\" radius=\"2\" parent=\"ghost\" attachedType=\"\"/>"
                         "<light name=\"l\" type=\"Point_Light\" shadowcaster=\"1\" parent=\"ghost\"/>"
                         "<sound name=\"s\" type=\"2D_SOUND\" file=\"x.wav\" volume=\"1\" maxDistance=\"1\" "
                         "minDistance=\"1\" parent=\"ghost\"/>"
                         "</entities></kelvo_scene>"));
    EXPECT_EQ("", mLoader->findTrigger("t")->getParent());
    EXPECT_EQ(Kelvo::SceneLoader::kLoaderRootName, mSceneManager->getSceneNode("t")->getParentSceneNode()->getName());
    EXPECT_TRUE(mSceneManager->hasLight("l"));
    EXPECT_NE(nullptr, mLoader->findSound("s"));
    EXPECT_FALSE(mSceneManager->hasSceneNode("s"));
}

TEST_F(SceneTest, EntityWithoutMeshIsFiledCalledBackAndSavedWithItsStoredPlace)
{
    RecordingCallback callback;
    writeScene("nomesh.qormscene", "<kelvo_scene><entities><entity name=\"ghost\" hidden=\"false\" "
                                   "CastShadows=\"no\" ReceiveShadows=\"no\"><position x=\"1\" y=\"2\" z=\"3\"/>"
                                   "</entity></entities></kelvo_scene>");
    ASSERT_TRUE(mLoader->load("nomesh.qormscene", mSceneManager, &callback, true));
    EXPECT_EQ((std::vector<std::string>{"ghost (no entity)"}), callback.entities);
    EXPECT_TRUE(mLoader->findEntity("ghost")->hasNoMesh());
    ASSERT_TRUE(mLoader->save());
    ASSERT_TRUE(mLoader->load("nomesh.qormscene", mSceneManager, nullptr, true));
    EXPECT_TRUE(mLoader->findEntity("ghost")->hasNoMesh()) << "an empty file name reads back as no mesh";
    EXPECT_NE(std::string::npos, mLoader->sceneText().find("<position x=\"1\" y=\"2\" z=\"3\" />"));
}

TEST_F(SceneTest, SavedEntityTakesItsNodesNewPlaceAndItsStoredAngles)
{
    ASSERT_TRUE(loadText(kCanonicalScene));
    mSceneManager->getSceneNode("house")->setPosition(1, 2, 3);
    mSceneManager->getSceneNode("house")->setOrientation(Ogre::Quaternion::IDENTITY);
    const std::string text = mLoader->sceneText();
    EXPECT_NE(std::string::npos, text.find("<position x=\"1\" y=\"2\" z=\"3\" />\n\t\t\t<rotation x=\"0\" y=\"90\""));
}

TEST_F(SceneTest, KeyFramedAnimationFindsItsEntityNode)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<entity name=\"boat\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"><animations><animation name=\"sail\" length=\"4\">"
                         "<keyframe time=\"0\"><position x=\"0\" y=\"0\" z=\"0\"/><rotation x=\"0\" y=\"0\" z=\"0\" "
                         "w=\"1\"/><scale x=\"1\" y=\"1\" z=\"1\"/></keyframe>"
                         "<keyframe time=\"4\"><position x=\"40\" y=\"0\" z=\"0\"/></keyframe>"
                         "</animation></animations></entity></entities></kelvo_scene>"));
    ASSERT_TRUE(mSceneManager->hasAnimation("sail"));
    Ogre::Animation* sail = mSceneManager->getAnimation("sail");
    EXPECT_FLOAT_EQ(4, sail->getLength());
    ASSERT_EQ(1u, sail->getNumNodeTracks());
    Ogre::NodeAnimationTrack* track = sail->getNodeTrack(0);
    EXPECT_EQ(mSceneManager->getSceneNode("boat"), track->getAssociatedNode());
    EXPECT_EQ(2u, track->getNumKeyFrames());
    EXPECT_EQ(Ogre::Vector3(40, 0, 0), track->getNodeKeyFrame(1)->getTranslate());
}

TEST_F(SceneTest, StaticEntitiesGoIntoOneGeometryPerRoot)
{
    ASSERT_TRUE(loadText(kCanonicalScene));
    mLoader->buildStaticGeometry(mSceneManager);
    // the "house" is a ball of radius 1: a small prop, baked apart and drawn
    // only near the camera
    ASSERT_TRUE(mSceneManager->hasStaticGeometry("StaticGeo_1_small"));
    EXPECT_FALSE(mSceneManager->hasStaticGeometry("StaticGeo_1")) << "nothing large in root 1";
    const Ogre::Real distance = mSceneManager->getStaticGeometry("StaticGeo_1_small")->getRenderingDistance();
    EXPECT_GT(distance, 0);
    EXPECT_LT(distance, 1100) << "small props end before the fog hides them";
    EXPECT_FALSE(mSceneManager->hasStaticGeometry("StaticGeo_2")) << "the tree is not static";
    EXPECT_FALSE(mSceneManager->hasStaticGeometry("StaticGeo_2_small")) << "the tree is not static";
    EXPECT_TRUE(mLoader->findEntity("house")->isHidden());
    // Only the house itself is baked: the markers of the trigger and the
    // lamp hanging on it stay out (the game hides them; baked, they showed).
    std::set<std::string> baked;
    for (const auto& region : mSceneManager->getStaticGeometry("StaticGeo_1_small")->getRegions()) {
        for (const Ogre::StaticGeometry::LODBucket* lod : region.second->getLODBuckets()) {
            for (const auto& material : lod->getMaterialBuckets()) {
                baked.insert(material.first);
            }
        }
    }
    EXPECT_EQ(std::set<std::string>{"BaseWhite"}, baked);
    mLoader->destroyStaticGeometry();
    EXPECT_FALSE(mSceneManager->hasStaticGeometry("StaticGeo_1_small"));
}

TEST_F(SceneTest, GrassBladesAreThreeCrossedQuads)
{
    Ogre::MaterialManager::getSingleton().create("Examples/GrassBlades", "General");
    ASSERT_TRUE(loadText("<kelvo_scene/>"));
    Ogre::MeshPtr grass = Ogre::MeshManager::getSingleton().getByName("grassblades");
    ASSERT_TRUE(grass);
    EXPECT_EQ(12u, grass->getSubMesh(0)->vertexData->vertexCount);
    EXPECT_EQ(18u, grass->getSubMesh(0)->indexData->indexCount);
    EXPECT_EQ("Examples/GrassBlades", grass->getSubMesh(0)->getMaterialName());
    EXPECT_FLOAT_EQ(300, grass->getBounds().getMaximum().y);
}

// --- names and editing ----------------------------------------------------------

TEST_F(SceneTest, SpecialCharactersInNamesRoundTripAndPercentStaysPlain)
{
    ASSERT_TRUE(mLoader->newScene("names.qormscene"));
    Kelvo::EntityDescription* quoted = mLoader->addEntity("Tom's \"big\" <box> & co", "ball.mesh");
    ASSERT_NE(nullptr, quoted);
    quoted->realise(quoted->getParentNode());
    ASSERT_NE(nullptr, mLoader->addTrigger("100% sure", 2.0f));
    ASSERT_TRUE(mLoader->save());
    const std::string saved = readScene("names.qormscene");
    EXPECT_NE(std::string::npos, saved.find("name=\"Tom&apos;s &quot;big&quot; &lt;box&gt; &amp; co\""));
    EXPECT_NE(std::string::npos, saved.find("name=\"100% sure\""));

    ASSERT_TRUE(mLoader->load("names.qormscene", mSceneManager, nullptr, true));
    EXPECT_NE(nullptr, mLoader->findEntity("Tom's \"big\" <box> & co"));
    EXPECT_NE(nullptr, mLoader->findTrigger("100% sure"));
}

TEST_F(SceneTest, NewSceneHoldsOnlyTheRootAndTheShadowLine)
{
    ASSERT_TRUE(loadText(kCanonicalScene));
    ASSERT_TRUE(mLoader->newScene("fresh.qormscene"));
    EXPECT_EQ("<kelvo_scene>\n\t<shadow type=\"NONE\" />\n</kelvo_scene>\n", readScene("fresh.qormscene"));
    EXPECT_STREQ("fresh.qormscene", mLoader->getCurrentFileName());
    EXPECT_FALSE(mSceneManager->hasEntity("house"));
}

TEST_F(SceneTest, EachAddOpensABlockAndNamesAreUniqueAcrossKinds)
{
    ASSERT_TRUE(mLoader->newScene("adds.qormscene"));
    Kelvo::SoundDescription* sound = mLoader->addSound("bell");
    ASSERT_NE(nullptr, sound);
    EXPECT_EQ("2D_SOUND", sound->getType());
    EXPECT_EQ("", sound->getFile());
    EXPECT_FLOAT_EQ(1, sound->getVolume());
    EXPECT_FLOAT_EQ(1, sound->getMinDistance());
    EXPECT_FLOAT_EQ(100, sound->getMaxDistance());
    EXPECT_EQ(nullptr, mLoader->addLight("bell", "Point_Light"));
    EXPECT_EQ(nullptr, mLoader->addEntity("bell", "ball.mesh"));
    EXPECT_EQ(1u, mLoader->sounds().size());
    EXPECT_TRUE(mLoader->lights().empty());

    ASSERT_NE(nullptr, mLoader->addLight("glow", "Point_Light"));
    ASSERT_NE(nullptr, mLoader->addParticle("sparks"));
    EXPECT_EQ(3, mLoader->getRootCount());
    ASSERT_TRUE(mLoader->save());
    const std::string saved = readScene("adds.qormscene");
    size_t blocks = 0;
    for (size_t at = saved.find("\t<entities>"); at != std::string::npos; at = saved.find("\t<entities>", at + 1)) {
        ++blocks;
    }
    EXPECT_EQ(3u, blocks);
}

TEST_F(SceneTest, ClonesTakeTheNextNumberOfTheirBase)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<entity name=\"tree\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"><scale x=\"2\" y=\"3\" z=\"4\"/><rotation x=\"0\" y=\"45\" z=\"0\"/>"
                         "</entity>"
                         "<entity name=\"tree#2\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"></entity>"
                         "<entity name=\"tree#7\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"></entity>"
                         "<entity name=\"rock\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"></entity>"
                         "</entities></kelvo_scene>"));
    Kelvo::EntityDescription* clone = mLoader->cloneEntity("tree");
    ASSERT_NE(nullptr, clone);
    EXPECT_EQ("tree#8", clone->getName());
    EXPECT_EQ(Ogre::Vector3(2, 3, 4), clone->getScale());
    EXPECT_FLOAT_EQ(45, clone->getRotation()[1]);
    EXPECT_EQ(Ogre::Vector3::ZERO, mSceneManager->getSceneNode("tree#8")->getPosition());
    EXPECT_EQ(mLoader->findEntity("tree")->getRootIndex(), clone->getRootIndex());
    EXPECT_EQ("tree#9", mLoader->cloneEntity("tree#8")->getName());
    EXPECT_EQ("rock#1", mLoader->cloneEntity("rock")->getName());
    EXPECT_EQ(nullptr, mLoader->cloneEntity("nothing"));
}

TEST_F(SceneTest, RemoveDestroysEngineObjectsAndReportsUnknownNames)
{
    ASSERT_TRUE(loadText(kCanonicalScene));
    EXPECT_TRUE(mLoader->removeLight("lamp"));
    EXPECT_FALSE(mSceneManager->hasLight("lamp"));
    EXPECT_FALSE(mSceneManager->hasEntity("lamp_light_entity"));
    EXPECT_TRUE(mLoader->removeTrigger("zone"));
    EXPECT_FALSE(mSceneManager->hasSceneNode("zone"));
    EXPECT_TRUE(mLoader->removeEntity("tree"));
    EXPECT_FALSE(mSceneManager->hasEntity("tree"));
    EXPECT_FALSE(mLoader->removeEntity("tree"));
    EXPECT_FALSE(mLoader->removeSound("nothing"));
}

TEST_F(SceneTest, FailedSaveKeepsThePreviousFile)
{
    ASSERT_TRUE(loadText(kCanonicalScene, "keep.qormscene"));
    // The partial file cannot be created where a folder of its name stands.
    ASSERT_EQ(0, mkdir((mFolder + "keep.qormscene.saving").c_str(), 0755));
    mLoader->removeEntity("tree");
    EXPECT_FALSE(mLoader->save());
    EXPECT_EQ(kCanonicalScene, readScene("keep.qormscene"));
    EXPECT_TRUE(log().contains("scene not saved"));
}

TEST_F(SceneTest, SceneFileNamesCannotLeaveTheSceneFolder)
{
    writeScene("victim.qormscene", "<kelvo_scene/>");
    EXPECT_FALSE(mLoader->deleteSceneFile("../victim.qormscene"));
    EXPECT_FALSE(mLoader->newScene("sub/dir.qormscene"));
    EXPECT_TRUE(mLoader->deleteSceneFile("victim.qormscene"));
    EXPECT_FALSE(fileExists("victim.qormscene"));
    EXPECT_FALSE(mLoader->deleteSceneFile("victim.qormscene"));
}

// --- bad input ------------------------------------------------------------------

TEST_F(SceneTest, MalformedEmptyAndMissingFilesFailButKeepWhatWasRead)
{
    EXPECT_FALSE(mLoader->load("missing.qormscene", mSceneManager, nullptr, true));
    EXPECT_TRUE(log().contains("'missing.qormscene' could not be opened"));
    EXPECT_FALSE(loadText("", "empty.qormscene"));
    EXPECT_FALSE(loadText("<kelvo_scene><entities><entity name=\"a\" hidden=\"false\" filename=\"ball.mesh\" "
                          "CastShadows=\"no\" ReceiveShadows=\"no\"></entity></entities><entities><ent",
                          "cut.qormscene"));
    EXPECT_TRUE(log().contains("is not well-formed at line 1"));
    EXPECT_NE(nullptr, mLoader->findEntity("a"));
    EXPECT_TRUE(mSceneManager->hasEntity("a"));
}

TEST_F(SceneTest, ElementsMissingRequiredAttributesAreSkippedWithALogLine)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<entity hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" ReceiveShadows=\"no\">"
                         "<position x=\"1\" y=\"1\" z=\"1\"/></entity>"
                         "<trigger name=\"t\" attachedType=\"\"/>"
                         "<light name=\"l\" shadowcaster=\"1\"/>"
                         "<sound name=\"s\" type=\"2D_SOUND\"/>"
                         "<particle name=\"p\"/>"
                         "<extern/>"
                         "<entity name=\"ok\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"/>"
                         "</entities></kelvo_scene>", "holes.qormscene"));
    EXPECT_EQ(1u, mLoader->entities().size());
    EXPECT_TRUE(mLoader->triggers().empty());
    EXPECT_TRUE(mLoader->lights().empty());
    EXPECT_TRUE(mLoader->sounds().empty());
    EXPECT_TRUE(mLoader->particles().empty());
    EXPECT_TRUE(mLoader->externs().empty());
    EXPECT_TRUE(log().contains("<entity> in 'holes.qormscene' has no attribute 'name', element skipped"));
    EXPECT_TRUE(log().contains("<trigger> in 'holes.qormscene' has no attribute 'radius'"));
}

TEST_F(SceneTest, NonFiniteNumbersNeverReachTheSceneGraph)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<entity name=\"a\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"><position x=\"nan\" y=\"inf\" z=\"-1e999\"/>"
                         "<rotation x=\"NaN\" y=\"0\" z=\"0\"/><scale x=\"1e400\" y=\"2\"/></entity>"
                         "<trigger name=\"t\" radius=\"nan\" attachedType=\"\"/>"
                         "</entities></kelvo_scene>"));
    Ogre::SceneNode* node = mSceneManager->getSceneNode("a");
    EXPECT_EQ(Ogre::Vector3::ZERO, node->getPosition());
    EXPECT_EQ(Ogre::Vector3(1, 2, 1), node->getScale());
    EXPECT_FALSE(node->getOrientation().isNaN());
    EXPECT_FLOAT_EQ(0, mLoader->findTrigger("t")->getRadius());
    EXPECT_TRUE(log().contains("that is not a finite number"));
}

TEST_F(SceneTest, DuplicateNamesKeepTheFirstRecord)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<entity name=\"a\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"><position x=\"1\" y=\"0\" z=\"0\"/></entity>"
                         "<entity name=\"a\" hidden=\"true\" filename=\"ball.mesh\" CastShadows=\"no\" "
                         "ReceiveShadows=\"no\"><position x=\"2\" y=\"0\" z=\"0\"/></entity>"
                         "<light name=\"a\" type=\"Point_Light\" shadowcaster=\"1\"/>"
                         "</entities></kelvo_scene>"));
    EXPECT_EQ(1u, mLoader->entities().size());
    EXPECT_TRUE(mLoader->lights().empty());
    EXPECT_FALSE(mLoader->findEntity("a")->isHidden());
    EXPECT_EQ(Ogre::Vector3(1, 0, 0), mSceneManager->getSceneNode("a")->getPosition());
    EXPECT_TRUE(log().contains("uses a name that is taken already"));
}

TEST_F(SceneTest, ExternsAreReadOnceEvenWhenTheyNameThemselves)
{
    writeScene("room.qormscene", "<kelvo_scene><entities><extern filename=\"room.qormscene\"/>"
                                 "<entity name=\"chair\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                                 "ReceiveShadows=\"no\"/></entities></kelvo_scene>");
    ASSERT_TRUE(loadText("<kelvo_scene><entities><extern filename=\"room.qormscene\">"
                         "<position x=\"5\" y=\"0\" z=\"0\"/></extern></entities></kelvo_scene>",
                         "house.qormscene"));
    EXPECT_NE(nullptr, mLoader->findEntity("chair"));
    EXPECT_EQ(Ogre::Vector3(5, 0, 0), mSceneManager->getSceneNode("entityRoot_0")->getPosition());
    EXPECT_TRUE(log().contains("extern 'room.qormscene' was read already"));
}

TEST_F(SceneTest, MisplacedAnimationShowsTheFaultyBoxAndIsSkipped)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities><animation name=\"x\" length=\"1\"/></entities></kelvo_scene>"));
    EXPECT_TRUE(log().contains("MessageBox [Error]: XMLScene is faulty!"));
    EXPECT_FALSE(mSceneManager->hasAnimation("x"));
}

TEST_F(SceneTest, LoadRestoresTheLogDetailEvenWhenItFails)
{
    Ogre::Log* engineLog = Ogre::LogManager::getSingleton().getDefaultLog();
    engineLog->setLogDetail(Ogre::LL_BOREME);
    EXPECT_FALSE(mLoader->load("missing.qormscene", mSceneManager, nullptr, false));
    EXPECT_EQ(Ogre::LL_BOREME, engineLog->getLogDetail());
}

TEST(SceneTextTest, RealsMatchTheEnginesSixDigitStreamForm)
{
    const Ogre::Real samples[] = {0.0f, -0.0f, 1.5f, 100.0f, 0.25f, 1.0f / 3.0f, 1234567.0f, 0.000125f,
                                  -5.5f, 1e-7f, 3e12f, 359.99998f, 65536.0f, -0.1f};
    for (Ogre::Real value : samples) {
        EXPECT_EQ(Ogre::StringConverter::toString(value, 6, 0, ' ', std::ios::fmtflags(0)),
                  Kelvo::SceneText::real(value))
            << value;
    }
    EXPECT_EQ("80", Kelvo::SceneText::degrees(Ogre::Degree(80)));
}

// --- sounds through the sound manager ------------------------------------------

class SceneSoundTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        const std::string sounds = mFolder + "sounds/";
        ASSERT_EQ(0, mkdir(sounds.c_str(), 0755));
        SoundTest::writeTone(sounds + "bell.wav", SoundTest::FileKind::Wav, 2.0);
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(sounds, "FileSystem", "General");
        mSounds = new Kelvo::SoundManager();
        mSounds->Initialize();
    }

    void TearDown() override
    {
        mLoader->unload();
        SceneTest::TearDown();
        delete mSounds;
    }
};

TEST_F(SceneSoundTest, SceneSoundsLoadThroughTheSoundManagerAndPlayFromTheirRecord)
{
    ASSERT_TRUE(loadText("<kelvo_scene><entities>"
                         "<sound name=\"bell\" type=\"3D_SOUND\" file=\"bell.wav\" volume=\"0.5\" maxDistance=\"50\" "
                         "minDistance=\"2\" parent=\"\"><position x=\"1\" y=\"0\" z=\"0\"/></sound>"
                         "<sound name=\"lost\" type=\"2D_SOUND\" file=\"missing.wav\" volume=\"1\" maxDistance=\"1\" "
                         "minDistance=\"1\" parent=\"\"/>"
                         "<sound name=\"new\" type=\"3D_SOUND\" file=\"\" volume=\"1\" maxDistance=\"1\" "
                         "minDistance=\"1\" parent=\"\"/>"
                         "</entities></kelvo_scene>"));
    Kelvo::SoundDescription* bell = mLoader->findSound("bell");
    Kelvo::SoundDescription* lost = mLoader->findSound("lost");
    EXPECT_GT(bell->getSoundHandle(), 0);
    EXPECT_EQ(0, lost->getSoundHandle());
    EXPECT_TRUE(log().contains("SoundManager::CreateSound could not find sound 'missing.wav'"));
    // One the designer made and has not given a file yet is silent, and no
    // error: not a sound the sound system could not find (while the loader
    // loads, the log takes errors only).
    Kelvo::SoundDescription* fresh = mLoader->findSound("new");
    EXPECT_EQ(0, fresh->getSoundHandle());
    EXPECT_FALSE(log().contains("could not find sound ''"));
    EXPECT_FALSE(log().contains("'new'"));
    fresh->play();
    EXPECT_FALSE(fresh->isPlaying());

    bell->play();
    EXPECT_NE(-1, bell->getChannelHandle());
    EXPECT_TRUE(bell->isPlaying());
    EXPECT_EQ(mSceneManager->getSceneNode("bell"), mSounds->getFollowedNode(bell->getChannelHandle()));
    bell->stop();
    EXPECT_EQ(-1, bell->getChannelHandle());
    EXPECT_FALSE(bell->isPlaying());

    // A sound that could not be loaded plays nothing and keeps no channel.
    lost->play();
    EXPECT_EQ(-1, lost->getChannelHandle());
}

TEST_F(SceneSoundTest, ALoadWithoutASoundManagerLeavesTheSoundsSilentThoughOneExists)
{
    writeScene("quiet.qormscene", "<kelvo_scene><entities>"
                                  "<sound name=\"bell\" type=\"2D_SOUND\" file=\"bell.wav\" volume=\"1\" "
                                  "maxDistance=\"50\" minDistance=\"2\" parent=\"\"/>"
                                  "</entities></kelvo_scene>");
    ASSERT_TRUE(mLoader->load("quiet.qormscene", mSceneManager, nullptr, true));
    Kelvo::SoundDescription* bell = mLoader->findSound("bell");
    ASSERT_NE(nullptr, bell);
    EXPECT_EQ(-1, bell->getSoundHandle());
    bell->play();
    EXPECT_FALSE(bell->isPlaying());

    // The next load hands the manager in: the same record now sounds.
    ASSERT_TRUE(mLoader->load("quiet.qormscene", mSceneManager, nullptr, true, mSounds));
    bell = mLoader->findSound("bell");
    EXPECT_GT(bell->getSoundHandle(), 0);
    bell->play();
    EXPECT_TRUE(bell->isPlaying());
    bell->stop();
}
