#pragma once

#include <string>

namespace Ogre {
class FrameEvent;
class Overlay;
class RenderWindow;
}

namespace Kelvo {

// Full-screen picture sequences (intro, outro, game over): two picture panels
// ("IntroSrc", "IntroDst") over a black one ("BG"). Each new picture goes on
// the other panel and cross-fades with the previous one; the last picture
// can dissolve into the running 3D scene. The play state steps it per frame.
class IntroFader {
public:
    IntroFader();
    ~IntroFader();

    static IntroFader* getSingletonPtr() { return sInstance; }

    bool create(Ogre::RenderWindow* window);
    void reset();
    // Starts a cross-fade to the picture material; asking for the picture
    // already shown keeps the running fade.
    void crossFadeTo(const std::string& material, float seconds);
    // Steps the cross-fade; returns the previous "out" value, which is 0 one
    // frame after the fade has ended.
    float update(const Ogre::FrameEvent& event);
    float update(float seconds);
    // Fades the newest picture and the black background in together.
    float fadeInWithBackground(const Ogre::FrameEvent& event);
    void startFadeToScene();
    void showAll();
    void hideAll();
    // Clears the panels and the black background, so that what is shown
    // next shows the scene until a picture is asked for.
    void uncover();

    const std::string& picture() const { return mPicture; }
    bool newestOnFirst() const { return mNewOnFirst; }
    float speed() const { return mSpeed; }

private:
    void setPanelMaterial(const std::string& panel, const std::string& material);

    static IntroFader* sInstance;

    Ogre::Overlay* mFirst = nullptr;
    Ogre::Overlay* mSecond = nullptr;
    Ogre::Overlay* mBackground = nullptr;
    float mOut = 1;
    float mIn = 0;
    float mPreviousOut = 1;
    float mPreviousIn = 0;
    bool mToggle = false;
    float mSpeed = 0.1f;
    bool mFadeToScene = false;
    bool mNewOnFirst = false;
    std::string mPicture;
};

} // namespace Kelvo
