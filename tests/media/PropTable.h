// The props and the sizes the island's layout relies on (the hero is 4
// units tall). Shared by the media check and the render test.
#pragma once

#include <string>
#include <vector>

namespace KelvoMedia {

struct ExpectedProp {
    std::string mesh;
    float minHeight;   // world units, +Y up
    float maxHeight;
    bool onGround;     // lowest point at y = 0 (piles, shafts and hulls reach below)
};

inline const std::vector<ExpectedProp>& props()
{
    static const std::vector<ExpectedProp> table = {
        {"palm.mesh", 10.0f, 15.0f, true},
        {"palm_tall.mesh", 10.0f, 16.0f, true},
        {"tree_broadleaf.mesh", 10.0f, 16.0f, true},
        {"tree_fir.mesh", 13.0f, 19.0f, true},
        {"bush.mesh", 1.5f, 3.0f, true},
        {"grass_tuft.mesh", 0.6f, 1.6f, true},
        {"fern.mesh", 0.8f, 1.8f, true},
        {"flowers.mesh", 0.5f, 1.4f, true},
        {"rock_large.mesh", 2.0f, 5.0f, true},
        {"rock_small.mesh", 0.6f, 2.0f, true},
        {"rock_tall.mesh", 5.0f, 10.0f, true},
        {"rock_pile.mesh", 0.8f, 2.5f, true},
        {"cave_entrance.mesh", 8.0f, 14.0f, true},
        {"hut.mesh", 6.0f, 10.0f, true},
        {"well.mesh", 3.0f, 5.0f, false},
        {"fence.mesh", 1.0f, 2.0f, true},
        {"jetty.mesh", 1.5f, 3.0f, false},
        {"barrel.mesh", 1.0f, 1.6f, true},
        {"crate.mesh", 0.9f, 1.5f, true},
        {"campfire.mesh", 0.3f, 1.0f, true},
        {"ship.mesh", 18.0f, 30.0f, false},
        {"shipwreck.mesh", 3.0f, 8.0f, false},
    };
    return table;
}

} // namespace KelvoMedia
