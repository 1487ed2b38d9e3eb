#pragma once

#include <CEGUI/Event.h>
#include <CEGUI/Window.h>
#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>
#include <vector>

namespace CEGUI {
class EventArgs;
class Listbox;
}

namespace Kelvo {

class CeGUIManager;

// The chores every editor window does with the widgets of the loaded layout:
// texts and numbers of edit boxes (numbers written with six significant
// digits, read with the engine's parser, so unreadable text is 0), check
// boxes, list selections, and the event subscriptions, which are
// disconnected when the window goes. Each window owns one.
class WndWidgets {
public:
    WndWidgets() = default;
    ~WndWidgets();

    WndWidgets(const WndWidgets&) = delete;
    WndWidgets& operator=(const WndWidgets&) = delete;

    void use(CeGUIManager* gui) { mGui = gui; }
    CeGUIManager* gui() const { return mGui; }

    // The window of that name; null (after the manager's error box) when
    // the layout lacks it.
    CEGUI::Window* window(const std::string& name) const;
    CEGUI::Listbox* listbox(const std::string& name) const;

    template <typename Owner>
    void subscribe(const std::string& name, const CEGUI::String& event, Owner* owner,
                   bool (Owner::*handler)(const CEGUI::EventArgs&))
    {
        if (CEGUI::Window* target = window(name)) {
            mConnections.push_back(target->subscribeEvent(event, CEGUI::Event::Subscriber(handler, owner)));
        }
    }

    std::string text(const std::string& name) const;
    void setText(const std::string& name, const std::string& text);
    float number(const std::string& name) const;
    void setNumber(const std::string& name, float value);
    Ogre::Vector3 vector(const char* const names[3]) const;
    void setVector(const char* const names[3], const Ogre::Vector3& value);
    void clear(std::initializer_list<const char*> names);

    bool isChecked(const std::string& name) const;
    void setChecked(const std::string& name, bool checked);
    void setVisible(const std::string& name, bool visible);
    bool isVisible(const std::string& name) const;

    // The text of the list's first selected item, empty when none.
    std::string selectedText(const std::string& listName) const;
    // Selects the item with that text and scrolls it into view; false (and
    // nothing selected) when the list has no such item.
    bool selectItem(const std::string& listName, const std::string& text);
    void clearSelection(const std::string& listName);
    bool hasItem(const std::string& listName, const std::string& text) const;
    // Empty names (a blank line of a list file) are left out.
    void fillList(const std::string& listName, const std::vector<std::string>& names);

    static std::string numberText(float value);
    // "a, b, c": the names a list offers, for the log (tests find items by it).
    static std::string joined(const std::vector<std::string>& names);

private:
    CeGUIManager* mGui = nullptr;
    std::vector<CEGUI::Event::Connection> mConnections;
};

} // namespace Kelvo
