#include "scripts/StandartEnemyScript.h"

#include "SoundManager/SoundManager.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"
#include "scripts/PlayerScript.h"
#include "world/AnimationMixer.h"
#include "world/CollisionProbe.h"
#include "world/FrameMessageBulletHit.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/NpcWalker.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

#include <algorithm>

namespace Kelvo {

const char* const StandartEnemyScript::kNamePrefix = "StandartEnemyScript_";
const char* const StandartEnemyScript::kPlayerAttackMessage = "PLAYER_ATTACK";
const char* const StandartEnemyScript::kBulletHitMessage = "BULLET_HIT";

namespace {

const char* const kIdleAnimation = "cpause1";
const char* const kWalkAnimation = "cwalk";
const char* const kRunAnimation = "crun";
const char* const kAttackAnimations[] = {"ca1stab", "ca1slashr", "ca1slashl"};
const char* const kCrySuffix = "_cry";
const char* const kPlayerScriptName = "PLAYER";

} // namespace

std::vector<StandartEnemyScript::Pairing> StandartEnemyScript::findEnemies(const SceneLoader& loader)
{
    std::vector<Pairing> pairings;
    for (const auto& entity : loader.entities()) {
        const std::string& type = entity.second->getType();
        if (type.empty()) {
            continue;
        }
        for (const auto& trigger : loader.triggers()) {
            if (trigger.second->getAttachedType() == type) {
                pairings.push_back({entity.second, trigger.second});
            }
        }
    }
    return pairings;
}

StandartEnemyScript::StandartEnemyScript(GameWorld* world, ScriptManager* scripts, const std::string& entityName,
                                         const std::string& triggerName)
    : ScriptAtom(world, scripts)
    , mName(kNamePrefix + entityName)
    , mEntityName(entityName)
    , mTriggerName(triggerName)
{
    SceneLoader* loader = world->getSceneLoader();
    if (loader) {
        mCry = loader->findSound(entityName + kCrySuffix);
        mDescription = loader->findEntity(entityName);
    }
    // A cry that could not be loaded is no cry: the enemy would wait for
    // a sound that never plays.
    if (mCry && mCry->getSoundHandle() <= 0) {
        mCry = nullptr;
    }
    mPlayerScript = scripts ? dynamic_cast<PlayerScript*>(scripts->find(kPlayerScriptName)) : nullptr;

    Ogre::SceneNode* node = mDescription ? mDescription->getSceneNode() : nullptr;
    if (!node) {
        logWarning("StandartEnemyScript: " + entityName + " has no entity in the scene and stays out of the play");
        mDead = true;
        mRemoved = true;
        mMode = Mode::Removed;
        return;
    }
    mEntity = mDescription->getEntity();
    mHome = node->_getDerivedPosition();
    // No obstacle to collision probes: fighting within reach of the hero,
    // its box and his (wide for his arms' swings) overlap, and his probe
    // would shove him away from it frame after frame. The energy balls
    // still strike it.
    if (mEntity) {
        mEntity->setQueryFlags(mEntity->getQueryFlags() & ~CollisionProbe::kSolidMask);
    }

    // A mesh without some of the animations walks and fights with the ones
    // it has; the mixer skips the missing ones.
    const bool animated = mEntity && mEntity->getAllAnimationStates();
    for (const char* animation : {kIdleAnimation, kWalkAnimation, kRunAnimation, kAttackAnimations[0],
                                  kAttackAnimations[1], kAttackAnimations[2]}) {
        if (!animated || !mEntity->hasAnimationState(animation)) {
            logWarning("StandartEnemyScript: " + entityName + " has no animation '" + animation + "'");
        }
    }
    mMixer.reset(new AnimationMixer(mEntity));
    mMixer->start(kIdleAnimation);

    mWalker.reset(new NpcWalker(mDescription, world));
    mWalker->setRadius(kAttackRange);
    logState("waits at " + vectorText(mHome) + " for '" + triggerName + "'" + (mCry ? "" : ", without a cry"));
}

StandartEnemyScript::~StandartEnemyScript() = default;

void StandartEnemyScript::logState(const std::string& what) const
{
    logLine("StandartEnemyScript: " + mEntityName + " " + what);
}

void StandartEnemyScript::setMode(Mode mode)
{
    if (mode == mMode) {
        return;
    }
    mMode = mode;
    switch (mode) {
    case Mode::AtHome:
        logState("at home");
        break;
    case Mode::GoingHome:
        logState("going home");
        break;
    case Mode::Chasing:
        logState("chasing");
        break;
    case Mode::Attacking:
        logState("attacking");
        break;
    case Mode::Dead:
        logState("died");
        break;
    case Mode::Removed:
        logState("removed");
        break;
    }
}

void StandartEnemyScript::blendTo(const char* animation, float seconds, bool loop)
{
    mMixer->blend(animation, AnimationMixer::kBlendWhilePlaying, seconds, loop);
}

float StandartEnemyScript::animationLength(const std::string& animation) const
{
    if (!mEntity || !mEntity->getAllAnimationStates() || !mEntity->hasAnimationState(animation)) {
        return 0;
    }
    return mEntity->getAnimationState(animation)->getLength();
}

// --- per frame -----------------------------------------------------------------

void StandartEnemyScript::update(Ogre::FrameEvent event)
{
    const float dt = std::min(event.timeSinceLastFrame, kMaxFrameSeconds);
    if (mDead) {
        if (!mRemoved) {
            mMixer->advance(dt);
            if (!isCrying()) {
                removeFromScene();
            }
        }
        return;
    }

    readTrigger();
    readPlayerAttack();
    readBulletHit();
    if (mDead) {
        return;
    }
    if (mAlerted) {
        chase(dt);
    } else {
        walkHome();
    }
    mWalker->update(dt);
    mMixer->advance(dt);
}

void StandartEnemyScript::readTrigger()
{
    auto* trigger =
        static_cast<FrameMessageTrigger*>(mWorld->getMessages()->find(mTriggerName, FrameMessage::kTrigger));
    if (!trigger || trigger->value == mAlerted) {
        return;
    }
    mAlerted = trigger->value;
    if (mAlerted) {
        logState("woke");
    }
}

void StandartEnemyScript::readPlayerAttack()
{
    if (!mWorld->getMessages()->find(kPlayerAttackMessage, FrameMessage::kTrigger)) {
        return;
    }
    // Measured from the hero to this enemy, wherever it is going: an idle
    // enemy far in front of the hero is out of his reach.
    const PlayerCharacter* hero = mWorld->getPlayer();
    const Ogre::Vector3 toEnemy = mWalker->getPosition() - hero->getPosition();
    const float distance = toEnemy.length();
    if (distance >= 2 * kAttackRange) {
        return;
    }
    Ogre::Vector3 across(toEnemy.x, 0, toEnemy.z);
    Ogre::Vector3 facing = hero->getFacing();
    facing.y = 0;
    if (across.isZeroLength() || facing.isZeroLength()) {
        return;
    }
    const float squarely = std::max(0.0f, facing.normalisedCopy().dotProduct(across.normalisedCopy()));
    const float fallOff = distance <= kAttackRange ? 1.0f : (2 * kAttackRange - distance) / kAttackRange;
    const float damage = squarely * fallOff;
    if (damage > 0) {
        hurt(damage * kDamagePerHit);
    }
}

void StandartEnemyScript::readBulletHit()
{
    auto* blast =
        static_cast<FrameMessageBulletHit*>(mWorld->getMessages()->find(kBulletHitMessage, FrameMessage::kBulletHit));
    if (!blast || mDead) {
        return;
    }
    const float distance = blast->position.distance(mWalker->getPosition());
    if (!(distance < blast->radius)) {
        return;
    }
    const float fallOff = distance <= 0 ? 1.0f : 1.0f - distance / blast->radius;
    hurt(fallOff * kDamagePerHit * blast->power);
}

void StandartEnemyScript::hurt(float damage)
{
    if (mDead) {
        return;
    }
    mHealth -= damage;
    logState("hurt, health " + Ogre::StringConverter::toString(std::max(0.0f, mHealth), 4));
    if (mHealth > 0) {
        return;
    }
    if (mCry) {
        mCry->play();
    }
    blendTo(kRunAnimation, kMoveBlendSeconds, true);
    die();
}

void StandartEnemyScript::die()
{
    if (mDead) {
        return;
    }
    mDead = true;
    setMode(Mode::Dead);
    if (!mCry) {
        removeFromScene();
    }
}

bool StandartEnemyScript::isCrying() const
{
    SoundManager* sounds = mWorld->getSoundManager();
    if (!mCry || !sounds || mCry->getChannelHandle() == SoundManager::kNoChannel) {
        return false;
    }
    // The channel of a cry that has ended may be playing another sound by
    // now: only a channel that still follows the cry's node is the cry.
    const int channel = mCry->getChannelHandle();
    return sounds->getFollowedNode(channel) == mCry->getSceneNode() && sounds->IsPlaying(channel);
}

void StandartEnemyScript::removeFromScene()
{
    if (mRemoved) {
        return;
    }
    // The cry's node hangs on the enemy's: it is handed to the enemy's
    // parent where it stands, so a cry that still sounds goes on from there
    // and the sound manager never follows a node that is gone.
    Ogre::SceneNode* node = mWalker ? mWalker->getNode() : nullptr;
    Ogre::SceneNode* cryNode = mCry ? mCry->getSceneNode() : nullptr;
    if (node && cryNode && cryNode->getParentSceneNode() == node) {
        // From the enemy's own transform: the cry node's cached one is only
        // brought up to date by the next render.
        const Ogre::Vector3 where = node->convertLocalToWorldPosition(cryNode->getPosition());
        const Ogre::Quaternion turned = node->convertLocalToWorldOrientation(cryNode->getOrientation());
        node->removeChild(cryNode);
        if (Ogre::SceneNode* holder = node->getParentSceneNode()) {
            holder->addChild(cryNode);
        }
        cryNode->_setDerivedPosition(where);
        cryNode->_setDerivedOrientation(turned);
    }
    // Nothing may touch the entity or its node from here on.
    mWalker.reset();
    mMixer.reset();
    mEntity = nullptr;
    mDescription->destroy();
    mRemoved = true;
    setMode(Mode::Removed);
}

// --- going home ------------------------------------------------------------------

void StandartEnemyScript::walkHome()
{
    mWalker->setTarget(mHome);
    mWalker->setSpeed(kHomeSpeed);
    // Back in reach of the hero it starts a new swing.
    mSwingPending = true;
    if (!mWalker->arrived()) {
        if (mMode != Mode::GoingHome) {
            blendTo(kWalkAnimation, kMoveBlendSeconds, true);
            setMode(Mode::GoingHome);
        }
    } else if (mMode != Mode::AtHome) {
        blendTo(kIdleAnimation, kMoveBlendSeconds, true);
        setMode(Mode::AtHome);
    }
}

// --- fighting ---------------------------------------------------------------------

void StandartEnemyScript::chase(float dt)
{
    mWalker->setTarget(mWorld->getPlayer()->getPosition());
    mWalker->setSpeed(kChaseSpeed);
    if (mWalker->arrived()) {
        attack(dt);
        return;
    }
    if (mMode != Mode::Chasing) {
        blendTo(kRunAnimation, kMoveBlendSeconds, true);
        setMode(Mode::Chasing);
        mSwingPending = true;
    }
}

void StandartEnemyScript::attack(float dt)
{
    // The next swing starts a little before the last one ends, and starts
    // as far into itself as the last one ran past that point: swings follow
    // each other alike at any frame rate.
    const float nextSwingAt = mSwingLength - kSwingOverlap;
    const bool swingOver = !mSwingPending && mSwingTime > nextSwingAt;
    if (mSwingPending || swingOver) {
        mAttackAnimation = kAttackAnimations[mWorld->getRandom().below(3)];
        startSwing(swingOver ? mSwingTime - nextSwingAt : 0.0f);
    }
    mSwingTime += dt;
    // The blow lands as the swing passes its middle.
    if (!mHitApplied && mSwingTime > mSwingLength * 0.5f) {
        strikeHero();
    }
}

void StandartEnemyScript::startSwing(float alreadyRun)
{
    mSwingPending = false;
    ++mSwingCount;
    mSwingTime = alreadyRun;
    mHitApplied = false;
    mSwingLength = animationLength(mAttackAnimation);
    if (mSwingLength <= 0) {
        mSwingLength = kSwingWithoutAnimation;
    }
    // The same attack again starts over from its first frame: fading an
    // animation into itself would leave it standing at its end.
    const Ogre::AnimationState* source = mMixer->getSource();
    const bool again = source && source->getAnimationName() == mAttackAnimation;
    mMixer->blend(mAttackAnimation, again ? AnimationMixer::kSwitch : AnimationMixer::kBlendWhilePlaying,
                  kSwingBlendSeconds, false);
    setMode(Mode::Attacking);
}

void StandartEnemyScript::strikeHero()
{
    mHitApplied = true;
    PlayerCharacter* hero = mWorld->getPlayer();
    const float damage = mWalker->strikeFactor(hero->getPosition()) * kStrikeDamage;
    if (damage == 0) {
        return;
    }
    hero->damage(damage);
    if (mPlayerScript) {
        mPlayerScript->startWounded(kWoundedSeconds);
    }
    logState("strikes the hero, hero health " + Ogre::StringConverter::toString(hero->getHealth(), 4));
}

} // namespace Kelvo
