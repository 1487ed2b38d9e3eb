#include "editor/WndWidgets.h"

#include "gui/CeGUIManager.h"

#include <CEGUI/CEGUI.h>
#include <OgreStringConverter.h>

namespace Kelvo {

WndWidgets::~WndWidgets()
{
    for (CEGUI::Event::Connection& connection : mConnections) {
        if (connection.isValid()) {
            connection->disconnect();
        }
    }
}

CEGUI::Window* WndWidgets::window(const std::string& name) const
{
    return mGui ? mGui->getWindow(name) : nullptr;
}

CEGUI::Listbox* WndWidgets::listbox(const std::string& name) const
{
    return dynamic_cast<CEGUI::Listbox*>(window(name));
}

std::string WndWidgets::text(const std::string& name) const
{
    CEGUI::Window* target = window(name);
    return target ? target->getText().c_str() : "";
}

void WndWidgets::setText(const std::string& name, const std::string& text)
{
    if (CEGUI::Window* target = window(name)) {
        target->setText(text);
    }
}

float WndWidgets::number(const std::string& name) const
{
    return Ogre::StringConverter::parseReal(text(name));
}

void WndWidgets::setNumber(const std::string& name, float value)
{
    setText(name, numberText(value));
}

Ogre::Vector3 WndWidgets::vector(const char* const names[3]) const
{
    return Ogre::Vector3(number(names[0]), number(names[1]), number(names[2]));
}

void WndWidgets::setVector(const char* const names[3], const Ogre::Vector3& value)
{
    for (int i = 0; i < 3; ++i) {
        setNumber(names[i], value[i]);
    }
}

void WndWidgets::clear(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        setText(name, "");
    }
}

bool WndWidgets::isChecked(const std::string& name) const
{
    auto* box = dynamic_cast<CEGUI::ToggleButton*>(window(name));
    return box && box->isSelected();
}

void WndWidgets::setChecked(const std::string& name, bool checked)
{
    if (auto* box = dynamic_cast<CEGUI::ToggleButton*>(window(name))) {
        box->setSelected(checked);
    }
}

void WndWidgets::setVisible(const std::string& name, bool visible)
{
    if (CEGUI::Window* target = window(name)) {
        target->setVisible(visible);
    }
}

bool WndWidgets::isVisible(const std::string& name) const
{
    CEGUI::Window* target = window(name);
    return target && target->isVisible();
}

std::string WndWidgets::selectedText(const std::string& listName) const
{
    CEGUI::Listbox* list = listbox(listName);
    const CEGUI::ListboxItem* item = list ? list->getFirstSelectedItem() : nullptr;
    return item ? item->getText().c_str() : "";
}

bool WndWidgets::selectItem(const std::string& listName, const std::string& text)
{
    CEGUI::Listbox* list = listbox(listName);
    CEGUI::ListboxItem* item = list ? list->findItemWithText(text, nullptr) : nullptr;
    if (!item) {
        return false;
    }
    list->setItemSelectState(item, true);
    list->ensureItemIsVisible(item);
    return true;
}

void WndWidgets::clearSelection(const std::string& listName)
{
    if (CEGUI::Listbox* list = listbox(listName)) {
        list->clearAllSelections();
    }
}

bool WndWidgets::hasItem(const std::string& listName, const std::string& text) const
{
    CEGUI::Listbox* list = listbox(listName);
    return list && list->findItemWithText(text, nullptr);
}

void WndWidgets::fillList(const std::string& listName, const std::vector<std::string>& names)
{
    if (!mGui) {
        return;
    }
    mGui->clearListbox(listName);
    for (const std::string& name : names) {
        if (!name.empty()) {
            mGui->addListboxItem(listName, name);
        }
    }
}

std::string WndWidgets::joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::string WndWidgets::numberText(float value)
{
    return Ogre::StringConverter::toString(value, 6, 0, ' ', std::ios::fmtflags(0));
}

} // namespace Kelvo
