#include "terrain/TerrainWorld.h"

#include "terrain/TerrainPageProxy.h"

#include <Ogre.h>
#include <OgrePageManager.h>
#include <OgrePagedWorld.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreTerrain.h>
#include <OgreTerrainGroup.h>
#include <OgreTerrainLayerBlendMap.h>
#include <OgreTerrainMaterialGeneratorA.h>
#include <OgreTerrainPagedWorldSection.h>
#include <OgreTerrainPaging.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace Kelvo {

namespace {

// Pages are queued one after another; a pause between them would only slow
// the terrain coming in around a fast camera.
const Ogre::uint32 kLoadingIntervalMs = 0;
// Loads still running when the terrain goes are waited for, but never
// forever: a stuck worker must not hang the game on its way out.
const auto kPendingWorkTimeout = std::chrono::seconds(10);
const Ogre::uint16 kLargestBatch = 65;
const Ogre::uint16 kSmallestBatch = 17;

std::pair<long, long> slotKey(long x, long y)
{
    return std::make_pair(x, y);
}

} // namespace

// The paging system asks for a page's definition on a worker thread, just
// before it loads the page. The terrain group is not safe to touch from
// there (defining a slot also destroys a terrain loaded in it), so our pages
// are defined on the main thread instead, before every render, for the
// square of pages the paging system may load next (see update).
class TerrainWorld::PageDefiner : public Ogre::TerrainPagedWorldSection::TerrainDefiner {
public:
    void define(Ogre::TerrainGroup*, long, long) override {}
};

// Our pages are made in code, never read from page files on disk.
class TerrainWorld::ProceduralPages : public Ogre::PageProvider {
public:
    bool prepareProceduralPage(Ogre::Page*, Ogre::PagedWorldSection*) override { return true; }
    bool loadProceduralPage(Ogre::Page*, Ogre::PagedWorldSection*) override { return true; }
    bool unloadProceduralPage(Ogre::Page*, Ogre::PagedWorldSection*) override { return true; }
    bool unprepareProceduralPage(Ogre::Page*, Ogre::PagedWorldSection*) override { return true; }
};

TerrainWorld::TerrainWorld(Ogre::SceneManager* sceneManager, const TerrainConfig& config, TerrainHeightSource heights)
    : mSceneManager(sceneManager)
    , mConfig(config)
    , mHeights(std::move(heights))
    , mPageProvider(new ProceduralPages())
    , mFogModeOfMaterials(sceneManager->getFogMode())
{
    Ogre::TerrainGlobalOptions* options = Ogre::TerrainGlobalOptions::getSingletonPtr();
    if (!options) {
        OGRE_EXCEPT(Ogre::Exception::ERR_INVALID_STATE,
                    "Terrain: no terrain options exist; the scene manager factory makes them",
                    "TerrainWorld::TerrainWorld");
    }
    options->setMaxPixelError(config.maxPixelError);
    options->setCompositeMapDistance(config.compositeMapDistance);
    options->setCompositeMapSize(static_cast<Ogre::uint16>(config.compositeMapSize));
    options->setLightMapDirection(config.lightDirection);
    options->setLightMapSize(static_cast<Ogre::uint16>(config.lightMapSize));
    options->setLayerBlendMapSize(static_cast<Ogre::uint16>(config.blendMapSize));
    options->setCompositeMapAmbient(config.ambient);
    options->setCompositeMapDiffuse(config.diffuse);
    options->setCastsDynamicShadows(false);
    options->setDefaultResourceGroup(TerrainConfig::kResourceGroup);
    // The terrain's own boxes are of no use to anyone's query: our query
    // reports the terrain at its surface instead.
    options->setQueryFlags(0);

    // Normal, parallax and specular layer maps and dynamic shadows would
    // each cost frame time for textures we do not have.
    auto* profile = dynamic_cast<Ogre::TerrainMaterialGeneratorA::SM2Profile*>(
        options->getDefaultMaterialGenerator()->getActiveProfile());
    if (profile) {
        profile->setLayerNormalMappingEnabled(false);
        profile->setLayerParallaxMappingEnabled(false);
        profile->setLayerSpecularMappingEnabled(false);
        profile->setReceiveDynamicShadowsEnabled(false);
        profile->setGlobalColourMapEnabled(false);
        profile->setLightmapEnabled(config.lightMap);
        profile->setCompositeMapEnabled(true);
    }

    const Ogre::Real pageSize = config.pageWorldSize();
    const Ogre::Real half = config.worldSize * 0.5f;
    auto* group = new Ogre::TerrainGroup(sceneManager, Ogre::Terrain::ALIGN_X_Z,
                                         static_cast<Ogre::uint16>(config.pageVertices), pageSize);
    // Slot (0, 0) is the south-west page; slot y grows northwards (-z).
    group->setOrigin(Ogre::Vector3(-half + pageSize * 0.5f, 0, half - pageSize * 0.5f));
    group->setResourceGroup(TerrainConfig::kResourceGroup);
    Ogre::Terrain::ImportData& defaults = group->getDefaultImportSettings();
    defaults.inputScale = 1.0f;
    defaults.inputBias = 0.0f;
    defaults.maxBatchSize = std::min<Ogre::uint16>(kLargestBatch, static_cast<Ogre::uint16>(config.pageVertices));
    defaults.minBatchSize = std::min<Ogre::uint16>(kSmallestBatch, defaults.maxBatchSize);

    try {
        mPageManager = new Ogre::PageManager();
        mPageManager->setPageProvider(mPageProvider.get());
        mTerrainPaging = new Ogre::TerrainPaging(mPageManager);
        mPagedWorld = mPageManager->createWorld();
        mSection = mTerrainPaging->createWorldSection(mPagedWorld, group, config.effectiveLoadRadius(),
                                                      config.effectiveHoldRadius(), 0, 0, config.pages - 1,
                                                      config.pages - 1, Ogre::BLANKSTRING, kLoadingIntervalMs);
    } catch (...) {
        // Once the section exists it owns the group.
        if (!mSection) {
            delete group;
        }
        if (mPageManager && mPagedWorld) {
            mPageManager->destroyWorld(mPagedWorld);
        }
        delete mTerrainPaging;
        delete mPageManager;
        throw;
    }
    mGroup = group;
    mSection->setDefiner(new PageDefiner());
}

TerrainWorld::~TerrainWorld()
{
    for (Ogre::Camera* camera : mCameras) {
        mPageManager->removeCamera(camera);
    }
    mPageManager->setPagingOperationsEnabled(false);
    waitForPendingWork();
    while (!mProxies.empty()) {
        destroyProxy(mProxies.begin()->first);
    }
    std::vector<std::string> materialNames;
    for (const auto& slot : mGroup->getTerrainIterator()) {
        if (slot.second->instance) {
            materialNames.push_back(slot.second->instance->getMaterialName());
        }
    }
    // Destroying the world destroys the section, which destroys the
    // terrain group and with it every page's terrain and scene nodes.
    mPageManager->destroyWorld(mPagedWorld);
    mGroup = nullptr;
    delete mTerrainPaging;
    delete mPageManager;
    releaseShaders(materialNames);
}

void TerrainWorld::releaseShaders(const std::vector<std::string>& materialNames)
{
    // The engine's terrain removes its materials but keeps the shader
    // programs generated for them, named after the material: every page
    // loaded would leave six compiled programs behind for good. A material
    // name is derived from the terrain's address, so a live terrain may
    // carry the same name and use the same programs.
    std::set<std::string> live;
    if (mGroup) {
        for (const auto& slot : mGroup->getTerrainIterator()) {
            if (slot.second->instance) {
                live.insert(slot.second->instance->getMaterialName());
            }
        }
    }
    std::vector<std::string> prefixes;
    for (const std::string& name : materialNames) {
        if (!live.count(name)) {
            prefixes.push_back(name + "/");
        }
    }
    if (prefixes.empty()) {
        return;
    }
    Ogre::HighLevelGpuProgramManager& programs = Ogre::HighLevelGpuProgramManager::getSingleton();
    std::vector<Ogre::ResourcePtr> doomed;
    for (auto program = programs.getResourceIterator(); program.hasMoreElements(); program.moveNext()) {
        const Ogre::ResourcePtr& resource = program.peekNextValue();
        for (const std::string& prefix : prefixes) {
            if (resource->getName().compare(0, prefix.size(), prefix) == 0) {
                doomed.push_back(resource);
                break;
            }
        }
    }
    for (const Ogre::ResourcePtr& resource : doomed) {
        programs.remove(resource);
    }
}

void TerrainWorld::waitForPendingWork()
{
    auto pending = [this]() {
        for (const auto& slot : mGroup->getTerrainIterator()) {
            const Ogre::Terrain* terrain = slot.second->instance;
            if (terrain && (!terrain->isLoaded() || terrain->isDerivedDataUpdateInProgress())) {
                return true;
            }
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + kPendingWorkTimeout;
    Ogre::WorkQueue* queue = Ogre::Root::getSingleton().getWorkQueue();
    while (pending()) {
        if (std::chrono::steady_clock::now() > deadline) {
            Ogre::LogManager::getSingleton().logMessage(
                "Terrain: pages still loading after 10 s; destroying the terrain regardless");
            return;
        }
        queue->processResponses();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TerrainWorld::addCamera(Ogre::Camera* camera)
{
    if (mCameras.insert(camera).second) {
        mPageManager->addCamera(camera);
    }
}

void TerrainWorld::removeCamera(Ogre::Camera* camera)
{
    if (mCameras.erase(camera) > 0) {
        mPageManager->removeCamera(camera);
    }
    mCamerasSeen.erase(camera);
}

void TerrainWorld::definePage(long x, long y)
{
    if (x < 0 || y < 0 || x >= mConfig.pages || y >= mConfig.pages) {
        return;
    }
    std::vector<float> heights;
    mHeights.fillPage(x, y, heights);
    Ogre::Terrain::LayerInstanceList layers;
    for (const TerrainLayerConfig& layerConfig : mConfig.layers) {
        Ogre::Terrain::LayerInstance layer;
        layer.worldSize = layerConfig.textureSize;
        layer.textureNames.push_back(layerConfig.texture);
        layers.push_back(layer);
    }
    // The group copies the heights.
    mGroup->defineTerrain(x, y, heights.data(), &layers);
}

bool TerrainWorld::needsDefinition(long x, long y) const
{
    // The group frees a page's heights once the page is prepared, so a page
    // dropped by the paging system needs them again before it can return.
    const Ogre::TerrainGroup::TerrainSlotDefinition* definition = mGroup->getTerrainDefinition(x, y);
    return !mGroup->getTerrain(x, y) && (!definition || !definition->importData);
}

void TerrainWorld::definePagesAround(const Ogre::Vector3& position)
{
    long centreX = 0;
    long centreY = 0;
    mGroup->convertWorldPositionToTerrainSlot(position, &centreX, &centreY);
    const long reach = static_cast<long>(std::ceil(mConfig.effectiveLoadRadius() / mConfig.pageWorldSize()));
    const long last = mConfig.pages - 1;
    for (long y = std::max(0L, centreY - reach); y <= std::min(last, centreY + reach); ++y) {
        for (long x = std::max(0L, centreX - reach); x <= std::min(last, centreX + reach); ++x) {
            if (needsDefinition(x, y)) {
                definePage(x, y);
            }
        }
    }
}

void TerrainWorld::loadPagesAround(const Ogre::Vector3& position)
{
    // The same square of pages the paging system's grid loads around a
    // camera, so that it takes these pages over and drops them in time.
    long centreX = 0;
    long centreY = 0;
    mGroup->convertWorldPositionToTerrainSlot(position, &centreX, &centreY);
    const long reach = static_cast<long>(std::floor(mConfig.effectiveLoadRadius() / mConfig.pageWorldSize()));
    const long last = mConfig.pages - 1;
    for (long y = std::max(0L, centreY - reach); y <= std::min(last, centreY + reach); ++y) {
        for (long x = std::max(0L, centreX - reach); x <= std::min(last, centreX + reach); ++x) {
            if (needsDefinition(x, y)) {
                definePage(x, y);
            }
            mGroup->loadTerrain(x, y, true);
        }
    }
    finishLoadedPages();
}

void TerrainWorld::followFogMode()
{
    const int fogMode = mSceneManager->getFogMode();
    if (fogMode == mFogModeOfMaterials) {
        return;
    }
    mFogModeOfMaterials = fogMode;
    // A change of the generator makes every page ask for its material anew
    // before its next render.
    Ogre::TerrainGlobalOptions::getSingleton().getDefaultMaterialGenerator()->_markChanged();
}

void TerrainWorld::update(Ogre::Camera* camera)
{
    followFogMode();
    if (!mCameras.count(camera)) {
        finishLoadedPages();
        return;
    }
    // The paging system has just looked at this camera and may load pages
    // around it from the next frame on; they must be defined by then.
    definePagesAround(camera->getDerivedPosition());
    if (mCamerasSeen.insert(camera).second) {
        loadPagesAround(camera->getDerivedPosition());
        return;
    }
    finishLoadedPages();
}

void TerrainWorld::finishLoadedPages()
{
    // Pages the paging system dropped lose their proxy; a page loaded again
    // later is a new terrain and is painted again.
    std::vector<std::string> goneMaterials;
    for (auto page = mFinishedPages.begin(); page != mFinishedPages.end();) {
        Ogre::Terrain* terrain = mGroup->getTerrain(page->first.first, page->first.second);
        if (terrain != page->second.terrain || !terrain->isLoaded()) {
            goneMaterials.push_back(page->second.materialName);
            page = mFinishedPages.erase(page);
        } else {
            ++page;
        }
    }
    releaseShaders(goneMaterials);
    for (auto proxy = mProxies.begin(); proxy != mProxies.end();) {
        const Ogre::Terrain* terrain = mGroup->getTerrain(proxy->first.first, proxy->first.second);
        auto next = std::next(proxy);
        if (!terrain || !terrain->isLoaded()) {
            destroyProxy(proxy->first);
        }
        proxy = next;
    }
    for (const auto& slot : mGroup->getTerrainIterator()) {
        Ogre::Terrain* terrain = slot.second->instance;
        if (!terrain || !terrain->isLoaded()) {
            continue;
        }
        const auto key = slotKey(slot.second->x, slot.second->y);
        if (mFinishedPages.emplace(key, FinishedPage{terrain, terrain->getMaterialName()}).second) {
            paintLayers(terrain);

        }
    }
}

void TerrainWorld::paintLayers(Ogre::Terrain* terrain)
{
    const size_t layerCount = std::min<size_t>(mConfig.layers.size(), terrain->getLayerCount());
    if (layerCount < 2) {
        return;
    }
    const Ogre::uint16 size = terrain->getLayerBlendMapSize();
    Ogre::TerrainLayerBlendMap* first = terrain->getLayerBlendMap(1);
    // Heights and slopes once per texel, shared by every layer's rule.
    const Ogre::Real vertexStep = 1.0f / (terrain->getSize() - 1);
    const Ogre::Real worldSize = terrain->getWorldSize();
    std::vector<float> heights(static_cast<size_t>(size) * size);
    std::vector<float> slopes(heights.size());
    for (Ogre::uint16 row = 0; row < size; ++row) {
        for (Ogre::uint16 column = 0; column < size; ++column) {
            Ogre::Real x = 0;
            Ogre::Real y = 0;
            first->convertImageToTerrainSpace(column, row, &x, &y);
            const Ogre::Real west = std::max<Ogre::Real>(0, x - vertexStep);
            const Ogre::Real east = std::min<Ogre::Real>(1, x + vertexStep);
            const Ogre::Real south = std::max<Ogre::Real>(0, y - vertexStep);
            const Ogre::Real north = std::min<Ogre::Real>(1, y + vertexStep);
            const Ogre::Real dx = (terrain->getHeightAtTerrainPosition(east, y) -
                                   terrain->getHeightAtTerrainPosition(west, y)) /
                                  ((east - west) * worldSize);
            const Ogre::Real dy = (terrain->getHeightAtTerrainPosition(x, north) -
                                   terrain->getHeightAtTerrainPosition(x, south)) /
                                  ((north - south) * worldSize);
            const size_t texel = static_cast<size_t>(row) * size + column;
            heights[texel] = terrain->getHeightAtTerrainPosition(x, y);
            slopes[texel] = Ogre::Math::ATan(std::sqrt(dx * dx + dy * dy)).valueDegrees();
        }
    }
    for (size_t layer = 1; layer < layerCount; ++layer) {
        Ogre::TerrainLayerBlendMap* blend = terrain->getLayerBlendMap(static_cast<Ogre::uint8>(layer));
        float* weights = blend->getBlendPointer();
        const TerrainLayerConfig& rule = mConfig.layers[layer];
        for (size_t texel = 0; texel < heights.size(); ++texel) {
            weights[texel] = rule.weight(heights[texel], slopes[texel]);
        }
        blend->dirty();
        blend->update();
    }
}

bool TerrainWorld::heightAt(Ogre::Real x, Ogre::Real z, TerrainHit& hit) const
{
    Ogre::Terrain* terrain = nullptr;
    const Ogre::Vector3 column(x, 0, z);
    const float height = mGroup->getHeightAtWorldPosition(column, &terrain);
    if (!terrain) {
        return false;
    }
    hit.point = Ogre::Vector3(x, height, z);
    mGroup->convertWorldPositionToTerrainSlot(column, &hit.slotX, &hit.slotY);
    return true;
}

bool TerrainWorld::intersect(const Ogre::Ray& ray, TerrainHit& hit) const
{
    const Ogre::TerrainGroup::RayResult result = mGroup->rayIntersects(ray);
    if (!result.hit) {
        return false;
    }
    hit.point = result.position;
    mGroup->convertWorldPositionToTerrainSlot(result.position, &hit.slotX, &hit.slotY);
    return true;
}

TerrainPageProxy* TerrainWorld::proxyFor(long slotX, long slotY)
{
    const auto key = slotKey(slotX, slotY);
    auto found = mProxies.find(key);
    if (found != mProxies.end()) {
        return found->second;
    }
    auto* proxy = new TerrainPageProxy(slotX, slotY);
    Ogre::Vector3 centre;
    mGroup->convertTerrainSlotToWorldPosition(slotX, slotY, &centre);
    Ogre::SceneNode* node = mSceneManager->getRootSceneNode()->createChildSceneNode(proxy->getName(), centre);
    node->attachObject(proxy);
    mProxies.emplace(key, proxy);
    return proxy;
}

void TerrainWorld::destroyProxy(std::pair<long, long> slot)
{
    auto found = mProxies.find(slot);
    if (found == mProxies.end()) {
        return;
    }
    TerrainPageProxy* proxy = found->second;
    Ogre::SceneNode* node = proxy->getParentSceneNode();
    if (node) {
        node->detachObject(proxy);
        mSceneManager->destroySceneNode(node);
    }
    delete proxy;
    mProxies.erase(found);
}

Ogre::AxisAlignedBox TerrainWorld::bounds() const
{
    const Ogre::Real half = mConfig.worldSize * 0.5f;
    return Ogre::AxisAlignedBox(-half, mConfig.minHeight, -half, half, mConfig.maxHeight, half);
}

size_t TerrainWorld::loadedPageCount() const
{
    size_t count = 0;
    for (const auto& slot : const_cast<const Ogre::TerrainGroup*>(mGroup)->getTerrainIterator()) {
        if (slot.second->instance && slot.second->instance->isLoaded()) {
            ++count;
        }
    }
    return count;
}

} // namespace Kelvo
