#include "states/MenuState.h"

#include "app/Application.h"
#include "states/GameStateManager.h"

#include <Ogre.h>

template <> Kelvo::MenuState* Ogre::Singleton<Kelvo::MenuState>::msSingleton = nullptr;

namespace Kelvo {

namespace {

const float kCameraNearClip = 5.0f;
const Ogre::Vector3 kCameraNodePosition(0.0f, 6.0f, -3.5f);

} // namespace

MenuState::MenuState() = default;
MenuState::~MenuState() = default;

void MenuState::enter()
{
    if (GameStateManager::getSingleton().setupFailed()) {
        return;
    }
    Ogre::LogManager::getSingleton().logMessage("___MENUSTATE::ENTER___");

    mApplication = Application::getSingletonPtr();
    mSceneManager = mApplication->getSceneManager();
    mRenderWindow = mApplication->getRenderWindow();

    mCamera = mSceneManager->createCamera("MenuCamera");
    mCamera->setNearClipDistance(kCameraNearClip);
    mViewport = mRenderWindow->addViewport(mCamera);
    mCamera->setAspectRatio(Ogre::Real(mViewport->getActualWidth()) / Ogre::Real(mViewport->getActualHeight()));

    Ogre::SceneNode* cameraNode =
        mSceneManager->getRootSceneNode()->createChildSceneNode("CamNode1", kCameraNodePosition);
    Ogre::SceneNode* pitchNode = cameraNode->createChildSceneNode("PitchNode1");
    pitchNode->attachObject(mCamera);

    mQuitRequested = false;
    mStartRequested = false;
    mCreditsRequested = false;
    mEditorRequested = false;

    mApplication->getRoot()->startRendering();
}

void MenuState::exit()
{
    mSceneManager->clearScene();
    mSceneManager->destroyAllCameras();
    mSceneManager->destroyAllEntities();
    mRenderWindow->removeAllViewports();
    mCamera = nullptr;
    mViewport = nullptr;
}

bool MenuState::frameStarted(const Ogre::FrameEvent& event)
{
    return true;
}

bool MenuState::frameEnded(const Ogre::FrameEvent& event)
{
    return !mQuitRequested;
}

bool MenuState::keyPressed(const OIS::KeyEvent& event)
{
    if (event.key == kKeyEscape) {
        mQuitRequested = true;
    }
    return true;
}

} // namespace Kelvo
