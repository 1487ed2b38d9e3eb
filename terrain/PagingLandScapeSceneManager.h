#pragma once

#include <OgreOctreeSceneManager.h>

#include <memory>
#include <set>

namespace Kelvo {

class TerrainWorld;

// The scene manager type "PagingLandScapeSceneManager": the octree scene
// manager with a paged terrain as its world geometry. The play state and the
// editor create it as "MainScene" on entry and give it the configuration
// file through setWorldGeometry; the terrain then lives until clearScene,
// the next setWorldGeometry or the manager's destruction. Every camera made
// by this manager drives paging and level of detail; the options
// "PrimaryCamera" and "CurrentOptionCamera" name the camera around which the
// pages load at once. Ray queries report the terrain as described in
// PagingLandScapeRaySceneQuery.
class PagingLandScapeSceneManager : public Ogre::OctreeSceneManager {
public:
    static const Ogre::String kTypeName;

    explicit PagingLandScapeSceneManager(const Ogre::String& instanceName);
    ~PagingLandScapeSceneManager() override;

    const Ogre::String& getTypeName() const override { return kTypeName; }

    // Builds the terrain from the configuration file (see TerrainConfig.cpp),
    // replacing any terrain built before. A missing or unusable file,
    // heightmap or texture is logged and thrown as an engine exception, and
    // the scene is left as it was.
    void setWorldGeometry(const Ogre::String& fileName) override;
    void clearScene() override;

    Ogre::Camera* createCamera(const Ogre::String& name) override;
    void destroyCamera(Ogre::Camera* camera) override;
    void destroyCamera(const Ogre::String& name) override;
    void destroyAllCameras() override;

    // "PrimaryCamera" and "CurrentOptionCamera" take a camera of this
    // manager (Camera* or Camera**); "setCullingMode" is accepted and needs
    // nothing: the octree always culls by the view frustum. Other options go
    // to the octree.
    bool setOption(const Ogre::String& key, const void* value) override;
    bool getOptionKeys(Ogre::StringVector& keys) override;

    Ogre::RaySceneQuery* createRayQuery(const Ogre::Ray& ray, Ogre::uint32 mask = 0xFFFFFFFF) override;

    void _updateSceneGraph(Ogre::Camera* camera) override;

    // Null while no world geometry is set.
    TerrainWorld* getTerrainWorld() const { return mWorld.get(); }

private:
    Ogre::Camera* cameraFromOption(const void* value) const;
    void destroyWorld();
    void forgetCamera(Ogre::Camera* camera);

    std::unique_ptr<TerrainWorld> mWorld;
    std::set<Ogre::Camera*> mPagingCameras;
};

} // namespace Kelvo
