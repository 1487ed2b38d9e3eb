#include "demo/DemoPath.h"

#include <algorithm>
#include <cmath>

namespace Kelvo {

namespace {

// A stretch this near a place (as a fraction of the stretch) counts as
// being at the place.
const float kAtPlaceFraction = 0.2f;

} // namespace

DemoPath DemoPath::island(float seconds)
{
    // Eyes stand off the places so that each view also looks far inland or
    // out to sea: the far views are where the fog and the render distances
    // show.
    return DemoPath(
        {
            {"the first view", {-490.0f, 39.3f, -60.0f}, {-482.0f, 35.3f, -60.0f}},
            {"the wreck", {-420.0f, 50.0f, -20.0f}, {-459.0f, 34.0f, -68.0f}},
            {"the hut", {-365.0f, 56.0f, -5.0f}, {-318.0f, 40.0f, -58.0f}},
            {"the queen's cave", {465.0f, 75.0f, -395.0f}, {533.0f, 40.0f, -478.0f}},
            {"the well", {290.0f, 62.0f, 255.0f}, {334.0f, 40.0f, 197.0f}},
            {"the valley of the dead", {330.0f, 52.0f, 335.0f}, {200.0f, 40.0f, 405.0f}},
            {"the ship", {-404.0f, 45.5f, 486.6f}, {-530.0f, 35.0f, 540.0f}},
            {"the overview", {-520.0f, 160.0f, 260.0f}, {0.0f, 40.0f, -60.0f}},
        },
        seconds);
}

DemoPath::DemoPath(std::vector<DemoPlace> places, float seconds)
    : mPlaces(std::move(places))
    , mSeconds(std::max(0.0f, seconds))
{
    // Constant speed: each stretch takes time in proportion to how far the
    // eye travels along it.
    std::vector<float> lengths;
    float total = 0.0f;
    for (size_t i = 1; i < mPlaces.size(); ++i) {
        lengths.push_back(mPlaces[i - 1].eye.distance(mPlaces[i].eye));
        total += lengths.back();
    }
    float start = 0.0f;
    mStartTimes.push_back(0.0f);
    for (float length : lengths) {
        start += total > 0.0f ? mSeconds * length / total : 0.0f;
        mStartTimes.push_back(start);
    }
}

float DemoPath::timeOfPlace(size_t index) const
{
    return index < mStartTimes.size() ? mStartTimes[index] : mSeconds;
}

void DemoPath::locate(float time, size_t& stretch, float& fraction) const
{
    stretch = 0;
    fraction = 0.0f;
    if (mPlaces.size() < 2 || !(time > 0.0f)) {
        return;
    }
    if (time >= mSeconds) {
        stretch = mPlaces.size() - 2;
        fraction = 1.0f;
        return;
    }
    while (stretch + 2 < mPlaces.size() && time >= mStartTimes[stretch + 1]) {
        ++stretch;
    }
    const float length = mStartTimes[stretch + 1] - mStartTimes[stretch];
    fraction = length > 0.0f ? std::min(1.0f, (time - mStartTimes[stretch]) / length) : 1.0f;
}

DemoPose DemoPath::poseAt(float time) const
{
    if (mPlaces.empty()) {
        return DemoPose{Ogre::Vector3::ZERO, Ogre::Vector3::NEGATIVE_UNIT_Z};
    }
    if (mPlaces.size() == 1) {
        return DemoPose{mPlaces[0].eye, mPlaces[0].target};
    }
    size_t stretch = 0;
    float fraction = 0.0f;
    locate(time, stretch, fraction);
    const DemoPlace& from = mPlaces[stretch];
    const DemoPlace& to = mPlaces[stretch + 1];
    // Straight from place to place, eased so that the camera comes to rest
    // at every place and turns there: a curve through places this unevenly
    // spaced would swing far out around the short stretches.
    const float eased = fraction * fraction * (3.0f - 2.0f * fraction);
    return DemoPose{from.eye + (to.eye - from.eye) * eased, from.target + (to.target - from.target) * eased};
}

std::string DemoPath::describe(float time) const
{
    if (mPlaces.empty()) {
        return "nowhere";
    }
    if (mPlaces.size() == 1) {
        return "at " + mPlaces[0].name;
    }
    size_t stretch = 0;
    float fraction = 0.0f;
    locate(time, stretch, fraction);
    if (fraction <= kAtPlaceFraction) {
        return "at " + mPlaces[stretch].name;
    }
    if (fraction >= 1.0f - kAtPlaceFraction) {
        return "at " + mPlaces[stretch + 1].name;
    }
    return mPlaces[stretch].name + " to " + mPlaces[stretch + 1].name;
}

} // namespace Kelvo
