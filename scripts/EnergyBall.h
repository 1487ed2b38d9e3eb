#pragma once

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

class EnergyBallList;
class GameWorld;
class SoundManager;

// How a weapon's balls fly and strike: the values a ball takes when the
// hero's throw creates it. Weapons 1 and 2 are the two energy balls; any
// other number gives a slow, heavy ball without effects.
struct BallWeapon {
    float speed;
    float drag;
    float gravity;
    float mass;
    float power;
    float radius;
    float afterglow;
    // Added to the direction's y before launch: walking, and in aim mode.
    float walkUpTilt;
    float aimUpTilt;
    // Names of the scene's templates; null: the ball goes without.
    const char* flyEffect;
    const char* hitEffect;
    const char* flySound;
    const char* hitSound;
    bool hasBox;

    static const BallWeapon& forWeapon(int weapon);
};

// A particle system template as the scene holds it: the engine template
// and the particle size the level gives it. The island keeps its own copies
// at speed factor 0 so that they emit nothing where they stand; a ball's
// copy runs at normal speed.
struct BallEffectTemplate {
    std::string particleTemplate;
    float width = 1;
    float height = 1;
};

// A scene sound as a ball copies it: the loaded sound (its file and loop
// flag), volume and range.
struct BallSoundTemplate {
    int soundHandle = 0;
    float volume = 1;
    float minDistance = 1;
    float maxDistance = 100;
};

// One thrown energy ball: its node, box, particle systems and sounds, and
// its ballistic flight. Held above the hero until launched, then flies
// under drag and gravity, strikes the terrain or a scene entity (never the
// hero), posts "BULLET_HIT" for that one frame, glows on for its afterglow
// and asks its list to delete it; a ball that never strikes is deleted
// after 30 s of flight.
//
// The flight is integrated in closed form over each frame and the hit tests
// cover the whole way moved in the frame, so a ball flies the same path and
// strikes the same place at 60 or at 10 frames a second, and never passes
// through a thin target or a ridge.
//
// Made by EnergieBallScript, registered in and owned by an EnergyBallList,
// updated by the list once per frame. Everything it makes is named with its
// process-wide id ("BULLET_FLY_7", "BULLET_BOX_7") and destroyed with it;
// its sounds are stopped when it goes.
class EnergyBall {
public:
    static constexpr float kMaxFlightSeconds = 30.0f;
    // Hit tests start once the ball is clear of the hand.
    static constexpr float kHitTestDelay = 0.01f;
    // The ball strikes a scene entity when it comes this near its bounds.
    static constexpr float kEntityLookAhead = 1.0f;
    // The terrain is sampled this densely along the way moved in a frame:
    // half the island's vertex spacing (3), so a ridge is never stepped
    // over; at 10 frames a second that is two samples a frame.
    static constexpr float kTerrainSampleSpacing = 1.5f;
    static const char* const kHitMessage;
    static const char* const kHeroEntityName;

    EnergyBall(EnergyBallList* list, GameWorld* world);
    ~EnergyBall();

    EnergyBall(const EnergyBall&) = delete;
    EnergyBall& operator=(const EnergyBall&) = delete;

    void setWeapon(int weapon, const BallWeapon& values);
    void setDirection(const Ogre::Vector3& direction) { mDirection = direction; }
    void setFlyEffect(const BallEffectTemplate& effect);
    void setHitEffect(const BallEffectTemplate& effect);
    void setFlySound(const BallSoundTemplate& sound);
    void setHitSound(const BallSoundTemplate& sound);
    void addBox(bool visible);
    void setPosition(const Ogre::Vector3& position);
    void launch();
    void update(float dt);
    void requestDelete();

    int getId() const { return mId; }
    std::string getIdText() const;
    const Ogre::Vector3& getPosition() const { return mPosition; }
    const Ogre::Vector3& getDirection() const { return mDirection; }
    float getVerticalSpeed() const { return mVerticalSpeed; }
    float getHorizontalSpeed() const { return mHorizontalSpeed; }
    float getFlightTime() const { return mFlightTime; }
    bool isLaunched() const { return mLaunched; }
    bool hasHit() const { return mHit; }
    bool isActive() const { return mActive; }
    Ogre::SceneNode* getNode() const { return mNode; }
    Ogre::ParticleSystem* getFlyEffect() const { return mFlyEffect; }
    Ogre::ParticleSystem* getHitEffect() const { return mHitEffect; }
    int getFlyChannel() const { return mFlySound.channel; }
    int getHitChannel() const { return mHitSound.channel; }

private:
    // A sound of the ball: the template's values and the channel it plays
    // on while it plays (-1 otherwise).
    struct Sound {
        BallSoundTemplate values;
        int channel = -1;
    };

    void fly(float dt);
    // Where along the way from `from` to `to` the ball first meets the
    // terrain or a scene entity: the fraction of the way (0..1) and what it
    // met; false when the way is clear.
    bool findHit(const Ogre::Vector3& from, const Ogre::Vector3& to, float& fraction, std::string& what);
    bool findTerrainHit(const Ogre::Vector3& from, const Ogre::Vector3& to, float& fraction);
    bool findEntityHit(const Ogre::Vector3& from, const Ogre::Vector3& to, float& fraction, std::string& what);
    void strike(const std::string& what);
    Ogre::ParticleSystem* makeEffect(const std::string& name, const BallEffectTemplate& effect);
    void destroyEffect(Ogre::ParticleSystem*& effect);
    void playSound(Sound& sound);
    void stopSound(Sound& sound);

    EnergyBallList* mList;
    GameWorld* mWorld;
    Ogre::SceneManager* mSceneManager;
    SoundManager* mSoundManager;

    Sound mFlySound;
    Sound mHitSound;
    Ogre::ParticleSystem* mFlyEffect = nullptr;
    Ogre::ParticleSystem* mHitEffect = nullptr;
    Ogre::Entity* mBox = nullptr;
    Ogre::SceneNode* mNode = nullptr;
    std::string mName;

    Ogre::Vector3 mDirection = Ogre::Vector3::UNIT_X;
    Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
    int mWeapon = 0;
    float mSpeed = 15.0f;
    float mDrag = 0.1f;
    float mGravity = 9.81f;
    float mMass = 1.0f;
    float mPower = 1.0f;
    float mRadius = 10.0f;
    float mAfterglow = 3.0f;

    float mVerticalSpeed = 0;
    float mHorizontalSpeed = 0;

    int mId;
    bool mLaunched = false;
    bool mHit = false;
    bool mActive = false;
    bool mDeleteRequested = false;
    float mFlightTime = 0;
    float mTimeSinceHit = 0;

    Ogre::AxisAlignedBoxSceneQuery* mEntityQuery = nullptr;
};

} // namespace Kelvo
