#include "scripts/EnergyBall.h"

#include "SoundManager/SoundManager.h"
#include "platform/Log.h"
#include "scene/SceneLoader.h"
#include "scripts/EnergyBallList.h"
#include "world/FrameMessageBulletHit.h"
#include "world/FrameMessageManager.h"
#include "world/GameWorld.h"
#include "world/PlayerCharacter.h"
#include "world/TerrainProbe.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

const char* const EnergyBall::kHitMessage = "BULLET_HIT";
const char* const EnergyBall::kHeroEntityName = "player";

namespace {

// Process-wide, so the names of a new game's balls never meet a leftover
// of the last one.
int sNextBallId = 0;

const char* const kBoxMesh = "box.mesh";
// Refining a terrain crossing between two samples this many times puts the
// blast within a few centimetres of the surface.
const int kTerrainRefinements = 6;

// The speed of 100 km/h and of 50 km/h in units (metres) per second.
const float kFastBall = 27.7777786f;
const float kSlowBall = 13.8888893f;

const BallWeapon kWeapon1 = {kFastBall, 0.1f,   4.0f,        1.0f,        25.0f,        13.0f,        2.0f,
                             0.1f,      0.1f,   "bullet1Fly", "bullet1Hit", "bullet1FlyS", "bullet1HitS", true};
// Both energy balls use the same sounds.
const BallWeapon kWeapon2 = {kFastBall, 0.0001f, 1.0f,        1.0f,        30.0f,        7.0f,         2.0f,
                             0.05f,     0.05f,   "bullet2Fly", "bullet2Hit", "bullet1FlyS", "bullet1HitS", true};
const BallWeapon kOtherWeapon = {kSlowBall, 0.1f,    9.81f,   2.0f,    10.0f, 15.0f, 2.0f,
                                 0.1f,      0.2f,    nullptr, nullptr, nullptr, nullptr, false};

// expm1(x) / x, and (expm1(x) - x) / x^2: the two growth factors of the
// flight's closed form, with their limits 1 and 1/2 where x is tiny (the
// second weapon's drag is 0.0001).
double growth1(double x)
{
    return std::fabs(x) < 1e-6 ? 1.0 + x / 2.0 : std::expm1(x) / x;
}

double growth2(double x)
{
    return std::fabs(x) < 1e-3 ? 0.5 + x / 6.0 + x * x / 24.0 : (std::expm1(x) - x) / (x * x);
}

} // namespace

const BallWeapon& BallWeapon::forWeapon(int weapon)
{
    switch (weapon) {
    case 1:
        return kWeapon1;
    case 2:
        return kWeapon2;
    default:
        return kOtherWeapon;
    }
}

EnergyBall::EnergyBall(EnergyBallList* list, GameWorld* world)
    : mList(list)
    , mWorld(world)
    , mSceneManager(world->getSceneManager())
    , mSoundManager(world->getSoundManager())
    , mId(++sNextBallId)
{
    mNode = mSceneManager->getRootSceneNode()->createChildSceneNode("BULLET_NODE_" + getIdText());
    mNode->setVisible(false);
    mEntityQuery = mSceneManager->createAABBQuery(Ogre::AxisAlignedBox());
    // Scene entities only: the terrain has its own test.
    mEntityQuery->setQueryTypeMask(Ogre::SceneManager::ENTITY_TYPE_MASK);
    mList->add(this);
}

EnergyBall::~EnergyBall()
{
    stopSound(mFlySound);
    stopSound(mHitSound);
    destroyEffect(mFlyEffect);
    destroyEffect(mHitEffect);
    if (mBox) {
        mSceneManager->destroyEntity(mBox);
    }
    mSceneManager->destroyQuery(mEntityQuery);
    mNode->detachAllObjects();
    mSceneManager->destroySceneNode(mNode);
}

std::string EnergyBall::getIdText() const
{
    return Ogre::StringConverter::toString(mId);
}

void EnergyBall::setWeapon(int weapon, const BallWeapon& values)
{
    mWeapon = weapon;
    mSpeed = values.speed;
    mDrag = values.drag;
    mGravity = values.gravity;
    mMass = values.mass;
    mPower = values.power;
    mRadius = values.radius;
    mAfterglow = values.afterglow;
}

// --- what it is made of -------------------------------------------------------

Ogre::ParticleSystem* EnergyBall::makeEffect(const std::string& name, const BallEffectTemplate& effect)
{
    if (effect.particleTemplate.empty()) {
        return nullptr;
    }
    Ogre::ParticleSystem* system = nullptr;
    try {
        system = mSceneManager->createParticleSystem(name, effect.particleTemplate);
    } catch (const Ogre::Exception& e) {
        logWarning("EnergieBallScript: no particle system '" + name + "': " + e.getDescription());
        return nullptr;
    }
    system->setDefaultDimensions(effect.width, effect.height);
    return system;
}

void EnergyBall::destroyEffect(Ogre::ParticleSystem*& effect)
{
    if (!effect) {
        return;
    }
    if (effect->isAttached()) {
        effect->detachFromParent();
    }
    mSceneManager->destroyParticleSystem(effect);
    effect = nullptr;
}

void EnergyBall::setFlyEffect(const BallEffectTemplate& effect)
{
    destroyEffect(mFlyEffect);
    mFlyEffect = makeEffect("BULLET_FLY_" + getIdText(), effect);
    if (mFlyEffect) {
        mNode->attachObject(mFlyEffect);
    }
}

void EnergyBall::setHitEffect(const BallEffectTemplate& effect)
{
    destroyEffect(mHitEffect);
    // Attached only when the ball strikes: its burst starts then.
    mHitEffect = makeEffect("BULLET_HIT_" + getIdText(), effect);
}

void EnergyBall::setFlySound(const BallSoundTemplate& sound)
{
    stopSound(mFlySound);
    mFlySound.values = sound;
}

void EnergyBall::setHitSound(const BallSoundTemplate& sound)
{
    stopSound(mHitSound);
    mHitSound.values = sound;
}

void EnergyBall::addBox(bool visible)
{
    if (mBox) {
        return;
    }
    try {
        mBox = mSceneManager->createEntity("BULLET_BOX_" + getIdText(), kBoxMesh);
    } catch (const Ogre::Exception& e) {
        logWarning(std::string("EnergieBallScript: no ball core from '") + kBoxMesh + "': " + e.getDescription());
        return;
    }
    mBox->setCastShadows(false);
    mBox->setVisible(visible);
    mNode->attachObject(mBox);
}

void EnergyBall::playSound(Sound& sound)
{
    if (!mSoundManager || sound.values.soundHandle <= 0) {
        return;
    }
    mSoundManager->PlaySound(sound.values.soundHandle, mNode, &sound.channel);
    mSoundManager->Set3DMinMaxDistance(sound.channel, sound.values.minDistance, sound.values.maxDistance);
    mSoundManager->SetVolume(sound.channel, sound.values.volume);
}

void EnergyBall::stopSound(Sound& sound)
{
    if (sound.channel == SoundManager::kNoChannel || !mSoundManager) {
        return;
    }
    // A sound that ended by itself leaves its channel free for others: the
    // channel is stopped only while it still follows this ball.
    if (mSoundManager->getFollowedNode(sound.channel) == mNode) {
        mSoundManager->StopSound(sound.channel);
    }
    sound.channel = SoundManager::kNoChannel;
}

// --- flight ----------------------------------------------------------------------

void EnergyBall::setPosition(const Ogre::Vector3& position)
{
    mPosition = position;
    mNode->setPosition(position);
}

void EnergyBall::launch()
{
    if (mLaunched) {
        return;
    }
    // A direction steeper than straight up (a high aim plus the tilt)
    // counts as straight up rather than giving no speed at all.
    const float up = std::max(-1.0f, std::min(1.0f, mDirection.y));
    logLine("EnergieBallScript: ball " + getIdText() + " launched, weapon " +
            Ogre::StringConverter::toString(mWeapon) + ", direction " + vectorText(mDirection));
    mVerticalSpeed = up * mSpeed;
    mHorizontalSpeed = std::sqrt(1.0f - up * up) * mSpeed;
    mDirection.y = 0;
    mDirection = mDirection.isZeroLength() ? Ogre::Vector3::UNIT_X : mDirection.normalisedCopy();
    mLaunched = true;
    mActive = true;
    mNode->setVisible(true);
    playSound(mFlySound);
}

void EnergyBall::update(float dt)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    if (!mActive || !mLaunched || !loader || !loader->isSceneLoaded()) {
        return;
    }
    mFlightTime += dt;
    if (!mHit) {
        fly(dt);
    } else {
        mTimeSinceHit += dt;
    }
    if (mFlightTime > kMaxFlightSeconds || (mHit && mTimeSinceHit > mAfterglow)) {
        if (!mHit) {
            logLine("EnergieBallScript: ball " + getIdText() + " struck nothing in " +
                    Ogre::StringConverter::toString(kMaxFlightSeconds) + " s");
        }
        stopSound(mFlySound);
        stopSound(mHitSound);
        requestDelete();
    }
}

void EnergyBall::fly(float dt)
{
    // The frame's step of v' = (v drag - m g) / m vertically and
    // h' = -h drag / m horizontally, solved exactly: any split of the same
    // time into frames gives the same path.
    const double k = double(mDrag) / mMass;
    const double t = dt;
    const double v0 = mVerticalSpeed;
    const double h0 = mHorizontalSpeed;
    const double rise = v0 * t * growth1(k * t) - mGravity * t * t * growth2(k * t);
    const double travel = h0 * t * growth1(-k * t);
    mVerticalSpeed = float(v0 * std::exp(k * t) - mGravity * t * growth1(k * t));
    mHorizontalSpeed = float(h0 * std::exp(-k * t));

    const Ogre::Vector3 from = mPosition;
    const Ogre::Vector3 to = from + mDirection * float(travel) + Ogre::Vector3(0, float(rise), 0);

    float fraction = 1;
    std::string what;
    const bool testing = mFlightTime > kHitTestDelay;
    if (testing && findHit(from, to, fraction, what)) {
        setPosition(from + (to - from) * fraction);
        mTimeSinceHit += (1 - fraction) * dt;
        strike(what);
        return;
    }
    setPosition(to);
}

bool EnergyBall::findHit(const Ogre::Vector3& from, const Ogre::Vector3& to, float& fraction, std::string& what)
{
    float terrainFraction = 2;
    float entityFraction = 2;
    std::string entity;
    const bool terrain = findTerrainHit(from, to, terrainFraction);
    const bool struck = findEntityHit(from, to, entityFraction, entity);
    if (!terrain && !struck) {
        return false;
    }
    // Whichever comes first along the way.
    if (struck && (!terrain || entityFraction <= terrainFraction)) {
        fraction = entityFraction;
        what = "entity '" + entity + "'";
    } else {
        fraction = terrainFraction;
        what = "the terrain";
    }
    return true;
}

bool EnergyBall::findTerrainHit(const Ogre::Vector3& from, const Ogre::Vector3& to, float& fraction)
{
    TerrainProbe* probe = mWorld->getTerrainProbe();
    auto belowGround = [probe](const Ogre::Vector3& at) {
        Ogre::Vector3 ground;
        return probe->pointBelow(at, ground) && at.y <= ground.y;
    };
    const Ogre::Vector3 way = to - from;
    const float across = Ogre::Vector2(way.x, way.z).length();
    const int samples = std::max(1, int(std::ceil(across / kTerrainSampleSpacing)));
    float clear = 0;
    for (int i = 1; i <= samples; ++i) {
        const float at = float(i) / samples;
        if (!belowGround(from + way * at)) {
            clear = at;
            continue;
        }
        float under = at;
        for (int step = 0; step < kTerrainRefinements; ++step) {
            const float middle = (clear + under) / 2;
            (belowGround(from + way * middle) ? under : clear) = middle;
        }
        fraction = under;
        return true;
    }
    return false;
}

bool EnergyBall::findEntityHit(const Ogre::Vector3& from, const Ogre::Vector3& to, float& fraction,
                               std::string& what)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    const PlayerCharacter* hero = mWorld->getPlayer();
    const Ogre::Entity* heroEntity = hero ? hero->getEntity() : nullptr;
    const Ogre::Vector3 way = to - from;
    const float length = way.length();
    const Ogre::Vector3 direction = length > 0 ? way / length : mDirection;
    const Ogre::Ray ray(from, direction);

    // Only what stands near this frame's way is tested: a box query around
    // it visits a few octants, where a ray query would follow the ray
    // across the whole level.
    Ogre::AxisAlignedBox near(from, from);
    near.merge(to + direction * kEntityLookAhead);
    mEntityQuery->setBox(near);
    float nearest = length + 1;
    for (Ogre::MovableObject* object : mEntityQuery->execute().movables) {
        if (object == heroEntity || object->getName() == kHeroEntityName || !loader->findEntity(object->getName())) {
            continue;
        }
        const std::pair<bool, Ogre::Real> entered = Ogre::Math::intersects(ray, object->getWorldBoundingBox());
        // The ball strikes where it comes within reach of the entity's
        // bounds: the same place whatever the length of the frame.
        const float reach = entered.first ? std::max(0.0f, entered.second - kEntityLookAhead) : length + 1;
        if (reach <= length && reach < nearest) {
            nearest = reach;
            what = object->getName();
        }
    }
    if (nearest > length) {
        return false;
    }
    fraction = length > 0 ? nearest / length : 0;
    return true;
}

void EnergyBall::strike(const std::string& what)
{
    mHit = true;
    if (mFlyEffect && mFlyEffect->isAttached()) {
        mFlyEffect->detachFromParent();
    }
    if (mHitEffect && !mHitEffect->isAttached()) {
        mNode->attachObject(mHitEffect);
    }
    mWorld->getMessages()->post(new FrameMessageBulletHit(kHitMessage, mPosition, mPower, mRadius, mName, false));
    playSound(mHitSound);
    stopSound(mFlySound);

    const PlayerCharacter* hero = mWorld->getPlayer();
    const float fromHero = hero ? hero->getPosition().distance(mPosition) : 0;
    logLine("EnergieBallScript: ball " + getIdText() + " hit " + what + " at " + vectorText(mPosition) + ", " +
            Ogre::StringConverter::toString(fromHero, 5) + " from the hero");
}

void EnergyBall::requestDelete()
{
    mActive = false;
    if (!mDeleteRequested) {
        mDeleteRequested = true;
        mList->requestDelete(this);
    }
}

} // namespace Kelvo
