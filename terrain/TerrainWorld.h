#pragma once

#include "terrain/TerrainConfig.h"
#include "terrain/TerrainHeightSource.h"

#include <OgrePrerequisites.h>
#include <OgreRay.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Ogre {
class PageManager;
class PagedWorld;
class Terrain;
class TerrainGroup;
class TerrainPaging;
class TerrainPagedWorldSection;
} // namespace Ogre

namespace Kelvo {

class TerrainPageProxy;

// Where a ray or a column meets the terrain.
struct TerrainHit {
    Ogre::Vector3 point;
    long slotX = 0;
    long slotY = 0;
};

// One built terrain: the engine's paging system with one terrain section,
// the heights the pages are cut from, the painted texture layers and one
// page proxy per loaded page. Owned by the scene manager from
// setWorldGeometry until clearScene, the next setWorldGeometry or its
// destruction; the scene manager calls update before every render of one of
// its cameras, which then drive paging and level of detail.
class TerrainWorld {
public:
    TerrainWorld(Ogre::SceneManager* sceneManager, const TerrainConfig& config, TerrainHeightSource heights);
    ~TerrainWorld();

    TerrainWorld(const TerrainWorld&) = delete;
    TerrainWorld& operator=(const TerrainWorld&) = delete;

    void addCamera(Ogre::Camera* camera);
    void removeCamera(Ogre::Camera* camera);

    // Loads, at once, every page within the load radius of the position;
    // the paging system would otherwise bring them in over the next frames.
    void loadPagesAround(const Ogre::Vector3& position);

    // Before a camera renders: the first render of a camera loads the pages
    // around it at once; pages that finished loading get their texture
    // layers and proxy, pages that were dropped lose their proxy. When the
    // scene's fog has been switched on or off since the pages' materials
    // were made, they are made again (the engine writes fog into a page's
    // shaders only if the scene had fog when it made them).
    void update(Ogre::Camera* camera);

    // The surface point straight above or below (x, z), where a page is loaded.
    bool heightAt(Ogre::Real x, Ogre::Real z, TerrainHit& hit) const;
    // The first point where the ray meets a loaded page.
    bool intersect(const Ogre::Ray& ray, TerrainHit& hit) const;
    // The proxy of a loaded page, made on first use.
    TerrainPageProxy* proxyFor(long slotX, long slotY);

    const TerrainConfig& config() const { return mConfig; }
    Ogre::TerrainGroup* terrainGroup() const { return mGroup; }
    Ogre::AxisAlignedBox bounds() const;
    size_t loadedPageCount() const;
    // Cameras whose renders drive paging; a destroyed camera must not stay.
    size_t pagingCameraCount() const { return mCameras.size(); }

private:
    class PageDefiner;
    class ProceduralPages;

    bool needsDefinition(long x, long y) const;
    void definePage(long x, long y);
    void definePagesAround(const Ogre::Vector3& position);
    void finishLoadedPages();
    void paintLayers(Ogre::Terrain* terrain);
    void destroyProxy(std::pair<long, long> slot);
    void waitForPendingWork();
    void releaseShaders(const std::vector<std::string>& materialNames);
    void followFogMode();

    Ogre::SceneManager* mSceneManager;
    TerrainConfig mConfig;
    TerrainHeightSource mHeights;
    std::unique_ptr<ProceduralPages> mPageProvider;
    Ogre::PageManager* mPageManager = nullptr;
    Ogre::TerrainPaging* mTerrainPaging = nullptr;
    Ogre::PagedWorld* mPagedWorld = nullptr;
    Ogre::TerrainPagedWorldSection* mSection = nullptr;
    Ogre::TerrainGroup* mGroup = nullptr;  // owned by the section
    int mFogModeOfMaterials;
    std::set<Ogre::Camera*> mCameras;
    std::set<Ogre::Camera*> mCamerasSeen;
    struct FinishedPage {
        Ogre::Terrain* terrain;
        std::string materialName;
    };
    std::map<std::pair<long, long>, FinishedPage> mFinishedPages;
    std::map<std::pair<long, long>, TerrainPageProxy*> mProxies;
};

} // namespace Kelvo
