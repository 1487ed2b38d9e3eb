#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <array>

namespace CEGUI {
class EventArgs;
class ProgressBar;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class GameGUI;

// The status bar at the bottom of the play screen: the hero's energy bar,
// which the hero's script fills every frame, and the item button, which
// opens and closes the item window.
class GameToolbarWnd : public GUIWndListener {
public:
    GameToolbarWnd();
    ~GameToolbarWnd() override;

    GameToolbarWnd(const GameToolbarWnd&) = delete;
    GameToolbarWnd& operator=(const GameToolbarWnd&) = delete;

    void initialise(GameGUI* owner);

    void setEnergy(float energy);
    float getEnergy() const;

    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    void onInput(bool ok, const char* text, const char* value) override {}

private:
    bool onItemButtonClicked(const CEGUI::EventArgs& args);

    bool mEnabled = true;
    CeGUIManager* mGui = nullptr;
    GameGUI* mOwner = nullptr;
    CEGUI::Window* mStatusBar = nullptr;
    CEGUI::ProgressBar* mEnergyBar = nullptr;
    std::array<CEGUI::Event::Connection, 3> mItemButtonConnections;
};

} // namespace Kelvo
