#include "editor/GUIWndElement.h"

#include "gui/CeGUIManager.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

GUIWndElement::GUIWndElement(const std::string& name, CeGUIManager* gui)
    : mGui(gui)
{
    CEGUI::Window* window = mGui ? mGui->getWindow(name) : nullptr;
    if (!window) {
        return;
    }
    mEntersConnection = window->subscribeEvent(CEGUI::Window::EventMouseEntersArea,
                                               CEGUI::Event::Subscriber(&GUIWndElement::onMouseEnters, this));
    mLeavesConnection = window->subscribeEvent(CEGUI::Window::EventMouseLeavesArea,
                                               CEGUI::Event::Subscriber(&GUIWndElement::onMouseLeaves, this));
}

GUIWndElement::~GUIWndElement()
{
    for (CEGUI::Event::Connection* connection : {&mEntersConnection, &mLeavesConnection}) {
        if (connection->isValid()) {
            (*connection)->disconnect();
        }
    }
}

bool GUIWndElement::onMouseEnters(const CEGUI::EventArgs&)
{
    if (mActive) {
        mGui->mouseEntered();
    }
    return true;
}

bool GUIWndElement::onMouseLeaves(const CEGUI::EventArgs&)
{
    if (mActive) {
        mGui->mouseLeft();
    }
    return true;
}

} // namespace Kelvo
