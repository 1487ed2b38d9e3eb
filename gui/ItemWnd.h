#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class GameGUI;

// The framed list of what the hero carries ("items"). Hidden at start; the
// status bar's item button opens and closes it, and so does its own close
// button.
class ItemWnd : public GUIWndListener {
public:
    ItemWnd();
    ~ItemWnd() override;

    ItemWnd(const ItemWnd&) = delete;
    ItemWnd& operator=(const ItemWnd&) = delete;

    void initialise(GameGUI* owner);

    void show();
    void hide();
    bool isShown() const;

    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    void onInput(bool ok, const char* text, const char* value) override {}

private:
    bool onCloseClicked(const CEGUI::EventArgs& args);

    bool mEnabled = true;
    CeGUIManager* mGui = nullptr;
    GameGUI* mOwner = nullptr;
    CEGUI::Window* mItems = nullptr;
    CEGUI::Event::Connection mCloseConnection;
};

} // namespace Kelvo
