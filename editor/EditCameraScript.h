#pragma once

#include "editor/EditKeyState.h"
#include "editor/EditMouseState.h"
#include "world/ScriptAtom.h"

#include <OgrePrerequisites.h>

namespace Kelvo {

// The level editor's free-flying camera. The world's camera hangs on a pitch
// node "CAMERA_EDIT_PITCH" under a yaw node "CAMERA_EDIT", so turning never
// rolls it. Each frame it reads the control script's messages: the mode, the
// mouse (turns the camera in mouse-look mode only) and the held keys (fly
// along the view, pitch included). It only reads messages, never removes
// them. Created by the editor state on entry, third in the run list; the
// nodes are made anew on every entry, 200 units above the origin.
class EditCameraScript : public ScriptAtom {
public:
    static const char* const kYawNodeName;
    static const char* const kPitchNodeName;
    static constexpr float kStartHeight = 200.0f;
    static constexpr float kDegreesPerPixel = 0.5f;
    static constexpr float kUnitsPerSecond = 100.0f;
    // Frames longer than this (a stall) move as far as this one does.
    static constexpr float kMaxFrameSeconds = 0.1f;

    EditCameraScript(GameWorld* world, ScriptManager* scripts);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "EditCamera"; }

    int getEditMode() const { return mEditMode; }
    Ogre::SceneNode* getYawNode() const { return mYawNode; }
    Ogre::SceneNode* getPitchNode() const { return mPitchNode; }

private:
    void turn(const EditMouseState& mouse);
    void fly(const EditKeyState& keys, float seconds);

    int mEditMode = 0;
    EditMouseState mMouse;
    EditKeyState mKeys;
    Ogre::SceneNode* mYawNode = nullptr;
    Ogre::SceneNode* mPitchNode = nullptr;
    // Logged when a flight begins and ends, not every frame.
    bool mFlying = false;
};

} // namespace Kelvo
