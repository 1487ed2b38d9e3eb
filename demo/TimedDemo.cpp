#include "demo/TimedDemo.h"

#include "effects/FresnelWater.h"
#include "effects/SkyDome.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/TerrainWorld.h"

#include <Ogre.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace Kelvo {

TimedDemo* TimedDemo::sInstance = nullptr;

namespace {

const char* const kCameraNodeName = "TimedDemoCamera";
// The path's eyes are set above the ground; where the curve between two
// places dips into a hill, the camera is lifted to this height above it.
const float kGroundClearance = 12.0f;
// A picture is written once its pose has been drawn twice (the window's
// buffers swap every frame).
const int kFramesPerPicture = 3;

std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    if (!(file >> one >> five >> fifteen)) {
        return "unknown";
    }
    return one + " " + five + " " + fifteen;
}

std::string pictureName(size_t index, const std::string& place)
{
    std::string name = "demo_" + std::to_string(index) + "_";
    std::string words = place.compare(0, 4, "the ") == 0 ? place.substr(4) : place;
    for (char c : words) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
    }
    return name + ".png";
}

} // namespace

TimedDemo::TimedDemo(const DemoOptions& options)
    : mOptions(options)
    , mPath(DemoPath::island(options.seconds))
{
    sInstance = this;
}

TimedDemo::~TimedDemo()
{
    sInstance = nullptr;
}

void TimedDemo::setPhase(Phase phase, const std::string& line)
{
    mPhase = phase;
    mFrameInPhase = 0;
    logLine("TimedDemo: " + line);
}

void TimedDemo::start(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, Ogre::RenderWindow* window)
{
    mSceneManager = sceneManager;
    mCamera = camera;
    mWindow = window;
    mLoadBefore = loadAverage();
    // The camera leaves the scripts' nodes (one of them tracks the hero) for
    // a node of the demo's own.
    mCameraNode = mSceneManager->getRootSceneNode()->createChildSceneNode(kCameraNodeName);
    // Upright in every view: without it each turn would add to the roll.
    mCameraNode->setFixedYawAxis(true, Ogre::Vector3::UNIT_Y);
    if (mCamera->getParentSceneNode()) {
        mCamera->detachFromParent();
    }
    mCameraNode->attachObject(mCamera);
    logLine("TimedDemo: started, drawing " + mOptions.partsDrawn() + "; " +
            std::to_string(mOptions.frameCount()) + " frames to measure");
}

void TimedDemo::placeCamera(const DemoPose& pose)
{
    // The scripts may have taken the camera back (a cut-scene node).
    if (mCamera->getParentSceneNode() != mCameraNode) {
        mCamera->detachFromParent();
        mCameraNode->attachObject(mCamera);
    }
    mCamera->setPosition(Ogre::Vector3::ZERO);
    mCamera->setOrientation(Ogre::Quaternion::IDENTITY);
    Ogre::Vector3 eye = pose.eye;
    if (auto* terrain = dynamic_cast<PagingLandScapeSceneManager*>(mSceneManager)) {
        TerrainHit ground;
        if (terrain->getTerrainWorld() && terrain->getTerrainWorld()->heightAt(eye.x, eye.z, ground)) {
            eye.y = std::max(eye.y, ground.point.y + kGroundClearance);
        }
    }
    mCameraNode->setPosition(eye);
    mCameraNode->lookAt(pose.target, Ogre::Node::TS_WORLD, Ogre::Vector3::NEGATIVE_UNIT_Z);
}

void TimedDemo::hideMovables(const char* type, bool keepSky)
{
    if (!Ogre::Root::getSingleton().hasMovableObjectFactory(type)) {
        return;
    }
    for (const auto& entry : mSceneManager->getMovableObjects(type)) {
        const std::string& name = entry.first;
        if (keepSky && (name == SkyDome::kDomeEntityName || name == SkyDome::kSunBillboardsName ||
                        name == FresnelWater::kEntityName)) {
            continue;
        }
        entry.second->setVisible(false);
    }
}

void TimedDemo::leaveOutParts()
{
    // Every frame: the scripts show and make objects as they go.
    if (!mOptions.water) {
        if (FresnelWater* water = FresnelWater::getSingletonPtr(); water && water->isSetUp()) {
            // Without its listeners the water's pictures have no view to draw.
            water->detachListeners();
            water->getPlaneEntity()->setVisible(false);
        }
    }
    if (!mOptions.sky) {
        for (const char* node : {SkyDome::kDomeNodeName, SkyDome::kSunNodeName}) {
            if (mSceneManager->hasSceneNode(node)) {
                mSceneManager->getSceneNode(node)->setVisible(false);
            }
        }
    }
    if (!mOptions.entities) {
        hideMovables("Entity", true);
        hideMovables("BillboardSet", true);
        hideMovables("ManualObject", true);
        if (SceneLoader* loader = SceneLoader::getSingletonPtr()) {
            for (int root = 0; root <= loader->getRootCount(); ++root) {
                const std::string name = "StaticGeo_" + std::to_string(root);
                for (const std::string& part : {name, name + "_small"}) {
                    if (mSceneManager->hasStaticGeometry(part)) {
                        mSceneManager->getStaticGeometry(part)->setVisible(false);
                    }
                }
            }
        }
    }
    if (!mOptions.particles) {
        hideMovables("ParticleSystem", false);
    }
    if (!mOptions.gui) {
        if (CeGUIManager* gui = CeGUIManager::getSingletonPtr()) {
            gui->setDrawingEnabled(false);
        }
        if (mCamera->getViewport()) {
            mCamera->getViewport()->setOverlaysEnabled(false);
        }
    }
}

double TimedDemo::millisecondsSinceLastFrame()
{
    const auto now = std::chrono::steady_clock::now();
    const double milliseconds = std::chrono::duration<double, std::milli>(now - mLastFrame).count();
    mLastFrame = now;
    return milliseconds;
}

void TimedDemo::frame(bool sceneShown)
{
    if (!mCamera || mPhase == Phase::Finished) {
        return;
    }
    leaveOutParts();
    const std::vector<DemoPlace>& places = mPath.places();
    switch (mPhase) {
    case Phase::Waiting:
        placeCamera(mPath.poseAt(0.0f));
        if (sceneShown) {
            mWarmUpStart = std::chrono::steady_clock::now();
            setPhase(Phase::WarmUp, "warming up");
        }
        break;
    case Phase::WarmUp: {
        // Every place, then the start of the path again.
        const int perPlace = std::max(1, mOptions.warmUpFramesPerPlace);
        const size_t place = static_cast<size_t>(mFrameInPhase / perPlace);
        if (mOptions.warmUpFramesPerPlace > 0 && place < places.size()) {
            placeCamera(mPath.poseAt(mPath.timeOfPlace(place)));
            ++mFrameInPhase;
            break;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - mWarmUpStart).count();
        char line[128];
        std::snprintf(line, sizeof(line), "warmed up in %d frames, %.1f s; measuring", mFrameInPhase, seconds);
        setPhase(Phase::Measuring, line);
        placeCamera(mPath.poseAt(0.0f));
        mMeasuredPathTime = 0.0f;
        mMeasuredPlace = mPath.describe(0.0f);
        millisecondsSinceLastFrame();
        break;
    }
    case Phase::Measuring: {
        // The time since the last call is the frame drawn with the pose
        // placed then.
        DemoFrame measured;
        measured.milliseconds = millisecondsSinceLastFrame();
        measured.pathTime = mMeasuredPathTime;
        measured.place = mMeasuredPlace;
        measured.triangles = mWindow->getStatistics().triangleCount;
        mFigures.add(measured);
        ++mFrameInPhase;
        if (mFrameInPhase >= mOptions.frameCount()) {
            finishMeasuring();
            break;
        }
        mMeasuredPathTime = mFrameInPhase * DemoOptions::kStepSeconds;
        mMeasuredPlace = mPath.describe(mMeasuredPathTime);
        placeCamera(mPath.poseAt(mMeasuredPathTime));
        break;
    }
    case Phase::Pictures: {
        const size_t place = static_cast<size_t>(mFrameInPhase / kFramesPerPicture);
        if (place >= places.size()) {
            finish();
            break;
        }
        if (mFrameInPhase % kFramesPerPicture == kFramesPerPicture - 1) {
            takePicture(place);
        } else {
            placeCamera(mPath.poseAt(mPath.timeOfPlace(place)));
        }
        ++mFrameInPhase;
        break;
    }
    case Phase::Finished:
        break;
    }
}

void TimedDemo::finishMeasuring()
{
    const std::string report = mFigures.report(mOptions.partsDrawn(), mLoadBefore + " / " + loadAverage());
    std::ofstream file(mOptions.resultFile);
    file << report;
    file.close();
    if (!file) {
        mSucceeded = false;
        logWarning("TimedDemo: the figures cannot be written to \"" + mOptions.resultFile + "\"");
    }
    std::fputs(report.c_str(), stdout);
    std::fflush(stdout);
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        logLine("TimedDemo: " + line);
    }
    if (mOptions.shotFolder.empty()) {
        finish();
    } else {
        setPhase(Phase::Pictures, "pictures of the places into \"" + mOptions.shotFolder + "\"");
    }
}

void TimedDemo::takePicture(size_t place)
{
    const std::string path = mOptions.shotFolder + "/" + pictureName(place, mPath.places()[place].name);
    try {
        mWindow->writeContentsToFile(path);
        logLine("TimedDemo: picture " + path);
    } catch (const Ogre::Exception& e) {
        mSucceeded = false;
        logWarning("TimedDemo: picture " + path + " cannot be written: " + e.getDescription());
    }
}

void TimedDemo::finish()
{
    setPhase(Phase::Finished, std::string("finished") + (mSucceeded ? "" : " with errors"));
    Ogre::Root::getSingleton().queueEndRendering();
}

} // namespace Kelvo
