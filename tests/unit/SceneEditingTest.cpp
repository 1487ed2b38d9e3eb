// What the level editor relies on when it changes a loaded scene: the
// choosers' name lists, removing entities with what hangs on them, where new
// and mesh-less records are realised, materials kept as the file names them,
// and scene files that come back unchanged when saved again.

#include "SceneTestFixture.h"

#include "scene/EntityDescription.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"

#include <OgreConfigFile.h>
#include <OgreOverlaySystem.h>

#include <algorithm>
#include <regex>
#include <set>

using KelvoTest::SceneTest;

namespace {

const std::string kSourceDir = std::string(KELVO_TEST_DATA_DIR) + "/../../..";

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Every value of the attribute in elements of that name, as the file has it.
std::set<std::string> attributeValues(const std::string& text, const std::string& element,
                                      const std::string& attribute)
{
    std::set<std::string> values;
    const std::regex pattern("<" + element + "\\b[^>]*\\b" + attribute + "=\"([^\"]*)\"");
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
        if (!(*it)[1].str().empty()) {
            values.insert((*it)[1].str());
        }
    }
    return values;
}

size_t countOf(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

bool hangsInSceneGraph(Ogre::SceneManager* manager, Ogre::Node* node)
{
    while (node && node != manager->getRootSceneNode()) {
        node = node->getParent();
    }
    return node != nullptr;
}

std::string entityLine(const std::string& name, const std::string& mesh, const std::string& extra = "")
{
    return "\t\t<entity name=\"" + name + "\" hidden=\"false\" filename=\"" + mesh +
           "\" CastShadows=\"no\" ReceiveShadows=\"no\"" + extra + ">\n\t\t</entity>\n";
}

} // namespace

// --- name lists from the game's real resources ---------------------------------------

class ShippedResourcesTest : public KelvoTest::HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        // What a render system would provide for parsing the media's
        // materials, programs, particle templates and overlays.
        mRoot->loadPlugin(std::string(KELVO_OGRE_PLUGIN_DIR) + "/Codec_STBI");
        mRoot->loadPlugin(std::string(KELVO_OGRE_PLUGIN_DIR) + "/Plugin_ParticleFX");
        mTextures = new Ogre::DefaultTextureManager();
        mPrograms = new Ogre::GpuProgramManager();
        Ogre::ParticleSystemManager::getSingleton()._initialise();
        mOverlays = new Ogre::OverlaySystem();
        Ogre::ConfigFile resources;
        resources.load(kSourceDir + "/run/resources.cfg", "\t:=", true);
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        for (const char* group : {"General", "SceneLoader"}) {
            for (const auto& location : resources.getSettings(group)) {
                const std::string path = location.second[0] == '/' ? location.second
                                                                    : kSourceDir + "/run/" + location.second;
                groups.addResourceLocation(path, location.first, group);
            }
            groups.initialiseResourceGroup(group);
        }
        mLoader = new Kelvo::SceneLoader();
    }

    void TearDown() override
    {
        delete mLoader;
        delete mOverlays;
        delete mTextures;
        delete mPrograms;
        HeadlessEngineTest::TearDown();
    }

    static bool holdsAll(const Kelvo::SceneLoader::NameList& list, const std::set<std::string>& wanted,
                         std::string& missing)
    {
        for (const std::string& name : wanted) {
            if (std::find(list->begin(), list->end(), name) == list->end()) {
                missing += name + " ";
            }
        }
        return missing.empty();
    }

    Kelvo::SceneLoader* mLoader = nullptr;
    Ogre::DefaultTextureManager* mTextures = nullptr;
    Ogre::GpuProgramManager* mPrograms = nullptr;
    Ogre::OverlaySystem* mOverlays = nullptr;
};

TEST_F(ShippedResourcesTest, ChoosersOfferEveryMeshMaterialSoundAndTemplateTheIslandUses)
{
    const std::string island = readFile(kSourceDir + "/media/xmlScenes/world.qormscene");
    ASSERT_FALSE(island.empty());
    ASSERT_TRUE(std::ifstream(kSourceDir + "/media/generated/hero.mesh").good())
        << "the media are made by tools/make_media.sh (./setup.sh build)";

    std::string missing;
    EXPECT_TRUE(holdsAll(mLoader->getMeshNames(), attributeValues(island, "entity", "filename"), missing))
        << "meshes missing: " << missing;

    std::set<std::string> materials = attributeValues(island, "material", "name");
    EXPECT_TRUE(materials.count("DefaultFromMesh"));
    missing.clear();
    const Kelvo::SceneLoader::NameList materialNames = mLoader->getMaterialNames();
    EXPECT_EQ("DefaultFromMesh", materialNames->front());
    EXPECT_TRUE(holdsAll(materialNames, materials, missing)) << "materials missing: " << missing;

    missing.clear();
    EXPECT_TRUE(holdsAll(mLoader->getSoundFileNames(), attributeValues(island, "sound", "file"), missing))
        << "sounds missing: " << missing;

    missing.clear();
    EXPECT_TRUE(holdsAll(mLoader->getParticleTemplateNames(), attributeValues(island, "particle", "file"), missing))
        << "particle templates missing: " << missing;

    // The types: every one the island uses, and no blank entry after the
    // file's last line.
    missing.clear();
    const Kelvo::SceneLoader::NameList types = mLoader->getEntityTypes();
    EXPECT_TRUE(holdsAll(types, attributeValues(island, "type", "name"), missing)) << "types missing: " << missing;
    EXPECT_EQ(types->end(), std::find(types->begin(), types->end(), std::string())) << "an empty type is offered";

    // Each list is sorted and names every resource once.
    const Kelvo::SceneLoader::NameList meshes = mLoader->getMeshNames();
    EXPECT_TRUE(std::is_sorted(meshes->begin(), meshes->end()));
    EXPECT_EQ(meshes->end(), std::adjacent_find(meshes->begin(), meshes->end()));
}

// --- removing an entity ------------------------------------------------------------

TEST_F(SceneTest, RemovingAnEntityTakesWhatHangsOnItAlongAndCountsIt)
{
    const std::string text =
        "<kelvo_scene>\n\t<entities>\n" + entityLine("boss", "ball.mesh") +
        "\t\t<trigger name=\"boss_zone\" radius=\"2\" parent=\"boss\" attachedType=\"\">\n\t\t</trigger>\n"
        "\t\t<light name=\"boss_glow\" type=\"Point_Light\" shadowcaster=\"0\" parent=\"boss\" >\n\t\t</light>\n"
        "\t\t<sound name=\"boss_cry\" type=\"3D_SOUND\" file=\"cry.wav\" volume=\"1\" maxDistance=\"100\" "
        "minDistance=\"1\" parent=\"boss\">\n\t\t</sound>\n"
        "\t\t<particle name=\"boss_smoke\" file=\"\" parent=\"boss\">\n\t\t</particle>\n" +
        entityLine("hat", "ball.mesh", " parent=\"boss\"") + entityLine("feather", "ball.mesh", " parent=\"hat\"") +
        "\t\t<trigger name=\"hat_zone\" radius=\"1\" parent=\"hat\" attachedType=\"\">\n\t\t</trigger>\n" +
        entityLine("rock", "ball.mesh") + "\t</entities>\n</kelvo_scene>\n";
    ASSERT_TRUE(loadText(text));
    ASSERT_EQ(mSceneManager->getSceneNode("boss"), mSceneManager->getSceneNode("hat")->getParentSceneNode());

    EXPECT_EQ(8, mLoader->removeEntity("boss"));

    for (const char* gone : {"boss", "hat", "feather", "boss_zone", "boss_glow", "boss_cry", "boss_smoke", "hat_zone"}) {
        EXPECT_FALSE(mLoader->isNameTaken(gone)) << gone;
        EXPECT_FALSE(mSceneManager->hasSceneNode(gone)) << gone;
        EXPECT_FALSE(mSceneManager->hasEntity(gone)) << gone;
    }
    EXPECT_FALSE(mSceneManager->hasLight("boss_glow"));
    EXPECT_FALSE(mSceneManager->hasEntity("boss_zone_entity"));
    EXPECT_FALSE(mSceneManager->hasEntity("boss_cry_sound_entity"));
    ASSERT_NE(nullptr, mLoader->findEntity("rock"));
    EXPECT_TRUE(hangsInSceneGraph(mSceneManager, mLoader->findEntity("rock")->getSceneNode()));

    // Nothing of the removed family is written, and a clone of a removed
    // child cannot be made from what is left.
    const std::string saved = mLoader->sceneText();
    EXPECT_EQ(std::string::npos, saved.find("boss"));
    EXPECT_EQ(std::string::npos, saved.find("hat"));
    EXPECT_EQ(nullptr, mLoader->cloneEntity("hat"));
    EXPECT_EQ(0, mLoader->removeEntity("boss"));
    EXPECT_EQ(1, mLoader->removeEntity("rock"));
}

TEST_F(SceneTest, EntitiesThatNameEachOtherAsParentsAreRemovedOnce)
{
    const std::string text = "<kelvo_scene>\n\t<entities>\n" + entityLine("left", "", " parent=\"right\"") +
                             entityLine("right", "", " parent=\"left\"") + "\t</entities>\n</kelvo_scene>\n";
    ASSERT_TRUE(loadText(text));
    EXPECT_EQ(2, mLoader->removeEntity("left"));
    EXPECT_TRUE(mLoader->entities().empty());
}

// --- parent nodes, blocks and mesh-less records ----------------------------------------

TEST_F(SceneTest, ReloadingInTheSameSceneManagerKeepsEntitiesUnderParentNodesVisible)
{
    const std::string text = "<kelvo_scene>\n\t<entities>\n" + entityLine("lantern", "ball.mesh", " parent=\"pole\"") +
                             "\t</entities>\n</kelvo_scene>\n";
    for (int load = 0; load < 2; ++load) {
        ASSERT_TRUE(loadText(text));
        Ogre::SceneNode* lantern = mSceneManager->getSceneNode("lantern");
        EXPECT_EQ("pole", lantern->getParentSceneNode()->getName());
        EXPECT_TRUE(hangsInSceneGraph(mSceneManager, lantern)) << "load " << load + 1;
    }
    mLoader->unload();
    EXPECT_FALSE(mSceneManager->hasSceneNode("pole"));
}

TEST_F(SceneTest, EntityParentAttributeIsWrittenBack)
{
    const std::string text = "<kelvo_scene>\n\t<entities>\n" + entityLine("lantern", "ball.mesh", " parent=\"pole\"") +
                             "\t</entities>\n</kelvo_scene>\n";
    ASSERT_TRUE(loadText(text));
    EXPECT_NE(std::string::npos, mLoader->sceneText().find("ReceiveShadows=\"no\" parent=\"pole\">"));
    EXPECT_EQ(std::string::npos, mLoader->sceneText().find("parent=\"\""));
}

TEST_F(SceneTest, AddedRecordsHangUnderTheirOwnBlocksNode)
{
    ASSERT_TRUE(loadText("<kelvo_scene>\n\t<entities>\n" + entityLine("rock", "ball.mesh") +
                         "\t</entities>\n</kelvo_scene>\n"));
    Kelvo::TriggerDescription* trigger = mLoader->addTrigger("zone", 2.0f);
    Kelvo::LightDescription* light = mLoader->addLight("glow", "Point_Light");
    Kelvo::SoundDescription* sound = mLoader->addSound("bell");
    Kelvo::ParticleDescription* particle = mLoader->addParticle("sparks");
    ASSERT_TRUE(trigger && light && sound && particle);
    trigger->realise(nullptr);
    light->realise(nullptr);
    sound->realise(nullptr);
    particle->realise(nullptr);

    EXPECT_EQ("entityRoot_1", trigger->getSceneNode()->getParentSceneNode()->getName());
    EXPECT_EQ("entityRoot_2", light->getSceneNode()->getParentSceneNode()->getName());
    EXPECT_EQ("entityRoot_3", sound->getSceneNode()->getParentSceneNode()->getName());
    EXPECT_EQ("entityRoot_4", particle->getSceneNode()->getParentSceneNode()->getName());
    EXPECT_EQ(2, trigger->getRootIndex());
    EXPECT_EQ(5, particle->getRootIndex());

    // A trigger added on an entity hangs on it.
    Kelvo::TriggerDescription* onRock = mLoader->addTrigger("rock_zone", 1.0f, mLoader->findEntity("rock"));
    ASSERT_NE(nullptr, onRock);
    onRock->realise(nullptr);
    EXPECT_EQ(mSceneManager->getSceneNode("rock"), onRock->getSceneNode()->getParentSceneNode());
}

TEST_F(SceneTest, EntityWithoutMeshKeepsItsParentNodeAndAMeshRealisesItThere)
{
    ASSERT_TRUE(loadText("<kelvo_scene>\n\t<entities>\n" + entityLine("rock", "ball.mesh") +
                         "\t</entities>\n\t<entities>\n" + entityLine("spawn", "") +
                         "\t</entities>\n</kelvo_scene>\n"));
    Kelvo::EntityDescription* spawn = mLoader->findEntity("spawn");
    ASSERT_NE(nullptr, spawn);
    ASSERT_NE(nullptr, spawn->getParentNode());
    EXPECT_EQ("entityRoot_1", spawn->getParentNode()->getName());
    EXPECT_EQ(nullptr, spawn->getEntity());

    spawn->setFileName("ball.mesh");
    ASSERT_NE(nullptr, spawn->getEntity());
    EXPECT_EQ("entityRoot_1", spawn->getSceneNode()->getParentSceneNode()->getName());
    EXPECT_FALSE(spawn->hasNoMesh());

    // An added entity chooses its mesh in its window: it appears in its
    // own block.
    Kelvo::EntityDescription* added = mLoader->addEntity("crate", "");
    ASSERT_NE(nullptr, added);
    added->setFileName("ball.mesh");
    ASSERT_NE(nullptr, added->getEntity());
    EXPECT_EQ("entityRoot_2", added->getSceneNode()->getParentSceneNode()->getName());
}

// --- materials -----------------------------------------------------------------------

class SceneMaterialTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        for (const char* name : {"KELVO/Hull", "KELVO/Sail", "KELVO/Paint"}) {
            materials.create(name, "General");
        }
        // A prop of two parts, each with its own material (and, as some
        // props, no texture coordinates to build tangents from).
        Ogre::ManualObject shape("twoParts");
        for (const char* material : {"KELVO/Hull", "KELVO/Sail"}) {
            shape.begin(material);
            shape.position(0, 0, 0);
            shape.position(1, 0, 0);
            shape.position(0, 1, 0);
            shape.triangle(0, 1, 2);
            shape.end();
        }
        shape.convertToMesh("twoparts.mesh");
    }
};

TEST_F(SceneMaterialTest, DefaultFromMeshKeepsEachPartsMaterialAndIsWrittenBack)
{
    const std::string text = "<kelvo_scene>\n\t<entities>\n"
                             "\t\t<entity name=\"ship\" hidden=\"false\" filename=\"twoparts.mesh\" "
                             "CastShadows=\"no\" ReceiveShadows=\"no\">\n"
                             "\t\t\t<material name=\"DefaultFromMesh\" />\n\t\t</entity>\n"
                             "\t</entities>\n</kelvo_scene>\n";
    ASSERT_TRUE(loadText(text));
    Kelvo::EntityDescription* ship = mLoader->findEntity("ship");
    ASSERT_NE(nullptr, ship->getEntity());
    EXPECT_EQ("DefaultFromMesh", ship->getMaterial());
    EXPECT_EQ("KELVO/Sail", ship->getEntity()->getSubEntity(1)->getMaterialName());
    EXPECT_NE(std::string::npos, mLoader->sceneText().find("<material name=\"DefaultFromMesh\" />"));

    // A chosen material covers every part; choosing the mesh's own again
    // gives each part back its own.
    ship->setMaterial("KELVO/Paint");
    EXPECT_EQ("KELVO/Paint", ship->getEntity()->getSubEntity(0)->getMaterialName());
    EXPECT_EQ("KELVO/Paint", ship->getEntity()->getSubEntity(1)->getMaterialName());
    ship->setMaterial("DefaultFromMesh");
    EXPECT_EQ("KELVO/Hull", ship->getEntity()->getSubEntity(0)->getMaterialName());
    EXPECT_EQ("KELVO/Sail", ship->getEntity()->getSubEntity(1)->getMaterialName());
}

// --- stable files --------------------------------------------------------------------

TEST_F(SceneTest, ShippedAndTestScenesSaveToTheSameTextTwiceWithEveryRecord)
{
    const std::vector<std::string> scenes = {
        kSourceDir + "/media/xmlScenes/world.qormscene",
        kSourceDir + "/media/xmlScenes/credit.qormscene",
        kSourceDir + "/tests/e2e/data/small_world/world.qormscene",
        kSourceDir + "/tests/fuzz/corpus/canonical.qormscene",
    };
    for (const std::string& path : scenes) {
        SCOPED_TRACE(path);
        const std::string original = readFile(path);
        ASSERT_FALSE(original.empty());
        // A copy in the test's folder: the shipped files are never written.
        writeScene("stable.qormscene", original);
        ASSERT_TRUE(mLoader->load("stable.qormscene", mSceneManager, nullptr, true));
        for (const char* element : {"<entity ", "<trigger ", "<light ", "<sound ", "<particle ", "<extern "}) {
            EXPECT_EQ(countOf(original, element), countOf(mLoader->sceneText(), element)) << element;
        }
        ASSERT_TRUE(mLoader->save());
        const std::string first = readScene("stable.qormscene");
        ASSERT_TRUE(mLoader->load("stable.qormscene", mSceneManager, nullptr, true));
        ASSERT_TRUE(mLoader->save());
        EXPECT_EQ(first, readScene("stable.qormscene"));
    }
}

TEST_F(SceneTest, RotatedExternKeepsItsRotationThroughSaves)
{
    writeScene("hut.qormscene", "<kelvo_scene>\n\t<entities>\n" + entityLine("hut", "ball.mesh") +
                                    "\t</entities>\n</kelvo_scene>\n");
    const std::string text = "<kelvo_scene>\n\t<entities>\n\t\t<extern filename=\"hut.qormscene\">\n"
                             "\t\t\t<position x=\"5\" y=\"0\" z=\"0\" />\n"
                             "\t\t\t<rotation  x=\"0\" y=\"0.707107\" z=\"0\" w=\"0.707107\" />\n"
                             "\t\t\t<scale  x=\"1\" y=\"1\" z=\"1\" />\n"
                             "\t\t</extern>\n\t</entities>\n</kelvo_scene>\n";
    ASSERT_TRUE(loadText(text, "village.qormscene"));
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    ASSERT_TRUE(mSceneManager->hasSceneNode("hut"));
    mSceneManager->getRootSceneNode()->_update(true, false);
    EXPECT_TRUE(mSceneManager->getSceneNode("hut")->_getDerivedOrientation().equals(quarterTurn, Ogre::Degree(0.1f)));
    ASSERT_TRUE(mLoader->save());
    const std::string first = readScene("village.qormscene");
    EXPECT_EQ(1u, countOf(first, "<extern "));
    EXPECT_EQ(0u, countOf(first, "name=\"hut\"")) << "the extern's own records stay in its file";

    ASSERT_TRUE(mLoader->load("village.qormscene", mSceneManager, nullptr, true));
    mSceneManager->getRootSceneNode()->_update(true, false);
    EXPECT_TRUE(mSceneManager->getSceneNode("hut")->_getDerivedOrientation().equals(quarterTurn, Ogre::Degree(0.1f)));
    ASSERT_TRUE(mLoader->save());
    EXPECT_EQ(first, readScene("village.qormscene"));
}

// Node animations (cut-scenes) live in the scene manager across loads: a
// track may never be left on a node that is gone.
TEST_F(SceneTest, AnimationTracksGoWithTheirEntitysNode)
{
    const std::string text = "<kelvo_scene><entities>"
                             "<entity name=\"boat\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"no\" "
                             "ReceiveShadows=\"no\"><animations><animation name=\"sail\" length=\"4\">"
                             "<keyframe time=\"0\"><position x=\"0\" y=\"0\" z=\"0\"/></keyframe>"
                             "<keyframe time=\"4\"><position x=\"40\" y=\"0\" z=\"0\"/></keyframe>"
                             "</animation></animations></entity></entities></kelvo_scene>";
    ASSERT_TRUE(loadText(text));
    ASSERT_TRUE(loadText(text));
    Ogre::Animation* sail = mSceneManager->getAnimation("sail");
    ASSERT_EQ(1u, sail->getNumNodeTracks());
    EXPECT_EQ(mSceneManager->getSceneNode("boat"), sail->_getNodeTrackList().begin()->second->getAssociatedNode());

    EXPECT_EQ(1, mLoader->removeEntity("boat"));
    EXPECT_EQ(0u, sail->getNumNodeTracks());
    sail->apply(2.0f);
}
