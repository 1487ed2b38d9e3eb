#include "app/GameMain.h"

#include "app/Application.h"
#include "app/LuaBootstrap.h"
#include "demo/TimedDemo.h"
#include "editor/LevelEditorState.h"
#include "effects/CineFader.h"
#include "effects/CompositorEffects.h"
#include "effects/FresnelWater.h"
#include "effects/IntroFader.h"
#include "effects/SceneFader.h"
#include "gui/CeGUIManager.h"
#include "platform/Environment.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "scene/SceneLoader.h"
#include "SoundManager/SoundManager.h"
#include "states/CreditState.h"
#include "states/GameStateManager.h"
#include "states/MenuState.h"
#include "states/PlayState.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>

namespace Kelvo {

namespace {

const char* const kLogFile = "kelvo.log";
const char* const kStartupScript = "message.lua";
const char* const kStartupFunction = "testMsg";
const char* const kWindowTitle = "KELVO";
const int kExitFailed = 1;
const int kExitBadCommandLine = 2;

} // namespace

int runGame(const std::vector<std::string>& arguments)
{
    // A bad command line is said before anything starts: no window opens
    // for a demo that cannot run as asked.
    DemoOptions demoOptions;
    std::string commandLineError;
    if (!DemoOptions::parse(arguments, demoOptions, commandLineError)) {
        std::fprintf(stderr, "kelvo: %s\n%s", commandLineError.c_str(), DemoOptions::usage());
        return kExitBadCommandLine;
    }

    // The log exists before anything else so the start-up script's troubles
    // are written down too; the engine root adopts it as "kelvo.log". The
    // engine's many lines go only there; the terminal shows our own warnings
    // and critical lines.
    Platform::failOversizedWritesInsteadOfEnding();

    // A folder the game may not write into still lets it run: the log
    // then goes to the terminal, and the player is told why.
    std::string unwritableReason;
    const bool logWritable = Platform::canWriteFile(kLogFile, &unwritableReason);
    Ogre::LogManager* logManager = new Ogre::LogManager();
    logManager->createLog(kLogFile, true, false, !logWritable);
    echoWarningsToTerminal(true);
    if (!logWritable) {
        echoWholeLogToTerminal();
        logWarning(std::string("Main: the log \"") + kLogFile + "\" cannot be written in this folder (" +
                   unwritableReason + "); its lines go to the terminal");
    }

    std::srand(static_cast<unsigned>(std::time(nullptr)));

    LuaBootstrap* lua = new LuaBootstrap();
    lua->runScript(kStartupScript);
    lua->callFunction(kStartupFunction);

    Application* application = new Application();
    GameStateManager* stateManager = new GameStateManager();
    CeGUIManager* guiManager = new CeGUIManager();
    MenuState* menuState = new MenuState();
    PlayState* playState = new PlayState();
    CreditState* creditState = new CreditState();
    LevelEditorState* levelEditorState = new LevelEditorState();
    SceneFader* sceneFader = new SceneFader();
    SoundManager* soundManager = new SoundManager();
    FresnelWater* fresnelWater = new FresnelWater();
    SceneLoader* sceneLoader = new SceneLoader();
    CompositorEffects* compositorEffects = new CompositorEffects();
    CineFader* cineFader = new CineFader();
    IntroFader* introFader = new IntroFader();
    TimedDemo* timedDemo = demoOptions.enabled ? new TimedDemo(demoOptions) : nullptr;

    // Any exception that escapes the game is shown to the player, and the
    // program still shuts down in order; the exit code then says it failed,
    // so a launcher or a script does not take a game that never ran for one
    // that ended well.
    bool failed = false;
    try {
        if (!Platform::hasDisplay()) {
            logCritical(std::string("Main: no display: ") + Platform::kNoDisplayReason);
        }
        stateManager->start(kWindowTitle);
        soundManager->Initialize();
        stateManager->changeState(timedDemo ? static_cast<GameState*>(playState) : menuState);
        stateManager->run();
        failed = stateManager->setupFailed();
        // A demo ended early (the window closed) has no figures to show.
        if (timedDemo && !failed && (!timedDemo->isFinished() || !timedDemo->succeeded())) {
            logWarning("Main: the timed demo did not finish");
            failed = true;
        }
    } catch (const Ogre::Exception& e) {
        Platform::showExceptionBox(e.getFullDescription());
        failed = true;
    } catch (const std::exception& e) {
        Platform::showExceptionBox(e.what());
        failed = true;
    } catch (...) {
        Platform::showExceptionBox("An unknown exception ended the game.");
        failed = true;
    }

    logLine("___Main End.___");
    stateManager->leaveActiveState();
    delete sceneLoader;
    stateManager->shutdown();

    delete compositorEffects;
    delete timedDemo;
    delete levelEditorState;
    delete fresnelWater;
    delete soundManager;
    delete sceneFader;
    delete introFader;
    delete cineFader;
    delete creditState;
    delete playState;
    delete menuState;
    delete guiManager;
    delete stateManager;
    delete application;

    delete lua;
    delete logManager;
    return failed ? kExitFailed : 0;
}

} // namespace Kelvo
