#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Kelvo {

// One measured frame of the timed demo.
struct DemoFrame {
    double milliseconds = 0.0;
    float pathTime = 0.0f;
    std::string place;
    std::size_t triangles = 0;
};

// The figures of one run of the timed demo: frame times (minimum, median,
// 95th percentile, maximum) and the slowest frames with where on the path
// they were. Written as "key value" lines that tools/timed_demo.py reads and
// compares.
class DemoFigures {
public:
    static const std::size_t kSlowestListed = 5;

    void add(const DemoFrame& frame) { mFrames.push_back(frame); }
    std::size_t frameCount() const { return mFrames.size(); }

    // All zero while there are no frames.
    double minimum() const;
    double maximum() const;
    // The value below which the given fraction of the frames lie (nearest
    // rank: the median of an even count is the lower middle frame).
    double percentile(double fraction) const;
    double median() const { return percentile(0.5); }
    std::size_t medianTriangles() const;
    // The slowest frames first, at most count of them.
    std::vector<DemoFrame> slowest(std::size_t count) const;

    // The whole report; parts names what was drawn, load the machine's load
    // averages before and after the run.
    std::string report(const std::string& parts, const std::string& load) const;

private:
    std::vector<DemoFrame> mFrames;
};

} // namespace Kelvo
