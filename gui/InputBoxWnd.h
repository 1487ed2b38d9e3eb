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

// A text prompt with OK and Cancel ("inputbox", "input_label", "input_edit",
// "input_ok", "input_cancel"), optionally with a second value field ("value",
// "value_edit"). The answer goes to the listener that opened it; an empty
// text is not an answer and keeps the box open.
class InputBoxWnd : public GUIWnd {
public:
    InputBoxWnd();
    ~InputBoxWnd() override;

    void initialise();
    void show(GUIWndListener* listener, const std::string& title, const std::string& prompt,
              const std::string& valueLabel = "");
    void setEnabled(bool enabled) override { mEnabled = enabled; }
    bool isEnabled() const { return mEnabled; }
    const std::string& getText() const { return mText; }

private:
    bool onAccepted(const CEGUI::EventArgs& args);
    bool onCancelled(const CEGUI::EventArgs& args);
    void close();

    CeGUIManager* mGui;
    CEGUI::Window* mFrame = nullptr;
    CEGUI::Window* mLabel = nullptr;
    CEGUI::Window* mEdit = nullptr;
    CEGUI::Window* mValueLabel = nullptr;
    CEGUI::Window* mValueEdit = nullptr;
    std::string mText;
    GUIWndListener* mListener = nullptr;
    bool mEnabled = true;
    CEGUI::Event::Connection mEditConnection;
    CEGUI::Event::Connection mOkConnection;
    CEGUI::Event::Connection mCancelConnection;
};

} // namespace Kelvo
