// Writers on a full disk: a child process with a small file-size limit
// stands in for the disk, the way the game runs (oversized writes fail
// instead of ending the process). The old file must stay whole, nothing
// half-written may be left beside it, and the writer must say it failed.

#include "SceneTestFixture.h"

#include "app/OptionsFile.h"
#include "platform/Environment.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

const int kWriteSucceeded = 0;
const int kWriteFailed = 3;

// Runs write() in a child whose files may grow to at most limitBytes.
// Returns kWriteSucceeded or kWriteFailed as write() reported it, or the
// negated signal number when the child was killed.
int writeWithFileSizeLimit(rlim_t limitBytes, const std::function<bool()>& write)
{
    const pid_t child = fork();
    if (child == 0) {
        rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        Kelvo::Platform::failOversizedWritesInsteadOfEnding();
        _exit(write() ? kWriteSucceeded : kWriteFailed);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

std::string readWhole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

namespace KelvoTest {

TEST_F(SceneTest, SaveOnAFullDiskFailsAndKeepsTheOldSceneFileWhole)
{
    const std::string source = std::string(KELVO_TEST_DATA_DIR) + "/../../e2e/data/small_world/world.qormscene";
    writeScene("full.qormscene", readWhole(source));
    ASSERT_TRUE(mLoader->load("full.qormscene", mSceneManager, nullptr, true));
    ASSERT_TRUE(mLoader->save());
    const std::string saved = readScene("full.qormscene");
    ASSERT_GT(saved.size(), 200u);

    // The designer's edit makes the file longer than the disk has room for.
    ASSERT_NE(nullptr, mLoader->addEntity("new_ball", "ball.mesh"));
    const std::string edited = mLoader->sceneText();
    ASSERT_GT(edited.size(), saved.size());

    EXPECT_EQ(kWriteFailed, writeWithFileSizeLimit(saved.size() / 2, [this] { return mLoader->save(); }));
    EXPECT_EQ(saved, readScene("full.qormscene"));
    EXPECT_FALSE(fileExists("full.qormscene.saving"));

    // With room enough the same save goes through: the limit, not the
    // edit, made it fail.
    EXPECT_EQ(kWriteSucceeded, writeWithFileSizeLimit(edited.size() * 4, [this] { return mLoader->save(); }));
    EXPECT_EQ(edited, readScene("full.qormscene"));
}

TEST(OptionsFileFullDiskTest, WriteOnAFullDiskFailsAndKeepsTheOldOptionsFileWhole)
{
    TemporaryFolder folder("kelvo-options-full");
    const std::string path = folder.path() + "/options.cfg";
    Ogre::ConfigOptionMap renderOptions;
    Ogre::ConfigOption fullScreen;
    fullScreen.name = "Full Screen";
    fullScreen.currentValue = "No";
    fullScreen.possibleValues = {"No", "Yes"};
    renderOptions[fullScreen.name] = fullScreen;
    Kelvo::OptionTable table = Kelvo::OptionsFile::makeTable(renderOptions);
    const std::tm now{};
    ASSERT_TRUE(Kelvo::OptionsFile::write(path, table, now));
    const std::string old = readWhole(path);

    table["fullscreen"].assign("Yes");
    EXPECT_EQ(kWriteFailed,
              writeWithFileSizeLimit(old.size() / 2, [&] { return Kelvo::OptionsFile::write(path, table, now); }));
    EXPECT_EQ(old, readWhole(path));
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());

    EXPECT_EQ(kWriteSucceeded,
              writeWithFileSizeLimit(old.size() * 4, [&] { return Kelvo::OptionsFile::write(path, table, now); }));
    EXPECT_NE(std::string::npos, readWhole(path).find("fullscreen=Yes\n"));
}

} // namespace KelvoTest
