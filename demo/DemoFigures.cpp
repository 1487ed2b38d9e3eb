#include "demo/DemoFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Kelvo {

namespace {

std::vector<double> sortedTimes(const std::vector<DemoFrame>& frames)
{
    std::vector<double> times;
    times.reserve(frames.size());
    for (const DemoFrame& frame : frames) {
        times.push_back(frame.milliseconds);
    }
    std::sort(times.begin(), times.end());
    return times;
}

std::string figure(const char* key, double value)
{
    char line[96];
    std::snprintf(line, sizeof(line), "%s %.2f\n", key, value);
    return line;
}

} // namespace

double DemoFigures::minimum() const
{
    return mFrames.empty() ? 0.0 : sortedTimes(mFrames).front();
}

double DemoFigures::maximum() const
{
    return mFrames.empty() ? 0.0 : sortedTimes(mFrames).back();
}

double DemoFigures::percentile(double fraction) const
{
    if (mFrames.empty()) {
        return 0.0;
    }
    const std::vector<double> times = sortedTimes(mFrames);
    const double clamped = std::min(1.0, std::max(0.0, fraction));
    const auto rank = static_cast<std::size_t>(std::ceil(clamped * times.size()));
    return times[rank == 0 ? 0 : rank - 1];
}

std::size_t DemoFigures::medianTriangles() const
{
    if (mFrames.empty()) {
        return 0;
    }
    std::vector<std::size_t> counts;
    for (const DemoFrame& frame : mFrames) {
        counts.push_back(frame.triangles);
    }
    std::sort(counts.begin(), counts.end());
    return counts[(counts.size() - 1) / 2];
}

std::vector<DemoFrame> DemoFigures::slowest(std::size_t count) const
{
    std::vector<DemoFrame> frames = mFrames;
    // Stable: of equal frames the earlier on the path is listed first.
    std::stable_sort(frames.begin(), frames.end(),
                     [](const DemoFrame& a, const DemoFrame& b) { return a.milliseconds > b.milliseconds; });
    frames.resize(std::min(count, frames.size()));
    return frames;
}

std::string DemoFigures::report(const std::string& parts, const std::string& load) const
{
    std::string text = "# KELVO timed demo: frame times in milliseconds along the island's path\n";
    text += "parts " + parts + "\n";
    text += "load_average " + load + "\n";
    text += "frames " + std::to_string(mFrames.size()) + "\n";
    text += figure("min_ms", minimum());
    text += figure("median_ms", median());
    text += figure("p95_ms", percentile(0.95));
    text += figure("max_ms", maximum());
    text += figure("median_fps", median() > 0.0 ? 1000.0 / median() : 0.0);
    text += figure("slowest_fps", maximum() > 0.0 ? 1000.0 / maximum() : 0.0);
    text += "median_triangles " + std::to_string(medianTriangles()) + "\n";
    int rank = 1;
    for (const DemoFrame& frame : slowest(kSlowestListed)) {
        char line[256];
        std::snprintf(line, sizeof(line), "slowest_%d %.2f ms at %.1f s, %s\n", rank++, frame.milliseconds,
                      frame.pathTime, frame.place.c_str());
        text += line;
    }
    return text;
}

} // namespace Kelvo
