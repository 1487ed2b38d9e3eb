#include "editor/LevelEditorState.h"

#include "SoundManager/SoundManager.h"
#include "app/Application.h"
#include "editor/EditCameraScript.h"
#include "editor/EditorGUI.h"
#include "editor/LevelEditControllScript.h"
#include "editor/LevelEditGUIScript.h"
#include "editor/LevelEditWnd.h"
#include "editor/PlaySceneCopy.h"
#include "editor/RayPickingScript.h"
#include "effects/SceneFader.h"
#include "effects/SkyDome.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "states/GameStateManager.h"
#include "states/MenuState.h"
#include "states/PlayState.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/ScriptManager.h"
#include "world/TerrainProbe.h"

#include <CEGUI/CEGUI.h>
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

// The edit camera's place and turn, as the play-from-editor lines give it.
std::string poseText(const EditCameraScript::Pose& pose)
{
    auto degrees = [](Ogre::Radian angle) {
        return Ogre::StringConverter::toString(angle.valueDegrees(), 2, 0, ' ', std::ios::fixed);
    };
    return vectorText(pose.position) + " heading " + degrees(pose.yaw.getYaw()) + " pitch " +
           degrees(pose.pitch.getPitch());
}

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
    mPlayRequested = false;
    mFader = SceneFader::getSingletonPtr();
    mFader->fadeIn(kFadeSeconds);
    mSplines.resetTime();

    buildWorld();
    if (mPlaySession.isOpen()) {
        comeBackFromPlaying();
    } else {
        EditorPlaySession::removeLeftover(SceneLoader::getSingletonPtr()->getSceneDirectory());
    }
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
    mEditorGui->setPicking(mPickingScript);
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
    if (mEditorGui) {
        mEditorGui->setPicking(nullptr);
    }
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
        if (mFader->isDone() && mPlayRequested) {
            PlayState::getSingleton().playFromEditor(&mPlaySession);
            GameStateManager::getSingleton().changeState(PlayState::getSingletonPtr());
        } else if (mFader->isDone()) {
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
    if (gizmoKey(event.key)) {
        return true;
    }
    switch (event.key) {
    case kKeyEscape:
        if (mPlayRequested) {
            // Escape during the fade into the game calls the game off: the
            // editor comes back as it was and the copy is removed.
            mPlayRequested = false;
            mExitRequested = false;
            mPlaySession.end();
            mFader->fadeIn(kFadeSeconds);
            logLine("LevelEditorState: playing called off");
        } else if (mExitRequested || !mEditorGui) {
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
    case kKeyFrameSelection:
        frameSelection();
        break;
    case kKeyPlay:
        playFromHere();
        break;
    default:
        break;
    }
    return true;
}

bool LevelEditorState::gizmoKey(int key)
{
    const bool gizmoKey = key == kKeyMoveMode || key == kKeyRotateMode || key == kKeyScaleMode ||
                          key == kKeyLocalAxes || key == kKeySnapping || key == kKeyDropToGround;
    if (!gizmoKey) {
        return false;
    }
    // In mouse-look mode the letters are no commands; during a fade nothing
    // changes.
    if (mExitRequested || !mPickingScript || !mCameraScript || mCameraScript->getEditMode() != 1) {
        return true;
    }
    const GizmoSettings& settings = mPickingScript->getSettings();
    switch (key) {
    case kKeyMoveMode:
        mPickingScript->setGizmoMode(GizmoMode::kMove);
        break;
    case kKeyRotateMode:
        mPickingScript->setGizmoMode(GizmoMode::kRotate);
        break;
    case kKeyScaleMode:
        mPickingScript->setGizmoMode(GizmoMode::kScale);
        break;
    case kKeyLocalAxes:
        mPickingScript->setLocalAxes(!settings.localAxes);
        break;
    case kKeySnapping:
        mPickingScript->setSnapping(!settings.snap.on);
        break;
    default:
        mPickingScript->dropToGround();
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

void LevelEditorState::frameSelection()
{
    if (mCameraScript && mPickingScript && !mExitRequested) {
        mCameraScript->frameNode(mPickingScript->getSelectedNode());
    }
}

// --- playing from the editor -------------------------------------------------------

void LevelEditorState::refusePlaying(const std::string& title, const std::string& text)
{
    logWarning("LevelEditorState: not playing: " + text);
    mEditorGui->showMessage(nullptr, title, text);
}

void LevelEditorState::playFromHere()
{
    // In mouse-look mode P is no command; during a fade nothing starts.
    if (mExitRequested || !mEditorGui || !mCameraScript || mCameraScript->getEditMode() != 1) {
        return;
    }
    SceneLoader* loader = SceneLoader::getSingletonPtr();
    LevelEditWnd* window = mEditorGui->getLevelEditWnd();
    const char* fileName = loader->getCurrentFileName();
    if (!window || !window->isSceneLoaded() || !fileName) {
        refusePlaying("Nothing to play", "No XMLScene is loaded. Load one first; P plays the loaded scene.");
        return;
    }
    // The way back reopens the scene from the scene list; one that is not
    // listed could not be reopened, and its unsaved changes would be lost.
    CEGUI::Listbox* list = sceneList();
    if (!list || !list->findItemWithText(fileName, nullptr)) {
        refusePlaying("Cannot play", std::string("The XMLScene ") + fileName +
                                         " is not in the scene list, so the editor could not open it again after "
                                         "the game.\nSave it under a name ending in .qormscene first.");
        return;
    }
    Ogre::Vector3 ground;
    const Ogre::Vector3 eye = mCameraNode->_getDerivedPosition();
    if (!mWorld->getTerrainProbe()->pointBelow(eye, ground, kGroundSearchHeight)) {
        refusePlaying("Cannot play here", "There is no ground below the camera for the hero to stand on.\n"
                                          "Fly the camera over the island and press P again.");
        return;
    }

    mPlaySession.sceneFile = fileName;
    mPlaySession.editedText = loader->sceneText();
    mPlaySession.hadUnsavedChanges = window->hasUnsavedChanges();
    Ogre::SceneNode* selected = mPickingScript->getSelectedNode();
    mPlaySession.selectedName = selected ? selected->getName() : std::string();
    mPlaySession.camera = mCameraScript->getPose();
    mPlaySession.returnState = this;
    if (!mPlaySession.begin(loader->getSceneDirectory(), PlaySceneCopy::withHeroAt(*loader, ground))) {
        refusePlaying("Cannot play", "The scene to play could not be written to " + mPlaySession.playFilePath() +
                                         ".\nYour scene is unchanged and still open here.");
        return;
    }
    logLine("LevelEditorState: playing '" + mPlaySession.sceneFile + "' from '" + mPlaySession.playFilePath() +
            "', camera at " + poseText(mPlaySession.camera) + ", hero at " + vectorText(ground));
    mPlayRequested = true;
    requestExit();
}

void LevelEditorState::comeBackFromPlaying()
{
    SceneLoader* loader = SceneLoader::getSingletonPtr();
    mCameraScript->setPose(mPlaySession.camera);
    const std::string& scene = mPlaySession.sceneFile;
    bool reopened = reopenSceneInWindow(scene);
    if (reopened && mPlaySession.hadUnsavedChanges) {
        // The window took the file as last saved; the records become the
        // unsaved ones, under the scene's own name, so they still count as
        // unsaved and a save writes the designer's file.
        reopened = mPlaySession.rewritePlayFile(mPlaySession.editedText) &&
                   loader->loadCopy(EditorPlaySession::kPlayFileName, scene, mSceneManager, nullptr, true,
                                    SoundManager::getSingletonPtr());
        if (LevelEditWnd* window = mEditorGui->getLevelEditWnd()) {
            window->refillPlacedObjects();
            window->clearFields();
        }
        // The history starts here, modified; the autosave compares with the
        // file, so its next round backs these records up.
        mEditorGui->unsavedRecordsTaken();
    }
    if (!reopened) {
        logWarning("LevelEditorState: the scene '" + scene + "' could not be opened again after playing");
        std::string text = "The XMLScene " + scene + " could not be opened again. Load it from the list.";
        // Unsaved work outlives the failure in a file of its own.
        const std::string keptAs = scene + ".unsaved";
        if (mPlaySession.hadUnsavedChanges && mPlaySession.keepEditedText(keptAs)) {
            text += "\nYour unsaved changes are kept in " + loader->getSceneDirectory() + keptAs + ".";
        }
        mEditorGui->showMessage(nullptr, "Back from playing", text);
    }
    const std::string& selected = mPlaySession.selectedName;
    if (reopened && !selected.empty()) {
        mPickingScript->selectByName(selected);
        mEditorGui->selectObject(selected);
    }
    logLine("LevelEditorState: back from playing '" + scene + "'" +
            (mPlaySession.hadUnsavedChanges ? " (unsaved changes kept)" : "") + ", camera at " +
            poseText(mCameraScript->getPose()) + ", selected '" + selected + "'");
    mPlaySession.end();
}

bool LevelEditorState::reopenSceneInWindow(const std::string& fileName)
{
    // The scene window opens it, so that it is the window's loaded scene
    // with its saved state remembered.
    LevelEditWnd* window = mEditorGui->getLevelEditWnd();
    return window && window->openScene(fileName);
}

CEGUI::Listbox* LevelEditorState::sceneList() const
{
    CeGUIManager* gui = mEditorGui ? mEditorGui->getGuiManager() : nullptr;
    return gui ? dynamic_cast<CEGUI::Listbox*>(gui->getWindow("xml_list")) : nullptr;
}

} // namespace Kelvo
