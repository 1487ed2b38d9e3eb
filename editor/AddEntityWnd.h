#pragma once

#include "editor/EditorToolWnd.h"

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class EntityDescription;
class SceneLoader;
class TriggerDescription;

// The entities and triggers window ("add_entity_win"): lists the loaded
// scene's entities and triggers; creates (through the entity dialog), edits,
// clones and removes entities; adds triggers at the locator or on an entity,
// re-attaches, retypes, moves and removes them. Opened through the hub by the
// scene window's "add_entity" button or the toolbar; while open it counts as
// an open box and its opener stays disabled, until its exit button or the
// toolbar closes it.
class AddEntityWnd : public EditorToolWnd {
public:
    // What the next input-box answer means.
    enum InputMode { kCreateEntity = 0, kAddTrigger = 1, kAttachTrigger = 2 };
    static constexpr float kDefaultRadius = 5.0f;

    AddEntityWnd();
    ~AddEntityWnd() override;

    void initialise(EditorGUI* hub);
    void setEnabled(bool enabled) override;
    void onInput(bool ok, const char* text, const char* value) override;

    void show(GUIWnd* listener);
    // As the exit button: the opener is enabled again, the scene window's
    // list refilled and the open box counted off.
    void close();
    bool isOpen() const { return holdsOpenBox(); }

    void selectEntityByName(const std::string& name);
    void selectTriggerByName(const std::string& name);
    TriggerDescription* getCurrentTrigger() const { return mCurrentTrigger; }
    // Both lists as the scene has them now; no trigger stays chosen.
    void refillLists();

private:
    bool onTriggerChosen(const CEGUI::EventArgs& args);
    bool onNothing(const CEGUI::EventArgs& args);
    bool onEntityChosen(const CEGUI::EventArgs& args);
    bool onCreateEntity(const CEGUI::EventArgs& args);
    bool onEditEntity(const CEGUI::EventArgs& args);
    bool onRemoveEntity(const CEGUI::EventArgs& args);
    bool onExit(const CEGUI::EventArgs& args);
    bool onCloneEntity(const CEGUI::EventArgs& args);
    bool onAddTrigger(const CEGUI::EventArgs& args);
    bool onRemoveTrigger(const CEGUI::EventArgs& args);
    bool onAttachTrigger(const CEGUI::EventArgs& args);
    bool onSetTriggerType(const CEGUI::EventArgs& args);
    bool onTriggerParentAccepted(const CEGUI::EventArgs& args);
    bool onReattachTrigger(const CEGUI::EventArgs& args);
    bool onTriggerMoved(const CEGUI::EventArgs& args);

    void addTrigger(const std::string& name, const char* radiusText, EntityDescription* parent);
    // Hangs the trigger on the entity: it is then written in the entity's
    // block, after the entity, so a load finds its parent again.
    void attachTrigger(TriggerDescription& trigger, EntityDescription& entity);
    void refillEntities();
    void refillTriggers();
    void fillTriggerFields();
    void clearTriggerFields();
    void message(const std::string& title, const std::string& text);

    int mInputMode = kCreateEntity;
    std::string mLastTriggerName;
    std::string mLastEntityName;
    std::string mAttachTarget;
    TriggerDescription* mCurrentTrigger = nullptr;
};

} // namespace Kelvo
