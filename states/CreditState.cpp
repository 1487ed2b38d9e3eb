#include "states/CreditState.h"

#include "SoundManager/SoundManager.h"
#include "app/Application.h"
#include "effects/OverlayAlpha.h"
#include "effects/SceneFader.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "states/GameStateManager.h"
#include "states/MenuState.h"

#include <Ogre.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>

template <> Kelvo::CreditState* Ogre::Singleton<Kelvo::CreditState>::msSingleton = nullptr;

namespace Kelvo {

namespace {

const float kCameraNearClip = 2.0f;
const float kFadeSeconds = 1.0f;
const float kSkyBoxDistance = 5000.0f;
const Ogre::Vector3 kCameraNodePosition(-400.0f, 200.0f, 400.0f);
const Ogre::Degree kCameraYaw(-45.0f);
const Ogre::ColourValue kAmbientLight(0.9f, 0.9f, 0.9f, 1.0f);
const unsigned short kOverlayZOrder = 50;
const char* const kSkyBoxMaterial = "Examples/SpaceSkyBox";
const char* const kPictureMaterial = "KELVO/Outro3";
const char* const kScene = "credit.qormscene";
const char* const kMusic = "credit_sound";

} // namespace

CreditState::CreditState() = default;
CreditState::~CreditState() = default;

void CreditState::enter()
{
    logLine("___CREDITSTATE::ENTER___");
    Application* application = Application::getSingletonPtr();
    mSceneManager = application->getSceneManager();
    mRenderWindow = application->getRenderWindow();
    mCamera = mSceneManager->createCamera("MenuCamera");
    mCamera->setNearClipDistance(kCameraNearClip);
    mViewport = mRenderWindow->addViewport(mCamera);
    mCamera->setAspectRatio(Ogre::Real(mViewport->getActualWidth()) / Ogre::Real(mViewport->getActualHeight()));

    setUpScene();
    mLeaveRequested = false;

    mFader = SceneFader::getSingletonPtr();
    mFader->fadeIn(kFadeSeconds);

    SceneLoader* loader = SceneLoader::getSingletonPtr();
    if (loader->load(kScene, mSceneManager, nullptr, true, SoundManager::getSingletonPtr())) {
        if (SoundDescription* music = loader->findSound(kMusic)) {
            music->play();
        } else {
            logWarning(std::string("CreditState: the credits scene has no sound '") + kMusic + "'");
        }
    }
}

void CreditState::setUpScene()
{
    if (Ogre::MaterialManager::getSingleton().resourceExists(kSkyBoxMaterial)) {
        mSceneManager->setSkyBox(true, kSkyBoxMaterial, kSkyBoxDistance, true, Ogre::Quaternion::IDENTITY,
                                 Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    } else {
        logWarning(std::string("CreditState: sky box material '") + kSkyBoxMaterial + "' does not exist");
    }
    mSceneManager->setAmbientLight(kAmbientLight);

    Ogre::SceneNode* cameraNode =
        mSceneManager->getRootSceneNode()->createChildSceneNode("CamNode1", kCameraNodePosition);
    cameraNode->yaw(kCameraYaw);
    Ogre::SceneNode* pitchNode = cameraNode->createChildSceneNode("PitchNode1");
    pitchNode->attachObject(mCamera);

    showCreditsPicture();
}

void CreditState::showCreditsPicture()
{
    // Made on the first visit and shown again on the later ones.
    mOverlay = OverlayAlpha::panelOverlay("CreditState", "CreditBackState", 0, 0,
                                          static_cast<int>(mRenderWindow->getWidth()),
                                          static_cast<int>(mRenderWindow->getHeight()), kPictureMaterial);
    mOverlay->setZOrder(kOverlayZOrder);
    mOverlay->show();
}

void CreditState::exit()
{
    SceneLoader::getSingletonPtr()->unload();
    // The menu shares this scene manager; the sky box is the credits' own.
    mSceneManager->setSkyBox(false, "");
    mSceneManager->clearScene();
    mSceneManager->destroyAllCameras();
    mSceneManager->destroyAllEntities();
    if (mOverlay) {
        mOverlay->hide();
    }
    mRenderWindow->removeAllViewports();
    mCamera = nullptr;
    mViewport = nullptr;
    logLine("___CREDITSTATE::EXIT___");
}

bool CreditState::frameStarted(const Ogre::FrameEvent& event)
{
    if (mLeaveRequested && mFader->isDone()) {
        GameStateManager::getSingleton().changeState(MenuState::getSingletonPtr());
    } else {
        mFader->update(event.timeSinceLastFrame);
    }
    return true;
}

bool CreditState::keyPressed(const OIS::KeyEvent& event)
{
    if (event.key == kKeyEscape) {
        mFader->fadeOut(kFadeSeconds);
        mLeaveRequested = true;
    }
    return true;
}

} // namespace Kelvo
