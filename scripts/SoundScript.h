#pragma once

#include "world/ScriptAtom.h"

namespace Kelvo {

class SoundDescription;

// The zombies' music: it starts when the hero first climbs down the well
// (where he also gets the second energy ball) and fades out over ten seconds
// when he leaves the zombies' valley. The music is a scene sound of its own,
// "ZombiHintergrund", made at construction.
class SoundScript : public ScriptAtom {
public:
    static constexpr float kFadeSeconds = 10.0f;
    static const char* const kMusicName;
    static const char* const kMusicFile;

    SoundScript(GameWorld* world, ScriptManager* scripts);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "SoundScript"; }

    SoundDescription* getMusic() const { return mMusic; }
    bool isArmed() const { return mArmed; }
    bool isFading() const { return mFading; }

private:
    bool triggerSays(const char* trigger, bool value) const;

    bool mArmed = true;
    bool mFading = false;
    float mFadeTimer = 0.0f;
    SoundDescription* mMusic = nullptr;
};

} // namespace Kelvo
