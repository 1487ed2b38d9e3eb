#include "effects/SkyDome.h"

#include "platform/Log.h"

#include <Ogre.h>

#include <cmath>

namespace Kelvo {

namespace {

const char* const kDomeMeshName = "SkyDome.mesh";
const char* const kDomeMaterialName = "KELVO/SkyDome";
const char* const kSunMaterialName = "KELVO/Sun";
const char* const kSunLightName = "SkyDomeSunLight";

// The sun sits this far out toward the dome's surface: inside it, so the
// billboard is drawn in front of the sky and is seen to rise and set.
const float kSunInside = 0.9f;
// The sun billboard's side: the sun looks as large as it did on the old
// dome of radius 3000 with a billboard of 256.
const float kSunSize = 256.0f * 1100.0f / 3000.0f;

} // namespace

const char* const SkyDome::kDomeNodeName = "SkyDomeNode";
const char* const SkyDome::kSunNodeName = "SkyDomeSunNode";
const char* const SkyDome::kDomeEntityName = "SkyDome";
const char* const SkyDome::kSunBillboardsName = "SkyDomeSun";

const Ogre::Vector3 SkyDome::kDomeScale(1100, 220, 1100);

SkyDome::~SkyDome()
{
    // The owner destroys it while the scene still lives; if not, the scene
    // took the parts with it and there is nothing safe to touch.
}

bool SkyDome::create(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, int hours, int minutes, int seconds)
{
    if (mCreated) {
        return false;
    }
    if (!sceneManager || !camera) {
        logLine("SkyDome: no scene manager or camera to build the sky in");
        return false;
    }
    mSceneManager = sceneManager;
    mCamera = camera;
    try {
        mDomeNode = mSceneManager->getRootSceneNode()->createChildSceneNode(kDomeNodeName, Ogre::Vector3::ZERO,
                                                                            Ogre::Quaternion::IDENTITY);
        mDome = mSceneManager->createEntity(kDomeEntityName, kDomeMeshName);
        mDome->setRenderQueueGroup(10);
        mDome->setCastShadows(false);
        mDome->setMaterialName(kDomeMaterialName);
        mDomeNode->attachObject(mDome);
        mDomeNode->setPosition(mCamera->getDerivedPosition());
        mDomeNode->setScale(kDomeScale);

        mHaze.load("hazeColours.png");
        mSky.load("skydome.png");
        mSun.load("suncolours.png");

        mSunBillboards = mSceneManager->createBillboardSet(kSunBillboardsName, 20);
        mSunBillboards->setMaterialName(kSunMaterialName);
        mSunBillboards->setDefaultDimensions(kSunSize, kSunSize);
        mSunBillboards->createBillboard(Ogre::Vector3::ZERO, Ogre::ColourValue::White);
        mSunBillboards->setRenderQueueGroup(20);
        mSunBillboards->setCastShadows(false);
        mSunNode = mSceneManager->getRootSceneNode()->createChildSceneNode(kSunNodeName, Ogre::Vector3::ZERO);

        mSceneManager->setAmbientLight(Ogre::ColourValue::Black);
        mSunLight = mSceneManager->createLight(kSunLightName);
        mSunLight->setType(Ogre::Light::LT_DIRECTIONAL);
        mSunLight->setCastShadows(true);
        mSunLight->setDiffuseColour(Ogre::ColourValue(0.3f, 0, 0));
        mSunLight->setSpecularColour(Ogre::ColourValue(1, 1, 1));
        mSunLight->setAttenuation(10000, 1, 1, 0);
        // The light shines along its node's -Z; the node is turned toward
        // the dome's centre whenever the sun moves.
        mSunNode->attachObject(mSunLight);
        mSunNode->attachObject(mSunBillboards);
        mSunNode->setPosition(0, 250, 0);
        mSunNode->setDirection(mDomeNode->getPosition() - mSunNode->getPosition(), Ogre::Node::TS_WORLD);
    } catch (const Ogre::Exception& e) {
        logWarning("SkyDome: the sky cannot be built: " + e.getDescription());
        // only what this call made: a name clash must not take the other
        // object with it
        if (mDome) {
            mSceneManager->destroyEntity(mDome);
        }
        if (mSunBillboards) {
            mSceneManager->destroyBillboardSet(mSunBillboards);
        }
        if (mSunLight) {
            mSceneManager->destroyLight(mSunLight);
        }
        if (mDomeNode) {
            mSceneManager->destroySceneNode(mDomeNode);
        }
        if (mSunNode) {
            mSceneManager->destroySceneNode(mSunNode);
        }
        mDome = nullptr;
        mSunBillboards = nullptr;
        mSunLight = nullptr;
        mDomeNode = nullptr;
        mSunNode = nullptr;
        return false;
    }
    mTime = static_cast<float>(hours * 3600 + minutes * 60 + seconds);
    mCreated = true;
    update(0);
    return true;
}

Ogre::Vector3 SkyDome::getSunDirection() const
{
    const float a = 2.0f * Ogre::Math::PI * (mTime / kDayLength - 0.25f);
    return Ogre::Vector3(-std::cos(a), std::sin(a), 0);
}

void SkyDome::update(float seconds)
{
    if (!mCreated) {
        return;
    }
    if (!std::isfinite(seconds)) {
        logWarning("SkyDome: a frame time that is not a number is ignored");
        seconds = 0;
    }
    mTime += seconds;
    while (mTime >= kDayLength) {
        mTime -= kDayLength;
    }
    // the editor may set the clock back
    while (mTime < 0) {
        mTime += kDayLength;
    }
    const float t = mTime / kDayLength;
    mHazeColour = mHaze.getColour(t);
    mSkyColour = mSky.getColour(t);
    mSunColour = mSun.getColour(t);

    // The dome follows the camera first, so that the sun circles where the
    // sky is drawn this frame.
    mDomeNode->setPosition(mCamera->getDerivedPosition());
    mDomeNode->setScale(kDomeScale);

    // Distance to the dome's (ellipsoid) surface along the sun's direction.
    const Ogre::Vector3 direction = getSunDirection();
    const Ogre::Vector3 scaled = direction / kDomeScale;
    const float extent = 1.0f / scaled.length();
    const Ogre::Vector3 centre = mDomeNode->getPosition();
    mSunNode->setPosition(centre + direction * extent * kSunInside);
    mSunNode->setDirection(centre - mSunNode->getPosition(), Ogre::Node::TS_WORLD);
    mSunLight->setDiffuseColour(mSunColour);

    Ogre::MaterialPtr sun = Ogre::MaterialManager::getSingleton().getByName(kSunMaterialName);
    if (sun) {
        sun->setAmbient(mSunColour);
        sun->setDiffuse(Ogre::ColourValue::Black);
        sun->setSpecular(Ogre::ColourValue::Black);
        sun->setSelfIllumination(Ogre::ColourValue::Black);
    }
    Ogre::MaterialPtr dome = Ogre::MaterialManager::getSingleton().getByName(kDomeMaterialName);
    if (dome) {
        dome->setAmbient(mSkyColour);
    }
    mSceneManager->setAmbientLight(mSkyColour);

    mSceneManager->setFog(Ogre::FOG_LINEAR, getHorizonColour(), 0, kFogStart, kFogEnd);
    showHorizonBehindEverything();
}

void SkyDome::showHorizonBehindEverything()
{
    // Seen from high up, the far clip cuts land and sea below the dome's
    // skirt; what shows there is the window view's background, which must
    // be the horizon too. Only the windows' views: the water's pictures keep
    // their black (and the camera's own "viewport" is merely the last one it
    // drew into, often one of those).
    Ogre::RenderSystem* renderSystem = Ogre::Root::getSingleton().getRenderSystem();
    if (!renderSystem) {
        return;
    }
    for (auto target = renderSystem->getRenderTargetIterator(); target.hasMoreElements(); target.moveNext()) {
        auto* window = dynamic_cast<Ogre::RenderWindow*>(target.peekNextValue());
        for (unsigned short i = 0; window && i < window->getNumViewports(); ++i) {
            if (window->getViewport(i)->getCamera() == mCamera) {
                window->getViewport(i)->setBackgroundColour(getHorizonColour());
            }
        }
    }
}

Ogre::ColourValue SkyDome::getHorizonColour() const
{
    // The dome is lit twice by the sky colour (its material's ambient and
    // the scene's ambient) over a texture that is white at the horizon.
    Ogre::ColourValue horizon = mSkyColour * mSkyColour;
    horizon.a = 1.0f;
    return horizon;
}

bool SkyDome::destroy()
{
    if (!mCreated) {
        return false;
    }
    destroyParts();
    mSceneManager->setFog(Ogre::FOG_NONE, Ogre::ColourValue::White, 0.001f, 0, 1);
    mCreated = false;
    return true;
}

void SkyDome::destroyParts()
{
    // Looked up by name: whatever the scene has already cleared is skipped.
    Ogre::SceneManager* scene = mSceneManager;
    if (scene->hasEntity(kDomeEntityName)) {
        Ogre::Entity* dome = scene->getEntity(kDomeEntityName);
        dome->detachFromParent();
        scene->destroyEntity(dome);
    }
    if (scene->hasSceneNode(kDomeNodeName)) {
        scene->destroySceneNode(kDomeNodeName);
    }
    if (scene->hasBillboardSet(kSunBillboardsName)) {
        Ogre::BillboardSet* sun = scene->getBillboardSet(kSunBillboardsName);
        sun->detachFromParent();
        scene->destroyBillboardSet(sun);
    }
    // The light goes too: left behind, the next create could not make its
    // light again under the same name.
    if (scene->hasLight(kSunLightName)) {
        Ogre::Light* light = scene->getLight(kSunLightName);
        light->detachFromParent();
        scene->destroyLight(light);
    }
    if (scene->hasSceneNode(kSunNodeName)) {
        scene->destroySceneNode(kSunNodeName);
    }
    mDome = nullptr;
    mDomeNode = nullptr;
    mSunBillboards = nullptr;
    mSunLight = nullptr;
    mSunNode = nullptr;
}

} // namespace Kelvo
