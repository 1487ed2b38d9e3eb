#include "app/OptionsFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using Kelvo::OptionEntry;
using Kelvo::OptionsFile;
using Kelvo::OptionTable;

namespace {

// The options the OpenGL render system offers here: no "Rendering Device".
Ogre::ConfigOptionMap openGlOptions()
{
    Ogre::ConfigOptionMap options;
    auto add = [&options](const std::string& name, const std::string& current, Ogre::StringVector possible) {
        Ogre::ConfigOption option;
        option.name = name;
        option.currentValue = current;
        option.possibleValues = possible;
        option.immutable = false;
        options[name] = option;
    };
    add("Full Screen", "No", {"No", "Yes"});
    add("VSync", "Yes", {"No", "Yes"});
    add("Video Mode", "1024 x  768", {"800 x  600", "1024 x  768"});
    add("FSAA", "0", {"0", "2", "4"});
    return options;
}

Ogre::ConfigOptionMap direct3dOptions()
{
    Ogre::ConfigOptionMap options = openGlOptions();
    Ogre::ConfigOption device;
    device.name = "Rendering Device";
    device.currentValue = "Card A";
    device.possibleValues = {"Card A", "Card B"};
    device.immutable = false;
    options[device.name] = device;
    return options;
}

class OptionsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ::testing::TempDir() + "options_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".cfg";
        std::remove(path.c_str());
        table = OptionsFile::makeTable(openGlOptions());
    }
    void TearDown() override { std::remove(path.c_str()); }

    void writeText(const std::string& text)
    {
        std::ofstream file(path, std::ios::binary);
        file << text;
    }

    std::string readText()
    {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    static std::tm timeOfDay(int hour, int minute, int second)
    {
        std::tm now{};
        now.tm_hour = hour;
        now.tm_min = minute;
        now.tm_sec = second;
        return now;
    }

    std::string path;
    OptionTable table;
};

const char* const kGoodFile =
    "# Author: Orvelt\n"
    "# 12:30:15 file created..\n"
    "fullscreen=Yes\n"
    "vsync=No\n"
    "resolution=800 x  600\n"
    "texturefilter=Anisotropic 4x\n"
    "deviceName=\n";

} // namespace

TEST(OptionEntryTest, AssignTakesOnlyAllowedValuesCaseSensitively)
{
    OptionEntry entry;
    entry.value = "No";
    entry.allowedValues = {"No", "Yes"};
    EXPECT_TRUE(entry.assign("Yes"));
    EXPECT_EQ("Yes", entry.value);
    EXPECT_FALSE(entry.assign("yes"));
    EXPECT_FALSE(entry.valid);
    EXPECT_EQ("Yes", entry.value);
}

TEST_F(OptionsFileTest, TableKeepsOnlyOfferedRenderOptionsPlusTextureFilter)
{
    ASSERT_EQ(4u, table.size());
    EXPECT_EQ(0u, table.count("deviceName"));
    EXPECT_EQ("1024 x  768", table["resolution"].value);
    EXPECT_EQ("Video Mode", table["resolution"].engineName);
    EXPECT_EQ("Bilinear", table["texturefilter"].value);
    EXPECT_EQ(5u, table["texturefilter"].allowedValues.size());
    EXPECT_EQ(5u, OptionsFile::makeTable(direct3dOptions()).size());
}

TEST_F(OptionsFileTest, MissingFileIsUnusable)
{
    EXPECT_FALSE(OptionsFile::read(path, table));
}

TEST_F(OptionsFileTest, WrittenFileHasSevenLinesAndReadsBack)
{
    table["fullscreen"].assign("Yes");
    table["texturefilter"].assign("Trilinear");
    ASSERT_TRUE(OptionsFile::write(path, table, timeOfDay(12, 30, 15)));
    EXPECT_EQ("# Author: Orvelt\n"
              "# 12:30:15 file created..\n"
              "fullscreen=Yes\n"
              "vsync=Yes\n"
              "resolution=1024 x  768\n"
              "texturefilter=Trilinear\n"
              "deviceName=\n",
              readText());

    OptionTable fresh = OptionsFile::makeTable(openGlOptions());
    EXPECT_TRUE(OptionsFile::read(path, fresh));
    EXPECT_EQ("Yes", fresh["fullscreen"].value);
    EXPECT_EQ("Trilinear", fresh["texturefilter"].value);
}

TEST_F(OptionsFileTest, ZeroTimeFieldsPrintAsNothing)
{
    EXPECT_EQ("# 9:5: file created..\n", OptionsFile::timeLine(timeOfDay(9, 5, 0)));
    EXPECT_EQ("# 10::5 file created..\n", OptionsFile::timeLine(timeOfDay(10, 0, 5)));
}

TEST_F(OptionsFileTest, GoodFileIsReadWhereverCommentsStand)
{
    writeText("fullscreen=Yes\n# a comment between settings\nvsync=No\nresolution=800 x  600\n"
              "texturefilter=Anisotropic 4x\n#another\ndeviceName=\n");
    EXPECT_TRUE(OptionsFile::read(path, table));
    EXPECT_EQ("No", table["vsync"].value);
    EXPECT_EQ("800 x  600", table["resolution"].value);
    EXPECT_EQ("Anisotropic 4x", table["texturefilter"].value);
}

TEST_F(OptionsFileTest, ExtraEmptyLineMakesASixthSettingAndTheFileUnusable)
{
    writeText(std::string(kGoodFile) + "\n");
    EXPECT_FALSE(OptionsFile::read(path, table));
}

TEST_F(OptionsFileTest, DisallowedValueStopsReadingButKeepsEarlierValues)
{
    writeText("fullscreen=Yes\nvsync=Maybe\nresolution=800 x  600\ntexturefilter=Trilinear\n");
    EXPECT_FALSE(OptionsFile::read(path, table));
    EXPECT_EQ("Yes", table["fullscreen"].value);
    EXPECT_EQ("Yes", table["vsync"].value);
    EXPECT_EQ("1024 x  768", table["resolution"].value);
}

TEST_F(OptionsFileTest, MissingSettingMakesTheFileUnusable)
{
    writeText("fullscreen=Yes\nvsync=No\nresolution=800 x  600\ndeviceName=\n");
    EXPECT_FALSE(OptionsFile::read(path, table));
}

TEST_F(OptionsFileTest, RepeatedSettingDoesNotStandInForAMissingOne)
{
    writeText("fullscreen=Yes\nvsync=No\nvsync=No\nresolution=800 x  600\ndeviceName=\n");
    EXPECT_FALSE(OptionsFile::read(path, table));
}

TEST_F(OptionsFileTest, LastLineWithoutLineFeedKeepsItsWholeValue)
{
    writeText("fullscreen=Yes\nvsync=No\nresolution=800 x  600\ndeviceName=\ntexturefilter=Trilinear");
    EXPECT_TRUE(OptionsFile::read(path, table));
    EXPECT_EQ("Trilinear", table["texturefilter"].value);
}

TEST_F(OptionsFileTest, WindowsLineEndsAreAccepted)
{
    writeText("fullscreen=Yes\r\nvsync=No\r\nresolution=800 x  600\r\ntexturefilter=Trilinear\r\ndeviceName=\r\n");
    EXPECT_TRUE(OptionsFile::read(path, table));
    EXPECT_EQ("800 x  600", table["resolution"].value);
}

TEST_F(OptionsFileTest, OverlongLineIsSplitIntoSeveralSettingLines)
{
    writeText("fullscreen=Yes\nvsync=No\nresolution=800 x  600\ntexturefilter=" + std::string(600, 'x') + "\n");
    EXPECT_FALSE(OptionsFile::read(path, table));
}

TEST_F(OptionsFileTest, DeviceNameCountsWhereTheRenderSystemOffersIt)
{
    OptionTable withDevice = OptionsFile::makeTable(direct3dOptions());
    writeText("fullscreen=Yes\nvsync=No\nresolution=800 x  600\ntexturefilter=Trilinear\ndeviceName=Card B\n");
    EXPECT_TRUE(OptionsFile::read(path, withDevice));
    EXPECT_EQ("Card B", withDevice["deviceName"].value);

    OptionTable again = OptionsFile::makeTable(direct3dOptions());
    writeText("fullscreen=Yes\nvsync=No\nresolution=800 x  600\ntexturefilter=Trilinear\ndeviceName=\n");
    EXPECT_FALSE(OptionsFile::read(path, again));
}

TEST_F(OptionsFileTest, UnwritableFileReportsFailure)
{
    EXPECT_FALSE(OptionsFile::write("/nonexistent-folder/options.cfg", table, timeOfDay(1, 2, 3)));
}

TEST(TextureFilteringTest, ValuesMapToFilterAndAnisotropy)
{
    EXPECT_EQ(Ogre::TFO_BILINEAR, OptionsFile::textureFilteringFor("Bilinear").filter);
    const auto trilinear = OptionsFile::textureFilteringFor("Trilinear");
    EXPECT_EQ(Ogre::TFO_TRILINEAR, trilinear.filter);
    EXPECT_EQ(1u, trilinear.anisotropy);
    const auto anisotropic = OptionsFile::textureFilteringFor("Anisotropic 8x");
    EXPECT_EQ(Ogre::TFO_ANISOTROPIC, anisotropic.filter);
    EXPECT_EQ(8u, anisotropic.anisotropy);
    EXPECT_EQ(2u, OptionsFile::textureFilteringFor("Anisotropic 2x").anisotropy);
    EXPECT_EQ(4u, OptionsFile::textureFilteringFor("Anisotropic 4x").anisotropy);
}
