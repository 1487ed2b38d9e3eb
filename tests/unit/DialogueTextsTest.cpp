// The table of spoken lines as the subtitles read it: the game's own table
// gives every line of both voices a text, and the table's special lines
// (what the voice says instead, headings, comments) never become one.

#include "HeadlessEngine.h"

#include "gui/DialogueTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(DialogueTextsTest, TheGamesTableGivesEveryLineOfBothVoicesAText)
{
    KelvoTest::InMemoryLog log;
    std::ifstream table(KELVO_TEST_DATA_DIR "/../../../tools/media/text/dialogue_de.txt");
    ASSERT_TRUE(table.good());
    Kelvo::DialogueTexts texts;
    texts.read(table, "dialogue_de.txt");
    for (int line = 0; line <= 16; ++line) {
        EXPECT_NE(nullptr, texts.find("oldman" + std::to_string(line))) << line;
    }
    for (int line = 0; line <= 20; ++line) {
        EXPECT_NE(nullptr, texts.find("player" + std::to_string(line))) << line;
    }
    EXPECT_EQ(0, log.collector.count("DialogueTexts:")) << "the game's table has faulty lines";
    ASSERT_NE(nullptr, texts.find("player6"));
    EXPECT_EQ("Ich f\xC3\xBCrchte, ich habe kein Geld. K\xC3\xB6nnte ich den Betrag abarbeiten?",
              *texts.find("player6"));
}

TEST(DialogueTextsTest, SpokenFormsHeadingsAndFaultyLinesNeverBecomeATextAndFaultsAreLogged)
{
    KelvoTest::InMemoryLog log;
    std::istringstream table("# a comment = not a line\n"
                             "[voice hero]\n"
                             "\n"
                             "player1 =  Gr\xC3\xBC\xC3\x9F Gott!  \r\n"
                             "player1.say = Gruess Gott\n"
                             "player2 Hallo\n"
                             "player3 =\n"
                             "oldman1 = Erster\n"
                             "oldman1 = Zweiter\n"
                             "oldman1 = Dritter\n"
                             "= ohne Namen\n");
    Kelvo::DialogueTexts texts;
    texts.read(table, "test table");
    ASSERT_NE(nullptr, texts.find("player1"));
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F Gott!", *texts.find("player1"));
    EXPECT_EQ(nullptr, texts.find("player1.say"));
    EXPECT_EQ(nullptr, texts.find("player2"));
    EXPECT_EQ(nullptr, texts.find("player3"));
    // Which of the texts is meant cannot be known: none is shown.
    EXPECT_EQ(nullptr, texts.find("oldman1"));
    EXPECT_EQ(1u, texts.size());
    EXPECT_TRUE(log.collector.contains("test table line 6 is no 'KEY = TEXT' line"));
    EXPECT_TRUE(log.collector.contains("test table line 7 gives 'player3' no text"));
    EXPECT_TRUE(log.collector.contains("test table line 9 gives 'oldman1' a second text"));
    EXPECT_TRUE(log.collector.contains("test table line 11 is no 'KEY = TEXT' line"));
}

} // namespace
