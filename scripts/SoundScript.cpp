#include "scripts/SoundScript.h"

#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"

#include <OgreSceneNode.h>

namespace Kelvo {

const char* const SoundScript::kMusicName = "ZombiHintergrund";
const char* const SoundScript::kMusicFile = "ZombiWar.mp3";

namespace {

const char* const kWellTrigger = "brunnen_eingang";
const char* const kZombieTrigger = "zombie_1";
const char* const kMusicType = "2D_SOUND";
const int kWellWeapon = 2;

} // namespace

SoundScript::SoundScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
{
    SceneLoader* loader = world->getSceneLoader();
    if (!loader) {
        return;
    }
    mMusic = loader->findSound(kMusicName);
    if (!mMusic) {
        mMusic = loader->addSound(kMusicName);
    }
    if (!mMusic) {
        logWarning(std::string("SoundScript: could not make the sound '") +
                   kMusicName + "'");
        return;
    }
    mMusic->setFile(kMusicFile);
    mMusic->setType(kMusicType);
    mMusic->realise(nullptr);
    if (Ogre::SceneNode* node = mMusic->getSceneNode()) {
        node->setVisible(false, true);
    }
}

bool SoundScript::triggerSays(const char* trigger, bool value) const
{
    auto* message = static_cast<FrameMessageTrigger*>(mWorld->getMessages()->find(trigger, FrameMessage::kTrigger));
    return message && message->value == value;
}

void SoundScript::update(Ogre::FrameEvent event)
{
    mFadeTimer += event.timeSinceLastFrame;

    if (mArmed && triggerSays(kWellTrigger, true)) {
        if (mMusic) {
            mMusic->play();
        }
        mWorld->setSelectedWeapon(kWellWeapon);
        mArmed = false;
        logLine("SoundScript: zombie music on");
    }
    if (triggerSays(kZombieTrigger, false)) {
        mFading = true;
        mFadeTimer = 0.0f;
    }
    if (mFading) {
        const float volume = 1.0f - mFadeTimer / kFadeSeconds;
        if (volume > 0.0f) {
            if (mMusic) {
                mMusic->setVolume(volume);
            }
        } else {
            if (mMusic) {
                mMusic->stop();
            }
            mFading = false;
            logLine("SoundScript: zombie music faded out");
        }
    }
}

} // namespace Kelvo
