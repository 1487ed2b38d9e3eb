#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;

// A message with an OK button ("msgbox", "msgbox_str", "msgbox_ok" of the
// loaded layout). Its owner is disabled while it shows and enabled again by OK.
class MsgBoxWnd : public GUIWnd {
public:
    MsgBoxWnd();
    ~MsgBoxWnd() override;

    void initialise();
    void show(GUIWnd* owner, const std::string& title, const std::string& message);
    void setEnabled(bool enabled) override { mEnabled = enabled; }
    bool isEnabled() const { return mEnabled; }

private:
    bool onOkClicked(const CEGUI::EventArgs& args);

    CeGUIManager* mGui;
    CEGUI::Window* mFrame = nullptr;
    CEGUI::Window* mText = nullptr;
    GUIWnd* mOwner = nullptr;
    bool mEnabled = true;
    CEGUI::Event::Connection mOkConnection;
};

} // namespace Kelvo
