#include "terrain/PagingLandScapeSceneManager.h"

#include "terrain/PagingLandScapeRaySceneQuery.h"
#include "terrain/TerrainConfig.h"
#include "terrain/TerrainHeightSource.h"
#include "terrain/TerrainWorld.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTextureManager.h>

namespace Kelvo {

namespace {

const char* const kPrimaryCameraOption = "PrimaryCamera";
const char* const kCurrentCameraOption = "CurrentOptionCamera";
const char* const kCullingModeOption = "setCullingMode";
// One of the engine's terrain shader files: without them in our group the
// terrain could not build a single material.
const char* const kTerrainShaderProbe = "TerrainHelpers.glsl";

void logLine(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage(line);
}

[[noreturn]] void fail(const std::string& fileName, const std::string& fault)
{
    const std::string message = "Terrain configuration \"" + fileName + "\": " + fault;
    logLine(message);
    OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, message, "PagingLandScapeSceneManager::setWorldGeometry");
}

void checkTerrainShaders(const std::string& fileName)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceGroupExists(TerrainConfig::kResourceGroup) ||
        !groups.resourceExists(TerrainConfig::kResourceGroup, kTerrainShaderProbe)) {
        fail(fileName, std::string("the resource group \"") + TerrainConfig::kResourceGroup +
                           "\" lacks the engine's terrain shaders (" + kTerrainShaderProbe + ")");
    }
}

// Loads every layer texture in the group that holds it, so that the
// terrain's materials find them by name and a bad file is reported now
// rather than as a blank layer later.
void loadLayerTextures(const TerrainConfig& config)
{
    Ogre::TextureManager* textures = Ogre::TextureManager::getSingletonPtr();
    if (!textures) {
        fail(config.fileName, "no render system: the terrain cannot be drawn");
    }
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (size_t i = 0; i < config.layers.size(); ++i) {
        const std::string& name = config.layers[i].texture;
        const std::string where = "[Layer" + std::to_string(i) + "] texture \"" + name + "\" ";
        std::string group = config.group;
        if (group.empty() || !groups.resourceGroupExists(group) || !groups.resourceExists(group, name)) {
            if (!groups.resourceExistsInAnyGroup(name)) {
                fail(config.fileName, where + "not found in any resource group");
            }
            group = groups.findGroupContainingResource(name);
        }
        try {
            textures->load(name, group);
        } catch (const Ogre::Exception& e) {
            fail(config.fileName, where + "cannot be loaded: " + e.getDescription());
        }
    }
}

} // namespace

const Ogre::String PagingLandScapeSceneManager::kTypeName = "PagingLandScapeSceneManager";

PagingLandScapeSceneManager::PagingLandScapeSceneManager(const Ogre::String& instanceName)
    : Ogre::OctreeSceneManager(instanceName)
{
}

PagingLandScapeSceneManager::~PagingLandScapeSceneManager()
{
    destroyWorld();
}

void PagingLandScapeSceneManager::setWorldGeometry(const Ogre::String& fileName)
{
    logLine("Terrain: building the terrain of \"" + fileName + "\"");
    // Everything the terrain reads is checked before the present terrain
    // goes, so that a bad file leaves the scene as it was.
    const TerrainConfig config = TerrainConfig::load(fileName);
    checkTerrainShaders(fileName);
    TerrainHeightSource heights = TerrainHeightSource::load(config);
    loadLayerTextures(config);

    destroyWorld();
    mWorld.reset(new TerrainWorld(this, config, std::move(heights)));
    for (Ogre::Camera* camera : mPagingCameras) {
        mWorld->addCamera(camera);
    }
    // Objects outside the octree's box all land in its root cell, which
    // makes every query test them.
    const Ogre::AxisAlignedBox terrainBox = mWorld->bounds();
    if (!mBox.contains(terrainBox)) {
        Ogre::AxisAlignedBox grown = mBox;
        grown.merge(terrainBox);
        resize(grown);
    }
    logLine("Terrain: " + std::to_string(config.pages) + " x " + std::to_string(config.pages) + " pages of " +
            std::to_string(config.pageVertices) + " vertices over " + std::to_string(config.worldSize) +
            " units, " + std::to_string(config.layers.size()) + " layers");
}

void PagingLandScapeSceneManager::destroyWorld()
{
    if (mWorld) {
        mWorld.reset();
        logLine("Terrain: destroyed");
    }
}

void PagingLandScapeSceneManager::clearScene()
{
    // The terrain's nodes hang under the root node, which the octree's
    // clearing empties: the terrain must go first.
    destroyWorld();
    Ogre::OctreeSceneManager::clearScene();
}

Ogre::Camera* PagingLandScapeSceneManager::createCamera(const Ogre::String& name)
{
    Ogre::Camera* camera = Ogre::OctreeSceneManager::createCamera(name);
    mPagingCameras.insert(camera);
    if (mWorld) {
        mWorld->addCamera(camera);
    }
    return camera;
}

void PagingLandScapeSceneManager::forgetCamera(Ogre::Camera* camera)
{
    mPagingCameras.erase(camera);
    if (mWorld) {
        mWorld->removeCamera(camera);
    }
}

void PagingLandScapeSceneManager::destroyCamera(Ogre::Camera* camera)
{
    if (camera) {
        forgetCamera(camera);
    }
    Ogre::OctreeSceneManager::destroyCamera(camera);
}

void PagingLandScapeSceneManager::destroyCamera(const Ogre::String& name)
{
    if (hasCamera(name)) {
        forgetCamera(getCamera(name));
    }
    Ogre::OctreeSceneManager::destroyCamera(name);
}

void PagingLandScapeSceneManager::destroyAllCameras()
{
    while (!mPagingCameras.empty()) {
        forgetCamera(*mPagingCameras.begin());
    }
    Ogre::OctreeSceneManager::destroyAllCameras();
}

Ogre::Camera* PagingLandScapeSceneManager::cameraFromOption(const void* value) const
{
    for (const auto& camera : getCameras()) {
        if (camera.second == value) {
            return camera.second;
        }
    }
    return nullptr;
}

bool PagingLandScapeSceneManager::setOption(const Ogre::String& key, const void* value)
{
    if (key == kPrimaryCameraOption || key == kCurrentCameraOption) {
        Ogre::Camera* camera = cameraFromOption(value);
        if (!camera) {
            logLine("Terrain: option \"" + key + "\" needs a camera of scene manager \"" + getName() + "\"; ignored");
            return false;
        }
        mPagingCameras.insert(camera);
        if (mWorld) {
            mWorld->addCamera(camera);
            mWorld->loadPagesAround(camera->getDerivedPosition());
        }
        return true;
    }
    if (key == kCullingModeOption) {
        return true;
    }
    return Ogre::OctreeSceneManager::setOption(key, value);
}

bool PagingLandScapeSceneManager::getOptionKeys(Ogre::StringVector& keys)
{
    Ogre::OctreeSceneManager::getOptionKeys(keys);
    keys.push_back(kPrimaryCameraOption);
    keys.push_back(kCurrentCameraOption);
    keys.push_back(kCullingModeOption);
    return true;
}

Ogre::RaySceneQuery* PagingLandScapeSceneManager::createRayQuery(const Ogre::Ray& ray, Ogre::uint32 mask)
{
    auto* query = new PagingLandScapeRaySceneQuery(this);
    query->setRay(ray);
    query->setQueryMask(mask);
    return query;
}

void PagingLandScapeSceneManager::_updateSceneGraph(Ogre::Camera* camera)
{
    if (mWorld) {
        mWorld->update(camera);
    }
    Ogre::OctreeSceneManager::_updateSceneGraph(camera);
}

} // namespace Kelvo
