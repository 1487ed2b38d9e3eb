#pragma once

#include "gui/QuestionListener.h"
#include "world/ScriptAtom.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <memory>
#include <string>

namespace Kelvo {

class AnimationMixer;
class CameraScript;
class EntityDescription;
class GUIScript;
class NpcWalker;
class PlayerScript;
class SoundDescription;

// The quest, told by the old man ("oldman") in spoken conversations. The
// hero walking into "oldman_trigger" starts one: the cinematic bars slide
// in, the camera cuts to a fixed shot, the hero is frozen and placed before
// the old man, and the two take turns saying their lines (the scene sounds
// "oldman0".."oldman16" and "player0".."player20", each shown as a subtitle
// while it plays) with the speaker on "all_talk" and the listener on
// "all_idle". Four times the hero answers a question in the dialogue window.
//
// The stages: the first talk (opens the spider cave by removing
// "spider_eingang_lock"), further visits until the spider queen is dead,
// the talk after her death, the final phase (behind a fade to black hero and
// old man stand at the well; the talk ends with "brunnen_eingang_lock" and
// "oldman_trigger" removed), the closing (behind another fade the old man
// is gone), then the script rests for good.
//
// A step of a conversation is taken only once the last line has ended and
// no question or fade is open; a line whose sound is missing is skipped. The
// hero leaves a conversation only by leaving GUI mode (F1) and walking out:
// the conversation pauses (a line still playing ends on its own, an open
// question closes) and resumes at the same step when he comes back.
//
// Logs, name first: "OldmanScript: stage N step M", "... line 'KEY'",
// "... question N shown", "... question N answered C, code X", and every
// change of what it does.
//
// Created by the play state after the energy balls' script with the hero's
// and the GUI script, run once a frame after them; the question window calls
// onQuestionAnswered from inside CEGUI's input handling.
class OldmanScript : public ScriptAtom, public QuestionListener {
public:
    static const char* const kName;
    static const char* const kTrigger;
    static const char* const kOldmanEntity;
    static const char* const kQueenScript;
    static const char* const kCaveLock;
    static const char* const kWellLock;

    static constexpr int kOldmanLines = 17;
    static constexpr int kHeroLines = 21;
    static constexpr float kMaxFrameSeconds = 0.1f;
    static constexpr float kWalkerSpeed = 25.0f;
    static constexpr float kWalkerRadius = 4.0f;
    static constexpr float kHeroBlendSeconds = 0.1f;
    static constexpr float kOldmanBlendSeconds = 0.5f;
    static constexpr float kFadeSeconds = 3.0f;

    enum class Stage { FirstTalk = 1, FurtherVisits, QueenDeadTalk, FinalPhase, Closing, Retired };
    enum class Speaker { Oldman, Hero };

    // Where the talk puts the hero (and, at the well, the old man).
    static const Ogre::Vector3 kHeroAtHut;
    static const Ogre::Vector3 kHeroAtWell;
    static const Ogre::Vector3 kOldmanAtWell;
    static const float kHeroAtHutDegrees;
    static const float kHeroAtWellDegrees;

    OldmanScript(GameWorld* world, ScriptManager* scripts, PlayerScript* player, GUIScript* gui);
    ~OldmanScript() override;

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "oldmanScript"; }

    // The answer picked in the question window, 1 to 4.
    void onQuestionAnswered(int choice) override;

    // The code an answer gives to the question, or 0 when the question has
    // no such answer. Read by the steps that follow.
    static int answerCode(int question, int choice);
    // The sound (and subtitle) name of a line.
    static std::string lineKey(Speaker speaker, int line);

    // Read by tests.
    Stage getStage() const { return mStage; }
    int getStep() const { return mStep; }
    bool isTalking() const { return mTalking; }
    bool isWaiting() const { return mWaiting; }
    bool isQuestionOpen() const { return mQuestionOpen; }
    int getQuestion() const { return mQuestion; }
    int getAnswerCode() const { return mAnswerCode; }
    // The key of the last line started ("oldman3"), empty before the first.
    const std::string& getLastLineKey() const { return mLastLineKey; }
    AnimationMixer* getMixer() const { return mMixer.get(); }

private:
    enum class Fade { None, ToBlack, BackIn };

    void watchQueen();
    void readTrigger();
    void startTalking();
    void pauseTalking(const char* why);
    bool heroReleased();
    void sayNext(Speaker speaker, int line);
    void speakPendingLine();
    void say(Speaker speaker, int line);
    bool isLinePlaying() const;
    void hideSubtitleWhenLineEnds();
    void advance();
    void performStep();
    void firstTalkStep();
    void furtherVisitStep();
    void queenDeadStep();
    void finalPhaseStep();
    void runFinalPhaseFade();
    void runClosing();
    void runBars(const Ogre::FrameEvent& event);
    void showQuestion(int question);
    void endConversation();
    // The camera's script ("CAMERA"), or null in a world without one.
    CameraScript* camera() const;
    void cameraToPlay();
    void freezeHero(bool frozen);
    void placeHero(const Ogre::Vector3& at, float degrees);
    void removeTrigger(const char* name);
    void setStage(Stage stage);
    void logState(const std::string& what) const;

    PlayerScript* mPlayerScript;
    GUIScript* mGuiScript;
    EntityDescription* mOldman = nullptr;
    std::unique_ptr<AnimationMixer> mMixer;
    std::unique_ptr<NpcWalker> mWalker;

    Stage mStage = Stage::FirstTalk;
    int mStep = 0;
    bool mInTrigger = false;
    bool mTalking = false;
    bool mWatchQueen = true;
    // A question is open or a fade runs.
    bool mWaiting = false;
    bool mQuestionOpen = false;
    int mQuestion = 0;
    int mAnswerCode = 0;

    bool mLinePending = false;
    Speaker mPendingSpeaker = Speaker::Oldman;
    int mPendingLine = 0;

    // The last line started, and each speaker's last line (stopped before
    // another of the same speaker starts).
    SoundDescription* mLastLine = nullptr;
    std::string mLastLineKey;
    int mLastOldmanLine = -1;
    int mLastHeroLine = -1;
    bool mSubtitleShown = false;

    bool mBarsInPending = false;
    bool mBarsOutPending = false;
    Fade mFade = Fade::None;
};

} // namespace Kelvo
