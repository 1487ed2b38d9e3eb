#pragma once

#include "editor/EditorToolWnd.h"

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class SkyDome;

// The scene-settings window ("dome_win"): sets the time of day of the
// editor's sky, so a designer sees the level's light at dawn, noon or night
// before playing it. A preview only: the scene file keeps no time of day,
// so nothing here is saved, and the editor's view stays free of fog. The
// time is typed in hours ("6.5" or "6:30"), slid, or taken from a button.
class SkyDomeWnd : public EditorToolWnd {
public:
    static constexpr float kDawnHours = 6.0f;
    static constexpr float kNoonHours = 12.0f;
    static constexpr float kNightHours = 22.0f;

    SkyDomeWnd();
    ~SkyDomeWnd() override;

    void initialise(EditorGUI* hub);
    void show();
    void close();

    // Hours from "6.5" or "6:30"; false for anything else or outside 0..24.
    static bool parseHours(const std::string& text, float& hours);

private:
    bool onTimeAccepted(const CEGUI::EventArgs& args);
    bool onSliderMoved(const CEGUI::EventArgs& args);
    bool onDawn(const CEGUI::EventArgs& args);
    bool onNoon(const CEGUI::EventArgs& args);
    bool onNight(const CEGUI::EventArgs& args);

    void setTime(float hours);
    void showTime();

    // Set while the window moves its own slider.
    bool mShowingTime = false;
};

} // namespace Kelvo
