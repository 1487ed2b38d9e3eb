#include "editor/ToolbarWnd.h"

#include "editor/EditorGUI.h"
#include "editor/GUIWndElement.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

const std::vector<ToolbarWnd::Toggle>& ToolbarWnd::toggles()
{
    // The windows of one screen column never show together; the shadow and
    // scene-settings windows are small and hide nothing. The sound button
    // leaves the particle window as it is.
    static const std::vector<Toggle> table = {
        {"show_main_wnd", "leveledit_win", {"particle_win", "light_win", "sound_win", "add_entity_win"},
         &EditorGUI::showLevelEditWindow},
        {"show_trigger_wnd", "add_entity_win", {"particle_win", "leveledit_win", "light_win", "sound_win"},
         &EditorGUI::openAddEntityWindow},
        {"show_light_wnd", "light_win", {"particle_win", "sound_win", "add_entity_win", "leveledit_win"},
         &EditorGUI::openLightWindow},
        {"show_shadow_wnd", "shadow_win", {}, &EditorGUI::showShadowWindow},
        {"show_sound_wnd", "sound_win", {"light_win", "add_entity_win", "leveledit_win"}, &EditorGUI::showSoundWindow},
        {"show_scene_settings", "dome_win", {}, &EditorGUI::showSkyDomeWindow},
        {"show_particle_wnd", "particle_win", {"light_win", "add_entity_win", "leveledit_win", "sound_win"},
         &EditorGUI::showParticleWindow},
    };
    return table;
}

ToolbarWnd::ToolbarWnd() = default;

ToolbarWnd::~ToolbarWnd()
{
    for (CEGUI::Event::Connection& connection : mConnections) {
        if (connection.isValid()) {
            connection->disconnect();
        }
    }
}

void ToolbarWnd::initialise(EditorGUI* hub)
{
    mHub = hub;
    mGui = hub->getGuiManager();
    mToolbar = mGui->getWindow("toolbar");
    mHover.reset(new GUIWndElement("toolbar", mGui));
    for (const Toggle& toggle : toggles()) {
        if (CEGUI::Window* button = mGui->getWindow(toggle.button)) {
            mConnections.push_back(button->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                                          CEGUI::Event::Subscriber(&ToolbarWnd::onButtonDown, this)));
        }
    }
    if (CEGUI::Window* undo = mGui->findWindow("undo_bt")) {
        mConnections.push_back(undo->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                                    CEGUI::Event::Subscriber(&ToolbarWnd::onUndo, this)));
    }
    if (CEGUI::Window* redo = mGui->findWindow("redo_bt")) {
        mConnections.push_back(redo->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                                    CEGUI::Event::Subscriber(&ToolbarWnd::onRedo, this)));
    }
}

bool ToolbarWnd::onUndo(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mHub->undo();
    }
    return true;
}

bool ToolbarWnd::onRedo(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mHub->redo();
    }
    return true;
}

void ToolbarWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mToolbar) {
        mToolbar->setEnabled(enabled);
    }
}

bool ToolbarWnd::onButtonDown(const CEGUI::EventArgs& args)
{
    if (!mEnabled) {
        return true;
    }
    const CEGUI::Window* button = static_cast<const CEGUI::WindowEventArgs&>(args).window;
    for (const Toggle& toggle : toggles()) {
        if (button->getName() == toggle.button) {
            press(toggle);
        }
    }
    return true;
}

void ToolbarWnd::press(const Toggle& toggle)
{
    CEGUI::Window* window = mGui->getWindow(toggle.window);
    if (!window) {
        return;
    }
    if (window->isVisible()) {
        mHub->closeWindow(toggle.window);
        logLine(std::string("ToolbarWnd: hid '") + toggle.window + "'");
        return;
    }
    for (const char* other : toggle.hideFirst) {
        CEGUI::Window* otherWindow = mGui->getWindow(other);
        if (otherWindow && otherWindow->isVisible()) {
            mHub->closeWindow(other);
        }
    }
    (mHub->*toggle.open)();
    logLine(std::string("ToolbarWnd: showed '") + toggle.window + "'");
}

} // namespace Kelvo
