#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <memory>
#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class EditorGUI;
class GUIWndElement;

// The editor's toolbar ("toolbar"): one button per editor window. A press
// hides that window when it is showing; otherwise it hides the windows that
// share its column and opens it through the hub. A button whose window the
// editor does not have yet is there and says so in the log.
class ToolbarWnd : public GUIWnd {
public:
    // What one button does; `open` is null for a window not built yet.
    struct Toggle {
        const char* button;
        const char* window;
        std::vector<const char*> hideFirst;
        void (EditorGUI::*open)();
    };

    ToolbarWnd();
    ~ToolbarWnd() override;

    void initialise(EditorGUI* hub);
    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }

    static const std::vector<Toggle>& toggles();

private:
    bool onButtonDown(const CEGUI::EventArgs& args);
    void press(const Toggle& toggle);

    EditorGUI* mHub = nullptr;
    CeGUIManager* mGui = nullptr;
    CEGUI::Window* mToolbar = nullptr;
    std::vector<CEGUI::Event::Connection> mConnections;
    // Clicks on the bar belong to it, not to the view below.
    std::unique_ptr<GUIWndElement> mHover;
    bool mEnabled = true;
};

} // namespace Kelvo
