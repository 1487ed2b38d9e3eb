#pragma once

#include <OgreVector.h>

#include <string>
#include <vector>

namespace Kelvo {

// One place the timed demo's camera passes: where the eye is and what it
// looks at.
struct DemoPlace {
    std::string name;
    Ogre::Vector3 eye;
    Ogre::Vector3 target;
};

// Where the camera stands and looks at a moment of the path.
struct DemoPose {
    Ogre::Vector3 eye;
    Ogre::Vector3 target;
};

// The timed demo's flight over the island: a fixed list of places flown
// through, each stretch in a time in proportion to its length, easing in
// and out of every place. The pose depends only on the path time, never on how
// fast frames come, so every run renders the same views in the same order
// and the slowest frames of two runs can be compared by place.
class DemoPath {
public:
    // The island's places: the first view after the intro, the wreck, the
    // hut, the queen's cave, the well, the valley of the dead, the ship and
    // an overview from high up, flown in the given time.
    static DemoPath island(float seconds);

    explicit DemoPath(std::vector<DemoPlace> places, float seconds);

    float seconds() const { return mSeconds; }
    const std::vector<DemoPlace>& places() const { return mPlaces; }
    // Times before 0 give the first place, times past the end the last.
    DemoPose poseAt(float time) const;
    // The moment the path passes place i.
    float timeOfPlace(size_t index) const;
    // "at <place>" or "<from> to <to>" for the stretch the time lies in.
    std::string describe(float time) const;

private:
    // Index of the stretch and the fraction of it covered at that time.
    void locate(float time, size_t& stretch, float& fraction) const;

    std::vector<DemoPlace> mPlaces;
    std::vector<float> mStartTimes;
    float mSeconds;
};

} // namespace Kelvo
