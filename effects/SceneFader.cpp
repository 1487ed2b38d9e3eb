#include "effects/SceneFader.h"

#include "effects/OverlayAlpha.h"
#include "platform/Log.h"

#include <Ogre.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>

#include <algorithm>

namespace Kelvo {

SceneFader* SceneFader::sInstance = nullptr;

SceneFader::SceneFader()
{
    sInstance = this;
}

SceneFader::~SceneFader()
{
    sInstance = nullptr;
}

bool SceneFader::create(Ogre::RenderWindow* window)
{
    bool made = false;
    {
        OverlayAlpha::QuietLog quiet;
        mOverlay = OverlayAlpha::panelOverlay("SceneFader", "Fader", 0, 0, static_cast<int>(window->getWidth()),
                                              static_cast<int>(window->getHeight()), "KELVO/FADING", &made);
        mOverlay->hide();
    }
    setVisible();
    return made;
}

void SceneFader::fadeIn(float seconds)
{
    mStart = mValue;
    mTarget = 1;
    mDuration = seconds;
    mElapsed = 0;
}

void SceneFader::fadeOut(float seconds)
{
    mStart = mValue;
    mTarget = 0;
    mDuration = seconds;
    mElapsed = 0;
}

void SceneFader::setBlack()
{
    mValue = mStart = mTarget = 0;
    mDuration = mElapsed = 1;
}

void SceneFader::setVisible()
{
    mValue = mStart = mTarget = mDuration = mElapsed = 1;
}

void SceneFader::update(float seconds)
{
    // The panel shows the value of the step before: a fade is done as soon
    // as its time has run out.
    if (mOverlay) {
        if (mValue == 1) {
            mOverlay->hide();
        } else {
            mOverlay->show();
            OverlayAlpha::setAlpha("Fader", 1 - mValue);
        }
    }
    if (mValue == mTarget) {
        return;
    }
    if (mDuration == 0) {
        mValue = mTarget;
        mElapsed = 0;
    } else {
        mElapsed = std::min(mElapsed + seconds, mDuration);
        // The last step lands on the target exactly: rounding must not leave a
        // fade that started half-way (a click during a fade) forever unfinished.
        mValue = mElapsed >= mDuration ? mTarget : mStart + (mTarget - mStart) * mElapsed / mDuration;
    }
    if (mValue == mTarget) {
        // Once per fade: what waits for a fade (a test, a reader of the log)
        // needs no clock.
        // Faders also run where no engine log exists (their own tests).
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr()) {
            logs->logMessage(mTarget == 1 ? "SceneFader: faded in" : "SceneFader: faded out");
        }
    }
}

} // namespace Kelvo
