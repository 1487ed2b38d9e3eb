#include "scripts/EnergieBallScript.h"

#include "platform/Log.h"
#include "scene/ParticleDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "scripts/EnergyBallList.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/PlayerCharacter.h"

#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Kelvo {

const char* const EnergieBallScript::kThrowMessage = "PLAYER_THROW";
const char* const EnergieBallScript::kCameraNodeName = "MAIN_CAMERA";

namespace {

const char* const kEffectNames[] = {"bullet1Fly", "bullet1Hit", "bullet2Fly", "bullet2Hit"};
const char* const kSoundNames[] = {"bullet1FlyS", "bullet1HitS"};

} // namespace

EnergieBallScript::EnergieBallScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
    , mBalls(new EnergyBallList())
{
    Ogre::SceneManager* scene = world->getSceneManager();
    if (scene && scene->hasSceneNode(kCameraNodeName)) {
        mCameraNode = scene->getSceneNode(kCameraNodeName);
    }
    for (const char* name : kEffectNames) {
        findEffect(name);
    }
    for (const char* name : kSoundNames) {
        findSound(name);
    }
}

// The list deletes the balls still flying: their effects, sounds and nodes
// go with them.
EnergieBallScript::~EnergieBallScript() = default;

void EnergieBallScript::findEffect(const char* name)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    ParticleDescription* record = loader ? loader->findParticle(name) : nullptr;
    if (!record || record->getFile().empty()) {
        logWarning(std::string("EnergieBallScript: the scene has no particle template '") + name +
                   "', the balls fly without it");
        return;
    }
    BallEffectTemplate& effect = mEffects[name];
    effect.particleTemplate = record->getFile();
    // The level's particle size; its speed factor (0, so the template
    // stands still on the island) is not taken over.
    if (const Ogre::ParticleSystem* system = record->getParticleSystem()) {
        effect.width = system->getDefaultWidth();
        effect.height = system->getDefaultHeight();
    } else {
        effect.width = record->getScale().x;
        effect.height = record->getScale().y;
    }
}

void EnergieBallScript::findSound(const char* name)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    SoundDescription* record = loader ? loader->findSound(name) : nullptr;
    if (!record || record->getSoundHandle() <= 0) {
        logWarning(std::string("EnergieBallScript: the scene has no sound '") + name +
                   "', the balls fly without it");
        return;
    }
    BallSoundTemplate& sound = mSounds[name];
    sound.soundHandle = record->getSoundHandle();
    sound.volume = record->getVolume();
    sound.minDistance = record->getMinDistance();
    sound.maxDistance = record->getMaxDistance();
}

void EnergieBallScript::update(Ogre::FrameEvent event)
{
    const float dt = std::min(event.timeSinceLastFrame, kMaxFrameSeconds);
    auto* thrown = static_cast<FrameMessageTrigger*>(mWorld->getMessages()->find(kThrowMessage, FrameMessage::kTrigger));
    if (thrown) {
        if (thrown->value) {
            throwStarts();
        } else {
            launchHeld();
        }
    }
    if (mHeldBall) {
        mHeldBall->setPosition(mWorld->getPlayer()->getPosition() + Ogre::Vector3(0, kHeldHeight, 0));
    }
    mBalls->update(dt);
}

void EnergieBallScript::launchHeld()
{
    if (mHeldBall) {
        mHeldBall->launch();
        mHeldBall = nullptr;
    }
}

void EnergieBallScript::throwStarts()
{
    launchHeld();
    const int weaponNumber = mWorld->getSelectedWeapon();
    const BallWeapon& weapon = BallWeapon::forWeapon(weaponNumber);
    auto* ball = new EnergyBall(mBalls.get(), mWorld);
    ball->setWeapon(weaponNumber, weapon);
    ball->setDirection(aimDirection(weapon));
    auto effect = [this](const char* name) {
        auto found = name ? mEffects.find(name) : mEffects.end();
        return found == mEffects.end() ? BallEffectTemplate() : found->second;
    };
    auto sound = [this](const char* name) {
        auto found = name ? mSounds.find(name) : mSounds.end();
        return found == mSounds.end() ? BallSoundTemplate() : found->second;
    };
    ball->setFlyEffect(effect(weapon.flyEffect));
    ball->setHitEffect(effect(weapon.hitEffect));
    ball->setFlySound(sound(weapon.flySound));
    ball->setHitSound(sound(weapon.hitSound));
    if (weapon.hasBox) {
        ball->addBox(true);
    }
    ball->setPosition(mWorld->getPlayer()->getPosition() + Ogre::Vector3(0, kHeldHeight, 0));
    mHeldBall = ball;
}

Ogre::Vector3 EnergieBallScript::aimDirection(const BallWeapon& weapon) const
{
    const bool aiming = mWorld->isFreeMode() && mCameraNode;
    Ogre::Vector3 direction = aiming ? mCameraNode->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z
                                     : mWorld->getPlayer()->getFacing();
    direction.y += aiming ? weapon.aimUpTilt : weapon.walkUpTilt;
    return direction;
}

} // namespace Kelvo
