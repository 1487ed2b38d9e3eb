#pragma once

#include "editor/EditorToolWnd.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"

#include <CEGUI/CEGUI.h>
#include <OgreSceneNode.h>
#include <OgreVector.h>

#include <map>
#include <string>

namespace Kelvo {

// What the sounds and the particle systems windows share: the list of the
// loaded scene's records of their kind with one chosen at a time, its
// position fields, removing it, and hanging it on the entity picked last, at
// that entity's origin. Each window adds the fields of its own kind and
// subscribes the shared handlers with subscribeShared().
template <typename Record>
class PlacedRecordWnd : public EditorToolWnd {
public:
    // How the loader answers for this kind: all its records by name, one by
    // name, and removing one.
    struct Kind {
        const std::map<std::string, Record*>& (SceneLoader::*all)() const;
        Record* (SceneLoader::*find)(const std::string&) const;
        bool (SceneLoader::*remove)(const std::string&);
    };

    void show()
    {
        setEnabled(true);
        refillList();
        raise();
    }

    void close() { hide(); }

    // The list as the scene has it now; nothing stays chosen.
    void refillList()
    {
        mGui->clearListbox(mList);
        mLastListedName.clear();
        mCurrent = nullptr;
        clearFields();
        if (!mLoader) {
            return;
        }
        for (const auto& record : (mLoader->*mKind.all)()) {
            mGui->addListboxItem(mList, record.first);
        }
    }

    // Picked in the view: chosen in the list; picked again (after a drag),
    // its position fields follow.
    void selectByName(const std::string& name)
    {
        if (!mLoader || !mWidgets.hasItem(mList, name)) {
            return;
        }
        if (name != mLastListedName) {
            mCurrent = (mLoader->*mKind.find)(name);
            mWidgets.selectItem(mList, name);
        } else if (mCurrent) {
            mWidgets.setVector(mPosition, mCurrent->currentPosition());
        }
        mLastListedName = name;
    }

    Record* current() const { return mCurrent; }

protected:
    PlacedRecordWnd(std::string name, const char* list, const char* const (&position)[3], Kind kind)
        : EditorToolWnd(std::move(name))
        , mList(list)
        , mPosition(position)
        , mKind(kind)
    {
    }

    virtual void fillFields() = 0;
    virtual void clearFields() = 0;
    virtual bool acceptsFieldEdits() const { return mEnabled && mCurrent; }

    // The shared handlers on the window's close, remove and attach buttons
    // and its position fields.
    void subscribeShared(const char* closeButton, const char* removeButton, const char* attachButton)
    {
        using Self = PlacedRecordWnd<Record>;
        const CEGUI::String& down = CEGUI::Window::EventMouseButtonDown;
        mWidgets.subscribe<Self>(closeButton, down, this, &Self::onClose);
        mWidgets.subscribe<Self>(removeButton, down, this, &Self::onRemove);
        mWidgets.subscribe<Self>(attachButton, down, this, &Self::onAttach);
        for (int axis = 0; axis < 3; ++axis) {
            mWidgets.subscribe<Self>(mPosition[axis], CEGUI::Editbox::EventTextAccepted, this, &Self::onPosition);
        }
    }

    // The record chosen in the list, with its fields filled, or null with
    // the fields cleared when the list has none chosen.
    Record* takeListedChoice()
    {
        const std::string name = mWidgets.selectedText(mList);
        if (name.empty()) {
            mLastListedName.clear();
            clearFields();
            return nullptr;
        }
        Record* record = (mLoader->*mKind.find)(name);
        if (record) {
            mCurrent = record;
            mWorkingPosition = record->currentPosition();
        }
        return record;
    }

    // A record just made: listed, chosen and shown.
    void chooseNew(Record* record)
    {
        refillList();
        mCurrent = record;
        mWidgets.selectItem(mList, record->getName());
        clearFields();
        fillFields();
    }

    // Made again under the node it hangs on now, at the position fields'
    // place (the window's "save").
    void realiseWhereItHangs()
    {
        Ogre::SceneNode* parent = mCurrent->getSceneNode() ? mCurrent->getSceneNode()->getParentSceneNode() : nullptr;
        mWorkingPosition = mWidgets.vector(mPosition);
        mCurrent->setPosition(mWorkingPosition);
        mCurrent->realise(parent);
    }

    const char* const mList;
    const char* const* const mPosition;
    std::string mLastListedName;
    Ogre::Vector3 mWorkingPosition = Ogre::Vector3::ZERO;
    Record* mCurrent = nullptr;

private:
    bool onClose(const CEGUI::EventArgs&)
    {
        if (mEnabled) {
            close();
        }
        return true;
    }

    bool onRemove(const CEGUI::EventArgs&)
    {
        const std::string name = mWidgets.selectedText(mList);
        if (!mEnabled || name.empty() || !mLoader) {
            return true;
        }
        if ((mLoader->*mKind.remove)(name)) {
            log("removed '" + name + "'");
        }
        refillList();
        return true;
    }

    bool onPosition(const CEGUI::EventArgs&)
    {
        if (acceptsFieldEdits()) {
            mWorkingPosition = mWidgets.vector(mPosition);
            mCurrent->setPosition(mWorkingPosition);
            log("'" + mCurrent->getName() + "' moved to " + vectorText(mWorkingPosition));
        }
        return true;
    }

    bool onAttach(const CEGUI::EventArgs&)
    {
        EntityDescription* entity = mEnabled && mCurrent ? candidateParent() : nullptr;
        if (!entity) {
            return true;
        }
        // Written in the entity's block, after the entity, so a load finds it.
        mCurrent->setParent(entity->getName());
        mCurrent->setRootIndex(entity->getRootIndex());
        mWorkingPosition = Ogre::Vector3::ZERO;
        mCurrent->setPosition(mWorkingPosition);
        mCurrent->realise(entity->getSceneNode());
        fillFields();
        log("'" + mCurrent->getName() + "' hangs on '" + entity->getName() + "'");
        return true;
    }

    const Kind mKind;
};

} // namespace Kelvo
