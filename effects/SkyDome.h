#pragma once

#include "effects/ColourGradient.h"

#include <OgreVector.h>

namespace Ogre {
class BillboardSet;
class Camera;
class Entity;
class Light;
class SceneManager;
class SceneNode;
}

namespace Kelvo {

// The day-and-night sky of the play world: a dome that travels with the
// camera, a sun billboard with a directional sun light circling it, and the
// colours of sky and sun read from day strips by the time of day. The play
// state creates it after loading the scene and updates it every frame.
class SkyDome {
public:
    static constexpr float kDayLength = 86400.0f;
    // Names of the parts in the scene (the timed demo leaves them out by name).
    static const char* const kDomeNodeName;
    static const char* const kSunNodeName;
    static const char* const kDomeEntityName;
    static const char* const kSunBillboardsName;
    // One atmosphere for everything drawn: linear fog in the colour of the
    // sky's horizon, clear up to kFogStart and gone into the horizon at
    // kFogEnd, a little short of the dome and of the camera's far clip, so
    // the far edge of the world fades into the sky instead of ending.
    static constexpr float kFogStart = 150.0f;
    static constexpr float kFogEnd = 1100.0f;
    // The play camera sees no farther: only fog lies behind kFogEnd.
    static constexpr float kFarClip = 1150.0f;
    // The dome mesh has radius 1; this stretches it into a flat sky that
    // stays inside the far clip (wider, it would be cut off).
    static const Ogre::Vector3 kDomeScale;

    SkyDome() = default;
    ~SkyDome();

    // False when already created, or when the scene manager or camera is
    // missing or the dome's mesh cannot be made (then nothing is left behind).
    bool create(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, int hours, int minutes, int seconds);
    // Advances the clock (wrapping at midnight) and recolours sky, sun and
    // the scene's ambient light.
    void update(float seconds);
    // False when not created. Also drops the scene's fog.
    bool destroy();

    bool isCreated() const { return mCreated; }
    float getTime() const { return mTime; }
    // Where the sun sits relative to the dome's centre (unit length).
    Ogre::Vector3 getSunDirection() const;
    Ogre::SceneNode* getSunNode() const { return mSunNode; }
    Ogre::Light* getSunLight() const { return mSunLight; }
    const Ogre::ColourValue& getSkyColour() const { return mSkyColour; }
    const Ogre::ColourValue& getSunColour() const { return mSunColour; }
    const Ogre::ColourValue& getHazeColour() const { return mHazeColour; }
    // The colour the dome shows at the horizon, which the fog takes.
    Ogre::ColourValue getHorizonColour() const;

private:
    void destroyParts();
    void showHorizonBehindEverything();

    bool mCreated = false;
    Ogre::SceneNode* mDomeNode = nullptr;
    Ogre::SceneNode* mSunNode = nullptr;
    Ogre::Entity* mDome = nullptr;
    ColourGradient mHaze;
    ColourGradient mSky;
    ColourGradient mSun;
    Ogre::BillboardSet* mSunBillboards = nullptr;
    float mTime = 0;
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::Light* mSunLight = nullptr;
    Ogre::ColourValue mSkyColour = Ogre::ColourValue::Black;
    Ogre::ColourValue mSunColour = Ogre::ColourValue::Black;
    Ogre::ColourValue mHazeColour = Ogre::ColourValue::Black;
};

} // namespace Kelvo
