#pragma once

namespace Ogre {
class Overlay;
class RenderWindow;
}

namespace Kelvo {

// Fades the whole picture out to a full-window panel ("KELVO/FADING") and
// back in. Every state fades in when it is entered and fades out before it
// asks for the next state; the states advance it once per frame.
// value: 1 = the scene is fully visible, 0 = fully covered.
class SceneFader {
public:
    SceneFader();
    ~SceneFader();

    static SceneFader* getSingletonPtr() { return sInstance; }

    // Builds the overlay "SceneFader"; on later calls the existing one is
    // reused and false returned. Ends fully visible and at rest.
    bool create(Ogre::RenderWindow* window);
    void fadeIn(float seconds);
    void fadeOut(float seconds);
    void setBlack();
    void setVisible();
    void update(float seconds);
    bool isDone() const { return mValue == mTarget; }

    float value() const { return mValue; }
    float target() const { return mTarget; }

private:
    static SceneFader* sInstance;

    Ogre::Overlay* mOverlay = nullptr;
    float mValue = 1;
    float mTarget = 1;
    float mStart = 1;
    float mDuration = 1;
    float mElapsed = 1;
};

} // namespace Kelvo
