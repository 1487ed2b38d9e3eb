#pragma once

#include "scripts/EnergyBall.h"
#include "world/ScriptAtom.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <map>
#include <memory>
#include <string>

namespace Kelvo {

class EnergyBallList;

// Turns the hero's throws into energy balls. "PLAYER_THROW" true (early in
// the throw) makes a ball of the selected weapon, held 3 units above the
// hero; false (the release) launches it, and so does the next throw while
// one is still held. Aimed along the hero's facing, or along the camera's
// view in aim mode, tilted up by the weapon's amount. The balls fly, strike
// and go by themselves (EnergyBall); this script owns their list.
//
// The balls' effects and sounds are copies of the scene's templates
// ("bullet1Fly", "bullet1Hit", "bullet2Fly", "bullet2Hit", "bullet1FlyS",
// "bullet1HitS"), looked up once here; a missing one is logged once and the
// balls go without it.
//
// Created by the play state after the camera's script, run fifth every
// frame; deleted on leaving the play, which deletes every ball still flying.
class EnergieBallScript : public ScriptAtom {
public:
    static const char* const kThrowMessage;
    static const char* const kCameraNodeName;
    static constexpr float kHeldHeight = 3.0f;
    static constexpr float kMaxFrameSeconds = 0.1f;

    EnergieBallScript(GameWorld* world, ScriptManager* scripts);
    ~EnergieBallScript() override;

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "EnergieBallScript"; }

    // Read by tests.
    EnergyBallList* getBalls() const { return mBalls.get(); }
    EnergyBall* getHeldBall() const { return mHeldBall; }

private:
    void throwStarts();
    void launchHeld();
    Ogre::Vector3 aimDirection(const BallWeapon& weapon) const;
    void findEffect(const char* name);
    void findSound(const char* name);

    std::unique_ptr<EnergyBallList> mBalls;
    Ogre::SceneNode* mCameraNode = nullptr;
    EnergyBall* mHeldBall = nullptr;
    std::map<std::string, BallEffectTemplate> mEffects;
    std::map<std::string, BallSoundTemplate> mSounds;
};

} // namespace Kelvo
