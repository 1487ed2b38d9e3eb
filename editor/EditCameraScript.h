#pragma once

#include "editor/EditKeyState.h"
#include "editor/EditMouseState.h"
#include "states/EditorPlaySession.h"
#include "world/ScriptAtom.h"

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

// The level editor's free-flying camera. The world's camera hangs on a pitch
// node "CAMERA_EDIT_PITCH" under a yaw node "CAMERA_EDIT", so turning never
// rolls it. Each frame it reads the control script's messages: the mode, the
// mouse (turns the camera in mouse-look mode only) and the held keys (fly
// along the view, pitch included). It only reads messages, never removes
// them. Created by the editor state on entry, third in the run list; the
// nodes are made anew on every entry, 200 units above the origin.
//
// Framing (the editor state asks for it with F): the camera flies to look at
// a node from where its world box just fits the view, keeping its heading
// and, unless it looks up or nearly level, its pitch. The flight eases over
// kFramingSeconds of capped frame time and ends exactly on the computed pose,
// so slow and fast frame rates end in the same place; keys and the mouse do
// not steer the camera until it has arrived.
class EditCameraScript : public ScriptAtom {
public:
    static const char* const kYawNodeName;
    static const char* const kPitchNodeName;
    static constexpr float kStartHeight = 200.0f;
    static constexpr float kDegreesPerPixel = 0.5f;
    static constexpr float kUnitsPerSecond = 100.0f;
    // Frames longer than this (a stall) move as far as this one does.
    static constexpr float kMaxFrameSeconds = 0.1f;
    static constexpr float kFramingSeconds = 0.5f;
    static constexpr float kFramingTimeTolerance = 1e-4f;
    // The framed box's bounding sphere fills this share of the narrower
    // half-angle of the view, leaving a margin round it.
    static constexpr float kFramingFill = 0.9f;
    // Framing looks down at least this far (and at most the maximum), so
    // the camera never ends below the object or straight above it.
    static constexpr float kFramingMinDownDegrees = 15.0f;
    static constexpr float kFramingMaxDownDegrees = 80.0f;
    // A node without a drawable (an empty box) is framed as a ball this big.
    static constexpr float kFramingEmptyRadius = 5.0f;

    // Where the camera stands and how it is turned: the yaw node's position
    // and the yaw and pitch nodes' own orientations (kept through a game
    // played from the editor in the same form).
    using Pose = EditorPlaySession::CameraPose;

    EditCameraScript(GameWorld* world, ScriptManager* scripts);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "EditCamera"; }

    // Starts the flight to frame the node (false, with a log line, without
    // one: nothing moves).
    bool frameNode(Ogre::SceneNode* node);
    bool isFraming() const { return mFraming; }
    // The pose that frames a world box from the current heading and pitch.
    Pose framingPose(const Ogre::AxisAlignedBox& worldBox) const;

    Pose getPose() const;
    void setPose(const Pose& pose);

    int getEditMode() const { return mEditMode; }
    Ogre::SceneNode* getYawNode() const { return mYawNode; }
    Ogre::SceneNode* getPitchNode() const { return mPitchNode; }

private:
    void turn(const EditMouseState& mouse);
    void fly(const EditKeyState& keys, float seconds);
    void advanceFraming(float seconds);

    int mEditMode = 0;
    EditMouseState mMouse;
    EditKeyState mKeys;
    Ogre::SceneNode* mYawNode = nullptr;
    Ogre::SceneNode* mPitchNode = nullptr;
    // Logged when a flight begins and ends, not every frame.
    bool mFlying = false;
    bool mFraming = false;
    float mFramingTime = 0.0f;
    Pose mFramingFrom;
    Pose mFramingTo;
    std::string mFramedName;
};

} // namespace Kelvo
