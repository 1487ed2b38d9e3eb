#include "scripts/OldmanScript.h"

#include "SoundManager/SoundManager.h"
#include "effects/CineFader.h"
#include "effects/SceneFader.h"
#include "gui/GameGUI.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scene/SoundDescription.h"
#include "scripts/CameraScript.h"
#include "scripts/GUIScript.h"
#include "scripts/PlayerScript.h"
#include "scripts/StandartEnemyScript.h"
#include "world/AnimationMixer.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageTrigger.h"
#include "world/GameWorld.h"
#include "world/NpcWalker.h"
#include "world/ScriptManager.h"

#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

#include <algorithm>

namespace Kelvo {

const char* const OldmanScript::kName = "oldmanScript";
const char* const OldmanScript::kTrigger = "oldman_trigger";
const char* const OldmanScript::kOldmanEntity = "oldman";
const char* const OldmanScript::kQueenScript = "StandartEnemyScript_spider_queen_mesh";
const char* const OldmanScript::kCaveLock = "spider_eingang_lock";
const char* const OldmanScript::kWellLock = "brunnen_eingang_lock";

const Ogre::Vector3 OldmanScript::kHeroAtHut(-289.995f, 37.7396f, -35.1636f);
const Ogre::Vector3 OldmanScript::kHeroAtWell(349.303f, 37.7061f, 203.717f);
const Ogre::Vector3 OldmanScript::kOldmanAtWell(350.803f, 37.8363f, 209.602f);
const float OldmanScript::kHeroAtHutDegrees = 180.0f;
const float OldmanScript::kHeroAtWellDegrees = 170.0f;

namespace {

const char* const kTalkAnimation = "all_talk";
const char* const kIdleAnimation = "all_idle";
const char* const kCameraScript = "CAMERA";

// Any non-null user data freezes a script.
void* const kFrozen = reinterpret_cast<void*>(1);

// The answer codes of the four questions by choice; 0: no such answer.
const int kAnswerCodes[4][4] = {
    {1, 2, 3, 0},
    {5, 6, 7, 0},
    {8, 9, 10, 11},
    {16, 17, 18, 0},
};

std::string text(int number)
{
    return Ogre::StringConverter::toString(number);
}

} // namespace

int OldmanScript::answerCode(int question, int choice)
{
    if (question < 1 || question > 4 || choice < 1 || choice > 4) {
        return 0;
    }
    return kAnswerCodes[question - 1][choice - 1];
}

std::string OldmanScript::lineKey(Speaker speaker, int line)
{
    return (speaker == Speaker::Oldman ? "oldman" : "player") + text(line);
}

OldmanScript::OldmanScript(GameWorld* world, ScriptManager* scripts, PlayerScript* player, GUIScript* gui)
    : ScriptAtom(world, scripts)
    , mPlayerScript(player)
    , mGuiScript(gui)
{
    if (SceneLoader* loader = world->getSceneLoader()) {
        mOldman = loader->findEntity(kOldmanEntity);
    }
    Ogre::SceneNode* node = mOldman ? mOldman->getSceneNode() : nullptr;
    if (!node) {
        logWarning(std::string("OldmanScript: the scene has no entity '") + kOldmanEntity +
                   "'; the talks go on without him");
        mOldman = nullptr;
    }
    mMixer.reset(new AnimationMixer(mOldman ? mOldman->getEntity() : nullptr));
    mMixer->start(kIdleAnimation);
    if (mOldman) {
        mWalker.reset(new NpcWalker(mOldman, world));
        mWalker->setSpeed(kWalkerSpeed);
        mWalker->setRadius(kWalkerRadius);
    }
    logState("waits for the hero in '" + std::string(kTrigger) + "'" +
             (node ? " at " + vectorText(node->_getDerivedPosition()) : std::string()));
}

OldmanScript::~OldmanScript() = default;

void OldmanScript::logState(const std::string& what) const
{
    logLine("OldmanScript: " + what);
}

void OldmanScript::setStage(Stage stage)
{
    mStage = stage;
    logState("stage " + text(static_cast<int>(stage)));
}

// --- per frame -----------------------------------------------------------------

void OldmanScript::update(Ogre::FrameEvent event)
{
    if (getUserData()) {
        return;
    }
    const float dt = std::min(event.timeSinceLastFrame, kMaxFrameSeconds);

    watchQueen();
    readTrigger();
    if (mTalking && heroReleased()) {
        pauseTalking("the hero was set free");
    }
    if (mTalking) {
        if (mStage == Stage::FinalPhase && mFade != Fade::None) {
            runFinalPhaseFade();
        }
        speakPendingLine();
        if (!mWaiting && !isLinePlaying()) {
            advance();
        }
    }
    hideSubtitleWhenLineEnds();
    runBars(event);
    if (mStage == Stage::Closing) {
        runClosing();
    }
    mMixer->advance(dt);
}

void OldmanScript::watchQueen()
{
    if (!mWatchQueen || mStage != Stage::FurtherVisits || !mScripts) {
        return;
    }
    auto* queen = dynamic_cast<StandartEnemyScript*>(mScripts->find(kQueenScript));
    if (!queen || !queen->isDead()) {
        return;
    }
    mWatchQueen = false;
    mWaiting = false;
    logState("the spider queen is dead");
    setStage(Stage::QueenDeadTalk);
}

void OldmanScript::readTrigger()
{
    auto* trigger = static_cast<FrameMessageTrigger*>(mWorld->getMessages()->find(kTrigger, FrameMessage::kTrigger));
    if (!trigger) {
        return;
    }
    mInTrigger = trigger->value;
    // From the final phase on the talk goes on wherever the hero is: it
    // has taken him to the well, out of the trigger.
    const bool settled = mStage == Stage::FinalPhase || mStage == Stage::Closing || mStage == Stage::Retired;
    if (settled) {
        return;
    }
    if (mInTrigger && !mTalking) {
        startTalking();
    } else if (!mInTrigger && mTalking) {
        pauseTalking("the hero left");
    }
}

bool OldmanScript::heroReleased()
{
    if (!mPlayerScript || mPlayerScript->getUserData()) {
        return false;
    }
    // Only leaving GUI mode (F1) sets him free while he talks. At the well
    // there is nowhere to walk off to: he stays, and an open question keeps
    // the mouse.
    if (mStage == Stage::FinalPhase) {
        if (mQuestionOpen && mGuiScript) {
            mGuiScript->enterGuiMode();
        } else {
            freezeHero(true);
        }
        return false;
    }
    return true;
}

void OldmanScript::startTalking()
{
    mTalking = true;
    mWaiting = false;
    mBarsOutPending = false;
    if (!mBarsInPending) {
        if (CineFader* bars = mWorld->getCineFader()) {
            bars->reset();
        }
    }
    mBarsInPending = true;
    freezeHero(true);
    if (mPlayerScript) {
        mPlayerScript->blendLoop(kIdleAnimation, kHeroBlendSeconds);
    }
    if (CameraScript* view = camera()) {
        view->showDialogueShot1();
        view->setCrosshairWanted(false);
    }
    placeHero(kHeroAtHut, kHeroAtHutDegrees);
    mWorld->setFreeMode(true);
    logState("talking, stage " + text(static_cast<int>(mStage)) + " step " + text(mStep));
}

void OldmanScript::pauseTalking(const char* why)
{
    mTalking = false;
    // An open question is asked again when he is back.
    if (mQuestionOpen) {
        mQuestionOpen = false;
        mWaiting = false;
        --mStep;
        if (GameGUI* gui = mWorld->getGui()) {
            gui->closeQuestions();
        }
    }
    mBarsInPending = false;
    mBarsOutPending = true;
    mWorld->setFreeMode(false);
    cameraToPlay();
    if (CameraScript* view = camera()) {
        view->setCrosshairWanted(true);
    }
    // Never left frozen or with the mouse on the windows.
    if (mGuiScript) {
        mGuiScript->leaveGuiMode();
    } else {
        freezeHero(false);
    }
    mMixer->blend(kIdleAnimation, AnimationMixer::kBlendWhilePlaying, kOldmanBlendSeconds, true);
    logState(std::string("paused: ") + why + ", at stage " + text(static_cast<int>(mStage)) + " step " +
             text(mStep));
}

// --- lines ---------------------------------------------------------------------

void OldmanScript::speakPendingLine()
{
    if (!mLinePending) {
        return;
    }
    mLinePending = false;
    say(mPendingSpeaker, mPendingLine);
}

void OldmanScript::say(Speaker speaker, int line)
{
    const std::string key = lineKey(speaker, line);
    SceneLoader* loader = mWorld->getSceneLoader();
    SoundDescription* sound = loader ? loader->findSound(key) : nullptr;
    int& lastOfSpeaker = speaker == Speaker::Oldman ? mLastOldmanLine : mLastHeroLine;
    if (lastOfSpeaker >= 0 && lastOfSpeaker != line && loader) {
        if (SoundDescription* previous = loader->findSound(lineKey(speaker, lastOfSpeaker))) {
            previous->stop();
        }
    }
    lastOfSpeaker = line;
    mLastLineKey = key;
    if (!sound || sound->getSoundHandle() <= 0) {
        // The talk goes on without it: the next step comes at once.
        mLastLine = nullptr;
        logWarning("OldmanScript: line '" + key + "' has no sound, skipped");
        return;
    }
    mLastLine = sound;
    sound->play();
    logState("line '" + key + "'");

    const bool oldmanSpeaks = speaker == Speaker::Oldman;
    if (mPlayerScript) {
        mPlayerScript->blendLoop(oldmanSpeaks ? kIdleAnimation : kTalkAnimation, kHeroBlendSeconds);
    }
    mMixer->blend(oldmanSpeaks ? kTalkAnimation : kIdleAnimation, AnimationMixer::kBlendWhilePlaying,
                  kOldmanBlendSeconds, true);
    if (GameGUI* gui = mWorld->getGui()) {
        gui->showSubtitle(key);
        mSubtitleShown = true;
    }
}

bool OldmanScript::isLinePlaying() const
{
    SoundManager* sounds = mWorld->getSoundManager();
    if (!mLastLine || !sounds || mLastLine->getChannelHandle() == SoundManager::kNoChannel) {
        return false;
    }
    // The channel of a line that has ended may carry another sound by now.
    const int channel = mLastLine->getChannelHandle();
    return sounds->getFollowedNode(channel) == mLastLine->getSceneNode() && sounds->IsPlaying(channel);
}

void OldmanScript::hideSubtitleWhenLineEnds()
{
    if (!mSubtitleShown || isLinePlaying()) {
        return;
    }
    mSubtitleShown = false;
    if (GameGUI* gui = mWorld->getGui()) {
        gui->hideSubtitle();
    }
}

// --- steps ---------------------------------------------------------------------

void OldmanScript::advance()
{
    ++mStep;
    logState("stage " + text(static_cast<int>(mStage)) + " step " + text(mStep));
    performStep();
}

void OldmanScript::performStep()
{
    switch (mStage) {
    case Stage::FirstTalk:
        firstTalkStep();
        break;
    case Stage::FurtherVisits:
        furtherVisitStep();
        break;
    case Stage::QueenDeadTalk:
        queenDeadStep();
        break;
    case Stage::FinalPhase:
        finalPhaseStep();
        break;
    case Stage::Closing:
    case Stage::Retired:
        break;
    }
}

void OldmanScript::sayNext(Speaker speaker, int line)
{
    // Spoken at the start of the next frame's talk.
    mLinePending = true;
    mPendingSpeaker = speaker;
    mPendingLine = line;
}

namespace {

// A step that says a line, or (question above 0) asks a question.
struct Beat {
    OldmanScript::Speaker speaker;
    int line;
    int question;
};

} // namespace

void OldmanScript::firstTalkStep()
{
    switch (mStep) {
    case 1:
        sayNext(Speaker::Hero, 0);
        break;
    case 2:
        sayNext(Speaker::Oldman, 1);
        break;
    case 3:
        showQuestion(1);
        break;
    case 4:
        // His reply to the first answer: line 2, 3 or 4.
        if (mAnswerCode >= 1 && mAnswerCode <= 3) {
            sayNext(Speaker::Oldman, mAnswerCode + 1);
        } else {
            logWarning("OldmanScript: no answer to the first question, code " + text(mAnswerCode));
        }
        break;
    case 5:
        sayNext(Speaker::Hero, 4);
        break;
    case 6:
        sayNext(Speaker::Oldman, 5);
        break;
    case 7:
        showQuestion(2);
        break;
    case 8:
        sayNext(Speaker::Oldman, 6);
        break;
    default:
        mWaiting = true;
        mBarsOutPending = true;
        mBarsInPending = false;
        setStage(Stage::FurtherVisits);
        if (mGuiScript) {
            mGuiScript->leaveGuiMode();
        }
        removeTrigger(kCaveLock);
        endConversation();
        break;
    }
}

void OldmanScript::furtherVisitStep()
{
    switch (mStep) {
    case 1:
        showQuestion(3);
        break;
    case 2:
        if (mAnswerCode >= 8 && mAnswerCode <= 10) {
            // Lines 7 to 9, then the same question again.
            sayNext(Speaker::Oldman, mAnswerCode - 1);
            mStep = 0;
        } else if (mAnswerCode == 11) {
            sayNext(Speaker::Oldman, 10);
        }
        break;
    default:
        mWaiting = true;
        mBarsOutPending = true;
        mBarsInPending = false;
        endConversation();
        if (mGuiScript) {
            mGuiScript->leaveGuiMode();
        }
        break;
    }
}

void OldmanScript::queenDeadStep()
{
    static const Beat kBeats[] = {
        {Speaker::Hero, 12, 0}, {Speaker::Oldman, 11, 0}, {Speaker::Hero, 13, 0}, {Speaker::Oldman, 12, 0}};
    if (mStep >= 1 && mStep <= 4) {
        sayNext(kBeats[mStep - 1].speaker, kBeats[mStep - 1].line);
        return;
    }
    // Behind a fade to black the two go to the well.
    setStage(Stage::FinalPhase);
    mStep = 0;
    mWaiting = true;
    mFade = Fade::ToBlack;
    if (SceneFader* fader = mWorld->getSceneFader()) {
        fader->fadeOut(kFadeSeconds);
    }
}

void OldmanScript::runFinalPhaseFade()
{
    SceneFader* fader = mWorld->getSceneFader();
    const bool done = !fader || fader->isDone();
    if (!done) {
        return;
    }
    if (mFade == Fade::ToBlack) {
        if (CameraScript* view = camera()) {
            view->showDialogueShot2();
        }
        placeHero(kHeroAtWell, kHeroAtWellDegrees);
        if (Ogre::SceneNode* node = mOldman ? mOldman->getSceneNode() : nullptr) {
            node->_setDerivedPosition(kOldmanAtWell);
        }
        if (fader) {
            fader->fadeIn(kFadeSeconds);
        }
        mFade = Fade::BackIn;
        logState("at the well");
        return;
    }
    mFade = Fade::None;
    mWaiting = false;
}

void OldmanScript::finalPhaseStep()
{
    static const Beat kBeats[] = {{Speaker::Oldman, 13, 0}, {Speaker::Hero, 14, 0},  {Speaker::Oldman, 14, 0},
                                  {Speaker::Hero, 15, 0},   {Speaker::Oldman, 15, 0}, {Speaker::Oldman, 0, 4},
                                  {Speaker::Oldman, 16, 0}, {Speaker::Hero, 19, 0}};
    if (mStep >= 1 && mStep <= 8) {
        const Beat& beat = kBeats[mStep - 1];
        if (beat.question > 0) {
            showQuestion(beat.question);
        } else {
            sayNext(beat.speaker, beat.line);
        }
        return;
    }
    mWaiting = true;
    mBarsOutPending = true;
    mBarsInPending = false;
    mWorld->setFreeMode(false);
    setStage(Stage::Closing);
    mFade = Fade::ToBlack;
    if (SceneFader* fader = mWorld->getSceneFader()) {
        fader->fadeOut(kFadeSeconds);
    }
    removeTrigger(kWellLock);
    removeTrigger(kTrigger);
    endConversation();
}

void OldmanScript::runClosing()
{
    SceneFader* fader = mWorld->getSceneFader();
    if (fader && !fader->isDone()) {
        return;
    }
    if (mFade == Fade::ToBlack) {
        if (Ogre::SceneNode* node = mOldman ? mOldman->getSceneNode() : nullptr) {
            node->setVisible(false);
        }
        if (fader) {
            fader->fadeIn(kFadeSeconds);
        }
        mFade = Fade::BackIn;
        logState("gone");
        return;
    }
    mFade = Fade::None;
    if (mGuiScript) {
        mGuiScript->leaveGuiMode();
    } else {
        freezeHero(false);
    }
    if (CameraScript* view = camera()) {
        view->setCrosshairWanted(true);
    }
    cameraToPlay();
    setStage(Stage::Retired);
    // Never runs again.
    setUserData(kFrozen);
}

// --- questions -------------------------------------------------------------------

void OldmanScript::showQuestion(int question)
{
    mQuestion = question;
    mQuestionOpen = true;
    mWaiting = true;
    if (GameGUI* gui = mWorld->getGui()) {
        switch (question) {
        case 1:
            gui->showQuestions1(this);
            break;
        case 2:
            gui->showQuestions2(this);
            break;
        case 3:
            gui->showQuestions3(this);
            break;
        default:
            gui->showQuestions4(this);
            break;
        }
    }
    // The mouse is needed for the answer.
    if (mGuiScript) {
        mGuiScript->enterGuiMode();
    }
    logState("question " + text(question) + " shown");
}

void OldmanScript::onQuestionAnswered(int choice)
{
    if (!mQuestionOpen) {
        logWarning("OldmanScript: answer " + text(choice) + " with no question open, ignored");
        return;
    }
    const int code = answerCode(mQuestion, choice);
    if (code == 0) {
        logWarning("OldmanScript: question " + text(mQuestion) + " has no answer " + text(choice) + ", ignored");
        return;
    }
    mAnswerCode = code;
    mQuestionOpen = false;
    mWaiting = false;
    logState("question " + text(mQuestion) + " answered " + text(choice) + ", code " + text(code));
    if (mGuiScript) {
        mGuiScript->leaveGuiMode();
    }
    freezeHero(true);
}

// --- the conversation's end and the people in it ----------------------------------

void OldmanScript::endConversation()
{
    mLinePending = false;
    mStep = 0;
    mTalking = false;
    mWorld->setFreeMode(false);
    if (CameraScript* view = camera()) {
        view->setCrosshairWanted(true);
    }
    cameraToPlay();
    mMixer->blend(kIdleAnimation, AnimationMixer::kBlendWhilePlaying, kOldmanBlendSeconds, true);
    if (mPlayerScript) {
        mPlayerScript->blendLoop(kIdleAnimation, kHeroBlendSeconds);
    }
    logState("conversation over, stage " + text(static_cast<int>(mStage)));
}

CameraScript* OldmanScript::camera() const
{
    return dynamic_cast<CameraScript*>(mScripts ? mScripts->find(kCameraScript) : nullptr);
}

void OldmanScript::cameraToPlay()
{
    // Put back, not swapped: a swap from the play node would leave the
    // camera on the dialogue shot.
    CameraScript* view = camera();
    if (view && view->isCameraOnCutSceneNode()) {
        view->swapCamera();
    }
}

void OldmanScript::freezeHero(bool frozen)
{
    if (mPlayerScript) {
        mPlayerScript->setUserData(frozen ? kFrozen : nullptr);
    }
}

void OldmanScript::placeHero(const Ogre::Vector3& at, float degrees)
{
    const Ogre::Quaternion turned(Ogre::Degree(degrees), Ogre::Vector3::UNIT_Y);
    if (mPlayerScript) {
        mPlayerScript->placeAt(at, turned);
    }
}

void OldmanScript::removeTrigger(const char* name)
{
    SceneLoader* loader = mWorld->getSceneLoader();
    if (loader && loader->removeTrigger(name)) {
        logState(std::string("removed '") + name + "'");
    } else {
        logWarning(std::string("OldmanScript: there is no trigger '") + name + "' to remove");
    }
}

// --- bars ------------------------------------------------------------------------

void OldmanScript::runBars(const Ogre::FrameEvent& event)
{
    CineFader* bars = mWorld->getCineFader();
    if (mBarsInPending) {
        if (!bars || bars->showBars(event) >= 1) {
            if (bars) {
                bars->reset();
            }
            mBarsInPending = false;
            logState("bars in");
        }
    }
    if (mBarsOutPending) {
        if (!bars || bars->hideBars(event) <= 0) {
            if (bars) {
                bars->reset();
            }
            mBarsOutPending = false;
            logState("bars out");
        }
    }
}

} // namespace Kelvo
