// The timed demo's command line, its path over the island and its figures
// (no engine: these are the parts whose mistakes would make two runs
// incomparable or a report wrong).

#include "demo/DemoFigures.h"
#include "demo/DemoOptions.h"
#include "demo/DemoPath.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kelvo::DemoFigures;
using Kelvo::DemoFrame;
using Kelvo::DemoOptions;
using Kelvo::DemoPath;

DemoFrame frame(double milliseconds, float pathTime = 0.0f, const std::string& place = "")
{
    DemoFrame result;
    result.milliseconds = milliseconds;
    result.pathTime = pathTime;
    result.place = place;
    result.triangles = static_cast<std::size_t>(milliseconds * 1000);
    return result;
}

std::map<std::string, std::string> reportLines(const std::string& report)
{
    std::map<std::string, std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            const auto space = line.find(' ');
            lines[line.substr(0, space)] = line.substr(space + 1);
        }
    }
    return lines;
}

bool parse(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error)
{
    return DemoOptions::parse(arguments, options, error);
}

TEST(TimedDemoOptions, SwitchesChooseWhatIsDrawnAndHowLong)
{
    DemoOptions options;
    std::string error;
    ASSERT_TRUE(parse({}, options, error)) << error;
    EXPECT_FALSE(options.enabled);

    ASSERT_TRUE(parse({"--demo"}, options, error)) << error;
    EXPECT_TRUE(options.enabled);
    EXPECT_EQ(options.partsDrawn(), "terrain sky water entities particles gui");
    EXPECT_EQ(options.frameCount(), 600);
    EXPECT_EQ(options.resultFile, "timed_demo.txt");

    // the reference keeps the sky: terrain and sky only
    ASSERT_TRUE(parse({"--demo", "--reference", "--seconds", "2.5", "--result", "r.txt"}, options, error));
    EXPECT_EQ(options.partsDrawn(), "terrain sky");
    EXPECT_EQ(options.frameCount(), 25);
    EXPECT_EQ(options.resultFile, "r.txt");

    ASSERT_TRUE(parse({"--demo", "--no-water", "--no-gui", "--warm-up", "0"}, options, error));
    EXPECT_EQ(options.partsDrawn(), "terrain sky entities particles");
    EXPECT_EQ(options.warmUpFramesPerPlace, 0);
    // a second parse starts from the defaults
    ASSERT_TRUE(parse({"--demo", "--no-sky"}, options, error));
    EXPECT_EQ(options.partsDrawn(), "terrain water entities particles gui");
}

TEST(TimedDemoOptions, BadCommandLinesAreRefusedWithTheReason)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--demo", "--seconds"}, "--seconds needs a value"},
        {{"--demo", "--seconds", "fast"}, "'fast'"},
        {{"--demo", "--seconds", "0"}, "--seconds"},
        {{"--demo", "--seconds", "601"}, "--seconds"},
        {{"--demo", "--seconds", "nan"}, "--seconds"},
        {{"--demo", "--warm-up", "2.5"}, "--warm-up"},
        {{"--demo", "--warm-up", "-1"}, "--warm-up"},
        {{"--demo", "--result"}, "--result needs a value"},
        {{"--demo", "--fast"}, "unknown switch '--fast'"},
        {{"--no-water"}, "--demo"},
    };
    for (const auto& [arguments, reason] : cases) {
        DemoOptions options;
        std::string error;
        EXPECT_FALSE(parse(arguments, options, error)) << arguments.back();
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
}

TEST(TimedDemoPath, PassesEveryPlaceSmoothlyWhateverTheFrameRate)
{
    const DemoPath path = DemoPath::island(80.0f);
    EXPECT_FLOAT_EQ(path.seconds(), 80.0f);
    ASSERT_EQ(path.places().size(), 8u);
    EXPECT_FLOAT_EQ(path.timeOfPlace(0), 0.0f);
    EXPECT_FLOAT_EQ(path.timeOfPlace(path.places().size() - 1), path.seconds());
    for (size_t i = 0; i < path.places().size(); ++i) {
        SCOPED_TRACE(path.places()[i].name);
        if (i > 0) {
            EXPECT_GT(path.timeOfPlace(i), path.timeOfPlace(i - 1));
        }
        const Kelvo::DemoPose pose = path.poseAt(path.timeOfPlace(i));
        EXPECT_TRUE(pose.eye.positionEquals(path.places()[i].eye, 0.01f)) << pose.eye;
        EXPECT_TRUE(pose.target.positionEquals(path.places()[i].target, 0.01f)) << pose.target;
        EXPECT_EQ(path.describe(path.timeOfPlace(i)), "at " + path.places()[i].name);
    }
    // Flown at 0.1 s and at 1/60 s, the same moment gives the same pose,
    // and no step jumps: the eased pace peaks at 1.5 times the mean speed.
    float length = 0.0f;
    for (size_t i = 1; i < path.places().size(); ++i) {
        length += path.places()[i].eye.distance(path.places()[i - 1].eye);
    }
    const float fastest = 1.5f * 1.01f * length / path.seconds() * 0.1f;
    Ogre::Vector3 previous = path.poseAt(0.0f).eye;
    for (int step = 1; step <= 800; ++step) {
        const float time = step * 0.1f;
        const Ogre::Vector3 eye = path.poseAt(time).eye;
        EXPECT_LT(eye.distance(previous), fastest) << "at " << time << " s";
        previous = eye;
        const int sixtieths = step * 6;
        EXPECT_TRUE(path.poseAt(sixtieths / 60.0f).eye.positionEquals(eye, 1e-3f)) << time;
    }
    EXPECT_TRUE(path.poseAt(-5.0f).eye.positionEquals(path.places().front().eye));
    EXPECT_TRUE(path.poseAt(1000.0f).eye.positionEquals(path.places().back().eye));
    EXPECT_EQ(path.describe(0.5f * (path.timeOfPlace(1) + path.timeOfPlace(2))), "the wreck to the hut");
}

TEST(TimedDemoFigures, PercentilesAndSlowestFramesWithTheirPlaces)
{
    DemoFigures empty;
    EXPECT_EQ(empty.median(), 0.0);
    EXPECT_EQ(empty.maximum(), 0.0);
    EXPECT_TRUE(empty.slowest(5).empty());

    DemoFigures figures;
    // 100 frames of 1..100 ms, not in order
    for (int i = 0; i < 100; ++i) {
        const int milliseconds = (i * 37) % 100 + 1;
        figures.add(frame(milliseconds, i * 0.1f, "place " + std::to_string(milliseconds)));
    }
    EXPECT_EQ(figures.frameCount(), 100u);
    EXPECT_EQ(figures.minimum(), 1.0);
    EXPECT_EQ(figures.median(), 50.0);
    EXPECT_EQ(figures.percentile(0.95), 95.0);
    EXPECT_EQ(figures.maximum(), 100.0);
    EXPECT_EQ(figures.medianTriangles(), 50000u);
    const std::vector<DemoFrame> slowest = figures.slowest(3);
    ASSERT_EQ(slowest.size(), 3u);
    EXPECT_EQ(slowest[0].place, "place 100");
    EXPECT_EQ(slowest[1].place, "place 99");
    EXPECT_EQ(slowest[2].place, "place 98");

    // a single slow frame among fast ones moves the maximum, not the median
    DemoFigures spike;
    for (int i = 0; i < 99; ++i) {
        spike.add(frame(40.0));
    }
    spike.add(frame(400.0, 12.3f, "the hut to the queen's cave"));
    EXPECT_EQ(spike.median(), 40.0);
    EXPECT_EQ(spike.percentile(0.95), 40.0);
    EXPECT_EQ(spike.maximum(), 400.0);

    const auto lines = reportLines(spike.report("terrain sky", "1.00 2.00 3.00 / 1.50 2.00 3.00"));
    EXPECT_EQ(lines.at("parts"), "terrain sky");
    EXPECT_EQ(lines.at("load_average"), "1.00 2.00 3.00 / 1.50 2.00 3.00");
    EXPECT_EQ(lines.at("frames"), "100");
    EXPECT_EQ(lines.at("min_ms"), "40.00");
    EXPECT_EQ(lines.at("median_ms"), "40.00");
    EXPECT_EQ(lines.at("p95_ms"), "40.00");
    EXPECT_EQ(lines.at("max_ms"), "400.00");
    EXPECT_EQ(lines.at("median_fps"), "25.00");
    EXPECT_EQ(lines.at("slowest_fps"), "2.50");
    EXPECT_EQ(lines.at("median_triangles"), "40000");
    EXPECT_EQ(lines.at("slowest_1"), "400.00 ms at 12.3 s, the hut to the queen's cave");
    EXPECT_EQ(lines.count("slowest_6"), 0u);
}

} // namespace
