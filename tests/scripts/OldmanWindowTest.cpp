// The old man's quest on a real terrain in a GL window (under Xvfb in the
// suite): the play state's scripts that take part (GUI, triggers, hero,
// camera, old man, the spider queen's enemy script) run by the script
// manager with frame events of a chosen length, the cinematic bars and the
// scene fader stepped as the play state steps them. Every line is a short
// tone played by the sound manager on OpenAL Soft's silent device, which
// plays a sound for as long as it really lasts, so the talk waits for the
// clock as it does in the game. The world has no windows: answers are
// given as the question window gives them, through onQuestionAnswered.
//
// The terrain is a plain at the height of the old man's hut on the island,
// so the hero stands where the talk places him.

#include "SoundManager/SoundManager.h"
#include "effects/CineFader.h"
#include "effects/SceneFader.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "scripts/CameraScript.h"
#include "scripts/GUIScript.h"
#include "scripts/GeometricTriggerScript.h"
#include "scripts/OldmanScript.h"
#include "scripts/PlayerScript.h"
#include "scripts/StandartEnemyScript.h"
#include "world/GameWorld.h"
#include "world/MeshManager.h"
#include "world/OSMSceneCallback.h"
#include "world/PlayerCharacter.h"
#include "world/ScriptManager.h"

#include "SharedEnvironment.h"
#include "TerrainWindowEngine.h"
#include "TestWorld.h"

#include <Ogre.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Kelvo::OldmanScript;
using Stage = Kelvo::OldmanScript::Stage;

const float kPlainHeight = 37.74f;
const Ogre::Vector3 kTriggerAt(-290, 38.7386f, -31);
// South of the hut, outside the trigger.
const Ogre::Vector3 kOutside(-290, kPlainHeight, -60);
const Ogre::Vector3 kQueenAt(300, kPlainHeight, -300);
const float kLineSeconds = 0.25f;

float plain(float, float)
{
    return kPlainHeight;
}

// Every spoken line is the same quiet tone.
using Engine = KelvoTest::SoundingTerrainWindowEngine;
Engine* const kEngine = KelvoTest::addSharedEnvironment<Engine>(
    "oldman", plain, std::vector<KelvoTest::ToneFile>{{"line.wav", kLineSeconds, 245.0}});

using KelvoTest::number;
using KelvoTest::triggerXml;
using KelvoTest::xyz;

std::string entityXml(const std::string& name, const std::string& mesh, const Ogre::Vector3& at,
                      const std::string& type)
{
    return "<entity name=\"" + name + "\" hidden=\"false\" filename=\"" + mesh +
           "\" CastShadows=\"no\" ReceiveShadows=\"no\"><position " + xyz(at) +
           "/><rotation x=\"0\" y=\"180\" z=\"0\" w=\"1\"/><type name=\"" + type + "\"/></entity>";
}

std::string lineXml(const std::string& key)
{
    return "<sound name=\"" + key + "\" type=\"2D_SOUND\" file=\"line.wav\" volume=\"1\" maxDistance=\"100\" "
           "minDistance=\"1\" parent=\"\"><position x=\"0\" y=\"0\" z=\"0\"/></sound>";
}

// Every line of both voices, but those left out.
std::string linesXml(const std::vector<std::string>& leftOut = {})
{
    std::string records;
    for (int i = 0; i < OldmanScript::kOldmanLines + OldmanScript::kHeroLines; ++i) {
        const bool oldman = i < OldmanScript::kOldmanLines;
        const std::string key = OldmanScript::lineKey(oldman ? OldmanScript::Speaker::Oldman
                                                             : OldmanScript::Speaker::Hero,
                                                      oldman ? i : i - OldmanScript::kOldmanLines);
        bool skip = false;
        for (const std::string& left : leftOut) {
            skip = skip || left == key;
        }
        if (!skip) {
            records += lineXml(key);
        }
    }
    return records;
}

class OldmanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = kEngine;
        ASSERT_NE(nullptr, engine);
        ASSERT_NE(nullptr, engine->window);
        testWorld = std::make_unique<KelvoTest::TestWorld>(*engine);
        loader = testWorld->loader;
        bars = new Kelvo::CineFader();
        fader = new Kelvo::SceneFader();
    }

    void TearDown() override
    {
        leaveWorld();
        testWorld.reset();
        delete fader;
        delete bars;
    }

    // The island's people and triggers round the hut, the locks, the queen
    // far off in her lair, and the lines; the hero waits south of the hut.
    void enterWorld(const std::vector<std::string>& linesLeftOut = {})
    {
        const std::string text =
            "<kelvo_scene><entities><entity name=\"player\" hidden=\"false\" filename=\"hero.mesh\" "
            "CastShadows=\"no\" ReceiveShadows=\"no\"><position " + xyz(kOutside) +
            "/><type name=\"Player\"/></entity></entities><entities>" +
            entityXml("oldman", "oldman.mesh", Ogre::Vector3(-290, kPlainHeight, -30), "NPC") +
            "</entities><entities>" + entityXml("spider_queen_mesh", "spider_queen.mesh", kQueenAt, "SpiderQueen") +
            "</entities><entities>" + triggerXml("oldman_trigger", 7, kTriggerAt) +
            triggerXml("spider_eingang_lock", 12, Ogre::Vector3(-112, 39.3f, -226)) +
            triggerXml("brunnen_eingang_lock", 12, Ogre::Vector3(338, 38.3f, 250)) +
            triggerXml("spider_queen_lair", 45, kQueenAt, "SpiderQueen") + linesXml(linesLeftOut) +
            "</entities></kelvo_scene>";
        Kelvo::WorldParts parts;
        parts.soundManager = engine->sounds;
        parts.cineFader = bars;
        parts.sceneFader = fader;
        testWorld->enter("oldman.qormscene", text, kOutside + Ogre::Vector3(0, 5, 10), parts);
        ASSERT_FALSE(HasFatalFailure());
        scene = testWorld->scene;
        world = testWorld->world;
        scripts = testWorld->scripts;
        bars->create(engine->window);
        fader->setVisible();
        // The play state's order.
        guiScript = testWorld->add(new Kelvo::GUIScript(world, scripts));
        triggers = testWorld->add(new Kelvo::GeometricTriggerScript(world, scripts));
        player = testWorld->add(new Kelvo::PlayerScript(world, scripts));
        camera = testWorld->add(new Kelvo::CameraScript(world, scripts));
        oldman = testWorld->add(new OldmanScript(world, scripts, player, guiScript));
        queen = testWorld->add(new Kelvo::StandartEnemyScript(world, scripts, "spider_queen_mesh", "spider_queen_lair"));
        ASSERT_TRUE(player->hasPlayer());
        testWorld->firstFrame();
    }

    // The play state's exit, in its order: the scene first, then scripts.
    void leaveWorld()
    {
        if (!scene) {
            return;
        }
        testWorld->leave();
        guiScript = nullptr;
        player = nullptr;
        camera = nullptr;
        triggers = nullptr;
        oldman = nullptr;
        queen = nullptr;
        scripts = nullptr;
        world = nullptr;
        bars->hide();
        scene = nullptr;
    }

    // One frame as the play state runs it: the scripts, then the fader.
    void frame()
    {
        testWorld->frame(frameSeconds);
        fader->update(frameSeconds);
        // The lines run by the clock: frames need not outrun it.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    // Frames until the condition holds; false after the limit (seconds of
    // the clock: the lines are heard in real time).
    bool runUntil(const std::function<bool()>& done, float limitSeconds = 30)
    {
        const auto start = std::chrono::steady_clock::now();
        while (!done()) {
            if (std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count() > limitSeconds) {
                return false;
            }
            frame();
        }
        return true;
    }

    void runFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            frame();
        }
    }

    bool logged(const std::string& text, size_t from = 0) const { return !logLines(text, from).empty(); }

    std::vector<std::string> logLines(const std::string& text, size_t from = 0) const
    {
        std::vector<std::string> found;
        const std::vector<std::string> lines = engine->log.lines();
        for (size_t i = from; i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos) {
                found.push_back(lines[i]);
            }
        }
        return found;
    }

    // The lines, questions and answers of the old man since the mark, in order.
    std::vector<std::string> conversation(size_t from) const
    {
        std::vector<std::string> said;
        for (const std::string& line : logLines("OldmanScript: ", from)) {
            const size_t at = line.find("OldmanScript: ");
            const std::string what = line.substr(at + 14);
            const bool lineStarted = what.rfind("line '", 0) == 0 && what.back() == '\'';
            if (lineStarted || what.rfind("question", 0) == 0) {
                said.push_back(what);
            }
        }
        return said;
    }

    size_t logMark() const { return engine->log.size(); }

    // The steps taken in a stage since the mark, in order.
    std::vector<int> stepsOfStage(int stage, size_t from) const
    {
        const std::string prefix = "OldmanScript: stage " + number(stage) + " step ";
        std::vector<int> steps;
        for (const std::string& line : logLines(prefix, from)) {
            const std::string rest = line.substr(line.find(prefix) + prefix.size());
            if (rest.find_first_not_of("0123456789") == std::string::npos) {
                steps.push_back(std::stoi(rest));
            }
        }
        return steps;
    }

    void heroTo(const Ogre::Vector3& at) { world->getPlayer()->setPosition(at); }

    void walkIn()
    {
        heroTo(kTriggerAt + Ogre::Vector3(0, -1, -3));
        ASSERT_TRUE(runUntil([this] { return oldman->isTalking(); }));
    }

    bool frozen() { return player->getUserData() != nullptr; }

    // A key held for that much game time, as the hero's script hears it.
    void holdKey(OIS::KeyCode key, float seconds)
    {
        const OIS::KeyEvent event(nullptr, key, 0);
        player->keyPressed(event);
        runFrames(static_cast<int>(std::lround(seconds / frameSeconds)));
        player->keyReleased(event);
    }

    void answerWhenAsked(int question, int choice)
    {
        ASSERT_TRUE(runUntil([&] { return oldman->isQuestionOpen() && oldman->getQuestion() == question; }))
            << "question " << question << " never came";
        oldman->onQuestionAnswered(choice);
    }

    // The whole first talk, with the given answers.
    void firstTalk(int answer1, int answer2)
    {
        walkIn();
        answerWhenAsked(1, answer1);
        answerWhenAsked(2, answer2);
        ASSERT_TRUE(runUntil([this] { return oldman->getStage() == Stage::FurtherVisits && !oldman->isTalking(); }));
    }

    void walkOutAndIn()
    {
        heroTo(kOutside);
        runFrames(3);
        walkIn();
    }

    Engine* engine = nullptr;
    float frameSeconds = 1.0f / 60;
    std::unique_ptr<KelvoTest::TestWorld> testWorld;
    Kelvo::SceneLoader* loader = nullptr;
    Kelvo::CineFader* bars = nullptr;
    Kelvo::SceneFader* fader = nullptr;
    Ogre::SceneManager* scene = nullptr;
    Kelvo::GameWorld* world = nullptr;
    Kelvo::ScriptManager* scripts = nullptr;
    Kelvo::GUIScript* guiScript = nullptr;
    Kelvo::GeometricTriggerScript* triggers = nullptr;
    Kelvo::PlayerScript* player = nullptr;
    Kelvo::CameraScript* camera = nullptr;
    OldmanScript* oldman = nullptr;
    Kelvo::StandartEnemyScript* queen = nullptr;
};

// --- the first talk -----------------------------------------------------------------------

TEST_F(OldmanTest, FirstTalkRunsItsNineStepsInOrderAlikeAtSixtyAndTenFramesASecond)
{
    const std::vector<std::string> expected = {
        "line 'player0'",  "line 'oldman1'",         "question 1 shown", "question 1 answered 2, code 2",
        "line 'oldman3'",  "line 'player4'",         "line 'oldman5'",   "question 2 shown",
        "question 2 answered 3, code 7", "line 'oldman6'",
    };
    for (float seconds : {1.0f / 60, 0.1f}) {
        SCOPED_TRACE("frame time " + number(seconds));
        frameSeconds = seconds;
        enterWorld();
        const size_t mark = logMark();
        walkIn();
        // The talk holds the hero before the old man, the view on its shot.
        EXPECT_TRUE(frozen());
        EXPECT_LT(world->getPlayer()->getPosition().distance(OldmanScript::kHeroAtHut), 0.01f);
        EXPECT_TRUE(camera->isCameraOnCutSceneNode());
        EXPECT_TRUE(world->isFreeMode());
        ASSERT_TRUE(runUntil([this] { return logged("OldmanScript: bars in"); }));

        answerWhenAsked(1, 2);
        answerWhenAsked(2, 3);
        ASSERT_TRUE(runUntil([this] { return !oldman->isTalking(); }));
        EXPECT_EQ(expected, conversation(mark));
        EXPECT_EQ(std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}), stepsOfStage(1, mark));

        // The cave is open, the hero walks and the view is his again.
        EXPECT_EQ(Stage::FurtherVisits, oldman->getStage());
        EXPECT_EQ(nullptr, loader->findTrigger("spider_eingang_lock"));
        EXPECT_NE(nullptr, loader->findTrigger("brunnen_eingang_lock"));
        EXPECT_FALSE(frozen());
        EXPECT_FALSE(guiScript->isGuiMode());
        EXPECT_FALSE(camera->isCameraOnCutSceneNode());
        EXPECT_FALSE(world->isFreeMode());
        ASSERT_TRUE(runUntil([this] { return logged("OldmanScript: bars out"); }));

        // He turns away from the old man and walks on.
        const Ogre::Vector3 placed = world->getPlayer()->getPosition();
        holdKey(OIS::KC_D, 1.5f);
        holdKey(OIS::KC_W, 2.0f);
        EXPECT_GT(world->getPlayer()->getPosition().distance(placed), 3.0f)
            << "stuck at " << world->getPlayer()->getPosition();
        leaveWorld();
    }
}

TEST_F(OldmanTest, EachAnswerToTheFirstQuestionHasItsReplyAndTheSecondQuestionChangesNothing)
{
    // Answer 1 with answer 1 to the second question, answer 3 with answer 2.
    const int answers[][2] = {{1, 1}, {3, 2}};
    const char* const replies[] = {"line 'oldman2'", "line 'oldman4'"};
    std::vector<std::string> afterSecond;
    for (int i = 0; i < 2; ++i) {
        enterWorld();
        const size_t mark = logMark();
        firstTalk(answers[i][0], answers[i][1]);
        const std::vector<std::string> said = conversation(mark);
        ASSERT_GE(said.size(), 5u);
        EXPECT_EQ(replies[i], said[4]);
        afterSecond.push_back(said.back());
        EXPECT_EQ(nullptr, loader->findTrigger("spider_eingang_lock"));
        leaveWorld();
    }
    EXPECT_EQ("line 'oldman6'", afterSecond[0]);
    EXPECT_EQ(afterSecond[0], afterSecond[1]);
}

TEST_F(OldmanTest, AMissingLineSoundIsSkippedAndTheTalkGoesOn)
{
    enterWorld({"oldman1"});
    const size_t mark = logMark();
    walkIn();
    ASSERT_TRUE(runUntil([this] { return oldman->isQuestionOpen(); }));
    EXPECT_TRUE(logged("OldmanScript: line 'oldman1' has no sound, skipped", mark));
    const std::vector<std::string> expected = {"line 'player0'", "question 1 shown"};
    EXPECT_EQ(expected, conversation(mark));
}

// --- further visits -------------------------------------------------------------------------

TEST_F(OldmanTest, TheThirdQuestionRepeatsForAnswersOneToThreeAndEndsWithFour)
{
    enterWorld();
    firstTalk(1, 1);
    heroTo(kOutside);
    runFrames(3);
    const size_t mark = logMark();
    walkIn();
    for (int choice = 1; choice <= 4; ++choice) {
        answerWhenAsked(3, choice);
    }
    ASSERT_TRUE(runUntil([this] { return !oldman->isTalking(); }));
    const std::vector<std::string> expected = {
        "question 3 shown", "question 3 answered 1, code 8",  "line 'oldman7'",
        "question 3 shown", "question 3 answered 2, code 9",  "line 'oldman8'",
        "question 3 shown", "question 3 answered 3, code 10", "line 'oldman9'",
        "question 3 shown", "question 3 answered 4, code 11", "line 'oldman10'",
    };
    EXPECT_EQ(expected, conversation(mark));
    EXPECT_EQ(Stage::FurtherVisits, oldman->getStage());
    EXPECT_FALSE(frozen());
    EXPECT_FALSE(guiScript->isGuiMode());
    EXPECT_NE(nullptr, loader->findTrigger("oldman_trigger"));
}

// --- leaving in the middle --------------------------------------------------------------------

TEST_F(OldmanTest, LeavingThroughGuiModeAndComingBackResumesAtTheSameStep)
{
    enterWorld();
    walkIn();
    ASSERT_TRUE(runUntil([this] { return oldman->isQuestionOpen(); }));
    EXPECT_TRUE(guiScript->isGuiMode());
    EXPECT_EQ(3, oldman->getStep());

    // F1 frees him while the question is open; he walks off.
    guiScript->leaveGuiMode();
    runFrames(2);
    EXPECT_FALSE(oldman->isTalking());
    EXPECT_FALSE(oldman->isQuestionOpen());
    heroTo(kOutside);
    runFrames(5);
    EXPECT_FALSE(frozen());
    EXPECT_FALSE(guiScript->isGuiMode());
    EXPECT_FALSE(camera->isCameraOnCutSceneNode());
    EXPECT_FALSE(world->isFreeMode());

    // Back: the same question again, then on as before.
    size_t mark = logMark();
    walkIn();
    answerWhenAsked(1, 3);
    ASSERT_TRUE(runUntil([this] { return oldman->getLastLineKey() == "oldman4"; }));
    std::vector<std::string> expected = {"question 1 shown", "question 1 answered 3, code 3", "line 'oldman4'"};
    EXPECT_EQ(expected, conversation(mark));
    EXPECT_TRUE(logged("OldmanScript: stage 1 step 3", mark));

    // Off in the middle of a line (F1 twice): the line ends by itself, and
    // the talk goes on with the next step when he is back.
    ASSERT_TRUE(runUntil([this] { return oldman->getLastLineKey() == "player4"; }));
    guiScript->enterGuiMode();
    guiScript->leaveGuiMode();
    runFrames(2);
    EXPECT_FALSE(oldman->isTalking());
    heroTo(kOutside);
    runFrames(3);
    EXPECT_FALSE(frozen());
    mark = logMark();
    walkOutAndIn();
    ASSERT_TRUE(runUntil([this] { return oldman->isQuestionOpen(); }));
    expected = {"line 'oldman5'", "question 2 shown"};
    EXPECT_EQ(expected, conversation(mark));
    EXPECT_TRUE(frozen());
}

// --- the queen's death and the end -----------------------------------------------------------

TEST_F(OldmanTest, TheQueensDeathStartsTheLastTalksOnlyOnceTheFirstIsOver)
{
    enterWorld();
    queen->die();
    runFrames(5);
    EXPECT_EQ(Stage::FirstTalk, oldman->getStage());
    firstTalk(2, 2);
    // Stage 2 has begun with the queen already dead.
    ASSERT_TRUE(runUntil([this] { return oldman->getStage() == Stage::QueenDeadTalk; }));
    EXPECT_FALSE(oldman->isTalking());
}

TEST_F(OldmanTest, TheFinalPhaseTakesBothToTheWellOpensItAndTheOldManIsGone)
{
    frameSeconds = 0.1f;
    enterWorld();
    firstTalk(1, 1);
    queen->die();
    ASSERT_TRUE(runUntil([this] { return oldman->getStage() == Stage::QueenDeadTalk; }));
    heroTo(kOutside);
    runFrames(3);
    const size_t mark = logMark();
    walkIn();
    ASSERT_TRUE(runUntil([this] { return oldman->getStage() == Stage::FinalPhase; }));
    ASSERT_TRUE(runUntil([this, mark] { return logged("OldmanScript: at the well", mark); }));
    // Behind black: the hero by the well, the old man beside him.
    EXPECT_LT(fader->value(), 0.05f);
    EXPECT_LT(world->getPlayer()->getPosition().distance(OldmanScript::kHeroAtWell), 0.01f);
    Ogre::SceneNode* oldmanNode = loader->findEntity("oldman")->getSceneNode();
    EXPECT_LT(oldmanNode->_getDerivedPosition().distance(OldmanScript::kOldmanAtWell), 0.01f);

    answerWhenAsked(4, 2);
    ASSERT_TRUE(runUntil([this] { return oldman->getStage() == Stage::Retired; }, 60));
    const std::vector<std::string> expected = {
        "line 'player12'", "line 'oldman11'", "line 'player13'",  "line 'oldman12'",
        "line 'oldman13'", "line 'player14'", "line 'oldman14'",  "line 'player15'",
        "line 'oldman15'", "question 4 shown", "question 4 answered 2, code 17", "line 'oldman16'",
        "line 'player19'",
    };
    EXPECT_EQ(expected, conversation(mark));
    EXPECT_EQ(nullptr, loader->findTrigger("oldman_trigger"));
    EXPECT_EQ(nullptr, loader->findTrigger("brunnen_eingang_lock"));
    EXPECT_FALSE(loader->findEntity("oldman")->getEntity()->isVisible());
    EXPECT_EQ(1.0f, fader->value());
    EXPECT_FALSE(frozen());
    EXPECT_FALSE(guiScript->isGuiMode());
    EXPECT_FALSE(camera->isCameraOnCutSceneNode());
    EXPECT_NE(nullptr, oldman->getUserData());
    // Resting for good: back at the hut nothing more is said.
    const size_t after = logMark();
    heroTo(kTriggerAt);
    runFrames(20);
    EXPECT_TRUE(conversation(after).empty());
}

} // namespace
