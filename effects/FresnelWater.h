#pragma once

#include <OgreFrameListener.h>
#include <OgrePlane.h>
#include <OgreRenderTargetListener.h>
#include <OgreVector.h>

#include <set>
#include <string>
#include <vector>

namespace Ogre {
class Camera;
class Entity;
class MovableObject;
class RenderTarget;
}

namespace Kelvo {

class FresnelWater;

// Draws the reflection picture: the camera mirrored in the water plane,
// with the water itself, the particles (and the hide list) out of the way.
class ReflectionTextureListener : public Ogre::RenderTargetListener {
public:
    explicit ReflectionTextureListener(FresnelWater* water) : mWater(water) {}
    ~ReflectionTextureListener() override = default;
    void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

private:
    FresnelWater* mWater;
};

// Draws what lies under the surface, with the water and the particles out
// of the way.
class RefractionTextureListener : public Ogre::RenderTargetListener {
public:
    explicit RefractionTextureListener(FresnelWater* water) : mWater(water) {}
    ~RefractionTextureListener() override = default;
    void preRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

private:
    FresnelWater* mWater;
};

// The reflecting water of the level: a large plane at the height of the
// level's "FresnelPlane" entity, drawn with the Fresnel material from two
// pictures the play camera renders ("Reflection" and "Refraction"), both on
// the first frame, then in turn, one a frame: each picture is then a frame
// old every other frame, which the ripples hide, and the water costs half. One instance lives from start-up to shut-down; each scene
// load that has water sets it up again.
class FresnelWater : public Ogre::FrameListener {
public:
    static const char* const kEntityName;
    static const char* const kMeshName;
    static const char* const kNodeName;
    static const char* const kMaterialName;
    static const char* const kReflectionName;
    static const char* const kRefractionName;
    // The pictures are seen through ripples that bend every lookup: at
    // half the window's height they look the same as at 512 and cost a
    // quarter of the pixels on a software renderer.
    static const unsigned kTextureSize = 256;

    FresnelWater();
    ~FresnelWater() override;

    static FresnelWater* getSingletonPtr() { return sInstance; }

    // Builds the pictures and the plane in the camera's scene manager, with
    // the plane at position.y (x and z at the world's origin). A second call
    // replaces what the first built. False (and a log line) when the camera
    // is missing or the engine refuses.
    bool setUp(Ogre::Camera* camera, const Ogre::Vector3& position, float size);
    // The pictures start hiding the water while they render, and taking
    // turns (play start).
    void attachListeners();
    // Stops both pictures rendering (play exit). Engine refusals are ignored.
    void detachListeners();
    // Chooses which picture renders this frame.
    bool frameStarted(const Ogre::FrameEvent& event) override;

    bool isSetUp() const { return mSetUp; }
    Ogre::Entity* getPlaneEntity() const { return mPlaneEntity; }
    const Ogre::Plane& getPlane() const { return mPlane; }
    Ogre::Camera* getCamera() const { return mCamera; }
    Ogre::RenderTarget* getReflectionTarget() const { return mReflectionTarget; }
    Ogre::RenderTarget* getRefractionTarget() const { return mRefractionTarget; }

    // Further entities to keep out of each picture (empty unless filled).
    std::vector<Ogre::Entity*>& refractionHideList() { return mRefractionHide; }
    std::vector<Ogre::Entity*>& reflectionHideList() { return mReflectionHide; }

private:
    friend class ReflectionTextureListener;
    friend class RefractionTextureListener;

    void release();
    void forgetCamera();
    void showHidden(const std::vector<Ogre::Entity*>& list, bool visible);
    // The water's pictures leave the particle systems out.
    void showParticles(bool visible);

    static FresnelWater* sInstance;

    Ogre::Camera* mCamera = nullptr;
    Ogre::Entity* mPlaneEntity = nullptr;
    Ogre::Plane mPlane;
    std::vector<Ogre::Entity*> mRefractionHide;
    std::vector<Ogre::Entity*> mReflectionHide;
    std::set<Ogre::MovableObject*> mHiddenParticles;
    ReflectionTextureListener* mReflectionListener = nullptr;
    RefractionTextureListener* mRefractionListener = nullptr;
    Ogre::RenderTarget* mReflectionTarget = nullptr;
    Ogre::RenderTarget* mRefractionTarget = nullptr;
    bool mSetUp = false;
    bool mTakingTurns = false;
    unsigned long mTurn = 0;
};

} // namespace Kelvo
