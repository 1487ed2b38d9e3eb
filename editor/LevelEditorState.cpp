#include "editor/LevelEditorState.h"

#include "SoundManager/SoundManager.h"
#include "app/Application.h"
#include "editor/EditCameraScript.h"
#include "editor/EditorGUI.h"
#include "editor/LevelEditControllScript.h"
#include "editor/LevelEditGUIScript.h"
#include "editor/RayPickingScript.h"
#include "effects/SceneFader.h"
#include "effects/SkyDome.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "states/GameStateManager.h"
#include "states/MenuState.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/ScriptManager.h"

#include <Ogre.h>

template <> Kelvo::LevelEditorState* Ogre::Singleton<Kelvo::LevelEditorState>::msSingleton = nullptr;

namespace Kelvo {

const char* const LevelEditorState::kSplineFile = "cutsecene.log";

namespace {

const char* const kSceneManagerType = "PagingLandScapeSceneManager";
const char* const kTerrainConfig = "paginglandscape2.cfg";
const char* const kCameraName = "PrimaryCamera";
const float kNearClip = 2.0f;
// As in play: the terrain's depth needs a far plane this close.
const float kFarClip = 4000.0f;
const float kFadeSeconds = 0.5f;
// The editor's sky stands at 16:14:45, in the afternoon light.
const int kSkyHours = 16;
const int kSkyMinutes = 14;
const int kSkySeconds = 45;

} // namespace

LevelEditorState::LevelEditorState()
    : mSplines(kSplineFile)
{
}

LevelEditorState::~LevelEditorState() = default;

void LevelEditorState::enter()
{
    logLine("___LEVELEDITOR::ENTER___");
    mApplication = Application::getSingletonPtr();
    mRenderWindow = mApplication->getRenderWindow();
    mSceneManager = mApplication->replaceSceneManager(kSceneManagerType);
    mSceneManager->setWorldGeometry(kTerrainConfig);
    setUpCamera();
    mSceneManager->setOption(kCameraName, mCamera);

    mExitRequested = false;
    mFader = SceneFader::getSingletonPtr();
    mFader->fadeIn(kFadeSeconds);
    mSplines.resetTime();

    buildWorld();
    logLine("LevelEditorState: entered, camera at " + vectorText(mCameraNode->_getDerivedPosition()));
}

void LevelEditorState::setUpCamera()
{
    mCamera = mSceneManager->createCamera(kCameraName);
    mCamera->setNearClipDistance(kNearClip);
    mCamera->setFarClipDistance(kFarClip);
    mViewport = mRenderWindow->addViewport(mCamera, 0, 0, 0, 1, 1);
    mCamera->setAspectRatio(Ogre::Real(mViewport->getActualWidth()) / Ogre::Real(mViewport->getActualHeight()));
}

void LevelEditorState::buildWorld()
{
    mSkyDome = new SkyDome();
    mSkyDome->create(mSceneManager, mCamera, kSkyHours, kSkyMinutes, kSkySeconds);
    mSceneManager->setOption("CurrentOptionCamera", mCamera);
    // A designer sees the island plainly: no fog, full white light.
    mSceneManager->setFog(Ogre::FOG_NONE, Ogre::ColourValue::White, 0.001f, 0, 1);
    mSceneManager->setAmbientLight(Ogre::ColourValue(1, 1, 1, 1));

    mMeshes = new MeshManager(mSceneManager);
    WorldParts parts;
    parts.application = mApplication;
    parts.inputListeners = mApplication;
    parts.sceneLoader = SceneLoader::getSingletonPtr();
    parts.soundManager = SoundManager::getSingletonPtr();
    parts.sceneManager = mSceneManager;
    parts.camera = mCamera;
    parts.meshes = mMeshes;
    parts.withGui = false;
    mWorld = new GameWorld(parts);
    mScripts = new ScriptManager(mWorld);
    mEditorGui = new EditorGUI(CeGUIManager::getSingletonPtr(), parts.sceneLoader, parts.soundManager);
    mEditorGui->setSkyDome(mSkyDome);
    mEditorGui->initialise(mSceneManager);

    mControlScript = new LevelEditControllScript(mWorld, mScripts, static_cast<int>(mRenderWindow->getWidth()),
                                                 static_cast<int>(mRenderWindow->getHeight()));
    mGuiScript = new LevelEditGUIScript(mWorld, mScripts, mEditorGui->getGuiManager(), mEditorGui);
    mCameraScript = new EditCameraScript(mWorld, mScripts);
    mPickingScript = new RayPickingScript(mWorld, mScripts);
    mScripts->add(mControlScript);
    mScripts->add(mGuiScript);
    mScripts->add(mCameraScript);
    mScripts->add(mPickingScript);
    mCameraNode = mSceneManager->getSceneNode(EditCameraScript::kYawNodeName);
}

void LevelEditorState::exit()
{
    SceneLoader::getSingletonPtr()->unload();
    mSkyDome->destroy();
    // The scripts go before the world they were made with: their
    // destructors take them off the input listeners through it (control
    // first, then the GUI script).
    delete mControlScript;
    mControlScript = nullptr;
    delete mGuiScript;
    mGuiScript = nullptr;
    delete mCameraScript;
    mCameraScript = nullptr;
    delete mPickingScript;
    mPickingScript = nullptr;
    // The windows go after the GUI script that reached them.
    delete mEditorGui;
    mEditorGui = nullptr;
    delete mScripts;
    mScripts = nullptr;
    delete mWorld;
    mWorld = nullptr;
    delete mMeshes;
    mMeshes = nullptr;
    delete mSkyDome;
    mSkyDome = nullptr;

    mSceneManager->clearScene();
    mSceneManager->destroyAllCameras();
    mRenderWindow->removeAllViewports();
    mCamera = nullptr;
    mCameraNode = nullptr;
    mViewport = nullptr;
    // As the play state leaves it: the menu draws on a plain scene manager.
    mSceneManager = mApplication->replaceSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME);
    logLine("LevelEditorState: left");
    logLine("___LEVELEDITOR::EXIT___");
}

bool LevelEditorState::frameStarted(const Ogre::FrameEvent& event)
{
    if (mExitRequested) {
        // Frozen while the view fades out.
        if (mFader->isDone()) {
            GameStateManager::getSingleton().changeState(MenuState::getSingletonPtr());
        } else {
            mFader->update(event.timeSinceLastFrame);
        }
        return true;
    }
    mScripts->update(event);
    // After the picking script: a drag that ended this frame is complete.
    mEditorGui->endOfFrame(mGuiScript->isMouseButtonHeld());
    mSplines.advance(event.timeSinceLastFrame);
    mFader->update(event.timeSinceLastFrame);
    SceneLoader::getSingletonPtr()->updateSoundListener(mCameraNode, event.timeSinceLastFrame);
    return true;
}

bool LevelEditorState::keyPressed(const OIS::KeyEvent& event)
{
    // A name typed into a window is no spline command ("2" would end the
    // recording, a blank write a key frame).
    if (event.key != kKeyEscape && mEditorGui && mEditorGui->isKeyboardTaken()) {
        return true;
    }
    switch (event.key) {
    case kKeyEscape:
        if (mExitRequested || !mEditorGui) {
            requestExit();
        } else {
            // Unsaved work is saved or given up knowingly, never lost by a key.
            mEditorGui->whenSceneIsSafe(nullptr, "leave the editor", [this] { requestExit(); });
        }
        break;
    case kKeyBeginSpline:
        mSplines.beginSpline();
        break;
    case kKeyEndSpline:
        mSplines.endSpline();
        break;
    case kKeyKeyFrame:
        writeKeyFrame();
        break;
    default:
        break;
    }
    return true;
}

void LevelEditorState::requestExit()
{
    mFader->fadeOut(kFadeSeconds);
    mExitRequested = true;
}

void LevelEditorState::writeKeyFrame()
{
    if (!mSceneManager || !mSceneManager->hasSceneNode(EditCameraScript::kPitchNodeName)) {
        return;
    }
    const Ogre::Quaternion orientation =
        mSceneManager->getSceneNode(EditCameraScript::kPitchNodeName)->_getDerivedOrientation();
    const Ogre::Vector3 position = mSceneManager->getSceneNode(EditCameraScript::kYawNodeName)->_getDerivedPosition();
    mSplines.writeKeyFrame(position, orientation);
    logLine("LevelEditorState: key frame at " + vectorText(position));
}

} // namespace Kelvo
