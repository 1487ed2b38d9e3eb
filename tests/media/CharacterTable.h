#pragma once
// The animated characters the game loads by name, with the animations its
// scripts play on them and how the scripts hold each model. Both the media
// check and the character render test walk this table.

#include <OGRE/OgreQuaternion.h>
#include <OGRE/OgreVector.h>

#include <ostream>
#include <string>
#include <vector>

namespace KelvoMedia {

// How the game's scripts orient a character's node.
enum class Holding {
    // +Y up, facing +Z: the player script turns the node 180 degrees and
    // points the body's -Z along the walk; birds and the old man stand as placed.
    Upright,
    // +Z up, facing +Y: the enemy walker multiplies its heading by
    // -90 degrees about X times 180 degrees about Z.
    EnemyWalker,
};

struct ExpectedCharacter {
    std::string name;       // short name for messages and the contact sheet
    std::string mesh;
    std::string entityType; // the scene's type word for it ("" when the island picks one)
    Holding holding;
    float minHeight;        // standing height in world units, bind pose
    float maxHeight;
    std::vector<std::string> animations;
    std::vector<std::string> loopingAnimations; // must end where they start
    bool airborne = false;  // flies: its origin is the middle of the body, not the feet
    std::vector<std::string> extraSkins;  // other materials made for the same mesh
};

inline const std::vector<std::string>& enemyAnimations()
{
    static const std::vector<std::string> names = {"cpause1", "cwalk", "crun", "ca1stab", "ca1slashr", "ca1slashl"};
    return names;
}

inline const std::vector<ExpectedCharacter>& characters()
{
    static const std::vector<ExpectedCharacter> table = {
        {"hero", "hero.mesh", "Player", Holding::Upright, 3.7f, 4.3f,
         {"all_idle", "all_walk", "all_run", "all_throw_ball", "all_talk"},
         {"all_idle", "all_walk", "all_run", "all_talk"}},
        {"oldman", "oldman.mesh", "NPC", Holding::Upright, 3.2f, 4.4f,
         {"all_idle", "all_talk"}, {"all_idle", "all_talk"}},
        {"spider", "spider.mesh", "Spider", Holding::EnemyWalker, 1.0f, 2.6f,
         enemyAnimations(), {"cpause1", "cwalk", "crun"}},
        {"spider_queen", "spider_queen.mesh", "", Holding::EnemyWalker, 2.5f, 5.5f,
         enemyAnimations(), {"cpause1", "cwalk", "crun"}},
        {"zombie", "zombie.mesh", "", Holding::EnemyWalker, 3.4f, 4.3f,
         enemyAnimations(), {"cpause1", "cwalk", "crun"}, false, {"KELVO/ZombieSailor"}},
        {"bird", "bird.mesh", "Bird", Holding::Upright, 0.3f, 2.0f, {"flying"}, {"flying"}, true},
    };
    return table;
}

// Test output names a character by its short name.
inline void PrintTo(const ExpectedCharacter& expected, std::ostream* os)
{
    *os << expected.name;
}

// The node orientation the game gives a character facing world +Z.
inline Ogre::Quaternion holdingOrientation(Holding holding)
{
    if (holding == Holding::EnemyWalker) {
        return Ogre::Quaternion(Ogre::Degree(-90), Ogre::Vector3::UNIT_X) *
               Ogre::Quaternion(Ogre::Degree(180), Ogre::Vector3::UNIT_Z);
    }
    return Ogre::Quaternion::IDENTITY;
}

} // namespace KelvoMedia
