#include "editor/AddEntityWnd.h"

#include "editor/EditorGUI.h"
#include "editor/EntityWnd.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/TriggerDescription.h"

#include <CEGUI/CEGUI.h>
#include <OgreStringConverter.h>

#include <cmath>

namespace Kelvo {

namespace {

const char* const kEntities = "select_entity_list";
const char* const kTriggers = "trigger_list";
const char* const kTriggerTypes = "trigger_type_list";
const char* const kTriggerParent = "trigger_parent_edit";
const char* const kTriggerPosition[] = {"trigger_x_edit", "trigger_y_edit", "trigger_z_edit"};

} // namespace

AddEntityWnd::AddEntityWnd()
    : EditorToolWnd("AddEntityWnd")
{
}
AddEntityWnd::~AddEntityWnd() = default;

void AddEntityWnd::initialise(EditorGUI* hub)
{
    attach(hub, "add_entity_win");
    // A trigger's type names the kind of entity it wakes.
    if (mLoader) {
        mWidgets.fillList(kTriggerTypes, *mLoader->getEntityTypes());
    }

    mWidgets.subscribe(kTriggers, CEGUI::Listbox::EventSelectionChanged, this, &AddEntityWnd::onTriggerChosen);
    mWidgets.subscribe(kEntities, CEGUI::Listbox::EventSelectionChanged, this, &AddEntityWnd::onEntityChosen);
    mWidgets.subscribe(kEntities, CEGUI::Listbox::EventListContentsChanged, this, &AddEntityWnd::onNothing);
    const CEGUI::String& down = CEGUI::Window::EventMouseButtonDown;
    mWidgets.subscribe("create_entity", down, this, &AddEntityWnd::onCreateEntity);
    mWidgets.subscribe("edit_entity_bt", down, this, &AddEntityWnd::onEditEntity);
    mWidgets.subscribe("remove_entity_bt", down, this, &AddEntityWnd::onRemoveEntity);
    mWidgets.subscribe("exit_bt", down, this, &AddEntityWnd::onExit);
    mWidgets.subscribe("clone_entity", down, this, &AddEntityWnd::onCloneEntity);
    mWidgets.subscribe("add_trigger", down, this, &AddEntityWnd::onAddTrigger);
    mWidgets.subscribe("remove_trigger", down, this, &AddEntityWnd::onRemoveTrigger);
    mWidgets.subscribe("attach_trigger", down, this, &AddEntityWnd::onAttachTrigger);
    // Every change is made at once; there is nothing left to save.
    mWidgets.subscribe("save_trigger", down, this, &AddEntityWnd::onNothing);
    mWidgets.subscribe(kTriggerTypes, CEGUI::Listbox::EventSelectionChanged, this, &AddEntityWnd::onNothing);
    mWidgets.subscribe("trigger_type_bt", down, this, &AddEntityWnd::onSetTriggerType);
    mWidgets.subscribe(kTriggerParent, CEGUI::Editbox::EventTextAccepted, this,
                       &AddEntityWnd::onTriggerParentAccepted);
    mWidgets.subscribe("trigger_reattach", down, this, &AddEntityWnd::onReattachTrigger);
    for (const char* edit : kTriggerPosition) {
        mWidgets.subscribe(edit, CEGUI::Editbox::EventTextAccepted, this, &AddEntityWnd::onTriggerMoved);
    }
}

void AddEntityWnd::setEnabled(bool enabled)
{
    EditorToolWnd::setEnabled(enabled);
    // An entity made in the entity dialog is listed as soon as it closes.
    if (enabled) {
        refillEntities();
    }
}

void AddEntityWnd::show(GUIWnd* listener)
{
    holdOpener(listener);
    setEnabled(true);
    refillTriggers();
    raise();
}

void AddEntityWnd::close()
{
    hide();
    releaseOpener();
    mHub->refreshPlacedObjects();
}

bool AddEntityWnd::onExit(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        close();
    }
    return true;
}

bool AddEntityWnd::onNothing(const CEGUI::EventArgs&)
{
    return true;
}

bool AddEntityWnd::onEntityChosen(const CEGUI::EventArgs&)
{
    const std::string name = mWidgets.selectedText(kEntities);
    if (mEnabled && !name.empty()) {
        logLine("AddEntityWnd: chose entity '" + name + "'");
    }
    return true;
}

void AddEntityWnd::refillLists()
{
    refillEntities();
    refillTriggers();
}

void AddEntityWnd::refillEntities()
{
    mWidgets.gui()->clearListbox(kEntities);
    mLastEntityName.clear();
    if (!mLoader) {
        return;
    }
    for (const auto& entity : mLoader->entities()) {
        mGui->addListboxItem(kEntities, entity.first);
    }
}

void AddEntityWnd::refillTriggers()
{
    mGui->clearListbox(kTriggers);
    mLastTriggerName.clear();
    mCurrentTrigger = nullptr;
    clearTriggerFields();
    if (!mLoader) {
        return;
    }
    for (const auto& trigger : mLoader->triggers()) {
        mGui->addListboxItem(kTriggers, trigger.first);
    }
}

void AddEntityWnd::message(const std::string& title, const std::string& text)
{
    mHub->showMessage(this, title, text);
}

// --- entities ------------------------------------------------------------------------

bool AddEntityWnd::onCreateEntity(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mInputMode = kCreateEntity;
        mHub->showInputBox(this, "Create Entity", "Entity Name:", "");
    }
    return true;
}

bool AddEntityWnd::onEditEntity(const CEGUI::EventArgs&)
{
    const std::string name = mWidgets.selectedText(kEntities);
    if (mEnabled && !name.empty()) {
        mHub->showEntityWindow(this, name, "Edit Entity...", EntityWnd::kEditMode);
    }
    return true;
}

bool AddEntityWnd::onCloneEntity(const CEGUI::EventArgs&)
{
    const std::string name = mWidgets.selectedText(kEntities);
    if (!mEnabled || name.empty() || !mLoader) {
        return true;
    }
    EntityDescription* copy = mLoader->cloneEntity(name);
    if (copy) {
        copy->setPosition(mHub->getLocatorPosition());
        refillEntities();
        logLine("AddEntityWnd: cloned '" + name + "' as '" + copy->getName() + "' at " +
                vectorText(mHub->getLocatorPosition()));
    }
    return true;
}

bool AddEntityWnd::onRemoveEntity(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string name = mWidgets.selectedText(kEntities);
    if (name.empty()) {
        message("Failed", "No Object Selected!");
        return true;
    }
    if (!mLoader || mLoader->removeEntity(name) == 0) {
        logWarning("AddEntityWnd: could not remove '" + name + "'");
        message("Failed", "Object could not deleted!");
        return true;
    }
    // What hung on it went with it: no window may keep one of those.
    mHub->forgetRemovedRecords();
    logLine("AddEntityWnd: removed '" + name + "'");
    message("Deleted..", "Object was deleted.");
    return true;
}

// --- triggers -------------------------------------------------------------------------

bool AddEntityWnd::onAddTrigger(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mInputMode = kAddTrigger;
        mHub->showInputBox(this, "Create Tigger", "Name:", "Radius:");
    }
    return true;
}

bool AddEntityWnd::onAttachTrigger(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string entity = mWidgets.selectedText(kEntities);
    if (entity.empty()) {
        message("Failed", "No Object Selected to Attach!");
        return true;
    }
    mInputMode = kAttachTrigger;
    mAttachTarget = entity;
    mHub->showInputBox(this, "Create Tigger", "Name:", "Radius:");
    return true;
}

void AddEntityWnd::onInput(bool ok, const char* text, const char* value)
{
    const bool forTrigger = mInputMode == kAddTrigger || mInputMode == kAttachTrigger;
    const std::string name = ok && text ? text : "";
    if (name.empty()) {
        // A trigger that was asked for is not called an entity.
        logLine(std::string("AddEntityWnd: no ") + (forTrigger ? "trigger" : "entity") + ": no name given");
        message("Failed", forTrigger ? "Could not Create Trigger with empty Name!"
                                     : "Could not Create Entity with empty Name!");
        return;
    }
    switch (mInputMode) {
    case kCreateEntity:
        mHub->showEntityWindow(this, name, "Create Entity...", EntityWnd::kCreateMode);
        break;
    case kAddTrigger:
        addTrigger(name, value, nullptr);
        break;
    case kAttachTrigger: {
        EntityDescription* entity = mLoader ? mLoader->findEntity(mAttachTarget) : nullptr;
        if (!entity) {
            logWarning("AddEntityWnd: trigger '" + name + "' not made: there is no entity '" + mAttachTarget + "'");
            message("Failed", "Could not Attach Trigger!");
            return;
        }
        addTrigger(name, value, entity);
        break;
    }
    default:
        break;
    }
}

void AddEntityWnd::addTrigger(const std::string& name, const char* radiusText, EntityDescription* parent)
{
    float radius = kDefaultRadius;
    if (radiusText) {
        radius = Ogre::StringConverter::parseReal(radiusText, -1);
        // A sphere of no size (or of a word) would never fire: refused.
        if (!std::isfinite(radius) || radius <= 0) {
            logWarning("AddEntityWnd: trigger '" + name + "' not made: the radius '" + radiusText + "' is no size");
            message("Failed", "The radius must be a number above 0.");
            return;
        }
    }
    if (!mLoader) {
        return;
    }
    TriggerDescription* trigger =
        parent ? mLoader->addTrigger(name, radius, parent) : mLoader->addTrigger(name, radius);
    if (!trigger) {
        logWarning("AddEntityWnd: trigger '" + name + "' not made: the name is used");
        message("Failed", "The entered name is already used by the System!");
        return;
    }
    if (parent) {
        attachTrigger(*trigger, *parent);
    } else {
        trigger->realise(nullptr);
        trigger->setPosition(mHub->getLocatorPosition());
    }
    refillTriggers();
    logLine("AddEntityWnd: trigger '" + name + "' (radius " + WndWidgets::numberText(radius) + ") " +
            (parent ? "on '" + parent->getName() + "'" : "at " + vectorText(mHub->getLocatorPosition())));
}

void AddEntityWnd::attachTrigger(TriggerDescription& trigger, EntityDescription& entity)
{
    trigger.setParent(entity.getName());
    trigger.setRootIndex(entity.getRootIndex());
    trigger.realise(entity.getSceneNode());
}

bool AddEntityWnd::onRemoveTrigger(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string name = mWidgets.selectedText(kTriggers);
    if (name.empty()) {
        message("Failed", "No Trigger Selected!");
        return true;
    }
    if (!mLoader || !mLoader->removeTrigger(name)) {
        logWarning("AddEntityWnd: could not remove trigger '" + name + "'");
        message("Failed", "Trigger could not deleted!");
        return true;
    }
    refillTriggers();
    logLine("AddEntityWnd: removed trigger '" + name + "'");
    message("Deleted..", "Trigger was deleted.");
    return true;
}

bool AddEntityWnd::onTriggerChosen(const CEGUI::EventArgs&)
{
    if (!mEnabled) {
        return true;
    }
    const std::string name = mWidgets.selectedText(kTriggers);
    if (name.empty()) {
        mLastTriggerName.clear();
        mCurrentTrigger = nullptr;
        clearTriggerFields();
        return true;
    }
    mCurrentTrigger = mLoader ? mLoader->findTrigger(name) : nullptr;
    if (mCurrentTrigger) {
        fillTriggerFields();
    }
    return true;
}

void AddEntityWnd::fillTriggerFields()
{
    if (!mCurrentTrigger) {
        return;
    }
    mWidgets.setText(kTriggerParent, mCurrentTrigger->getParent());
    mWidgets.setVector(kTriggerPosition, mCurrentTrigger->currentPosition());
    mWidgets.clearSelection(kTriggerTypes);
    mWidgets.selectItem(kTriggerTypes, mCurrentTrigger->getAttachedType());
}

void AddEntityWnd::clearTriggerFields()
{
    mWidgets.clearSelection(kTriggerTypes);
    mWidgets.clear({kTriggerParent, kTriggerPosition[0], kTriggerPosition[1], kTriggerPosition[2]});
}

bool AddEntityWnd::onSetTriggerType(const CEGUI::EventArgs&)
{
    const std::string type = mWidgets.selectedText(kTriggerTypes);
    if (mEnabled && mCurrentTrigger && !type.empty()) {
        mCurrentTrigger->setAttachedType(type);
        logLine("AddEntityWnd: trigger '" + mCurrentTrigger->getName() + "' is of type '" + type + "'");
    }
    return true;
}

bool AddEntityWnd::onTriggerParentAccepted(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mCurrentTrigger) {
        return true;
    }
    const std::string parent = mWidgets.text(kTriggerParent);
    EntityDescription* entity = mWidgets.hasItem(kEntities, parent) && mLoader ? mLoader->findEntity(parent) : nullptr;
    if (!entity) {
        logWarning("AddEntityWnd: trigger '" + mCurrentTrigger->getName() + "' stays: there is no entity '" + parent +
                   "'");
        message("Error Attaching to Entity...", "The provided Entity doesnt exists!");
        return true;
    }
    attachTrigger(*mCurrentTrigger, *entity);
    fillTriggerFields();
    logLine("AddEntityWnd: trigger '" + mCurrentTrigger->getName() + "' hangs on '" + parent + "'");
    return true;
}

bool AddEntityWnd::onReattachTrigger(const CEGUI::EventArgs&)
{
    const std::string name = mWidgets.selectedText(kEntities);
    EntityDescription* entity = mLoader && !name.empty() ? mLoader->findEntity(name) : nullptr;
    if (!mEnabled || !mCurrentTrigger || !entity) {
        return true;
    }
    mCurrentTrigger->setPosition(Ogre::Vector3::ZERO);
    attachTrigger(*mCurrentTrigger, *entity);
    fillTriggerFields();
    logLine("AddEntityWnd: trigger '" + mCurrentTrigger->getName() + "' moved onto '" + name + "'");
    return true;
}

bool AddEntityWnd::onTriggerMoved(const CEGUI::EventArgs&)
{
    if (mEnabled && mCurrentTrigger) {
        const Ogre::Vector3 position = mWidgets.vector(kTriggerPosition);
        mCurrentTrigger->setPosition(position);
        logLine("AddEntityWnd: trigger '" + mCurrentTrigger->getName() + "' moved to " + vectorText(position));
    }
    return true;
}

void AddEntityWnd::selectEntityByName(const std::string& name)
{
    if (!mWidgets.hasItem(kEntities, name)) {
        return;
    }
    if (name != mLastEntityName) {
        mWidgets.selectItem(kEntities, name);
    }
    mLastEntityName = name;
}

void AddEntityWnd::selectTriggerByName(const std::string& name)
{
    if (!mWidgets.hasItem(kTriggers, name)) {
        return;
    }
    if (name != mLastTriggerName) {
        mCurrentTrigger = mLoader ? mLoader->findTrigger(name) : nullptr;
        mWidgets.selectItem(kTriggers, name);
    } else {
        fillTriggerFields();
    }
    mLastTriggerName = name;
}

} // namespace Kelvo
