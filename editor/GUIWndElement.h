#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <string>

namespace CEGUI {
class EventArgs;
}

namespace Kelvo {

class CeGUIManager;

// Makes one widget of the editor's layout count the cursor as over the GUI
// while it is inside the widget's area, so that a click there belongs to the
// window and not to the 3D view behind it (LevelEditGUIScript asks the GUI
// manager). Areas include the children: moving from a window onto one of its
// own fields never counts the cursor as outside. The manager's count never
// goes below 0 however the events pair up.
class GUIWndElement : public GUIWnd {
public:
    GUIWndElement(const std::string& name, CeGUIManager* gui);
    ~GUIWndElement() override;

    GUIWndElement(const GUIWndElement&) = delete;
    GUIWndElement& operator=(const GUIWndElement&) = delete;

    void setEnabled(bool enabled) override { mActive = enabled; }

private:
    bool onMouseEnters(const CEGUI::EventArgs& args);
    bool onMouseLeaves(const CEGUI::EventArgs& args);

    CEGUI::Event::Connection mEntersConnection;
    CEGUI::Event::Connection mLeavesConnection;
    CeGUIManager* mGui;
    bool mActive = true;
};

} // namespace Kelvo
