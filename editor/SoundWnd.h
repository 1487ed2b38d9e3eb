#pragma once

#include "editor/PlacedRecordWnd.h"
#include "scene/SoundDescription.h"

#include <OgreVector.h>

#include <memory>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class EditorGUI;
class SceneLoader;

// The sounds window ("sound_win"): lists the loaded scene's sound sources and
// edits one at a time: its type, file, distances, volume and position; plays
// and stops it through the sound manager; attaches it to the last picked
// entity. New sounds sit at the locator. The chosen file and type take effect
// on save, which loads the sound again. Shown and hidden by the toolbar and
// its own close button; it leaves the other windows usable.
class SoundWnd : public PlacedRecordWnd<SoundDescription> {
public:
    static const char* const kSoundTypes[4];

    SoundWnd();
    ~SoundWnd() override;

    void initialise(EditorGUI* hub);
    void onInput(bool ok, const char* text, const char* value) override;

private:
    bool onSoundChosen(const CEGUI::EventArgs& args);
    bool onFileChosen(const CEGUI::EventArgs& args);
    bool onCreate(const CEGUI::EventArgs& args);
    bool onTypeAccepted(const CEGUI::EventArgs& args);
    bool onPlay(const CEGUI::EventArgs& args);
    bool onStop(const CEGUI::EventArgs& args);
    bool onMinDistance(const CEGUI::EventArgs& args);
    bool onMaxDistance(const CEGUI::EventArgs& args);
    bool onVolume(const CEGUI::EventArgs& args);
    bool onSave(const CEGUI::EventArgs& args);

    // Not while the fields are being filled: their own events would write
    // back what was just read.
    bool acceptsFieldEdits() const override;
    void fillFields() override;
    void clearFields() override;

    bool mFilling = false;
};

} // namespace Kelvo
