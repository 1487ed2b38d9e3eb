#include "HeadlessEngine.h"

#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"
#include "TemporaryFolder.h"
#include "TerrainTestMedia.h"
#include "WindowedGL.h"

#include <OgreTerrain.h>


using Kelvo::PagingLandScapeSceneManager;
using Kelvo::PagingLandScapeSceneManagerFactory;

namespace {

// Our scene manager on an engine with no render system: everything but the
// terrain itself, which needs one (the window tests cover it).
class TerrainSceneManagerTest : public KelvoTest::HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        factory = PagingLandScapeSceneManagerFactory::install(*mRoot);
        scene = mRoot->createSceneManager(PagingLandScapeSceneManager::kTypeName, "MainScene");
    }
    void TearDown() override
    {
        PagingLandScapeSceneManagerFactory::uninstall(*mRoot, factory);
        HeadlessEngineTest::TearDown();
    }

    void expectRefused(const std::string& fileName, const std::string& fault)
    {
        try {
            scene->setWorldGeometry(fileName);
            ADD_FAILURE() << "accepted";
        } catch (const Ogre::Exception& e) {
            EXPECT_NE(std::string::npos, e.getDescription().find(fault)) << e.getDescription();
        }
        EXPECT_TRUE(log().contains(fault));
        EXPECT_EQ(nullptr, static_cast<PagingLandScapeSceneManager*>(scene)->getTerrainWorld());
    }

    PagingLandScapeSceneManagerFactory* factory = nullptr;
    Ogre::SceneManager* scene = nullptr;
};

TEST_F(TerrainSceneManagerTest, FactoryMakesOurTypeAndUninstallingLeavesNoneBehind)
{
    EXPECT_EQ("PagingLandScapeSceneManager", scene->getTypeName());
    EXPECT_NE(nullptr, dynamic_cast<PagingLandScapeSceneManager*>(scene));
    EXPECT_NE(nullptr, Ogre::TerrainGlobalOptions::getSingletonPtr());

    PagingLandScapeSceneManagerFactory::uninstall(*mRoot, factory);
    factory = nullptr;
    EXPECT_FALSE(mRoot->hasSceneManager("MainScene"));
    EXPECT_EQ(nullptr, Ogre::TerrainGlobalOptions::getSingletonPtr());
    EXPECT_THROW(mRoot->createSceneManager(PagingLandScapeSceneManager::kTypeName), Ogre::Exception);
}

TEST_F(TerrainSceneManagerTest, WithoutTerrainQueriesAnswerLikeTheOctree)
{
    // A 100-unit box around (10, 0, 10).
    Ogre::ManualObject* box = scene->createManualObject("box");
    box->begin("BaseWhiteNoLighting", Ogre::RenderOperation::OT_LINE_LIST);
    box->position(-50, -50, -50);
    box->position(50, 50, 50);
    box->end();
    scene->getRootSceneNode()->createChildSceneNode("box_node", Ogre::Vector3(10, 0, 10))->attachObject(box);
    scene->getRootSceneNode()->_update(true, false);

    Ogre::RaySceneQuery* query =
        scene->createRayQuery(Ogre::Ray(Ogre::Vector3(10, 100, 10), Ogre::Vector3::NEGATIVE_UNIT_Y));
    // Ground-following code gets fragments without asking for them.
    EXPECT_EQ(Ogre::SceneQuery::WFT_SINGLE_INTERSECTION, query->getWorldFragmentType());
    const Ogre::RaySceneQueryResult& result = query->execute();
    ASSERT_EQ(1u, result.size());
    EXPECT_EQ(box, result[0].movable);
    EXPECT_EQ(nullptr, result[0].worldFragment);
    EXPECT_FLOAT_EQ(50.0f, result[0].distance);
    scene->destroyQuery(query);
}

TEST_F(TerrainSceneManagerTest, CameraOptionsTakeOnlyCamerasOfThisManager)
{
    Ogre::Camera* camera = scene->createCamera("PrimaryCamera");
    Ogre::SceneManager* other = mRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME);
    Ogre::Camera* stranger = other->createCamera("stranger");
    EXPECT_TRUE(scene->setOption("PrimaryCamera", camera));
    EXPECT_TRUE(scene->setOption("CurrentOptionCamera", camera));
    EXPECT_FALSE(scene->setOption("PrimaryCamera", stranger));
    EXPECT_FALSE(scene->setOption("CurrentOptionCamera", &camera));
    EXPECT_TRUE(log().contains("option \"PrimaryCamera\" needs a camera of scene manager \"MainScene\"; ignored"));
    EXPECT_TRUE(scene->setOption("setCullingMode", "VIEW_FRUSTUM_DIRECT"));
    // The octree's own options still work.
    int depth = 5;
    EXPECT_TRUE(scene->setOption("Depth", &depth));
    Ogre::StringVector keys;
    scene->getOptionKeys(keys);
    EXPECT_NE(keys.end(), std::find(keys.begin(), keys.end(), "PrimaryCamera"));
    mRoot->destroySceneManager(other);
}

TEST_F(TerrainSceneManagerTest, TerrainNeedsItsShadersAndARenderSystemAndSaysSo)
{
    using KelvoTest::TerrainTestMedia;
    const KelvoTest::TemporaryFolder media("kelvo_terrain_headless");
    const std::string folder = media.path();
    KelvoTest::loadEnginePlugin(*mRoot, "Codec_FreeImage");
    TerrainTestMedia::writeAll(folder);
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(folder, "FileSystem", "Terrain");

    expectRefused("paginglandscape2.cfg",
                  "the resource group \"Terrain\" lacks the engine's terrain shaders (TerrainHelpers.glsl)");
    groups.addResourceLocation("/usr/share/OGRE/Media/Terrain", "FileSystem", "Terrain");
    expectRefused("paginglandscape2.cfg", "no render system: the terrain cannot be drawn");
}

} // namespace
