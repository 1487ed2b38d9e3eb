#include "effects/IntroFader.h"

#include "effects/OverlayAlpha.h"
#include "platform/Log.h"

#include <Ogre.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>

#include <algorithm>

namespace Kelvo {

namespace {
const unsigned short kPictureZOrder = 650;
const unsigned short kBackgroundZOrder = 600;
} // namespace

IntroFader* IntroFader::sInstance = nullptr;

IntroFader::IntroFader()
{
    sInstance = this;
}

IntroFader::~IntroFader()
{
    sInstance = nullptr;
}

bool IntroFader::create(Ogre::RenderWindow* window)
{
    bool made = false;
    {
        OverlayAlpha::QuietLog quiet;
        mToggle = false;
        const int width = static_cast<int>(window->getWidth());
        const int height = static_cast<int>(window->getHeight());
        mFirst = OverlayAlpha::panelOverlay("IntroFirst", "IntroSrc", 0, 0, width, height, "KELVO/INTROSRC", &made);
        mFirst->setZOrder(kPictureZOrder);
        mSecond = OverlayAlpha::panelOverlay("IntroSecond", "IntroDst", 0, 0, width, height, "KELVO/INTRODST");
        mSecond->setZOrder(kPictureZOrder);
        mBackground = OverlayAlpha::panelOverlay("IntroBG", "BG", 0, 0, width, height, "KELVO/BLACK");
        mBackground->setZOrder(kBackgroundZOrder);
        showAll();
        OverlayAlpha::setAlpha("IntroSrc", 0);
        OverlayAlpha::setAlpha("IntroDst", 0);
        OverlayAlpha::setAlpha("BG", 1);
    }
    reset();
    return made;
}

void IntroFader::setPanelMaterial(const std::string& panel, const std::string& material)
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    if (!overlays.hasOverlayElement(panel)) {
        return;
    }
    if (!Ogre::MaterialManager::getSingleton().resourceExists(material)) {
        logWarning("IntroFader: picture '" + material + "' does not exist");
        return;
    }
    overlays.getOverlayElement(panel)->setMaterialName(material);
}

void IntroFader::reset()
{
    mOut = 1;
    mIn = 0;
    mPreviousOut = 1;
    mFadeToScene = false;
    // The panels go back to their empty pictures, so the next sequence's
    // first picture must be asked for anew even if it is the one shown last.
    mPicture.clear();
    setPanelMaterial("IntroSrc", "KELVO/INTROSRC");
    setPanelMaterial("IntroDst", "KELVO/INTRODST");
    setPanelMaterial("BG", "KELVO/BLACK");
}

void IntroFader::crossFadeTo(const std::string& material, float seconds)
{
    if (material == mPicture) {
        return;
    }
    mPicture = material;
    mToggle = !mToggle;
    mSpeed = seconds > 0 ? 1.0f / seconds : 1e6f;
    mOut = 1;
    mIn = 0;
    mPreviousOut = 1;
    mFadeToScene = false;
    mNewOnFirst = mToggle;
    setPanelMaterial(mToggle ? "IntroSrc" : "IntroDst", material);
}

float IntroFader::update(const Ogre::FrameEvent& event)
{
    return update(event.timeSinceLastFrame);
}

float IntroFader::update(float seconds)
{
    // Once per cross-fade, when its last step has been drawn: what waits for
    // a picture (a test, a reader of the log) needs no clock.
    Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr();
    if (logs && mPreviousOut > 0 && mOut == 0) {
        logs->logMessage(mFadeToScene ? "IntroFader: faded into the scene" : "IntroFader: picture " + mPicture + " shown");
    }
    mPreviousOut = mOut;
    mOut = std::max(mOut - seconds * mSpeed, 0.0f);
    if (mFadeToScene) {
        OverlayAlpha::setAlpha(mNewOnFirst ? "IntroSrc" : "IntroDst", mPreviousOut);
        OverlayAlpha::setAlpha("BG", 0);
    } else if (mToggle) {
        OverlayAlpha::setAlpha("IntroDst", mPreviousOut);
        OverlayAlpha::setAlpha("IntroSrc", 1 - mPreviousOut);
    } else {
        OverlayAlpha::setAlpha("IntroSrc", mPreviousOut);
        OverlayAlpha::setAlpha("IntroDst", 1 - mPreviousOut);
    }
    return mPreviousOut;
}

float IntroFader::fadeInWithBackground(const Ogre::FrameEvent& event)
{
    mPreviousIn = mIn;
    mIn = std::min(mIn + event.timeSinceLastFrame * mSpeed, 1.0f);
    OverlayAlpha::setAlpha(mNewOnFirst ? "IntroSrc" : "IntroDst", mPreviousIn);
    OverlayAlpha::setAlpha("BG", mPreviousIn);
    return mPreviousIn;
}

void IntroFader::startFadeToScene()
{
    mOut = 1;
    mIn = 0;
    mFadeToScene = true;
}

void IntroFader::showAll()
{
    for (Ogre::Overlay* overlay : {mFirst, mSecond, mBackground}) {
        if (overlay) {
            overlay->show();
        }
    }
}

void IntroFader::uncover()
{
    OverlayAlpha::setAlpha("IntroSrc", 0);
    OverlayAlpha::setAlpha("IntroDst", 0);
    OverlayAlpha::setAlpha("BG", 0);
}

void IntroFader::hideAll()
{
    for (Ogre::Overlay* overlay : {mFirst, mSecond, mBackground}) {
        if (overlay) {
            overlay->hide();
        }
    }
}

} // namespace Kelvo
