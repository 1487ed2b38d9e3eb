// What the game needs of its sound files, for the headless media check:
// names, how the scene plays them (placed in the world: mono, since only
// mono sources are positioned), how long they may last and which loop.
// The loaders of the sound and text types (MediaCheck.cpp's table) and the
// tests are in SoundCheck.cpp.
#pragma once

#include <string>
#include <vector>

namespace KelvoMedia {

enum class SoundKind { Speech, Ambience, Effect, Music };

struct SoundNeed {
    std::string file;
    SoundKind kind;
    bool placed;  // may be a 3D sound: must be mono
    bool loops;   // played looped: its end must run on into its start
    double minSeconds;
    double maxSeconds;
};

inline std::vector<SoundNeed> soundNeeds()
{
    std::vector<SoundNeed> out;
    // the conversation's lines; the talk waits for each to finish
    for (int i = 0; i <= 16; ++i) {
        out.push_back({"oldman" + std::to_string(i) + ".wav", SoundKind::Speech, true, false, 0.5, 25.0});
    }
    for (int i = 0; i <= 20; ++i) {
        out.push_back({"player" + std::to_string(i) + ".wav", SoundKind::Speech, true, false, 0.5, 25.0});
    }
    // a refusal may sound once every 3 s: each must be over by then
    for (const char* group : {"Meer", "Tal"}) {
        for (int i = 1; i <= 4; ++i) {
            out.push_back({std::string("StopSound") + group + std::to_string(i) + ".wav", SoundKind::Speech, true,
                           false, 0.3, 2.9});
        }
    }
    out.push_back({"StopSoundNein1.wav", SoundKind::Speech, true, false, 0.3, 2.9});
    out.push_back({"StopSoundNein2.wav", SoundKind::Speech, true, false, 0.3, 2.9});
    for (const char* loop : {"vogel", "meer", "brunnen", "krah", "teich", "spi_sound"}) {
        out.push_back({std::string(loop) + ".wav", SoundKind::Ambience, true, true, 8.0, 60.0});
    }
    // an enemy vanishes when its cry ends
    for (const char* cry : {"spider_cry", "spider_queen_cry", "zombie_cry"}) {
        out.push_back({std::string(cry) + ".wav", SoundKind::Effect, true, false, 0.5, 3.0});
    }
    out.push_back({"bullet1FlyS.wav", SoundKind::Effect, true, true, 0.5, 5.0});
    out.push_back({"bullet1HitS.wav", SoundKind::Effect, true, false, 0.3, 3.0});
    // the game-over pictures show for at least 6 s
    out.push_back({"heartbeat.wav", SoundKind::Effect, false, false, 6.0, 15.0});
    // the intro's pictures run to 165 s on a clock that starts at 2 s
    out.push_back({"intro_sound.wav", SoundKind::Music, false, false, 165.0, 175.0});
    // the first cut-scene's flight lasts 46.81 s
    out.push_back({"CutSceneSound1.wav", SoundKind::Music, false, false, 46.81, 48.5});
    // the outro returns to the menu after 126 s
    out.push_back({"outro_sound.wav", SoundKind::Music, false, false, 124.0, 130.0});
    out.push_back({"credit_sound.wav", SoundKind::Music, false, true, 20.0, 180.0});
    out.push_back({"ZombiWar.mp3", SoundKind::Music, false, true, 20.0, 180.0});
    return out;
}

// Loaders for MediaCheck.cpp's table: the file decodes through the
// engine's resource system as the game reads it.
void checkSoundFile(const std::string& file);
void checkTextFile(const std::string& file);

} // namespace KelvoMedia
