#pragma once

#include <string>
#include <vector>

namespace Kelvo {

// The command line of the timed demo: "kelvo --demo [switches]". Without
// "--demo" the game starts as usual. See the README's "Timed demo".
struct DemoOptions {
    static constexpr float kDefaultSeconds = 60.0f;
    static constexpr float kStepSeconds = 0.1f;
    static const char* const kDefaultResultFile;

    bool enabled = false;
    // Seconds of the whole path, flown while measuring; the path advances a
    // fixed step a frame, so this also fixes the number of frames (fewer
    // seconds see the same places in fewer, farther apart frames).
    float seconds = kDefaultSeconds;
    int warmUpFramesPerPlace = 4;
    std::string resultFile = kDefaultResultFile;
    // Where the pictures of the places go after the run; none when empty.
    std::string shotFolder;
    bool water = true;
    bool sky = true;
    bool entities = true;
    bool particles = true;
    bool gui = true;

    int frameCount() const;
    // "terrain sky water ..." for what is drawn.
    std::string partsDrawn() const;

    // False, with the reason in error, for an unknown switch or a bad value;
    // the game then does not start.
    static bool parse(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error);
    static const char* usage();
};

} // namespace Kelvo
