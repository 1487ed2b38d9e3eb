#include "editor/SkyDomeWnd.h"

#include "editor/EditorGUI.h"
#include "effects/SkyDome.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

#include <cmath>
#include <cstdio>

namespace Kelvo {

namespace {

const char* const kTimeEdit = "dome_time_edit";
const char* const kSlider = "dome_time_slider";
const float kSecondsPerHour = 3600.0f;

std::string clockText(float hours)
{
    const int minutesOfDay = static_cast<int>(std::lround(hours * 60)) % (24 * 60);
    char text[8];
    std::snprintf(text, sizeof(text), "%d:%02d", minutesOfDay / 60, minutesOfDay % 60);
    return text;
}

} // namespace

SkyDomeWnd::SkyDomeWnd()
    : EditorToolWnd("SkyDomeWnd")
{
}
SkyDomeWnd::~SkyDomeWnd() = default;

void SkyDomeWnd::initialise(EditorGUI* hub)
{
    attach(hub, "dome_win");
    mWidgets.subscribe(kTimeEdit, CEGUI::Editbox::EventTextAccepted, this, &SkyDomeWnd::onTimeAccepted);
    mWidgets.subscribe(kSlider, CEGUI::Slider::EventValueChanged, this, &SkyDomeWnd::onSliderMoved);
    mWidgets.subscribe("dome_dawn_bt", CEGUI::Window::EventMouseButtonDown, this, &SkyDomeWnd::onDawn);
    mWidgets.subscribe("dome_noon_bt", CEGUI::Window::EventMouseButtonDown, this, &SkyDomeWnd::onNoon);
    mWidgets.subscribe("dome_night_bt", CEGUI::Window::EventMouseButtonDown, this, &SkyDomeWnd::onNight);
}

void SkyDomeWnd::show()
{
    setEnabled(true);
    showTime();
    raise();
}

void SkyDomeWnd::close()
{
    hide();
}

bool SkyDomeWnd::parseHours(const std::string& text, float& hours)
{
    int wholeHours = 0;
    int minutes = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d:%d%c", &wholeHours, &minutes, &rest) == 2) {
        if (wholeHours < 0 || wholeHours > 24 || minutes < 0 || minutes > 59) {
            return false;
        }
        hours = static_cast<float>(wholeHours) + static_cast<float>(minutes) / 60.0f;
        return hours <= 24.0f;
    }
    if (!Ogre::StringConverter::isNumber(text)) {
        return false;
    }
    hours = Ogre::StringConverter::parseReal(text);
    return std::isfinite(hours) && hours >= 0 && hours <= 24;
}

void SkyDomeWnd::setTime(float hours)
{
    SkyDome* sky = mHub->getSkyDome();
    if (!sky || !sky->isCreated()) {
        logWarning("SkyDomeWnd: the editor has no sky to set the time of");
        return;
    }
    // The sky's clock only runs forward by steps; a step back wraps.
    sky->update(hours * kSecondsPerHour - sky->getTime());
    if (Ogre::SceneManager* scene = mHub->getSceneManager()) {
        // The sky brings the game's fog along; the designer keeps the view
        // clear to the horizon.
        scene->setFog(Ogre::FOG_NONE);
    }
    showTime();
    logLine("SkyDomeWnd: time of day " + clockText(hours) + " (a preview, not saved)");
}

void SkyDomeWnd::showTime()
{
    SkyDome* sky = mHub->getSkyDome();
    if (!sky || !sky->isCreated()) {
        return;
    }
    const float hours = sky->getTime() / kSecondsPerHour;
    mShowingTime = true;
    mWidgets.setText(kTimeEdit, clockText(hours));
    if (auto* slider = dynamic_cast<CEGUI::Slider*>(mWidgets.window(kSlider))) {
        slider->setCurrentValue(hours);
    }
    mShowingTime = false;
}

bool SkyDomeWnd::onTimeAccepted(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string text = mWidgets.text(kTimeEdit);
    float hours = 0;
    if (!parseHours(text, hours)) {
        logLine("SkyDomeWnd: '" + text + "' is no time of day");
        mHub->showMessage(this, "Time of day", "Type the hour as 6.5 or 6:30, from 0 to 24.");
        showTime();
        return true;
    }
    setTime(hours);
    return true;
}

bool SkyDomeWnd::onSliderMoved(const CEGUI::EventArgs&)
{
    if (mEnabled && !mShowingTime) {
        if (auto* slider = dynamic_cast<CEGUI::Slider*>(mWidgets.window(kSlider))) {
            setTime(slider->getCurrentValue());
        }
    }
    return true;
}

bool SkyDomeWnd::onDawn(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        setTime(kDawnHours);
    }
    return true;
}

bool SkyDomeWnd::onNoon(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        setTime(kNoonHours);
    }
    return true;
}

bool SkyDomeWnd::onNight(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        setTime(kNightHours);
    }
    return true;
}

} // namespace Kelvo
