#include "HeadlessEngine.h"

#include "effects/CineFader.h"
#include "effects/IntroFader.h"
#include "effects/SceneFader.h"

#include <OgreOverlaySystem.h>

TEST(SceneFaderTest, FadeOutStepsDownAndIsDoneExactlyAtItsEnd)
{
    Kelvo::SceneFader fader;
    fader.fadeOut(1.0f);
    const float expected[] = {0.75f, 0.5f, 0.25f, 0.0f};
    for (float value : expected) {
        EXPECT_FALSE(fader.isDone());
        fader.update(0.25f);
        EXPECT_FLOAT_EQ(value, fader.value());
    }
    EXPECT_TRUE(fader.isDone());
}

TEST(SceneFaderTest, ZeroDurationJumpsToTheTarget)
{
    Kelvo::SceneFader fader;
    fader.fadeOut(0.0f);
    fader.update(0.016f);
    EXPECT_FLOAT_EQ(0.0f, fader.value());
    EXPECT_TRUE(fader.isDone());
}

TEST(SceneFaderTest, FadeStartedHalfWayStillFinishes)
{
    // A click during the fade-in turns it around from wherever it is; the
    // fade must end exactly on its target, or the state change never comes.
    Kelvo::SceneFader fader;
    fader.setBlack();
    fader.fadeIn(1.0f);
    fader.update(0.3f);
    fader.update(0.1f);
    fader.fadeOut(1.0f);
    for (int frame = 0; frame < 70; ++frame) {
        fader.update(1.0f / 60.0f);
    }
    EXPECT_TRUE(fader.isDone());
    EXPECT_EQ(0.0f, fader.value());
}

TEST(CineFaderTest, BarsAreATenthOfTheWindowInWholeHundreds)
{
    EXPECT_EQ(60, Kelvo::CineFader::barHeight(600));
    EXPECT_EQ(70, Kelvo::CineFader::barHeight(768));
    EXPECT_EQ(0, Kelvo::CineFader::barHeight(99));
}

class IntroFaderTest : public KelvoTest::HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        overlays = new Ogre::OverlaySystem();
    }
    void TearDown() override
    {
        delete overlays;
        HeadlessEngineTest::TearDown();
    }
    Ogre::OverlaySystem* overlays = nullptr;
};

TEST_F(IntroFaderTest, SamePictureKeepsTheFadeAndANewOneRestartsOnTheOtherPanel)
{
    Kelvo::IntroFader fader;
    fader.crossFadeTo("KELVO/Intro1", 2.0f);
    const bool firstPanel = fader.newestOnFirst();
    fader.update(0.5f);
    const float afterHalfSecond = fader.update(0.0f);
    fader.crossFadeTo("KELVO/Intro1", 10.0f);
    EXPECT_FLOAT_EQ(afterHalfSecond, fader.update(0.0f));
    EXPECT_FLOAT_EQ(0.5f, fader.speed());

    fader.crossFadeTo("KELVO/Intro2", 4.0f);
    EXPECT_NE(firstPanel, fader.newestOnFirst());
    EXPECT_FLOAT_EQ(0.25f, fader.speed());
    EXPECT_FLOAT_EQ(1.0f, fader.update(0.1f));
}

TEST_F(IntroFaderTest, CrossFadeEndsAfterItsTimeAndReportsZeroOneFrameLater)
{
    Kelvo::IntroFader fader;
    fader.crossFadeTo("KELVO/TITEL", 2.2f);
    float reported = 1;
    int frames = 0;
    while (reported > 0 && frames < 1000) {
        reported = fader.update(0.1f);
        ++frames;
    }
    // 22 frames of 0.1 s bring "out" to 0; the 23rd reports it.
    EXPECT_EQ(23, frames);
}

TEST(SceneFaderTest, EachFadeLogsItsEndOnceForWhatWaitsOnIt)
{
    KelvoTest::InMemoryLog log;
    Kelvo::SceneFader fader;
    fader.setBlack();
    fader.fadeIn(0.5f);
    fader.update(0.25f);
    EXPECT_EQ(0, log.collector.count("SceneFader: faded in"));
    for (int frame = 0; frame < 5; ++frame) {
        fader.update(0.25f);
    }
    EXPECT_EQ(1, log.collector.count("SceneFader: faded in"));
    fader.fadeOut(0.0f);
    fader.update(0.25f);
    fader.update(0.25f);
    EXPECT_EQ(1, log.collector.count("SceneFader: faded out"));
}
