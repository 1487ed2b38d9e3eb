#pragma once

#include "demo/DemoFigures.h"
#include "demo/DemoOptions.h"
#include "demo/DemoPath.h"

#include <OgrePrerequisites.h>

#include <chrono>
#include <string>

namespace Kelvo {

// The timed demo ("kelvo --demo"): once the play state has loaded the
// island, it takes the play camera and flies it along the island's path.
// First a warm-up visits every place for a few frames (pages load and the
// terrain bakes its distant pictures while frames render), then the path is
// flown a fixed step a frame while each frame's time is measured. Optional
// parts (water, sky, scene entities, particles, windows) are left out as the
// switches say. At the end it writes the figures (DemoFigures) to the result
// file and the terminal, takes pictures of the places when asked, and ends
// the game.
//
// GameMain creates it when the command line asks for it; the play state
// calls start once the world is loaded and frame every frame after its
// scripts have moved the camera, so the demo's pose is the one drawn.
class TimedDemo {
public:
    explicit TimedDemo(const DemoOptions& options);
    ~TimedDemo();

    static TimedDemo* getSingletonPtr() { return sInstance; }

    void start(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, Ogre::RenderWindow* window);
    // sceneShown: the intro pictures are gone; measuring waits for it.
    void frame(bool sceneShown);

    bool isFinished() const { return mPhase == Phase::Finished; }
    // False when the result file could not be written.
    bool succeeded() const { return mSucceeded; }
    const DemoFigures& figures() const { return mFigures; }

private:
    enum class Phase { Waiting, WarmUp, Measuring, Pictures, Finished };

    void setPhase(Phase phase, const std::string& line);
    void placeCamera(const DemoPose& pose);
    void leaveOutParts();
    void hideMovables(const char* type, bool keepSky);
    void finishMeasuring();
    void takePicture(size_t place);
    void finish();
    double millisecondsSinceLastFrame();

    DemoOptions mOptions;
    DemoPath mPath;
    DemoFigures mFigures;
    Phase mPhase = Phase::Waiting;
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::Camera* mCamera = nullptr;
    Ogre::SceneNode* mCameraNode = nullptr;
    Ogre::RenderWindow* mWindow = nullptr;
    int mFrameInPhase = 0;
    float mMeasuredPathTime = 0.0f;
    std::string mMeasuredPlace;
    std::string mLoadBefore;
    std::chrono::steady_clock::time_point mLastFrame;
    std::chrono::steady_clock::time_point mWarmUpStart;
    bool mSucceeded = true;

    static TimedDemo* sInstance;
};

} // namespace Kelvo
