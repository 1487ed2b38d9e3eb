#include "states/GameStateManager.h"

#include "app/Application.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "SoundManager/SoundManager.h"
#include "states/GameState.h"

#include <OgreRoot.h>

template <> Kelvo::GameStateManager* Ogre::Singleton<Kelvo::GameStateManager>::msSingleton = nullptr;

namespace Kelvo {

namespace {

// The render system the game asks for. The original target was Direct3D 9;
// on every other platform it is OpenGL.
#ifdef _WIN32
const std::int16_t kPreferredRenderSystem = Application::kDirect3D9;
#else
const std::int16_t kPreferredRenderSystem = Application::kOpenGL;
#endif

} // namespace

const char* const GameStateManager::kListenerName = "GameStateManager";

GameStateManager::GameStateManager()
    : mApplication(Application::getSingletonPtr())
{
}

GameStateManager::~GameStateManager() = default;

bool GameStateManager::start(const std::string& windowTitle)
{
    if (!mApplication->setup(windowTitle, "options.cfg", kPreferredRenderSystem)) {
        mSetupFailed = true;
        return false;
    }
    mSounds = SoundManager::getSingletonPtr();
    mApplication->addInputListener(this, kListenerName);
    mApplication->getRoot()->addFrameListener(this);
    return true;
}

void GameStateManager::changeState(GameState* state)
{
    if (mInFrame) {
        mRequestedState = state;
        return;
    }
    switchTo(state);
}

void GameStateManager::run()
{
    if (mSetupFailed) {
        return;
    }
    mApplication->getRoot()->startRendering();
}

void GameStateManager::switchTo(GameState* state)
{
    logLine("___CHANGE STATE___");
    if (!mStates.empty()) {
        logLine("___CHANGESTATE EXIT STATE___");
        mStates.back()->exit();
        mStates.pop_back();
    }
    mStates.push_back(state);
    state->enter();
}

void GameStateManager::leaveActiveState()
{
    if (mStates.empty()) {
        return;
    }
    // After a failed set-up the menu never really entered.
    if (!mSetupFailed) {
        mStates.back()->exit();
    }
    mStates.clear();
}

void GameStateManager::shutdown()
{
    leaveActiveState();
    if (!mSetupFailed) {
        mApplication->removeInputListener(this);
        if (Ogre::Root* root = mApplication->getRoot()) {
            root->removeFrameListener(this);
        }
    }
    // CEGUI runs from the first state that shows windows to the end; it
    // must stop while the engine is still there.
    if (CeGUIManager* gui = CeGUIManager::getSingletonPtr()) {
        gui->destroySystem();
    }
    mApplication->shutdown();
}

bool GameStateManager::frameStarted(const Ogre::FrameEvent& event)
{
    mInFrame = true;
    mApplication->captureInput();
    GameState* state = activeState();
    const bool goOn = state ? state->frameStarted(event) : true;
    if (mSounds) {
        mSounds->Update();
    }
    mInFrame = false;
    return goOn;
}

bool GameStateManager::frameEnded(const Ogre::FrameEvent& event)
{
    mInFrame = true;
    GameState* state = activeState();
    const bool goOn = state ? state->frameEnded(event) : true;
    mInFrame = false;
    if (goOn && mRequestedState) {
        GameState* next = mRequestedState;
        mRequestedState = nullptr;
        switchTo(next);
        // Building the new state's world took long; that time is no
        // frame's, and the new state's first frame must not count it.
        if (Ogre::Root* root = mApplication->getRoot()) {
            root->clearEventTimes();
        }
    }
    return goOn;
}

bool GameStateManager::keyPressed(const OIS::KeyEvent& event)
{
    if (GameState* state = activeState()) {
        state->keyPressed(event);
    }
    return true;
}

bool GameStateManager::keyReleased(const OIS::KeyEvent& event)
{
    if (GameState* state = activeState()) {
        state->keyReleased(event);
    }
    return true;
}

bool GameStateManager::mouseMoved(const OIS::MouseEvent& event)
{
    if (GameState* state = activeState()) {
        state->mouseMoved(event);
    }
    return true;
}

bool GameStateManager::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (GameState* state = activeState()) {
        state->mousePressed(event, id);
    }
    return true;
}

bool GameStateManager::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (GameState* state = activeState()) {
        state->mouseReleased(event, id);
    }
    return true;
}

} // namespace Kelvo
