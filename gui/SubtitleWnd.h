#pragma once

#include "gui/DialogueTexts.h"

#include <string>

namespace CEGUI {
class Window;
}

namespace Kelvo {

class CeGUIManager;

// The subtitle of the line being spoken: its German text on a dark band at
// the bottom of the screen ("subtitle" in "game_menu.xml"), just above the
// lower cinematic bar, so it reads over sky, sand and shadow alike. On by
// default; the player switches it with a key (the GUI script). A line
// without a text shows nothing, and says so in the log.
//
// Owned by the GameGUI; the old man's script shows a line's subtitle when
// the line starts and hides it when it ends.
class SubtitleWnd {
public:
    static const char* const kWindowName;

    // Finds the window and reads the texts; without the window the
    // subtitles are only logged.
    void initialise(CeGUIManager* gui);

    // The line's text while it plays; shown once subtitles are on again
    // when they are off now.
    void show(const std::string& key);
    void hide();
    void setOn(bool on);
    bool isOn() const { return mOn; }
    // The line whose text is up (empty when none).
    const std::string& getShownKey() const { return mShownKey; }

    DialogueTexts& texts() { return mTexts; }

private:
    void display();

    CEGUI::Window* mWindow = nullptr;
    DialogueTexts mTexts;
    bool mOn = true;
    // The line being spoken, shown or not.
    std::string mKey;
    std::string mShownKey;
};

} // namespace Kelvo
