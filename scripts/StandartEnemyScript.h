#pragma once

#include "world/ScriptAtom.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Kelvo {

class AnimationMixer;
class EntityDescription;
class NpcWalker;
class PlayerScript;
class SceneLoader;
class SoundDescription;
class TriggerDescription;

// One enemy of the scene (a spider, the queen, a zombie). It waits at home
// until the hero enters its activation trigger, runs at him, and within
// reach swings one of three random attacks; a swing that passes its half-way
// point hurts the hero by how squarely the enemy faces him (nothing from
// behind), once per swing, and tints his view for 0.7 s. When the hero
// leaves the trigger it walks home. Energy-ball blasts ("BULLET_HIT") and
// the hero's bare-handed strike ("PLAYER_ATTACK") hurt it; at no health it
// cries (the scene sound "<entity>_cry"), runs on in its last animation
// until the cry has ended and is taken out of the scene. It stays in the
// script list, doing nothing, until the play ends. An enemy blocks no one's
// way (the hero's, other enemies'): the balls still strike it.
//
// Every change of what it does is logged with its entity's name first:
// "StandartEnemyScript: spider_01 woke", "... chasing", "... attacking",
// "... strikes the hero, hero health 97", "... hurt, health 90", "... died",
// "... removed", "... going home", "... at home".
//
// Created by the play state for every pairing findEnemies() gives, after
// the old man's and the sound script; run once a frame after them; deleted
// when the play ends, after the scene has been unloaded.
class StandartEnemyScript : public ScriptAtom {
public:
    static const char* const kNamePrefix;
    static const char* const kPlayerAttackMessage;
    static const char* const kBulletHitMessage;

    static constexpr float kMaxFrameSeconds = 0.1f;
    static constexpr float kFullHealth = 100.0f;
    static constexpr float kChaseSpeed = 10.0f;
    static constexpr float kHomeSpeed = 4.0f;
    // Within this of the hero it attacks, within this of home it is home.
    static constexpr float kAttackRange = 4.0f;
    // What one swing takes off the hero when it lands squarely.
    static constexpr float kStrikeDamage = 1.0f;
    // Health a full hit takes, times the blast's power.
    static constexpr float kDamagePerHit = 10.0f;
    static constexpr float kWoundedSeconds = 0.7f;
    // The next swing starts this long before the last one ends.
    static constexpr float kSwingOverlap = 0.3f;
    static constexpr float kMoveBlendSeconds = 0.5f;
    static constexpr float kSwingBlendSeconds = 0.2f;
    // A swing's length when the mesh lacks the attack's animation.
    static constexpr float kSwingWithoutAnimation = 1.0f;

    enum class Mode { AtHome, GoingHome, Chasing, Attacking, Dead, Removed };

    // An entity of the scene and the trigger that wakes it.
    struct Pairing {
        EntityDescription* entity;
        TriggerDescription* trigger;
    };
    // Every entity paired with every trigger whose linked type is the
    // entity's type, entities in name order and each one's triggers in name
    // order. An empty type pairs with nothing: a plain entity and a plain
    // trigger, as the editor makes them, are no enemy.
    static std::vector<Pairing> findEnemies(const SceneLoader& loader);

    StandartEnemyScript(GameWorld* world, ScriptManager* scripts, const std::string& entityName,
                        const std::string& triggerName);
    ~StandartEnemyScript() override;

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return mName; }

    // Dead from now on; without a cry it leaves the scene at once.
    void die();

    // Read by tests and the benchmark.
    Mode getMode() const { return mMode; }
    float getHealth() const { return mHealth; }
    bool isAlerted() const { return mAlerted; }
    bool isDead() const { return mDead; }
    bool isRemoved() const { return mRemoved; }
    const std::string& getEntityName() const { return mEntityName; }
    const Ogre::Vector3& getHome() const { return mHome; }
    const std::string& getAttackAnimation() const { return mAttackAnimation; }
    // Swings begun since the enemy was made.
    int getSwingCount() const { return mSwingCount; }
    NpcWalker* getWalker() const { return mWalker.get(); }
    AnimationMixer* getMixer() const { return mMixer.get(); }
    SoundDescription* getCry() const { return mCry; }

private:
    void readTrigger();
    void readPlayerAttack();
    void readBulletHit();
    void hurt(float damage);
    void walkHome();
    void chase(float dt);
    void attack(float dt);
    void startSwing(float alreadyRun);
    void strikeHero();
    void setMode(Mode mode);
    void blendTo(const char* animation, float seconds, bool loop);
    bool isCrying() const;
    void removeFromScene();
    float animationLength(const std::string& animation) const;
    void logState(const std::string& what) const;

    std::string mName;
    std::string mEntityName;
    std::string mTriggerName;
    SoundDescription* mCry = nullptr;
    EntityDescription* mDescription = nullptr;
    Ogre::Entity* mEntity = nullptr;
    Ogre::Vector3 mHome = Ogre::Vector3::ZERO;
    PlayerScript* mPlayerScript = nullptr;
    std::unique_ptr<AnimationMixer> mMixer;
    std::unique_ptr<NpcWalker> mWalker;

    Mode mMode = Mode::AtHome;
    bool mAlerted = false;
    bool mRemoved = false;
    bool mDead = false;
    bool mSwingPending = true;
    bool mHitApplied = false;
    std::string mAttackAnimation;
    // Time into the swing, and the swing's length.
    float mSwingTime = 0;
    float mSwingLength = 0;
    int mSwingCount = 0;
    float mHealth = kFullHealth;
};

} // namespace Kelvo
