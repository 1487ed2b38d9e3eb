#include "states/PlayState.h"

#include "SoundManager/SoundManager.h"
#include "app/Application.h"
#include "demo/TimedDemo.h"
#include "effects/CineFader.h"
#include "effects/CompositorEffects.h"
#include "effects/FresnelWater.h"
#include "effects/IntroFader.h"
#include "effects/SceneFader.h"
#include "effects/SkyDome.h"
#include "platform/Environment.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"
#include "scripts/BirdScript.h"
#include "scripts/CameraScript.h"
#include "scripts/EnergieBallScript.h"
#include "scripts/GeometricTriggerScript.h"
#include "scripts/GUIScript.h"
#include "scripts/OldmanScript.h"
#include "scripts/PlayerScript.h"
#include "scripts/SoundScript.h"
#include "scripts/StandartEnemyScript.h"
#include "states/EditorPlaySession.h"
#include "states/GameStateManager.h"
#include "states/MenuState.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/ScriptManager.h"

#include <Ogre.h>
#include <OgreOverlay.h>
#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>

#include <cstdio>
#include <ctime>

template <> Kelvo::PlayState* Ogre::Singleton<Kelvo::PlayState>::msSingleton = nullptr;

namespace Kelvo {

namespace {

const char* const kSceneManagerType = "PagingLandScapeSceneManager";
const char* const kTerrainConfig = "paginglandscape2.cfg";
const char* const kWorldScene = "world.qormscene";
const char* const kCameraName = "PrimaryCamera";
const char* const kCameraNodeName = "MAIN_CAMERA";
const char* const kDebugOverlay = "Core/DebugOverlay";
const char* const kIntroSound = "intro_sound";
const char* const kHeartbeatSound = "heartbeat";
const char* const kBirdType = "Bird";

const float kNearClip = 1.0f;
const float kFarClip = SkyDome::kFarClip;
const float kIntroStartClock = 2.0f;
const float kListenerWarmUpStep = 0.01f;
const float kEscapeFadeSeconds = 1.0f;
// The sky starts at 6:10:40 in the morning.
const int kSkyHours = 6;
const int kSkyMinutes = 10;
const int kSkySeconds = 40;

struct TimedPicture {
    float until;
    const char* material;
    float crossFadeSeconds;
};

const TimedPicture kIntroPictures[] = {
    {10.8f, "KELVO/PRETITEL", 2.2f}, {45.0f, "KELVO/TITEL", 3.0f},   {68.0f, "KELVO/Intro1", 3.0f},
    {86.0f, "KELVO/Intro2", 3.0f},   {106.0f, "KELVO/Intro3", 3.0f}, {120.0f, "KELVO/Intro4", 3.0f},
    {137.0f, "KELVO/Intro5", 3.0f},  {154.0f, "KELVO/Intro6", 3.0f}, {160.0f, "KELVO/Intro7", 3.0f},
    {165.0f, "KELVO/Intro8", 3.0f},
};
const char* const kLastIntroPicture = "KELVO/Intro8";

const float kGameOverPictureSeconds = 6.0f;
const char* const kGameOverPicture = "KELVO/GAMEOVER";
const float kGameOverCrossFade = 2.2f;

// The outro: the ship's flight alone, then the pictures over black.
const float kOutroFlightEnd = 13.5f;
const TimedPicture kOutroPictures[] = {
    {28.0f, "KELVO/Outro0", 13.0f},
    {50.5f, "KELVO/Outro1", 5.0f},
    {73.5f, "KELVO/Outro2", 5.0f},
    {126.0f, "KELVO/Outro3", 2.4f},
};

// Ambient loops are recognised by their names.
const char* const kAmbientNameParts[] = {"vogel", "spi_sound", "meer", "brunnen", "krah", "teich"};

} // namespace

PlayState::PlayState() = default;
PlayState::~PlayState() = default;

// --- pure helpers ------------------------------------------------------------

std::string PlayState::screenshotName(int hour, int minute, int second)
{
    // Precision 0: a field whose value is 0 prints as nothing, so a shot at
    // 12:00:07 is "screenshot_12__7.png". Kept: players' folders hold files
    // named that way.
    char name[64];
    std::snprintf(name, sizeof(name), "screenshot_%.00i_%.00i_%.00i.png", hour, minute, second);
    return name;
}

const char* PlayState::introPicture(float clock, float* crossFadeSeconds)
{
    for (const TimedPicture& picture : kIntroPictures) {
        if (clock <= picture.until) {
            if (crossFadeSeconds) {
                *crossFadeSeconds = picture.crossFadeSeconds;
            }
            return picture.material;
        }
    }
    return nullptr;
}

// --- entering --------------------------------------------------------------------

void PlayState::enter()
{
    logLine("___PLAYSTATE::ENTER___");
    mApplication = Application::getSingletonPtr();
    mRenderWindow = mApplication->getRenderWindow();
    mSceneManager = mApplication->replaceSceneManager(kSceneManagerType);

    setUpCamera();
    mSceneManager->setWorldGeometry(kTerrainConfig);
    mSceneManager->setOption(kCameraName, mCamera);

    mSceneFader = SceneFader::getSingletonPtr();
    mSceneFader->setVisible();
    mCineFader = CineFader::getSingletonPtr();
    mCineFader->create(mRenderWindow);
    mIntroFader = IntroFader::getSingletonPtr();
    mIntroFader->create(mRenderWindow);

    mIntroRunning = true;
    mIntroFinished = false;
    mClock = kIntroStartClock;
    mLoggedPicture.clear();

    mSkyDome = new SkyDome();
    mSkyDome->create(mSceneManager, mCamera, kSkyHours, kSkyMinutes, kSkySeconds);

    mSceneManager->setOption("CurrentOptionCamera", mCamera);
    mSceneManager->setOption("setCullingMode", "VIEW_FRUSTUM_DIRECT");

    loadWorld();

    FresnelWater* water = FresnelWater::getSingletonPtr();
    if (water && water->isSetUp()) {
        water->attachListeners();
        logLine("PlayState: water at height " + Ogre::StringConverter::toString(water->getPlane().d * -1.0f));
    } else {
        logLine("PlayState: the world has no water");
    }
    mCompositors = CompositorEffects::getSingletonPtr();
    if (mCompositors) {
        mCompositors->install(mViewport);
    }

    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    mDebugOverlay = overlays.getByName(kDebugOverlay);
    if (!mDebugOverlay) {
        logWarning(std::string("PlayState: no overlay '") + kDebugOverlay + "'");
    }

    if (mEditorSession) {
        startWithoutIntro();
    } else if (TimedDemo* demo = TimedDemo::getSingletonPtr()) {
        skipIntro();
        demo->start(mSceneManager, mCamera, mRenderWindow);
    }
}

void PlayState::setUpCamera()
{
    mCamera = mSceneManager->createCamera(kCameraName);
    mCameraNode = mSceneManager->getRootSceneNode()->createChildSceneNode(kCameraNodeName, Ogre::Vector3::ZERO,
                                                                          Ogre::Quaternion::IDENTITY);
    mCameraNode->attachObject(mCamera);
    mViewport = mRenderWindow->addViewport(mCamera);
    mCamera->setAspectRatio(Ogre::Real(mViewport->getActualWidth()) / Ogre::Real(mViewport->getActualHeight()));
    mCamera->setNearClipDistance(kNearClip);
    mCamera->setFarClipDistance(kFarClip);
}

void PlayState::loadWorld()
{
    mOutroRunning = false;
    mSequenceComplete = false;
    mGameOverRunning = false;
    mLeaveToMenu = false;
    mIntroSkipped = false;
    mWireframe = false;
    mDebugOverlayShown = false;
    mIntroDone = false;

    SceneLoader* loader = SceneLoader::getSingletonPtr();
    mMeshes = new MeshManager(mSceneManager, FresnelWater::getSingletonPtr());
    mSceneCallback = new OSMSceneCallback(mMeshes);
    std::string scene = kWorldScene;
    if (mEditorSession) {
        scene = EditorPlaySession::kPlayFileName;
        logLine("PlayState: playing from the editor");
    }
    if (!loader->load(scene, mSceneManager, mSceneCallback, false, SoundManager::getSingletonPtr())) {
        logWarning("PlayState: the world '" + scene + "' could not be loaded");
    }
    loader->buildStaticGeometry(mSceneManager);
    if (!mEditorSession) {
        playSceneSound(kIntroSound);
    }

    WorldParts parts;
    parts.application = mApplication;
    parts.inputListeners = mApplication;
    parts.sceneLoader = loader;
    parts.soundManager = SoundManager::getSingletonPtr();
    parts.sceneManager = mSceneManager;
    parts.camera = mCamera;
    parts.meshes = mMeshes;
    parts.compositors = CompositorEffects::getSingletonPtr();
    parts.cineFader = mCineFader;
    parts.sceneFader = mSceneFader;
    parts.withGui = true;
    mWorld = new GameWorld(parts);
    mWorld->setGameOverHook([this] { startGameOver(); });
    mWorld->setOutroHook([this] { startOutro(); });
    // No two games alike: the enemies' attacks follow the clock.
    mWorld->getRandom().seed(static_cast<unsigned>(std::time(nullptr)));
    mScripts = new ScriptManager(mWorld);
    mGuiScript = new GUIScript(mWorld, mScripts);
    mScripts->add(mGuiScript);
    mTriggerScript = new GeometricTriggerScript(mWorld, mScripts);
    mScripts->add(mTriggerScript);
    mPlayerScript = new PlayerScript(mWorld, mScripts);
    mScripts->add(mPlayerScript);
    mCameraScript = new CameraScript(mWorld, mScripts);
    mScripts->add(mCameraScript);
    mEnergieBallScript = new EnergieBallScript(mWorld, mScripts);
    mScripts->add(mEnergieBallScript);
    mOldmanScript = new OldmanScript(mWorld, mScripts, mPlayerScript, mGuiScript);
    mScripts->add(mOldmanScript);
    mSoundScript = new SoundScript(mWorld, mScripts);
    mScripts->add(mSoundScript);
    createEnemyAndBirdScripts();

    mListenerNode = mSceneManager->hasSceneNode(kCameraNodeName) ? mSceneManager->getSceneNode(kCameraNodeName)
                                                                  : nullptr;
    loader->updateSoundListener(mListenerNode, kListenerWarmUpStep);
    playAmbientSounds();
    logLine("PlayState: world loaded, " + Ogre::StringConverter::toString(mScripts->scripts().size()) +
            " scripts");
}

void PlayState::createEnemyAndBirdScripts()
{
    SceneLoader* loader = SceneLoader::getSingletonPtr();
    for (const StandartEnemyScript::Pairing& pairing : StandartEnemyScript::findEnemies(*loader)) {
        auto* enemy = new StandartEnemyScript(mWorld, mScripts, pairing.entity->getName(), pairing.trigger->getName());
        mEnemyScripts.push_back(enemy);
        mScripts->add(enemy);
    }
    for (const auto& entity : loader->entities()) {
        if (entity.second->getType() == kBirdType) {
            auto* bird = new BirdScript(mWorld, mScripts, entity.second);
            mBirdScripts.push_back(bird);
            mScripts->add(bird);
        }
    }
}

void PlayState::playAmbientSounds()
{
    for (const auto& entry : SceneLoader::getSingletonPtr()->sounds()) {
        for (const char* part : kAmbientNameParts) {
            if (entry.first.find(part) != std::string::npos) {
                entry.second->play();
                break;
            }
        }
    }
}

void PlayState::playSceneSound(const char* name)
{
    if (SoundDescription* sound = SceneLoader::getSingletonPtr()->findSound(name)) {
        sound->play();
    }
}

void PlayState::stopSceneSound(const char* name)
{
    if (SoundDescription* sound = SceneLoader::getSingletonPtr()->findSound(name)) {
        sound->stop();
    }
}

// --- every frame -------------------------------------------------------------------

bool PlayState::frameStarted(const Ogre::FrameEvent& event)
{
    mClock += event.timeSinceLastFrame;
    if (mIntroRunning) {
        runIntro(event);
    }
    if (mLeaveToMenu) {
        mIntroFader->hideAll();
        if (mSceneFader->isDone()) {
            changeToNextState();
        } else {
            mSceneFader->update(event.timeSinceLastFrame);
        }
    } else if (!mOutroRunning && !mGameOverRunning) {
        runNormalPlay(event);
    } else if (mGameOverRunning) {
        runGameOver(event);
    } else {
        runOutro(event);
    }
    return true;
}

void PlayState::runIntro(const Ogre::FrameEvent& event)
{
    SceneLoader::getSingletonPtr()->updateSoundListener(mListenerNode, event.timeSinceLastFrame);
    // Once the intro is finished (the last picture's time has passed, or
    // space was pressed) no picture is asked for any more: a new picture
    // would cancel the fade into the world half-way.
    if (!mIntroFinished) {
        float crossFade = 0.0f;
        if (const char* picture = introPicture(mClock, &crossFade)) {
            if (std::string(picture) == kLastIntroPicture) {
                mSceneFader->setVisible();
            }
            mIntroFader->crossFadeTo(picture, crossFade);
            if (mLoggedPicture != picture) {
                mLoggedPicture = picture;
                logLine(std::string("PlayState: intro picture ") + picture);
            }
        } else {
            mIntroFader->startFadeToScene();
            mIntroFinished = true;
        }
    }
    if (mIntroFader->update(event) == 0.0f && mIntroFinished) {
        mIntroRunning = false;
        mIntroDone = true;
        mIntroFader->hideAll();
        logLine("PlayState: intro finished");
    }
}

void PlayState::runNormalPlay(const Ogre::FrameEvent& event)
{
    updateDebugStatistics();
    SceneLoader::getSingletonPtr()->updateSoundListener(mListenerNode, event.timeSinceLastFrame);
    mSkyDome->update(event.timeSinceLastFrame);
    mScripts->update(event);
    mSceneFader->update(event.timeSinceLastFrame);
    if (TimedDemo* demo = TimedDemo::getSingletonPtr()) {
        demo->frame(!mIntroRunning);
    }
}

void PlayState::runGameOver(const Ogre::FrameEvent& event)
{
    mSceneFader->update(event.timeSinceLastFrame);
    if (mClock <= kGameOverPictureSeconds) {
        mIntroFader->crossFadeTo(kGameOverPicture, kGameOverCrossFade);
    } else {
        mSequenceComplete = true;
    }
    if (mIntroFader->update(event) == 0.0f && mSequenceComplete) {
        leaveToMenu();
    }
}

void PlayState::runOutro(const Ogre::FrameEvent& event)
{
    mSceneFader->update(event.timeSinceLastFrame);
    if (Ogre::AnimationState* flight = mCameraScript ? mCameraScript->getCutScene2State() : nullptr) {
        flight->addTime(event.timeSinceLastFrame);
    }
    if (mClock <= kOutroFlightEnd) {
        return;
    }
    for (std::size_t i = 0; i < sizeof(kOutroPictures) / sizeof(kOutroPictures[0]); ++i) {
        const TimedPicture& picture = kOutroPictures[i];
        if (mClock <= picture.until) {
            mIntroFader->crossFadeTo(picture.material, picture.crossFadeSeconds);
            if (mLoggedPicture != picture.material) {
                mLoggedPicture = picture.material;
                logLine(std::string("PlayState: outro picture ") + picture.material);
            }
            // The first picture rises out of the flight together with its
            // black background; the others cross-fade over it.
            if (i == 0) {
                mIntroFader->fadeInWithBackground(event);
            } else {
                mIntroFader->update(event);
            }
            return;
        }
    }
    mSequenceComplete = true;
    if (mIntroFader->update(event) == 0.0f) {
        leaveToMenu();
    }
}

void PlayState::leaveToMenu()
{
    if (!mLeaveToMenu) {
        logLine(mEditorSession ? "PlayState: back to the editor" : "PlayState: back to the menu");
    }
    mLeaveToMenu = true;
}

void PlayState::changeToNextState()
{
    GameState* next = MenuState::getSingletonPtr();
    if (mEditorSession && mEditorSession->returnState) {
        next = mEditorSession->returnState;
    }
    GameStateManager::getSingleton().changeState(next);
}

void PlayState::updateDebugStatistics()
{
    const Ogre::RenderTarget::FrameStats& stats = mRenderWindow->getStatistics();
    using Ogre::StringConverter;
    setOverlayCaption("Core/AverageFps", "Average FPS: " + StringConverter::toString(stats.avgFPS));
    setOverlayCaption("Core/CurrFps", "Current FPS: " + StringConverter::toString(stats.lastFPS));
    setOverlayCaption("Core/BestFps", "Best FPS: " + StringConverter::toString(stats.bestFPS) + " " +
                                          StringConverter::toString(stats.bestFrameTime) + " ms");
    setOverlayCaption("Core/WorstFps", "Worst FPS: " + StringConverter::toString(stats.worstFPS) + " " +
                                           StringConverter::toString(stats.worstFrameTime) + " ms");
    setOverlayCaption("Core/NumTris", "Triangle Count: " + StringConverter::toString(stats.triangleCount));
    setOverlayCaption("Core/DebugText", mWorld->getName());
}

void PlayState::setOverlayCaption(const char* element, const std::string& caption)
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    if (overlays.hasOverlayElement(element)) {
        overlays.getOverlayElement(element)->setCaption(caption);
    }
}

// --- sequences ---------------------------------------------------------------------

void PlayState::startOutro()
{
    if (mOutroRunning) {
        return;
    }
    logLine("PlayState: outro started");
    mOutroRunning = true;
    mClock = 0.0f;
    mIntroFader->reset();
    // An intro skipped at its first picture leaves the old panel black at
    // full strength; the ship's flight shows the world until the first
    // outro picture rises with its background.
    mIntroFader->uncover();
    mIntroFader->showAll();
    mSceneFader->setVisible();
    if (mCameraScript) {
        mCameraScript->startCutScene2(true);
    }
}

void PlayState::startGameOver()
{
    if (mGameOverRunning) {
        return;
    }
    logLine("PlayState: game over");
    mGameOverRunning = true;
    mClock = 0.0f;
    playSceneSound(kHeartbeatSound);
    // The panels still carry the intro's last picture; without a reset it
    // would flash up again while the game-over picture fades in.
    mIntroFader->reset();
    mIntroFader->showAll();
}

// --- keys ----------------------------------------------------------------------------

bool PlayState::keyPressed(const OIS::KeyEvent& event)
{
    switch (event.key) {
    case kKeyEscape:
        mSceneFader->fadeOut(kEscapeFadeSeconds);
        mIntroRunning = false;
        mLeaveToMenu = true;
        if (mDebugOverlay) {
            mDebugOverlay->hide();
        }
        mCineFader->hide();
        mIntroFader->hideAll();
        logLine(mEditorSession ? "PlayState: back to the editor" : "PlayState: back to the menu");
        break;
    case kKeyDebugOverlay:
        mDebugOverlayShown = !mDebugOverlayShown;
        if (mDebugOverlay) {
            mDebugOverlayShown ? mDebugOverlay->show() : mDebugOverlay->hide();
        }
        break;
    case kKeyWireframe:
        mWireframe = !mWireframe;
        mCamera->setPolygonMode(mWireframe ? Ogre::PM_WIREFRAME : Ogre::PM_SOLID);
        break;
    case kKeyScreenshot:
        writeScreenshot();
        break;
    case kKeyCutScene:
        if (mCameraScript) {
            mCameraScript->startCutScene1(true);
        }
        break;
    case kKeyStopCutScenes:
        if (mCameraScript) {
            mCameraScript->startCutScene1(false);
            mCameraScript->startCutScene2(false);
        }
        break;
    case kKeyOutro:
        startOutro();
        break;
    case kKeyMelee:
        // The bare-handed strike: the left button then hits instead of throwing.
        mWorld->setSelectedWeapon(0);
        logLine("PlayState: weapon 0");
        break;
    case kKeyWeapon:
        mWorld->setSelectedWeapon(mWorld->getSelectedWeapon() == 1 ? 2 : 1);
        logLine("PlayState: weapon " + Ogre::StringConverter::toString(mWorld->getSelectedWeapon()));
        break;
    case kKeySkipIntro:
        skipIntro();
        break;
    default:
        break;
    }
    return true;
}

void PlayState::writeScreenshot()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    const std::string name = screenshotName(local->tm_hour, local->tm_min, local->tm_sec);
    // The engine's image writers fail silently in a folder the game may not
    // write into; the player is told, and the game goes on.
    std::string reason;
    if (!Platform::canWriteFile(name, &reason)) {
        logWarning("PlayState: screenshot " + name + " cannot be written: " + reason);
        return;
    }
    try {
        mRenderWindow->writeContentsToFile(name);
    } catch (const Ogre::Exception& e) {
        logWarning("PlayState: screenshot " + name + " cannot be written: " + e.getDescription());
        return;
    }
    logLine("PlayState: screenshot " + name);
}

void PlayState::startWithoutIntro()
{
    // The designer wants to try the level, not watch the intro: no picture,
    // no fade from black, the world at once.
    mIntroRunning = false;
    mIntroFinished = true;
    mIntroSkipped = true;
    mIntroDone = true;
    mIntroFader->uncover();
    mIntroFader->hideAll();
    logLine("PlayState: intro skipped");
}

void PlayState::skipIntro()
{
    if (mIntroSkipped || !mIntroRunning) {
        return;
    }
    mIntroSkipped = true;
    mIntroFinished = true;
    mIntroFader->startFadeToScene();
    stopSceneSound(kIntroSound);
    logLine("PlayState: intro skipped");
}

// --- leaving ---------------------------------------------------------------------------

void PlayState::exit()
{
    SceneLoader* loader = SceneLoader::getSingletonPtr();
    loader->unload();
    if (mEditorSession) {
        // The copy has served; the editor keeps the designer's scene.
        mEditorSession->removePlayFile();
        mEditorSession = nullptr;
    }

    delete mGuiScript;
    mGuiScript = nullptr;
    delete mPlayerScript;
    mPlayerScript = nullptr;
    delete mCameraScript;
    mCameraScript = nullptr;
    deleteScripts();

    loader->destroyStaticGeometry();
    if (mCompositors) {
        mCompositors->remove();
    }
    if (FresnelWater* water = FresnelWater::getSingletonPtr()) {
        water->detachListeners();
    }
    if (mDebugOverlay) {
        mDebugOverlay->hide();
    }
    mSkyDome->destroy();
    delete mSkyDome;
    mSkyDome = nullptr;
    delete mWorld;
    mWorld = nullptr;
    delete mSceneCallback;
    mSceneCallback = nullptr;
    delete mMeshes;
    mMeshes = nullptr;

    mSceneManager->clearScene();
    mSceneManager->destroyAllCameras();
    mSceneManager->destroyAllEntities();
    mRenderWindow->removeAllViewports();
    mCamera = nullptr;
    mCameraNode = nullptr;
    mViewport = nullptr;
    mListenerNode = nullptr;

    mSceneManager = mApplication->replaceSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME);
    logLine("___PLAYSTATE::EXIT___");
}

void PlayState::deleteScripts()
{
    delete mTriggerScript;
    mTriggerScript = nullptr;
    delete mSoundScript;
    mSoundScript = nullptr;
    delete mEnergieBallScript;
    mEnergieBallScript = nullptr;
    delete mOldmanScript;
    mOldmanScript = nullptr;
    for (StandartEnemyScript* enemy : mEnemyScripts) {
        delete enemy;
    }
    mEnemyScripts.clear();
    for (BirdScript* bird : mBirdScripts) {
        delete bird;
    }
    mBirdScripts.clear();
    delete mScripts;
    mScripts = nullptr;
}

} // namespace Kelvo
