#include "editor/SoundWnd.h"

#include "editor/EditorGUI.h"
#include "gui/CeGUIManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

namespace Kelvo {

const char* const SoundWnd::kSoundTypes[4] = {"2D_SOUND", "2D_SOUND_LOOPED", "3D_SOUND", "3D_SOUND_LOOPED"};

namespace {

const char* const kList = "sound_node_list";
const char* const kFiles = "sound_file_list";
const char* const kType = "soundtype_cb";
const char* const kPosition[] = {"sound_x_edit", "sound_y_edit", "sound_z_edit"};

} // namespace

SoundWnd::SoundWnd()
    : PlacedRecordWnd("SoundWnd", kList, kPosition,
                      {&SceneLoader::sounds, &SceneLoader::findSound, &SceneLoader::removeSound})
{
}
SoundWnd::~SoundWnd() = default;

void SoundWnd::initialise(EditorGUI* hub)
{
    attach(hub, "sound_win");
    if (mLoader) {
        const SceneLoader::NameList files = mLoader->getSoundFileNames();
        mGui->fillListbox(kFiles, files);
        logLine("SoundWnd: sound files: " + WndWidgets::joined(*files));
    }
    for (const char* type : kSoundTypes) {
        mGui->addComboboxItem(kType, type);
    }
    const CEGUI::String& accepted = CEGUI::Editbox::EventTextAccepted;
    const CEGUI::String& down = CEGUI::Window::EventMouseButtonDown;
    mWidgets.subscribe(kList, CEGUI::Listbox::EventSelectionChanged, this, &SoundWnd::onSoundChosen);
    mWidgets.subscribe(kFiles, CEGUI::Listbox::EventSelectionChanged, this, &SoundWnd::onFileChosen);
    mWidgets.subscribe("create_sound_bt", down, this, &SoundWnd::onCreate);
    mWidgets.subscribe(kType, CEGUI::Combobox::EventListSelectionAccepted, this, &SoundWnd::onTypeAccepted);
    mWidgets.subscribe("play_sound", down, this, &SoundWnd::onPlay);
    mWidgets.subscribe("stop_sound", down, this, &SoundWnd::onStop);
    mWidgets.subscribe("min_3d_edit", accepted, this, &SoundWnd::onMinDistance);
    mWidgets.subscribe("max_3d_edit", accepted, this, &SoundWnd::onMaxDistance);
    mWidgets.subscribe("volume_edit", accepted, this, &SoundWnd::onVolume);
    mWidgets.subscribe("save_sound_bt", down, this, &SoundWnd::onSave);
    subscribeShared("close_snd_wnd", "remove_sound_bt", "attach_to_parent");
}

bool SoundWnd::acceptsFieldEdits() const
{
    return mEnabled && mCurrent && !mFilling;
}

bool SoundWnd::onSoundChosen(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mLoader) {
        return true;
    }
    if (SoundDescription* sound = takeListedChoice()) {
        mFilling = true;
        mWidgets.clearSelection(kFiles);
        mFilling = false;
        fillFields();
        logLine("SoundWnd: chose '" + sound->getName() + "'");
    }
    return true;
}

void SoundWnd::fillFields()
{
    if (!mCurrent) {
        return;
    }
    mFilling = true;
    mWidgets.setText(kType, mCurrent->getType());
    mWidgets.setText("sound_parent_edit", mCurrent->getParent());
    mWidgets.setNumber("min_3d_edit", mCurrent->getMinDistance());
    mWidgets.setNumber("max_3d_edit", mCurrent->getMaxDistance());
    mWidgets.setNumber("volume_edit", mCurrent->getVolume());
    mWidgets.setVector(kPosition, mCurrent->currentPosition());
    mWidgets.clearSelection(kFiles);
    mWidgets.selectItem(kFiles, mCurrent->getFile());
    mFilling = false;
}

void SoundWnd::clearFields()
{
    mFilling = true;
    mWidgets.clear({"sound_parent_edit", kType, kPosition[0], kPosition[1], kPosition[2], "volume_edit",
                    "min_3d_edit", "max_3d_edit"});
    mFilling = false;
}

bool SoundWnd::onFileChosen(const CEGUI::EventArgs&)
{
    const std::string file = mWidgets.selectedText(kFiles);
    if (acceptsFieldEdits() && !file.empty()) {
        mCurrent->setFile(file);
        logLine("SoundWnd: '" + mCurrent->getName() + "' plays '" + file + "' once saved");
    }
    return true;
}

bool SoundWnd::onTypeAccepted(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        const std::string type = mWidgets.text(kType);
        mCurrent->setType(type);
        logLine("SoundWnd: '" + mCurrent->getName() + "' is a " + type + " once saved");
    }
    return true;
}

// --- creating and removing -------------------------------------------------------------

bool SoundWnd::onCreate(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mHub->showInputBox(this, "Create Sound Description...", "Name:", "");
    }
    return true;
}

void SoundWnd::onInput(bool ok, const char* text, const char*)
{
    if (!ok || !text || !*text || !mLoader) {
        logLine("SoundWnd: no new sound");
        return;
    }
    const std::string name = text;
    SoundDescription* sound = mLoader->addSound(name);
    if (!sound) {
        logWarning("SoundWnd: no sound '" + name + "': the name is used");
        mHub->showMessage(this, "Error Creating sound...", "SoundDescription with this name already exists.");
        return;
    }
    mWorkingPosition = mHub->getLocatorPosition();
    sound->setPosition(mWorkingPosition);
    // Its block's node: it hangs on no entity.
    sound->realise(nullptr);
    chooseNew(sound);
    logLine("SoundWnd: created '" + name + "' at " + vectorText(mWorkingPosition));
}

// --- playing ---------------------------------------------------------------------------

bool SoundWnd::onPlay(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mCurrent) {
        return true;
    }
    if (mCurrent->getSoundHandle() <= 0) {
        logWarning("SoundWnd: '" + mCurrent->getName() + "' has no sound to play (choose a file and save)");
        return true;
    }
    mCurrent->play();
    logLine("SoundWnd: playing '" + mCurrent->getName() + "' (" + mCurrent->getFile() + ", " + mCurrent->getType() +
            ") on channel " + std::to_string(mCurrent->getChannelHandle()));
    return true;
}

bool SoundWnd::onStop(const CEGUI::EventArgs&)
{
    if (mEnabled && mCurrent) {
        mCurrent->stop();
        logLine("SoundWnd: stopped '" + mCurrent->getName() + "'");
    }
    return true;
}

// --- the fields ------------------------------------------------------------------------

bool SoundWnd::onMinDistance(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setMinDistance(mWidgets.number("min_3d_edit"));
        logLine("SoundWnd: '" + mCurrent->getName() + "' minimum distance " +
                WndWidgets::numberText(mCurrent->getMinDistance()));
    }
    return true;
}

bool SoundWnd::onMaxDistance(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setMaxDistance(mWidgets.number("max_3d_edit"));
        logLine("SoundWnd: '" + mCurrent->getName() + "' maximum distance " +
                WndWidgets::numberText(mCurrent->getMaxDistance()));
    }
    return true;
}

bool SoundWnd::onVolume(const CEGUI::EventArgs&)
{
    if (acceptsFieldEdits()) {
        mCurrent->setVolume(mWidgets.number("volume_edit"));
        // The record keeps 0..1: the field shows what was kept.
        mWidgets.setNumber("volume_edit", mCurrent->getVolume());
        logLine("SoundWnd: '" + mCurrent->getName() + "' volume " + WndWidgets::numberText(mCurrent->getVolume()));
    }
    return true;
}

bool SoundWnd::onSave(const CEGUI::EventArgs&)
{
    if (!mEnabled || !mCurrent) {
        return true;
    }
    const std::string file = mWidgets.selectedText(kFiles);
    if (file.empty()) {
        logLine("SoundWnd: '" + mCurrent->getName() + "' not saved: no sound file chosen");
        mHub->showMessage(this, "Error Saving...", "You must select a Sound file.");
        return true;
    }
    mCurrent->setFile(file);
    mCurrent->setMaxDistance(mWidgets.number("max_3d_edit"));
    mCurrent->setMinDistance(mWidgets.number("min_3d_edit"));
    mCurrent->setVolume(mWidgets.number("volume_edit"));
    // The sound is loaded again as its file and type now say; one that
    // plays stops first.
    mCurrent->stop();
    realiseWhereItHangs();
    fillFields();
    logLine("SoundWnd: saved '" + mCurrent->getName() + "' (" + file + ", " + mCurrent->getType() + ", distances " +
            WndWidgets::numberText(mCurrent->getMinDistance()) + " to " +
            WndWidgets::numberText(mCurrent->getMaxDistance()) + ", volume " +
            WndWidgets::numberText(mCurrent->getVolume()) + ") at " + vectorText(mWorkingPosition) +
            (mCurrent->getSoundHandle() > 0 ? "" : "; the sound could not be loaded"));
    return true;
}

} // namespace Kelvo
