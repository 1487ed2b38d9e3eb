#include "demo/DemoOptions.h"

#include <cmath>
#include <cstdlib>

namespace Kelvo {

const char* const DemoOptions::kDefaultResultFile = "timed_demo.txt";

namespace {

// Ten minutes of frames at most: beyond that a run tells nothing new.
const float kLongestSeconds = 600.0f;
const int kMostWarmUpFrames = 100;

bool readNumber(const std::string& text, double& value)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

} // namespace

int DemoOptions::frameCount() const
{
    return static_cast<int>(std::lround(seconds / kStepSeconds));
}

std::string DemoOptions::partsDrawn() const
{
    std::string parts = "terrain";
    const std::pair<bool, const char*> optional[] = {
        {sky, "sky"}, {water, "water"}, {entities, "entities"}, {particles, "particles"}, {gui, "gui"}};
    for (const auto& part : optional) {
        if (part.first) {
            parts += std::string(" ") + part.second;
        }
    }
    return parts;
}

const char* DemoOptions::usage()
{
    return "kelvo --demo [--seconds S] [--warm-up N] [--result FILE] [--shots FOLDER]\n"
           "             [--reference] [--no-water] [--no-sky] [--no-entities] [--no-particles] [--no-gui]\n"
           "  --seconds S    the whole path in S seconds, 0.1 s a frame (default 60, at most 600)\n"
           "  --warm-up N    frames at each place before measuring (default 4)\n"
           "  --result FILE  where the figures go (default timed_demo.txt)\n"
           "  --shots FOLDER pictures of the places after the run\n"
           "  --reference    terrain and sky only (the same as all four --no-... but --no-sky)\n";
}

bool DemoOptions::parse(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error)
{
    options = DemoOptions();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        std::string text;
        double number = 0.0;
        if (argument == "--demo") {
            options.enabled = true;
        } else if (argument == "--seconds") {
            if (!value(text)) {
                return false;
            }
            if (!readNumber(text, number) || number < kStepSeconds || number > kLongestSeconds) {
                error = "--seconds takes a number from 0.1 to 600, not '" + text + "'";
                return false;
            }
            options.seconds = static_cast<float>(number);
        } else if (argument == "--warm-up") {
            if (!value(text)) {
                return false;
            }
            if (!readNumber(text, number) || number < 0 || number > kMostWarmUpFrames ||
                number != std::floor(number)) {
                error = "--warm-up takes a whole number of frames from 0 to 100, not '" + text + "'";
                return false;
            }
            options.warmUpFramesPerPlace = static_cast<int>(number);
        } else if (argument == "--result") {
            if (!value(options.resultFile)) {
                return false;
            }
        } else if (argument == "--shots") {
            if (!value(options.shotFolder)) {
                return false;
            }
        } else if (argument == "--reference") {
            options.water = options.entities = options.particles = options.gui = false;
        } else if (argument == "--no-water") {
            options.water = false;
        } else if (argument == "--no-sky") {
            options.sky = false;
        } else if (argument == "--no-entities") {
            options.entities = false;
        } else if (argument == "--no-particles") {
            options.particles = false;
        } else if (argument == "--no-gui") {
            options.gui = false;
        } else {
            error = "unknown switch '" + argument + "'";
            return false;
        }
    }
    if (!options.enabled && !arguments.empty()) {
        error = "the switches belong to the timed demo: start it with --demo";
        return false;
    }
    return true;
}

} // namespace Kelvo
