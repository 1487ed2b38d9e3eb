#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// The play viewport's full-screen post effects: a fixed chain of engine
// compositors, all off until gameplay switches one on. The entry point creates
// the one instance; the play state installs the chain when play starts and
// removes it when play ends; the hero's script switches the wounded tint, the
// camera script "Invert" and "Motion Blur" during the first cut-scene.
// "Motion Blur" has no script file: it is built here in code, once per run,
// so a second visit of the play state finds it ready.
class CompositorEffects {
public:
    static const char* const kMotionBlur;
    static const char* const kInvert;
    static const char* const kWounded;

    CompositorEffects();
    ~CompositorEffects();

    CompositorEffects(const CompositorEffects&) = delete;
    CompositorEffects& operator=(const CompositorEffects&) = delete;

    static CompositorEffects* getSingletonPtr() { return sInstance; }

    // Appends the chain to the viewport's compositor chain. A compositor whose
    // script is missing costs only its own effect (and a log line).
    void install(Ogre::Viewport* viewport);
    // Takes the whole chain off the viewport; switching afterwards does nothing.
    void remove();

    void invertOn() { setEnabled(kInvert, true); }
    void invertOff() { setEnabled(kInvert, false); }
    void woundedOn() { setEnabled(kWounded, true); }
    void woundedOff() { setEnabled(kWounded, false); }
    void motionBlurOn() { setEnabled(kMotionBlur, true); }
    void motionBlurOff() { setEnabled(kMotionBlur, false); }

    // Whether the named compositor of the installed chain is switched on;
    // false without a chain.
    bool isEnabled(const std::string& compositor) const;
    Ogre::Viewport* getViewport() const { return mViewport; }
    // How many times "Motion Blur" was built in this run (1 after the first
    // install; it stays 1).
    int motionBlurBuilds() const { return mMotionBlurBuilds; }

private:
    void buildMotionBlur();
    void setEnabled(const std::string& compositor, bool enabled);

    static CompositorEffects* sInstance;

    Ogre::Viewport* mViewport = nullptr;
    int mMotionBlurBuilds = 0;
    bool mBuildMotionBlur = true;
};

} // namespace Kelvo
